// The capture backend a front end starts with: the user's choice from the environment. The
// engine below never reads it; it is handed the backend.
#pragma once

#include <memory>
#include <string>

#include "platform/CaptureBackend.h"

// The environment variable that forces a backend; it holds a choice as CreateCaptureBackend takes.
inline constexpr const char* kCaptureBackendVariable = "VELSONA_CAPTURE";

// The backend VELSONA_CAPTURE names, or the automatic choice when it is unset or empty.
Result<std::unique_ptr<CCaptureBackend>> CreateCaptureBackendFromEnvironment();
