// Where the repeating schedule keeps its files: its entries beside the settings, its log beside
// the activity log, and the systemd user units made from it.
#pragma once

#include <string>

// $XDG_CONFIG_HOME/velsona/schedule.conf
std::string ScheduleFilePath();
// $XDG_STATE_HOME/velsona/schedule.log
std::string ScheduleLogPath();
// $XDG_CONFIG_HOME/systemd/user
std::string UserUnitFolder();
