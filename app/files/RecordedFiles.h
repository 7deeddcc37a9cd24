// The record of finished recordings: which files this program wrote and how each looked when it
// was finished, so that only those, unchanged, are ever removed to keep the disk.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "foundation/CharString.h"
#include "foundation/Result.h"

struct RecordedFile {
    CCharString path;
    uint64_t size = 0;
    int64_t modifiedNs = 0;  // modification time, nanoseconds since the epoch
    uint64_t fingerprint = 0;

    bool SameFile(const RecordedFile& other) const {
        return size == other.size && modifiedNs == other.modifiedNs && fingerprint == other.fingerprint;
    }
};

// How the regular file `name` in the folder `dirFd` looks now (a link is not followed);
// nothing when it is missing or not a regular file. The fingerprint reads only the first and
// last blocks, so a file of hours costs what a small one does.
std::optional<RecordedFile> DescribeFileAt(int dirFd, const char* name);
std::optional<RecordedFile> DescribeFile(const CCharString& path);

// $XDG_STATE_HOME/velsona/recordings (else under ~/.local/state).
CCharString RecordedFilesPath();

// The record at `path`, oldest first as written; a missing record is an empty one, a record
// cut short or garbled a kBadData failure.
Result<std::vector<RecordedFile>> LoadRecordedFiles(const CCharString& path);
// Replaces the record through a synced temporary file, so a crash leaves the old or the new.
Result<void> SaveRecordedFiles(const CCharString& path, const std::vector<RecordedFile>& files);

// Holds the record for one change: the window and velsona-rec may finish tracks at once.
class CRecordedFilesLock {
public:
    explicit CRecordedFilesLock(const CCharString& recordPath);
    ~CRecordedFilesLock();
    CRecordedFilesLock(const CRecordedFilesLock&) = delete;
    CRecordedFilesLock& operator=(const CRecordedFilesLock&) = delete;

private:
    int m_fd = -1;
};
