// Where a track's file goes below the output folder, reached one folder at a time through
// descriptors that never follow a link, so a link planted where a template folder goes cannot
// send a track outside the output folder.
#pragma once

#include <optional>

#include "app/files/FileMove.h"
#include "foundation/CharString.h"

// An open folder: names in it are looked up from the descriptor, whatever its path names later.
class CHeldFolder {
public:
    CHeldFolder() = default;
    CHeldFolder(int fd, CCharString path) : m_fd(fd), m_path(std::move(path)) {}
    ~CHeldFolder();
    CHeldFolder(CHeldFolder&& other) noexcept;
    CHeldFolder& operator=(CHeldFolder&& other) noexcept;

    int Fd() const { return m_fd; }
    // The folder's path as it was reached, ending in "/".
    const CCharString& Path() const { return m_path; }

private:
    int m_fd = -1;
    CCharString m_path;
};

struct TrackPlace {
    CHeldFolder folder;
    CCharString name;         // the file's name in it
    CCharString refusedLink;  // a template folder that was a link; the folder is then the output folder
    FileAt File() const { return {folder.Fd(), name}; }
    CCharString Path() const { return folder.Path() + name; }
};

// The place of `path`, a file below `outputFolder`. The output folder may itself be a link (the
// user's own choice) and is made when missing and `create`; every folder between it and the file
// is entered, and made when `create`, without following a link. A link among them is refused:
// the place is then the output folder itself, and `refusedLink` names the link. A path outside
// the output folder, or with no output folder given, has its own folder as the output folder.
// Nothing when a folder cannot be made or entered for another reason, or the path is longer than
// a path may be (errno tells why).
std::optional<TrackPlace> PlaceBelow(const CCharString& outputFolder, const CCharString& path, bool create);

// Moves the file at `from` to `to`, or to the first free numbered variant of `to` when that is
// taken (again when another takes it meanwhile), never replacing anything. Where it is now, or
// nothing when it could not be moved. A file already at `to` stays there.
std::optional<CCharString> MoveToPlace(const TrackPlace& from, const TrackPlace& to);
