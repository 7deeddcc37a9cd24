// One row of the recorded items list: a track's file and what was read from it.
#pragma once

#include <cstdint>
#include <optional>

#include "app/files/LocalDateTime.h"
#include "app/files/TrackSound.h"
#include "foundation/CharString.h"
#include "tags/OutputFormat.h"

struct RecordingItem {
    CCharString path;
    CCharString displayName;  // file name as found on disk, or as given by a fallback rename
    uint32_t size = 0;        // low 32 bits of the file size
    LocalDateTime time;       // last-write time; for a row being recorded, when the row was added
    std::optional<OutputFormat> kind;  // none while recording or when unknown
    CCharString title;
    CCharString artist;
    CCharString album;
    int16_t trackNumber = -1;
    int64_t lengthMs = -1;
    int bitRate = 0;  // bits per second; 0 for uncompressed or unknown
    int sampleRate = 0;
    uint16_t channels = 0;
    std::optional<TrackSound> sound;  // a track this program recorded, once it closed
};
