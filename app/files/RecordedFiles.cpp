// The record of finished recordings: a small text file replaced whole at each change.
#include "app/files/RecordedFiles.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <fcntl.h>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/files/TrackJournal.h"
#include "foundation/PathUtils.h"
#include "schedule/TextFile.h"

namespace {

constexpr const char* kHeader = "velsona-recordings 1";
constexpr size_t kFingerprintBlock = 64 * 1024;

uint64_t Fnv1a(uint64_t hash, const unsigned char* data, size_t size) {
    for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 0x100000001b3ULL;
    return hash;
}

// The first and the last block: an edit of the tags or of the ending shows there.
std::optional<uint64_t> FingerprintOf(int fd, uint64_t size) {
    std::vector<unsigned char> block(kFingerprintBlock);
    uint64_t hash = 0xcbf29ce484222325ULL;
    const uint64_t starts[] = {0, size > kFingerprintBlock ? size - kFingerprintBlock : 0};
    for (const uint64_t start : starts) {
        const ssize_t got = pread(fd, block.data(), block.size(), static_cast<off_t>(start));
        if (got < 0) return std::nullopt;
        hash = Fnv1a(hash, block.data(), static_cast<size_t>(got));
    }
    return hash;
}

std::string Escape(const CCharString& text) {
    std::string out;
    for (const char c : text.str()) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

std::optional<CCharString> Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size() || (text[i] != '\\' && text[i] != 'n')) return std::nullopt;
        out += text[i] == 'n' ? '\n' : '\\';
    }
    return CCharString(out.c_str());
}

Failure Corrupt(const CCharString& path, size_t line) {
    return KindFailure(FailureKind::kBadData,
                       UserText("RecordedFiles", "録音の記録 %1 が壊れています (%2 行目)").Arg(path.str()).Arg(static_cast<long long>(line)));
}

}  // namespace

std::optional<RecordedFile> DescribeFileAt(int dirFd, const char* name) {
    const int fd = openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<RecordedFile> file;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        if (const std::optional<uint64_t> hash = FingerprintOf(fd, static_cast<uint64_t>(st.st_size)))
            file = RecordedFile{CCharString(name), static_cast<uint64_t>(st.st_size),
                                static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, *hash};
    }
    close(fd);
    return file;
}

std::optional<RecordedFile> DescribeFile(const CCharString& path) {
    std::optional<RecordedFile> file = DescribeFileAt(AT_FDCWD, path.c_str());
    if (file) file->path = path;
    return file;
}

CCharString RecordedFilesPath() { return TrackJournalFolder() + "/recordings"; }

Result<std::vector<RecordedFile>> LoadRecordedFiles(const CCharString& path) {
    const Result<std::optional<std::string>> read = ReadTextFile(path.str());
    if (!read) return SystemFailure(read.error().error, UserText("RecordedFiles", "録音の記録 %1 を読めません").Arg(path.str()));
    if (!*read) return std::vector<RecordedFile>{};
    std::istringstream lines(**read);
    std::string line;
    if (!std::getline(lines, line) || line != kHeader) return Corrupt(path, 1);
    std::vector<RecordedFile> files;
    for (size_t number = 2; std::getline(lines, line); ++number) {
        unsigned long long count = 0;
        int used = 0;
        // The last line counts the entries: a record cut short is told from a short one.
        if (std::sscanf(line.c_str(), "end %llu%n", &count, &used) == 1 && static_cast<size_t>(used) == line.size()) {
            if (count != files.size() || std::getline(lines, line)) return Corrupt(path, number);
            return files;
        }
        RecordedFile file;
        unsigned long long size = 0, fingerprint = 0;
        long long modified = 0;
        if (std::sscanf(line.c_str(), "%llu %lld %16llx %n", &size, &modified, &fingerprint, &used) != 3 || used == 0 ||
            static_cast<size_t>(used) >= line.size())
            return Corrupt(path, number);
        const std::optional<CCharString> filePath = Unescape(line.substr(static_cast<size_t>(used)));
        if (!filePath || filePath->str()[0] != '/') return Corrupt(path, number);
        files.push_back({*filePath, size, modified, fingerprint});
    }
    return Corrupt(path, files.size() + 2);
}

Result<void> SaveRecordedFiles(const CCharString& path, const std::vector<RecordedFile>& files) {
    std::ostringstream out;
    out << kHeader << '\n';
    for (const RecordedFile& f : files) {
        char numbers[80];
        std::snprintf(numbers, sizeof numbers, "%" PRIu64 " %" PRId64 " %016" PRIx64 " ", f.size, f.modifiedNs, f.fingerprint);
        out << numbers << Escape(f.path) << '\n';
    }
    out << "end " << files.size() << '\n';
    const std::string text = out.str();
    const CCharString temporary = path + ".new";
    const UserText cannot = UserText("RecordedFiles", "録音の記録 %1 を書き込めません").Arg(path.str());
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return SystemFailure(errno, cannot);
    bool written = true;
    for (size_t at = 0; written && at < text.size();) {
        const ssize_t n = write(fd, text.data() + at, text.size() - at);
        written = n > 0;
        if (written) at += static_cast<size_t>(n);
    }
    written = written && fsync(fd) == 0;
    const int error = errno;
    close(fd);
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        const int failed = written ? errno : error;
        unlink(temporary.c_str());
        return SystemFailure(failed, cannot);
    }
    return {};
}

CRecordedFilesLock::CRecordedFilesLock(const CCharString& recordPath) {
    EnsureFolder(FolderOf(recordPath));
    m_fd = open((recordPath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd >= 0)
        while (flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {}
}

CRecordedFilesLock::~CRecordedFilesLock() {
    if (m_fd >= 0) close(m_fd);
}
