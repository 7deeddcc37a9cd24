// Free space through statvfs, and space held back for closing a track on a full disk.
#include "platform/DiskSpace.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/statvfs.h>
#include <unistd.h>

#include "foundation/PathUtils.h"
#include "platform/ProcessIdentity.h"

namespace {

constexpr const char* kReservePrefix = ".velsona-space-reserve-";

CCharString WithSlash(const CCharString& folder) { return EndsWithChar(folder, '/') ? folder : folder + "/"; }

}  // namespace

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
    const CCharString path = WithSlash(folder) + kReservePrefix + CCharString::Formatted("%d", static_cast<int>(getpid()));
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
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

int RemoveDeadReserves(const CCharString& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return 0;
    const std::string prefix = kReservePrefix;
    int removed = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        // Only names this program makes; a live process's reserve is its own to give back.
        if (end == name.c_str() + prefix.size() || *end != '\0' || pid <= 0) continue;
        if (IsRunning({static_cast<pid_t>(pid), 0})) continue;
        if (unlink((WithSlash(folder) + name.c_str()).c_str()) == 0) ++removed;
    }
    closedir(dir);
    return removed;
}
