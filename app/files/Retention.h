// Keeping recordings: the oldest finished recordings removed until they are no older than the
// days kept and the disk keeps its free room, touching only files the record names unchanged.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>

#include "foundation/CharString.h"
#include "foundation/Result.h"
#include "foundation/UserText.h"

struct RetentionRules {
    int keepDays = 0;    // 0: kept whatever their age
    int keepFreeMb = 0;  // 0: no room kept
    bool Active() const { return keepDays > 0 || keepFreeMb > 0; }
};

// What one pass did, told as it happens.
struct RetentionReport {
    std::function<void(const CCharString& removed)> removed;
    // The record could not be read or written, or the room could not be made: said once a pass.
    std::function<void(const UserText& problem)> problem;
};

// Adds `finished` (a track just finished; empty at a start) to the record of recordings in
// `recordPath`, then, with rules active, removes the oldest recorded files inside `outputFolder`
// until both rules hold. Never removes the file just finished, a file changed since it was
// recorded (renamed, edited, replaced: it is dropped from the record instead), a file outside the
// output folder, or anything when the record is in doubt; a corrupt record is set aside as
// "<record>.corrupt" and a new one begun. Empty folders left below the output folder go too.
// `now` and `freeBytes` (the output folder's free room) are the clock's and the disk's.
void KeepRecordings(const CCharString& recordPath, const CCharString& finished, const CCharString& outputFolder,
                    const RetentionRules& rules, std::time_t now,
                    const std::function<Result<uint64_t>(const CCharString& folder)>& freeBytes,
                    const RetentionReport& report);
