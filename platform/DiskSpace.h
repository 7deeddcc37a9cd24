// Free space of the file system that will hold a recording, and how many hours it takes.
#pragma once

#include <cstdint>

#include "foundation/CharString.h"
#include "foundation/Result.h"

struct DiskSpace {
    uint64_t freeBytes = 0;   // what an ordinary user may still write
    uint64_t totalBytes = 0;
};

// A folder that does not exist yet (the recording creates it) is measured at its nearest
// existing parent. Fails when no part of the path can be measured.
Result<DiskSpace> QueryDiskSpace(const CCharString& folder);

// Hours of audio that fit into freeBytes at bytesPerSecond; negative when the rate is not positive.
double HoursAtByteRate(uint64_t freeBytes, double bytesPerSecond);

// Room held back on a file system by a preallocated hidden file, so that when the disk fills
// up mid-track the track can still be closed, tagged and renamed.
class CDiskReserve {
public:
    CDiskReserve() = default;
    ~CDiskReserve() { Release(); }
    CDiskReserve(const CDiskReserve&) = delete;
    CDiskReserve& operator=(const CDiskReserve&) = delete;

    // Holds `bytes` in `folder` (which must exist); fails when the space cannot be had.
    Result<void> Hold(const CCharString& folder, int64_t bytes);
    // Gives the space back (removes the file).
    void Release();
    bool IsHeld() const { return !m_path.IsEmpty(); }

private:
    CCharString m_path;
};

// Removes the reserve files in `folder` left by processes that no longer run (a killed
// recorder never gives its space back); returns how many went.
int RemoveDeadReserves(const CCharString& folder);
