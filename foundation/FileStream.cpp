// CFileStream over POSIX file descriptors.
#include "foundation/FileStream.h"

#include "foundation/FileRoom.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int OpenRetrying(int folder, const char* name, int flags) {
    int fd;
    do {
        fd = openat(folder, name, flags, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Opens the file that is there, or creates it exclusively: a file this program creates is
// always its own, never one someone else made under the same name at the same moment.
int OpenOrCreate(int folder, const char* name, int flags) {
    if (!(flags & O_CREAT) || (flags & O_EXCL)) return OpenRetrying(folder, name, flags);
    for (;;) {
        int fd = OpenRetrying(folder, name, flags & ~O_CREAT);
        if (fd >= 0 || errno != ENOENT) return fd;
        fd = OpenRetrying(folder, name, flags | O_EXCL);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
}

}  // namespace

// The system's words alone: the caller knows which file and says so around them.
Failure ErrnoFailure(int error) { return SystemFailure(error, UserText("FileStream", "%1").ArgError(error)); }

CFileStream::~CFileStream() { Close(); }

Result<void> CFileStream::Open(const char* name, int mode) { return OpenAt(AT_FDCWD, name, mode); }

Result<void> CFileStream::OpenAt(int folder, const char* name, int mode) {
    Close();
    int flags = O_CLOEXEC;
    switch (mode & ~kNew) {
        case kRead: flags |= O_RDONLY; break;
        // A link planted where a track or temporary file goes must not redirect the writing.
        case kWrite: flags |= O_WRONLY | O_CREAT | O_NOFOLLOW; break;
        case kReadWrite: flags |= O_RDWR | O_CREAT | O_NOFOLLOW; break;
        default: return ErrnoFailure(EINVAL);
    }
    if (mode & kNew) {
        if (!(mode & kWrite)) return ErrnoFailure(EINVAL);
        flags |= O_EXCL;
    }
    if (!name) return ErrnoFailure(EINVAL);
    m_fd = OpenOrCreate(folder, name, flags);
    if (m_fd < 0) return ErrnoFailure(errno);
    struct stat st {};
    if (fstat(m_fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        Close();
        return ErrnoFailure(error);
    }
    m_path = name;
    m_eof = false;
    return {};
}

Result<int64_t> CFileStream::Read(void* buffer, int64_t length) {
    if (m_fd < 0) return ErrnoFailure(EBADF);
    if (length < 0) return ErrnoFailure(EINVAL);
    auto* out = static_cast<char*>(buffer);
    int64_t done = 0;
    while (done < length) {
        const ssize_t n = read(m_fd, out + done, static_cast<size_t>(length - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return ErrnoFailure(errno);
        }
        if (n == 0) break;
        done += n;
    }
    if (done == 0 && length > 0) m_eof = true;
    return done;
}

Result<void> CFileStream::Write(const void* buffer, int64_t length) {
    if (m_fd < 0) return ErrnoFailure(EBADF);
    if (length < 0) return ErrnoFailure(EINVAL);
    const auto* in = static_cast<const char*>(buffer);
    int64_t done = 0;
    while (done < length) {
        const ssize_t n = write(m_fd, in + done, static_cast<size_t>(length - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            // Back to where this write began: the half record goes, the position with it.
            if (done > 0 && ftruncate(m_fd, Tell() - done) == 0) lseek(m_fd, -done, SEEK_CUR);
            return ErrnoFailure(error);
        }
        done += n;
    }
    return {};
}

Result<void> CFileStream::Seek(int64_t offset, int origin) {
    if (m_fd < 0) return ErrnoFailure(EBADF);
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < kFromStart || origin > kFromEnd) return ErrnoFailure(EINVAL);
    if (lseek(m_fd, offset, kWhence[origin]) < 0) return ErrnoFailure(errno);
    m_eof = false;
    return {};
}

void CFileStream::Close() {
    if (m_fd >= 0) close(m_fd);
    m_fd = -1;
    m_path = CCharString();
    m_eof = false;
}

Result<void> CFileStream::Flush() {
    if (m_fd < 0) return ErrnoFailure(EBADF);
    if (fsync(m_fd) != 0) return ErrnoFailure(errno);
    return {};
}

int64_t CFileStream::GetSize() const {
    struct stat st {};
    if (m_fd < 0 || fstat(m_fd, &st) != 0) return -1;
    return st.st_size;
}

int64_t CFileStream::Tell() const { return m_fd < 0 ? -1 : lseek(m_fd, 0, SEEK_CUR); }

Result<void> CFileStream::SetEndOfFile() {
    const int64_t position = Tell();
    if (position < 0) return ErrnoFailure(m_fd < 0 ? EBADF : errno);
    if (ftruncate(m_fd, position) != 0) return ErrnoFailure(errno);
    return {};
}

Result<void> CFileStream::SetLength(int64_t length) {
    const int64_t position = Tell();
    if (position < 0) return ErrnoFailure(m_fd < 0 ? EBADF : errno);
    if (length < 0) return ErrnoFailure(EINVAL);
    if (ftruncate(m_fd, length) != 0) return ErrnoFailure(errno);
    return Seek(std::min(position, length), kFromStart);
}

Result<void> CFileStream::Reserve(int64_t length) {
    if (m_fd < 0) return ErrnoFailure(EBADF);
    if (!ReserveFileRoom(m_fd, length)) return ErrnoFailure(errno);
    return {};
}
