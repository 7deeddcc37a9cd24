// EndAction: what the machine does after a recording that ended by its duration.
#pragma once

#include <functional>

#include "foundation/UserText.h"

#include "platform/Logind.h"

enum class EndAction : int {
    None = -1,
    ExitApplication = 1,
    Standby = 2,   // suspend, then close the program
    PowerOff = 3,
    Hibernate = 4, // hibernate, then close the program
};

// The short name shown in the window title; empty for None or an unknown code.
UserText EndActionName(EndAction action);

// requestClose must only queue the program's normal close (which saves the default preset):
// for standby and hibernation it runs before the power request, so the program closes after
// the machine wakes. Power off does not close the program itself. Fails as logind's requests do
// (platform/Logind.h) when it did not do what was asked; nothing to ask counts as done.
Result<void> DoEndAction(EndAction action, const std::function<void()>& requestClose, CLogind& logind);
