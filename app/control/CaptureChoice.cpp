// The front ends' choice of capture backend.
#include "app/control/CaptureChoice.h"

#include <cstdlib>

std::unique_ptr<CCaptureBackend> CreateCaptureBackendFromEnvironment(std::string& error) {
    const char* choice = std::getenv(kCaptureBackendVariable);
    return CreateCaptureBackend(choice ? choice : "", error);
}
