// ParseCommandLine: the schedule and start-up preset given on the command line (/S /T /E /P).
#pragma once

#include <ctime>
#include <vector>

#include "foundation/CharString.h"
#include "foundation/UserText.h"
#include "schedule/RecordingSchedule.h"

// A word of the command line that had no effect.
struct IgnoredWord {
    char option = 0;    // 'S', 'T', 'E', 'P', another letter, or 0 before any option
    CCharString value;  // empty: the option was given no value
};

struct CommandLineOptions {
    bool scheduleArmed = false;  // any of /S, /T, /E: recording starts at launch
    RecordingSchedule schedule;
    CCharString presetName;      // empty: the default preset
    std::vector<IgnoredWord> ignored;  // in command-line order, for the front end to tell the user
};

// tokens: the words after the program path. An option is "/" and one letter, in either case; the
// words after it are its values, and words before any option are ignored. now: the local clock,
// for start times without a date. Values that do not parse, or name an impossible time, are
// ignored one by one (and listed).
CommandLineOptions ParseCommandLine(const std::vector<CCharString>& tokens, std::time_t now);

// How the front ends tell of an ignored word: the word as given ("/T \"MS=-1:00\"", "/E" without
// a value), what its option takes, and the whole warning.
UserText IgnoredWordGiven(const IgnoredWord& word);
UserText IgnoredWordExpected(const IgnoredWord& word);
UserText IgnoredWordWarning(const IgnoredWord& word);
