// Free space through statvfs, and space held back for closing a track on a full disk.
#include "platform/DiskSpace.h"

#include <algorithm>
#include <cctype>
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

// The "-XXXXXX" mkostemp made of its template, and nothing more.
bool IsUniqueSuffix(const std::string& text) {
    return text.size() == 7 && text[0] == '-' &&
           std::all_of(text.begin() + 1, text.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

Failure NoReserve(const CCharString& folder, int error) {
    return SystemFailure(error, UserText("DiskSpace", "%1 に予備の領域を確保できません: %2").Arg(folder.str()).ArgError(error));
}

}  // namespace

Result<DiskSpace> QueryDiskSpace(const CCharString& folder) {
    std::string path = NormalizeSeparators(folder).str();
    // "." as one character: GCC 12 at -O2 takes the assignment of a literal here for an
    // overlapping copy.
    if (path.empty()) path.assign(1, '.');
    for (;;) {
        struct statvfs info {};
        if (statvfs(path.c_str(), &info) == 0) {
            DiskSpace space;
            space.freeBytes = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
            space.totalBytes = static_cast<uint64_t>(info.f_blocks) * info.f_frsize;
            return space;
        }
        const int error = errno;
        const auto unmeasured = [&] {
            return SystemFailure(error, UserText("DiskSpace", "%1 の空き容量を測れません: %2").Arg(folder.str()).ArgError(error));
        };
        if (error != ENOENT && error != ENOTDIR) return unmeasured();
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        const size_t slash = path.rfind('/');
        if (slash == std::string::npos) {
            if (path == ".") return unmeasured();
            path.assign(1, '.');
        } else {
            if (path == "/") return unmeasured();
            path.resize(slash == 0 ? 1 : slash);
        }
    }
}

double HoursAtByteRate(uint64_t freeBytes, double bytesPerSecond) {
    if (!(bytesPerSecond > 0)) return -1;
    return static_cast<double>(freeBytes) / bytesPerSecond / 3600.0;
}

Result<void> CDiskReserve::Hold(const CCharString& folder, int64_t bytes) {
    Release();
    // The owner's identity, then a fresh part, created exclusively: nothing planted in the
    // folder is followed or reused, and a dead owner's reserve can be told from a live one's.
    std::string name = (WithSlash(folder) + kReservePrefix).str() + OwnerTag(ThisProcess()) + "-XXXXXX";
    const int fd = mkostemp(name.data(), O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return NoReserve(folder, errno);
    const CCharString path(name.c_str());
    // Allocated blocks, not a sparse file: the space must really be taken now.
    const int error = posix_fallocate(fd, 0, bytes);
    close(fd);
    if (error != 0) {
        unlink(path.c_str());
        return NoReserve(folder, error);
    }
    m_path = path;
    return {};
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
        // Only names with an owner: a reserve whose owner cannot be told is left alone.
        ProcessIdentity owner;
        const size_t tag = ParseOwnerTag(name.c_str() + prefix.size(), owner);
        if (tag == 0 || !IsUniqueSuffix(name.substr(prefix.size() + tag)) || IsRunning(owner)) continue;
        if (unlink((WithSlash(folder) + name.c_str()).c_str()) == 0) ++removed;
    }
    closedir(dir);
    return removed;
}
