// What a front end checks before it starts a recording, and the free space in hours, with texts
// the window can show and velsona-rec can print.
#pragma once

#include <cstdint>
#include <string>

#include "app/settings/RecordingSettings.h"
#include "foundation/CharString.h"
#include "foundation/Result.h"
#include "foundation/UserText.h"
#include "schedule/RecordingSchedule.h"

class CCaptureBackend;

// In the order a user fixes them: the file-name template, the encoder, the input device and its
// format, the folder (created when missing, and proved writable by creating a file in it). The
// first failure ends the checks. The output folder must not be empty.
Result<void> CheckBeforeStart(CCaptureBackend& backend, const RecordingSettings& settings);

// Refuses a template that names no file: empty, or only a format's extension after its last
// separator (it would write hidden files such as ".wav").
Result<void> CheckFileNameTemplate(const CCharString& fileNameTemplate);
Result<void> CheckOutputFormat(OutputFormat outputFormat);
Result<void> CheckInputDevice(CCaptureBackend& backend, const RecordingSettings& settings);
Result<void> CheckOutputFolder(const CCharString& folder);

struct SpaceEstimate {
    uint64_t freeBytes = 0;
    double bytesPerSecond = 0;  // 0 when the format's rate is not known
    double hours = -1;          // negative when the rate is not known
    UserText summary;           // "Free space: 30.0 GB, about 47.2 hours at 1411 kbit/s"
    UserText warning;           // empty, or that the folder holds less than the recording needs
};

// The hours wanted are the schedule's duration for a timed recording, else one hour. Fails, its
// message a note to print, when the file system cannot be asked.
Result<SpaceEstimate> EstimateSpace(const RecordingSettings& settings, const RecordingSchedule* schedule);

// "12 bytes", "30.0 MB", "1.2 GB": decimal units, the same in every locale, the word "bytes" in
// the user's language.
UserText ByteCountText(uint64_t bytes);
