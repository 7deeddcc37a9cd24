// A desktop notification (org.freedesktop.Notifications on the session bus), for runs nobody watches.
#pragma once

#include <string>

#include "foundation/Result.h"

// Fails when there is no session bus or no notification server on it.
Result<void> SendDesktopNotice(const std::string& summary, const std::string& body);
