// Free space of the file system that will hold a recording, and how many hours it takes.
#pragma once

#include <cstdint>

#include "foundation/CharString.h"

struct DiskSpace {
    uint64_t freeBytes = 0;   // what an ordinary user may still write
    uint64_t totalBytes = 0;
};

// A folder that does not exist yet (the recording creates it) is measured at its nearest
// existing parent. False when no part of the path can be measured.
bool QueryDiskSpace(const CCharString& folder, DiskSpace& space);

// Hours of audio that fit into freeBytes at bytesPerSecond; negative when the rate is not positive.
double HoursAtByteRate(uint64_t freeBytes, double bytesPerSecond);
