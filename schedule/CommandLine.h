// ParseCommandLine: the schedule and start-up preset given on the command line (/S /T /E /P).
#pragma once

#include <ctime>
#include <vector>

#include "foundation/CharString.h"
#include "schedule/RecordingSchedule.h"

struct CommandLineOptions {
    bool scheduleArmed = false;  // any of /S, /T, /E: recording starts at launch
    RecordingSchedule schedule;
    CCharString presetName;      // empty: the default preset
};

// tokens: the words after the program path. now: the local clock, for start times without a
// date. Values that do not parse, or name an impossible time, are ignored one by one.
CommandLineOptions ParseCommandLine(const std::vector<CCharString>& tokens, std::time_t now);
