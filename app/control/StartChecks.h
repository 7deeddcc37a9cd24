// What the window and velsona-rec both do as they start (the log, the tracks a killed recorder
// left) and before each recording (the checks, the free space), with texts the window can show
// and velsona-rec can print: each front end only shows the outcome its own way.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/settings/RecordingSettings.h"
#include "foundation/CharString.h"
#include "foundation/Result.h"
#include "foundation/UserText.h"
#include "schedule/RecordingSchedule.h"

class CActivityLog;
class CCaptureBackend;
struct RecoveredTrack;

// The activity log both programs append to; `tell` hears, once, that it cannot be written.
std::unique_ptr<CActivityLog> OpenActivityLog(const char* program, std::function<void(const UserText&)> tell);

// Finishes the tracks killed or crashed recorders left, before anything new is recorded, and
// logs each; the front end tells the user of those returned.
std::vector<RecoveredTrack> RecoverLeftTracks(CActivityLog& log, const CCharString& outputFolder);

struct SpaceEstimate {
    uint64_t freeBytes = 0;
    double bytesPerSecond = 0;  // 0 when the format's rate is not known
    double hours = -1;          // negative when the rate is not known
    UserText summary;           // "Free space: 30.0 GB, about 47.2 hours at 1411 kbit/s"
    UserText warning;           // empty, or that the folder holds less than the recording needs
};

struct StartReadiness {
    Result<void> ready;                  // the first check that failed
    std::optional<SpaceEstimate> space;  // once ready, unless the file system could not be asked
    UserText spaceNote;                  // then why not, a note to print
};

// The checks in the order a user fixes them: the file-name template (it must name a file, not
// only a format's extension), the encoder, the input device and its format, the folder (created
// when missing, and proved writable by creating a file in it); the first failure ends them. Then
// the free space, with a warning when it holds less than the schedule's duration for a timed
// recording, else one hour. The output folder must not be empty.
StartReadiness CheckStart(CCaptureBackend& backend, const RecordingSettings& settings, const RecordingSchedule* schedule);

// "12 bytes", "30.0 MB", "1.2 GB": decimal units, the same in every locale, the word "bytes" in
// the user's language.
UserText ByteCountText(uint64_t bytes);
