// rename(2) without replacing, with a copy-then-remove fallback between file systems.
#include "app/files/FileMove.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "foundation/FileStream.h"
#include "foundation/PathUtils.h"

namespace {

// Copies `from` to the new file `to` and forces it to disk; false leaves no target behind.
bool CopyToNewFile(const FileAt& from, const FileAt& to, const struct stat& source) {
    CFileStream in;
    if (!in.OpenAt(from.folder, from.name.c_str(), CFileStream::kRead)) return false;
    // A file that appeared at the target meanwhile is someone else's and must not be touched.
    CFileStream out;
    if (!out.OpenAt(to.folder, to.name.c_str(), CFileStream::kWrite | CFileStream::kNew)) return false;

    std::vector<char> buffer(1 << 20);
    int64_t copied = 0;
    bool ok = true;
    for (;;) {
        const int64_t got = in.Read(buffer.data(), static_cast<int64_t>(buffer.size())).value_or(-1);
        if (got < 0) { ok = false; break; }
        if (got == 0) break;
        if (!out.Write(buffer.data(), got)) { ok = false; break; }
        copied += got;
    }
    ok = ok && copied == source.st_size && out.Flush();
    out.Close();
    if (ok) {
        // Keep what the file looked like, as a move within one file system would.
        const timespec times[2] = {source.st_atim, source.st_mtim};
        utimensat(to.folder, to.name.c_str(), times, AT_SYMLINK_NOFOLLOW);
        // As the times, best effort: a file system without modes (a FAT stick) refuses, and the copy stands.
        const int modeKept = fchmodat(to.folder, to.name.c_str(), source.st_mode & 07777, 0);
        static_cast<void>(modeKept);
    } else {
        unlinkat(to.folder, to.name.c_str(), 0);
    }
    return ok;
}

// Candidates in order: the name, then "%s_%d%s" from 2 on; the first one free at or after `n`.
CCharString FreeVariant(const FileAt& file, int& n) {
    const CCharString extension = ExtensionOf(file.name);
    const CCharString stem = file.name.Left(file.name.GetLength() - extension.GetLength());
    for (;; ++n) {
        CCharString candidate =
            n < 2 ? file.name : CCharString::Formatted("%s_%d%s", stem.c_str(), n, extension.c_str());
        if (!PathTaken({file.folder, candidate})) return candidate;
    }
}

}  // namespace

bool PathTaken(const FileAt& file) {
    struct stat st {};
    return fstatat(file.folder, file.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

CCharString MakeUniquePath(const CCharString& path) { return MakeUniqueName(path); }

CCharString MakeUniqueName(const FileAt& file) {
    int n = 1;
    return FreeVariant(file, n);
}

std::optional<CCharString> CreateUniqueFile(const FileAt& file,
                                            const std::function<void(const CCharString&)>& beforeCreate) {
    for (int n = 1;; ++n) {
        const CCharString candidate = FreeVariant(file, n);
        if (beforeCreate) beforeCreate(candidate);
        CFileStream created;
        // Exclusive creation decides: whoever else took the name since the look loses nothing.
        const Result<void> opened = created.OpenAt(file.folder, candidate.c_str(), CFileStream::kWrite | CFileStream::kNew);
        if (opened) return candidate;
        if (opened.error().error != EEXIST) return std::nullopt;
    }
}

void RemoveIfUnused(const CCharString& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0) unlink(path.c_str());
}

bool MoveFile(const FileAt& from, const FileAt& to) {
    if (from.folder == to.folder && from.name == to.name) return PathTaken(from);
    const char* source = from.name.c_str();
    const char* target = to.name.c_str();
    struct stat st {};
    if (fstatat(from.folder, source, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (renameat2(from.folder, source, to.folder, target, RENAME_NOREPLACE) == 0) return true;
    if (errno == EINVAL) {
        // A file system without RENAME_NOREPLACE: look before renaming.
        if (PathTaken(to)) return false;
        if (renameat(from.folder, source, to.folder, target) == 0) return true;
    }
    if (errno != EXDEV || !S_ISREG(st.st_mode)) return false;
    if (!CopyToNewFile(from, to, st)) return false;
    if (unlinkat(from.folder, source, 0) == 0) return true;
    // The source cannot go: keep one copy only, the original.
    unlinkat(to.folder, target, 0);
    return false;
}

Result<void> SyncToDisk(const CCharString& path) {
    const CCharString folder = FolderOf(path);
    const char* items[] = {path.c_str(), folder.IsEmpty() ? "." : folder.c_str()};
    for (const char* item : items) {
        const int fd = open(item, O_RDONLY | O_CLOEXEC);
        if (fd < 0) return ErrnoFailure(errno);
        const int synced = fsync(fd);
        const int error = errno;
        close(fd);
        // Some file systems cannot sync a folder at all; the file's own data is what counts.
        const bool folderUnsupported = item != items[0] && (error == EINVAL || error == EROFS);
        if (synced != 0 && !folderUnsupported) return ErrnoFailure(error);
    }
    return {};
}
