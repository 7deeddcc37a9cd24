// RecordingSchedule: when a recording starts and ends and what follows it; the texts built from it.
#pragma once

#include <cstdint>
#include <ctime>

#include "foundation/UserText.h"
#include "schedule/EndAction.h"

// The main window's title when nothing is scheduled or recording.
UserText ProgramTitle();

struct RecordingSchedule {
    int startMode = 0;            // 0 at once, 1 at startTime
    std::time_t startTime = 0;    // local clock, whole seconds
    int endMode = 0;              // 0 by hand, 1 after the duration
    int64_t durationSeconds = 0;  // counted in recorded, not paused, time
    bool endActionArmed = false;  // only the end of the duration runs the action
    EndAction endAction = EndAction::None;

    bool StopsAfterDuration() const { return endMode == 1; }
};

// "3 分00 秒", "1 時間30分", "24 時間", "45 秒".
UserText FormatDuration(int64_t seconds);

// The title while recording: the program title, then the duration and the end action when armed.
UserText RecordingTitle(const RecordingSchedule* schedule);
