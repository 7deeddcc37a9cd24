// The activity log: entry lines, the severity of each event code, appending and rotation shared
// by concurrent writers, and reading the recent lines back.
#include "app/control/ActivityLog.h"

#include <QtGlobal>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/control/RecordingControl.h"
#include "app/files/TrackJournal.h"
#include "app/files/TrackRecovery.h"
#include "app/language/Catalogue.h"
#include "foundation/PathUtils.h"

namespace {

struct EventEntry {
    int code;
    LogSeverity severity;
    const char* text;  // for an event that carries no message
};

constexpr EventEntry kEventEntries[] = {
    {kRecordingDurationReached, LogSeverity::Information, QT_TRANSLATE_NOOP("ActivityLog", "録音時間に達しました。")},
    {kRecordingTrackClosed, LogSeverity::Information, QT_TRANSLATE_NOOP("ActivityLog", "トラックを閉じました。")},
    {kRecordingStopped, LogSeverity::Information, QT_TRANSLATE_NOOP("ActivityLog", "録音を停止しました。")},
    {kRecordingTrackOpened, LogSeverity::Information, QT_TRANSLATE_NOOP("ActivityLog", "トラックを開きました。")},
    {kRecordingTrackDropped, LogSeverity::Information, QT_TRANSLATE_NOOP("ActivityLog", "音声のないトラックを削除しました。")},
    {kRecordingFileRemoved, LogSeverity::Information, QT_TRANSLATE_NOOP("ActivityLog", "古い録音を削除しました。")},
    {kRecordingTrackSound, LogSeverity::Information, QT_TRANSLATE_NOOP("ActivityLog", "トラックの音を測りました。")},
    {kRecordingSoundSummary, LogSeverity::Information, QT_TRANSLATE_NOOP("ActivityLog", "録音の音を測りました。")},
    {kRecordingWriteFailed, LogSeverity::Error, QT_TRANSLATE_NOOP("ActivityLog", "ファイルへの書き込みに失敗しました。")},
    {kRecordingSplitFailed, LogSeverity::Error, QT_TRANSLATE_NOOP("ActivityLog", "次のトラックを開けませんでした。")},
    {kRecordingCaptureFailed, LogSeverity::Error, QT_TRANSLATE_NOOP("ActivityLog", "録音デバイスからの入力が途絶えました。")},
    {kRecordingCaptureEnded, LogSeverity::Information, QT_TRANSLATE_NOOP("ActivityLog", "録音デバイスからの入力が終了しました。")},
    {kRecordingTrackUnfinished, LogSeverity::Warning, QT_TRANSLATE_NOOP("ActivityLog", "トラックを仕上げられませんでした。")},
    {kRecordingInputWaiting, LogSeverity::Error, QT_TRANSLATE_NOOP("ActivityLog", "入力が途絶え、戻るのを待っています。")},
    {kRecordingInputRetry, LogSeverity::Warning, QT_TRANSLATE_NOOP("ActivityLog", "入力をもう一度開けませんでした。")},
    {kRecordingInputReturned, LogSeverity::Information, QT_TRANSLATE_NOOP("ActivityLog", "入力が戻りました。")},
    {kRecordingKeepFailed, LogSeverity::Warning, QT_TRANSLATE_NOOP("ActivityLog", "古い録音の削除で空きを作れませんでした。")},
};

const EventEntry* EntryOf(int code) {
    for (const EventEntry& entry : kEventEntries)
        if (entry.code == code) return &entry;
    return nullptr;
}

constexpr const char* kSeverityWords[] = {QT_TRANSLATE_NOOP("ActivityLog", "エラー"), QT_TRANSLATE_NOOP("ActivityLog", "警告"),
                                          QT_TRANSLATE_NOOP("ActivityLog", "情報")};
// A read of the log's tail for the window: far more lines than it shows.
constexpr off_t kTailBytes = 256 * 1024;

// One line: valid UTF-8, no control characters.
std::string OneLine(const CCharString& text) {
    std::string utf8;
    if (!CCharString::ToUtf8(text, utf8)) return {};
    for (char& c : utf8)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    return utf8;
}

CCharString Numbered(const CCharString& path, int number) { return path + CCharString::Formatted(".%d", number); }

void SplitLines(const std::string& text, std::vector<std::string>& lines) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

// The whole lines of the last kTailBytes of a file.
std::vector<std::string> TailLines(const CCharString& path) {
    std::vector<std::string> lines;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return lines;
    struct stat info {};
    std::string text;
    if (fstat(fd, &info) == 0) {
        const off_t from = info.st_size > kTailBytes ? info.st_size - kTailBytes : 0;
        text.resize(static_cast<size_t>(info.st_size - from));
        const ssize_t got = pread(fd, text.data(), text.size(), from);
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        // A read that starts mid-line drops that line's end.
        if (from > 0) text.erase(0, text.find('\n') == std::string::npos ? text.size() : text.find('\n') + 1);
    }
    close(fd);
    SplitLines(text, lines);
    return lines;
}

}  // namespace

CCharString ActivityLogPath() { return TrackJournalFolder() + "/velsona.log"; }

LogSeverity SeverityOfEvent(int code) {
    const EventEntry* entry = EntryOf(code);
    return entry ? entry->severity : LogSeverity::Warning;
}

std::string SeverityWord(LogSeverity severity) {
    return SaidUtf8(UserText("ActivityLog", kSeverityWords[static_cast<int>(severity)]));
}

bool ParseLogSeverity(const std::string& line, LogSeverity& severity) {
    // "2026-12-09 03:12:05 velsona-rec[1234] 警告: …"
    const size_t program = line.find("] ");
    if (program == std::string::npos) return false;
    for (LogSeverity candidate : {LogSeverity::Error, LogSeverity::Warning, LogSeverity::Information}) {
        for (const std::string& word : {std::string(kSeverityWords[static_cast<int>(candidate)]), SeverityWord(candidate)}) {
            if (line.compare(program + 2, word.size() + 1, word + ":") != 0) continue;
            severity = candidate;
            return true;
        }
    }
    return false;
}

std::vector<std::string> ReadRecentLogLines(const CCharString& path, size_t count) {
    std::vector<std::string> lines = TailLines(path);
    if (lines.size() < count) {
        std::vector<std::string> older = TailLines(Numbered(path, 1));
        lines.insert(lines.begin(), older.begin(), older.end());
    }
    if (lines.size() > count) lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(count));
    return lines;
}

CActivityLog::CActivityLog(CCharString program, CCharString path, int64_t cap, LocalClock clock)
    : m_program(std::move(program)), m_path(std::move(path)), m_cap(cap), m_clock(std::move(clock)) {}

CActivityLog::~CActivityLog() {
    if (m_fd >= 0) close(m_fd);
    if (m_lockFd >= 0) close(m_lockFd);
}

void CActivityLog::Write(LogSeverity severity, const UserText& text) {
    const std::string body = OneLine(SaidUtf8(text));
    if (echo) echo(severity, CCharString(body));
    const LocalDateTime t = m_clock();
    const std::string line = CCharString::Formatted("%04d-%02d-%02d %02d:%02d:%02d %s[%d] %s: ", t.year, t.month, t.day,
                                                    t.hour, t.minute, t.second, m_program.c_str(),
                                                    static_cast<int>(getpid()), SeverityWord(severity).c_str())
                                 .str() +
                             body + "\n";
    if (Append(line) || m_failureTold) return;
    m_failureTold = true;
    if (onWriteFailure)
        onWriteFailure(UserText("ActivityLog", "ログファイル %1 に書き込めません（%2）。録音は続けます。")
                           .Arg(m_path.str())
                           .ArgError(errno));
}

void CActivityLog::Record(const RecordingEvent& event) {
    const EventEntry* entry = EntryOf(event.code);
    UserText text = event.message;
    if (text.empty() && entry) text = UserText("ActivityLog", entry->text);
    if (text.empty())
        text = event.path.IsEmpty() ? UserText("ActivityLog", "イベント %1").Arg(event.code)
                                    : UserText("ActivityLog", "イベント %1: %2").Arg(event.code).Arg(event.path.str());
    Write(SeverityOfEvent(event.code), text);
}

void CActivityLog::Record(const RecoveredTrack& track) {
    const std::string from = track.from.str();
    if (!track.found)
        return Write(LogSeverity::Warning, UserText("ActivityLog", "前回終了しきれなかった録音 %1 が見つかりません。").Arg(from));
    if (track.removed)
        return Write(LogSeverity::Information,
                     UserText("ActivityLog", "前回終了しきれなかった録音 %1 は音声がないため削除しました。").Arg(from));
    if (!track.renamed)
        return Write(LogSeverity::Warning,
                     UserText("ActivityLog", "前回終了しきれなかった録音 %1 に名前を付けられませんでした。").Arg(from));
    if (!track.tagged)
        return Write(LogSeverity::Warning,
                     UserText("ActivityLog", "前回終了しきれなかった録音 %1 を仕上げ、次の名前で保存しました: %2（タグを書き込めませんでした）")
                         .Arg(from)
                         .Arg(track.to.str()));
    Write(LogSeverity::Information,
          UserText("ActivityLog", "前回終了しきれなかった録音 %1 を仕上げ、次の名前で保存しました: %2").Arg(from).Arg(track.to.str()));
}

bool CActivityLog::OpenFiles() {
    if (m_fd >= 0 && m_lockFd >= 0) return true;
    EnsureFolder(FolderOf(m_path));
    if (m_lockFd < 0) m_lockFd = open((m_path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) m_fd = open(m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    return m_fd >= 0 && m_lockFd >= 0;
}

void CActivityLog::Rotate() {
    for (int number = kActivityLogKeptFiles; number > 1; --number)
        rename(Numbered(m_path, number - 1).c_str(), Numbered(m_path, number).c_str());
    rename(m_path.c_str(), Numbered(m_path, 1).c_str());
}

bool CActivityLog::Append(const std::string& line) {
    if (!OpenFiles()) return false;
    while (flock(m_lockFd, LOCK_EX) != 0)
        if (errno != EINTR) return false;
    struct stat mine {}, named {};
    // Another writer may have rotated the file this descriptor still names.
    const bool current = fstat(m_fd, &mine) == 0 && stat(m_path.c_str(), &named) == 0 && mine.st_ino == named.st_ino &&
                         mine.st_dev == named.st_dev;
    const bool full = current && mine.st_size > 0 && mine.st_size + static_cast<off_t>(line.size()) > m_cap;
    if (full) Rotate();
    if (!current || full) {
        close(m_fd);
        m_fd = open(m_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    }
    bool written = false;
    int savedErrno = 0;
    if (m_fd >= 0 && fstat(m_fd, &mine) == 0) {
        const ssize_t count = write(m_fd, line.data(), line.size());
        written = count == static_cast<ssize_t>(line.size());
        savedErrno = count < 0 ? errno : ENOSPC;
        // A full disk that took part of the line: the part goes, so every line stays whole.
        if (!written && count > 0 && ftruncate(m_fd, mine.st_size) != 0) {
            // Left as it is: the window shows a torn line as plain text.
        }
    } else {
        savedErrno = errno;
    }
    flock(m_lockFd, LOCK_UN);
    errno = savedErrno;
    return written;
}
