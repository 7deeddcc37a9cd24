// rename(2) without replacing, with a copy-then-remove fallback between file systems.
#include "app/FileMove.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "foundation/FileStream.h"
#include "foundation/PathUtils.h"

namespace {

// Copies `from` to the new file `to` and forces it to disk; false leaves no target behind.
bool CopyToNewFile(const char* from, const char* to, const struct stat& source) {
    CFileStream in;
    if (!in.Open(from, CFileStream::kRead)) return false;
    // Open(kWrite) creates but does not truncate: a file that appeared meanwhile is someone
    // else's and must not be touched.
    if (PathTaken(to)) return false;
    CFileStream out;
    if (!out.Open(to, CFileStream::kWrite)) return false;
    if (out.GetSize() != 0) return false;

    std::vector<char> buffer(1 << 20);
    int64_t copied = 0;
    bool ok = true;
    for (;;) {
        const int64_t got = in.Read(buffer.data(), static_cast<int64_t>(buffer.size()));
        if (got < 0) { ok = false; break; }
        if (got == 0) break;
        if (out.Write(buffer.data(), got) != got) { ok = false; break; }
        copied += got;
    }
    ok = ok && copied == source.st_size && out.Flush() == 1;
    out.Close();
    if (ok) {
        // Keep what the file looked like, as a move within one file system would.
        const timespec times[2] = {source.st_atim, source.st_mtim};
        utimensat(AT_FDCWD, to, times, 0);
        chmod(to, source.st_mode & 07777);
    } else {
        unlink(to);
    }
    return ok;
}

}  // namespace

bool PathTaken(const CCharString& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

CCharString MakeUniquePath(const CCharString& path) {
    if (!PathTaken(path)) return path;
    const CCharString extension = ExtensionOf(path);
    const CCharString stem = path.Left(path.GetLength() - extension.GetLength());
    for (int n = 2;; ++n) {
        CCharString candidate = CCharString::Formatted("%s_%d%s", stem.c_str(), n, extension.c_str());
        if (!PathTaken(candidate)) return candidate;
    }
}

bool MoveFile(const CCharString& from, const CCharString& to) {
    if (from == to) return PathTaken(from);
    struct stat source {};
    if (lstat(from.c_str(), &source) != 0) return false;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EINVAL) {
        // A file system without RENAME_NOREPLACE: look before renaming.
        if (PathTaken(to)) return false;
        if (rename(from.c_str(), to.c_str()) == 0) return true;
    }
    if (errno != EXDEV || !S_ISREG(source.st_mode)) return false;
    if (!CopyToNewFile(from.c_str(), to.c_str(), source)) return false;
    if (unlink(from.c_str()) == 0) return true;
    // The source cannot go: keep one copy only, the original.
    unlink(to.c_str());
    return false;
}
