// Room for a file to grow, taken before writes that must not stop half way on a full disk.
#pragma once

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// Allocates the blocks from `from` to `to` beyond the end of the file behind `fd`, without
// changing its size, so that writes up to `to` cannot fail for want of space. Blocks it got
// before failing stay until the file is cut to its length (ftruncate). A file system that
// cannot allocate ahead counts as success: the writes are tried as they always were.
inline bool AllocateFileRoom(int fd, int64_t from, int64_t to) {
    if (to <= from) return true;
    // A file-size limit fails the writes as a full disk would, but allocation ignores it.
    rlimit limit {};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        static_cast<uint64_t>(to) > limit.rlim_cur) {
        errno = EFBIG;
        return false;
    }
    if (fallocate(fd, FALLOC_FL_KEEP_SIZE, from, to - from) == 0) return true;
    return errno == EOPNOTSUPP || errno == ENOSYS;
}

// Makes sure the file behind `fd` can grow to `length` bytes; its size is unchanged. False when
// the room cannot be had (errno says why), and then nothing stays allocated. The caller ends the
// file at its final length afterwards, which gives back what was not used.
inline bool ReserveFileRoom(int fd, int64_t length) {
    struct stat info {};
    if (fstat(fd, &info) != 0) return false;
    if (AllocateFileRoom(fd, info.st_size, length)) return true;
    const int refusal = errno;
    const int cut = ftruncate(fd, info.st_size);
    static_cast<void>(cut);
    errno = refusal;
    return false;
}
