// The descriptor walk from the output folder to a track's folder, and moves between such places.
#include "app/files/TrackPlace.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#include "app/files/FileNameTemplate.h"
#include "foundation/PathUtils.h"

CHeldFolder::~CHeldFolder() {
    if (m_fd >= 0) close(m_fd);
}

CHeldFolder::CHeldFolder(CHeldFolder&& other) noexcept : m_fd(other.m_fd), m_path(std::move(other.m_path)) {
    other.m_fd = -1;
}

CHeldFolder& CHeldFolder::operator=(CHeldFolder&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) close(m_fd);
        m_fd = other.m_fd;
        m_path = std::move(other.m_path);
        other.m_fd = -1;
    }
    return *this;
}

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

bool IsLinkIn(int folder, const char* name) {
    struct stat st {};
    return fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace

std::optional<TrackPlace> PlaceBelow(const CCharString& outputFolder, const CCharString& path, bool create) {
    // The walk could go deeper than any path reaches; the writer, the player and the user need one.
    if (path.GetLength() >= PATH_MAX) {
        errno = ENAMETOOLONG;
        return std::nullopt;
    }
    CCharString base = OutputFolderInUse(outputFolder);
    if (!EndsWithChar(base, '/')) base += '/';
    CCharString below = path.Mid(base.GetLength());
    if (outputFolder.IsEmpty() || path.Left(base.GetLength()) != base) {
        base = FolderOf(path);
        below = FileNameOf(path);
    }
    if (create && !base.IsEmpty() && !EnsureFolder(base)) return std::nullopt;
    const int top = open(base.IsEmpty() ? "." : base.c_str(), kFolderFlags);
    if (top < 0) return std::nullopt;

    TrackPlace place{CHeldFolder(top, base), FileNameOf(below), {}};
    const std::string levels = FolderOf(below).str();
    CHeldFolder reached(dup(top), base);
    if (reached.Fd() < 0) return std::nullopt;
    for (size_t start = 0, slash; (slash = levels.find('/', start)) != std::string::npos; start = slash + 1) {
        const std::string level = levels.substr(start, slash - start);
        if (level.empty()) continue;
        // Templates never make these; a journal edited by hand might.
        if (level == "." || level == "..") {
            errno = EINVAL;
            return std::nullopt;
        }
        if (create && mkdirat(reached.Fd(), level.c_str(), 0777) != 0 && errno != EEXIST) return std::nullopt;
        const int next = openat(reached.Fd(), level.c_str(), kFolderFlags | O_NOFOLLOW);
        if (next < 0) {
            if (!IsLinkIn(reached.Fd(), level.c_str())) return std::nullopt;
            place.refusedLink = reached.Path() + level.c_str();
            return place;
        }
        reached = CHeldFolder(next, reached.Path() + level.c_str() + "/");
    }
    place.folder = std::move(reached);
    return place;
}

std::optional<CCharString> MoveToPlace(const TrackPlace& from, const TrackPlace& to) {
    if (from.Path() == to.Path()) return PathTaken(from.File()) ? std::optional(from.Path()) : std::nullopt;
    CCharString name = to.name;
    for (int tries = 0; tries < 8; ++tries) {
        if (MoveFile(from.File(), {to.folder.Fd(), name})) return to.folder.Path() + name;
        // Another recorder may take the free name between the look and the move: take the next one.
        if (!PathTaken({to.folder.Fd(), name})) break;
        name = MakeUniqueName({to.folder.Fd(), name});
    }
    return std::nullopt;
}
