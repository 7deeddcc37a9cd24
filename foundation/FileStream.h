// CFileStream: the one file object writers, readers and tag editors use for all file access.
#pragma once

#include <cstdint>

#include "foundation/CharString.h"

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
    // through a symbolic link. Closes a file already open first. 0 when the OS refuses.
    virtual int Open(const char* name, int mode);
    virtual bool IsOpen() const { return m_fd >= 0; }
    // Bytes read, or -1. A read of 0 bytes sets the end-of-file flag.
    virtual int64_t Read(void* buffer, int64_t length);
    // Bytes written (fewer than asked when the disk fills), or -1 when nothing could be written.
    virtual int64_t Write(const void* buffer, int64_t length);
    // 1 on success.
    virtual int Seek(int64_t offset, int origin);
    virtual void Close();
    // Forces written data to the disk, so a copy is safe before its source is removed. 1 on success.
    virtual int Flush();
    // File length, or -1 when not open.
    virtual int64_t GetSize() const;
    virtual bool IsEof() const { return m_eof; }
    // Current position, or -1 when not open.
    virtual int64_t Tell() const;
    // Truncates at the current position. 1 on success.
    virtual int SetEndOfFile();
    // Cuts or extends the file to `length`, ending at the smaller of the old position and `length`.
    virtual int SetLength(int64_t length);
    // Makes sure the file can grow to `length` bytes on a filling disk; its size is unchanged.
    // 1 on success; on failure the file is exactly as it was.
    virtual int Reserve(int64_t length);

    const CCharString& Path() const { return m_path; }
    // The errno of the last open, read or write that failed (ENOSPC, ENOENT, EACCES …), so a
    // failure can say why; 0 while none has.
    int LastError() const { return m_lastError; }

private:
    int m_fd = -1;
    int m_lastError = 0;
    CCharString m_path;
    bool m_eof = false;
};
