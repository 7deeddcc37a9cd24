// The headless recorder's command line: the schedule words (/S /T /E /P), their long twins and
// the recording settings a user may override for this run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/settings/RecordingSettings.h"
#include "foundation/CharString.h"
#include "foundation/UserText.h"

// The schedule's commands; each is the whole run.
enum class ScheduleCommand { None, List, Add, Remove, Enable, Disable, Run };

struct RecorderOptions {
    bool help = false;
    bool version = false;
    bool listDevices = false;
    bool recover = false;  // only finish the tracks killed recorders left, then exit
    bool createPreset = false;  // a /P preset that does not exist is made from the defaults
    std::optional<std::string> capture;    // "pulse", "alsa" or "signal:<spec>"
    std::vector<CCharString> scheduleWords;  // for ParseCommandLine, long options translated
    ScheduleCommand scheduleCommand = ScheduleCommand::None;
    std::string scheduleName;  // the entry the command is about
    std::optional<std::string> scheduleWhen;  // --when, for --schedule-add

    // Overrides of the loaded preset: the settings' fields given, each once, with their values
    // in `values`; the rest keep the preset's.
    std::vector<const SettingField*> overridden;
    RecordingSettings values;

    bool Overrides(SettingField::Member member) const;
};

// False, with a message for the user, on an unknown option, a missing value or a value that is
// not one of the option's forms.
bool ParseRecorderArguments(const std::vector<std::string>& arguments, RecorderOptions& options, UserText& error);

// Applies the overrides as the output bar would: a new format brings its default quality row,
// Ogg quality 40 and its extension in the file-name template; a split method without a time
// gets the bar's default time. False, with a message, when the quality row is not in the
// format's table.
bool ApplyRecorderOptions(const RecorderOptions& options, RecordingSettings& settings, UserText& error);

// The help text.
UserText RecorderUsage();
