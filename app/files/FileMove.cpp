// rename(2) without replacing, with a copy-then-remove fallback between file systems.
#include "app/files/FileMove.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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
    // A file that appeared at the target meanwhile is someone else's and must not be touched.
    CFileStream out;
    if (!out.Open(to, CFileStream::kWrite | CFileStream::kNew)) return false;

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

namespace {

// Candidates in order: the path, then "%s_%d%s" from 2 on; the first one free at or after `n`.
CCharString FreeVariant(const CCharString& path, int& n) {
    const CCharString extension = ExtensionOf(path);
    const CCharString stem = path.Left(path.GetLength() - extension.GetLength());
    for (;; ++n) {
        CCharString candidate =
            n < 2 ? path : CCharString::Formatted("%s_%d%s", stem.c_str(), n, extension.c_str());
        if (!PathTaken(candidate)) return candidate;
    }
}

// Test-only: widens the gap between finding a free name and creating it, so tests can run two
// recorders into the same name at the same moment.
void PauseBeforeCreateForTests() {
    const char* value = std::getenv("VELSONA_TEST_PAUSE_BEFORE_CREATE_MS");
    const long pauseMs = value ? std::strtol(value, nullptr, 10) : 0;
    if (pauseMs > 0) usleep(static_cast<useconds_t>(pauseMs) * 1000);
}

}  // namespace

CCharString MakeUniquePath(const CCharString& path) {
    int n = 1;
    return FreeVariant(path, n);
}

std::optional<CCharString> CreateUniqueFile(const CCharString& path,
                                            const std::function<void(const CCharString&)>& beforeCreate) {
    for (int n = 1;; ++n) {
        const CCharString candidate = FreeVariant(path, n);
        if (beforeCreate) beforeCreate(candidate);
        PauseBeforeCreateForTests();
        CFileStream file;
        // Exclusive creation decides: whoever else took the name since the look loses nothing.
        const Result<void> created = file.Open(candidate, CFileStream::kWrite | CFileStream::kNew);
        if (created) return candidate;
        if (created.error().error != EEXIST) return std::nullopt;
    }
}

void RemoveIfUnused(const CCharString& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size == 0) unlink(path.c_str());
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
