// CActivityLog: what happened while nobody watched (starts, stops, each track's open and close,
// failures, recovered tracks), one dated line per entry in a file both programs append to.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/files/LocalDateTime.h"
#include "foundation/CharString.h"
#include "foundation/UserText.h"

struct RecordingEvent;
struct RecoveredTrack;

enum class LogSeverity { Error, Warning, Information };

// Rotated at this size; this many older files (".1" newest … ".3") are kept.
inline constexpr int64_t kActivityLogCap = 1024 * 1024;
inline constexpr int kActivityLogKeptFiles = 3;

// $XDG_STATE_HOME/velsona/velsona.log, beside the journal of open tracks.
CCharString ActivityLogPath();

// The severity a posted event is logged with; codes the table does not know are warnings, so a
// new kind of trouble is never hidden among the notes.
LogSeverity SeverityOfEvent(int code);
// The word a line carries for its severity, in the current language, and back (in either
// language: programs of both languages may share the file); false for a line that is not an entry.
std::string SeverityWord(LogSeverity severity);
bool ParseLogSeverity(const std::string& line, LogSeverity& severity);

// The last `count` lines of the log and, where it holds fewer, of the rotated file before it.
std::vector<std::string> ReadRecentLogLines(const CCharString& path, size_t count);

// Written on one thread: the owner's. Several processes may append to the same file at once: each
// entry is one write(2) on an O_APPEND descriptor, under an exclusive flock(2) on
// "<path>.lock" that also covers the size check and the rotation, so no line is torn or lost.
class CActivityLog {
public:
    explicit CActivityLog(CCharString program, CCharString path = ActivityLogPath(), int64_t cap = kActivityLogCap,
                          LocalClock clock = CurrentLocalTime);
    ~CActivityLog();
    CActivityLog(const CActivityLog&) = delete;
    CActivityLog& operator=(const CActivityLog&) = delete;

    // `text`, said in the current language (people read the file), becomes one line: line breaks
    // and other control characters become blanks, bytes that are not UTF-8 become U+FFFD.
    void Write(LogSeverity severity, const UserText& text);
    // An event's message with the severity of its code (a fixed text for those that carry none).
    void Record(const RecordingEvent& event);
    void Record(const RecoveredTrack& track);

    const CCharString& Path() const { return m_path; }

    // Each entry as written (velsona-rec echoes it to the journal). Called even when the file
    // could not take it.
    std::function<void(LogSeverity severity, const CCharString& text)> echo;
    // Told once, the first time the file cannot be written; a log that cannot be written never
    // stops a recording.
    std::function<void(const UserText& problem)> onWriteFailure;

private:
    bool Append(const std::string& line);
    bool OpenFiles();
    void Rotate();

    CCharString m_program;
    CCharString m_path;
    int64_t m_cap;
    LocalClock m_clock;
    int m_fd = -1;
    int m_lockFd = -1;
    bool m_failureTold = false;
};
