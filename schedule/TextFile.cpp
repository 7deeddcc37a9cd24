// Whole-file reads and atomic replacements.
#include "schedule/TextFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/PathUtils.h"

namespace {

Failure FileFailure(int error, const std::string& path) {
    return SystemFailure(error, UserText("TextFile", "ファイル %1 を扱えません: %2").Arg(path).ArgError(error));
}

bool WriteAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

Result<std::optional<std::string>> ReadTextFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::optional<std::string>();
        return FileFailure(errno, path);
    }
    std::string text;
    char buffer[8192];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int error = errno;
            close(fd);
            return FileFailure(error, path);
        }
        if (got == 0) break;
        text.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return std::optional<std::string>(std::move(text));
}

Result<void> WriteTextFileAtomically(const std::string& path, const std::string& text) {
    const std::filesystem::path target(path);
    if (!EnsureFolder(CCharString(target.parent_path().string()))) return FileFailure(errno ? errno : EACCES, target.parent_path().string());
    std::string temporary = path + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return FileFailure(errno, path);
    const bool written = fchmod(fd, 0644) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
    const int error = errno;
    if (close(fd) != 0 || !written) {
        unlink(temporary.c_str());
        return FileFailure(written ? errno : error, path);
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        unlink(temporary.c_str());
        return FileFailure(renameError, path);
    }
    return {};
}
