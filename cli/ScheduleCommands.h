// velsona-rec's --schedule-* commands: the schedule's entries managed without a window.
#pragma once

#include <functional>
#include <string>

#include "cli/ProgressDisplay.h"
#include "cli/RecorderOptions.h"

// List, add, remove, enable or disable an entry, and bring the systemd units in line. The exit
// status: 0 done, 1 the schedule or its units could not be read or changed, 2 a wrong entry or
// option (nothing changed then).
int RunScheduleCommand(const RecorderOptions& options, CProgressDisplay& display);

// Whether a preset of that name is stored; the default preset always counts.
std::function<bool(const std::string&)> StoredPresetTest();
