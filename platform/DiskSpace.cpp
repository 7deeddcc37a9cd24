// Free space through statvfs, and space held back for closing a track on a full disk.
#include "platform/DiskSpace.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/statvfs.h>
#include <unistd.h>

#include "foundation/PathUtils.h"

bool QueryDiskSpace(const CCharString& folder, DiskSpace& space) {
    std::string path = NormalizeSeparators(folder).str();
    if (path.empty()) path = ".";
    for (;;) {
        struct statvfs info {};
        if (statvfs(path.c_str(), &info) == 0) {
            space.freeBytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
            space.totalBytes = static_cast<uint64_t>(info.f_blocks) * info.f_frsize;
            return true;
        }
        if (errno != ENOENT && errno != ENOTDIR) return false;
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        const size_t slash = path.rfind('/');
        if (slash == std::string::npos) {
            if (path == ".") return false;
            path = ".";
        } else {
            if (path == "/") return false;
            path.resize(slash == 0 ? 1 : slash);
        }
    }
}

double HoursAtByteRate(uint64_t freeBytes, double bytesPerSecond) {
    if (!(bytesPerSecond > 0)) return -1;
    return static_cast<double>(freeBytes) / bytesPerSecond / 3600.0;
}

bool CDiskReserve::Hold(const CCharString& folder, int64_t bytes) {
    Release();
    CCharString path = folder;
    if (!EndsWithChar(path, '/')) path += "/";
    // A fresh name, created exclusively: nothing planted in the folder is followed or reused.
    std::string name = (path + ".velsona-space-reserve-XXXXXX").str();
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return false;
    path = CCharString(name);
    // Allocated blocks, not a sparse file: the space must really be taken now.
    const bool held = posix_fallocate(fd, 0, bytes) == 0;
    close(fd);
    if (!held) {
        unlink(path.c_str());
        return false;
    }
    m_path = path;
    return true;
}

void CDiskReserve::Release() {
    if (m_path.IsEmpty()) return;
    unlink(m_path.c_str());
    m_path = CCharString();
}
