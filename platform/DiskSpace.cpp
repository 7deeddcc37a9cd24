// Free space through statvfs.
#include "platform/DiskSpace.h"

#include <cerrno>
#include <string>
#include <sys/statvfs.h>

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
