// CFileStream: the one file object writers, readers and tag editors use for all file access.
#pragma once

#include <cstdint>

#include "foundation/CharString.h"
#include "foundation/Result.h"

// A failed system call's errno with the system's words for it (strerror, in the user's locale).
Failure ErrnoFailure(int error);

class CFileStream {
public:
    // Bit 0 read, bit 1 write. No mode truncates; every mode lets other openers read and write,
    // so a tag editor can open a track while its writer still holds it. kNew, added to a write
    // mode, creates the file or fails when anything is already there, a link included.
    enum Mode { kRead = 1, kWrite = 2, kReadWrite = 3, kNew = 4 };
    enum Origin { kFromStart = 0, kFromCurrent = 1, kFromEnd = 2 };

    CFileStream() = default;
    virtual ~CFileStream();
    CFileStream(const CFileStream&) = delete;
    CFileStream& operator=(const CFileStream&) = delete;

    // Read mode needs an existing file; the write modes create a missing one and never write
    // through a symbolic link. Closes a file already open first.
    virtual Result<void> Open(const char* name, int mode);
    // As Open, with a relative `name` looked up in the open folder `folder` (AT_FDCWD: as Open).
    Result<void> OpenAt(int folder, const char* name, int mode);
    virtual bool IsOpen() const { return m_fd >= 0; }
    // The bytes read, fewer than asked only at the end of the file. A read of 0 bytes sets the
    // end-of-file flag.
    virtual Result<int64_t> Read(void* buffer, int64_t length);
    // Writes all of it or fails. A write the disk stopped part way is cut off again, the file
    // ending and the position standing where it began, so no caller keeps half a record.
    virtual Result<void> Write(const void* buffer, int64_t length);
    virtual Result<void> Seek(int64_t offset, int origin);
    virtual void Close();
    // Forces written data to the disk, so a copy is safe before its source is removed.
    virtual Result<void> Flush();
    // File length, or -1 when not open.
    virtual int64_t GetSize() const;
    virtual bool IsEof() const { return m_eof; }
    // Current position, or -1 when not open.
    virtual int64_t Tell() const;
    // Truncates at the current position.
    virtual Result<void> SetEndOfFile();
    // Cuts or extends the file to `length`, ending at the smaller of the old position and `length`.
    virtual Result<void> SetLength(int64_t length);
    // Makes sure the file can grow to `length` bytes on a filling disk; its size is unchanged.
    // On failure the file is exactly as it was.
    virtual Result<void> Reserve(int64_t length);

    const CCharString& Path() const { return m_path; }

private:
    int m_fd = -1;
    CCharString m_path;
    bool m_eof = false;
};
