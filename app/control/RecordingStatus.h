// What the owner sees of a recording between buffers, and the status panes' texts of it.
#pragma once

#include <cstdint>

#include "foundation/UserText.h"

// Copied on the capture thread, read anywhere.
struct RecordingStatus {
    int trackNumber = 0;  // the session's track counter
    int64_t trackTimeMs = 0;
    int64_t totalTimeMs = 0;
    int leftLevel = -903;  // tenths of a decibel
    int rightLevel = -903;
    uint64_t overruns = 0;  // times the capture layer had to drop audio
    uint64_t buffers = 0;   // buffers delivered, paused ones included: the input is alive while it grows
};

// The status panes: the track's number and time, the total time.
UserText TrackPaneText(const RecordingStatus& status);
UserText TotalPaneText(const RecordingStatus& status);
