// The front ends' choice of capture backend.
#include "app/control/CaptureChoice.h"

#include <cstdlib>

Result<std::unique_ptr<CCaptureBackend>> CreateCaptureBackendFromEnvironment() {
    const char* choice = std::getenv(kCaptureBackendVariable);
    return CreateCaptureBackend(choice ? choice : "");
}
