// CRecordingCommands: the main window's start, stop and timer commands without widgets, shared by
// the window and velsona-rec: starting by the schedule, the countdown to a start time, and what
// ends a run (the default preset saved, then the end action).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/control/RecordingControl.h"
#include "app/settings/SettingsStore.h"
#include "foundation/Result.h"
#include "schedule/Countdown.h"
#include "schedule/EndAction.h"
#include "schedule/RecordingSchedule.h"

class CLogind;

// What the user is told when a recording does not start, with the reason when there is one.
UserText StartFailedMessage();
UserText StartFailedMessage(const UserText& reason);

class CRecordingCommands {
public:
    // The control's settings are the values the bars hold; the profile keeps the histories and
    // the preset name. All three outlive this object. Everything here runs on the owner's thread.
    CRecordingCommands(CRecordingControl& control, CSettingsStore& store, ProfileState& profile,
                       CCountdown::Clock clock = [] { return std::time(nullptr); });

    // The start command, once the bars are pulled (the question about old rows is the window's):
    // stops what runs, pushes the folder and the template into their histories, clears the
    // schedule and starts. A failure's message is what to show.
    Result<void> StartCommand();
    // The stop command: a manual stop never runs the end action, so it is disarmed first; an
    // armed countdown ends too.
    void StopCommand();
    // Arms the schedule: a start time starts the countdown, otherwise the recording starts now.
    // A failed start leaves no schedule.
    Result<void> StartBySchedule(const RecordingSchedule& schedule);

    bool IsCountingDown() const { return m_countingDown; }
    struct Tick {
        std::optional<Result<void>> start;  // once the start time came: whether the recording runs
        UserText title;                     // the window title for this tick while counting down
    };
    // One 200 ms timer tick while counting down; nothing happens otherwise.
    Tick OnCountdownTick();

    // Runs an end action taken after the duration was reached; the sleep lock is released first,
    // as it would hold off the very suspend asked for.
    Result<void> RunEndAction(EndAction action, const std::function<void()>& requestClose, CLogind& logind);
    // The end of a front end's run: the profile is saved (under the default preset unless told
    // otherwise), then the end action runs.
    struct Finish {
        Result<void> saved;
        Result<void> endAction;
    };
    Finish FinishRun(EndAction action, const std::function<void()>& requestClose, CLogind& logind,
                     const CCharString& presetName = kDefaultPresetName);

private:
    // Stores the current values and the histories under the preset (added to the preset list
    // when new).
    Result<void> SaveProfileAs(const CCharString& presetName);
    Result<void> Start();

    CRecordingControl& m_control;
    CSettingsStore& m_store;
    ProfileState& m_profile;
    CCountdown m_countdown;  // its tick counter lives as long as the program
    bool m_countingDown = false;
};
