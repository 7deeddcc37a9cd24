// The activity log: two programs appending at once across rotations, the severity and text of
// each event, one whole UTF-8 line per entry, and a log that cannot be written.
#include "app/control/ActivityLog.h"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "app/control/RecordingControl.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserLanguage.h"

namespace {

std::vector<std::string> LinesOf(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream text(ReadFileBytes(path));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

// The number after "line " in an entry of `program`, or -1.
int LineNumber(const std::string& line, const std::string& program) {
    const size_t at = line.find(" " + program + "[");
    const size_t number = line.find("line ");
    return at == std::string::npos || number == std::string::npos ? -1 : std::stoi(line.substr(number + 5));
}

// Small, so that a few thousand lines rotate the log several times.
constexpr int64_t kCap = 64 * 1024;

void WriteLines(const std::string& path, const char* program, int from, int count) {
    CActivityLog log(program, CCharString(path), kCap);
    const std::string padding(80, 'x');
    for (int i = from; i < from + count; ++i)
        log.Write(LogSeverity::Information, UserText::Verbatim(CCharString::Formatted("line %06d %s", i, padding.c_str()).str()));
}

// Every line of the log and its rotated files, oldest first; each file within the cap, the
// rotated ones full.
std::vector<std::string> AllLines(const std::string& path) {
    std::vector<std::string> lines;
    for (int number = kActivityLogKeptFiles; number >= 0; --number) {
        const std::string file = number ? path + "." + std::to_string(number) : path;
        if (!PathExists(file)) continue;
        struct stat info {};
        EXPECT_EQ(stat(file.c_str(), &info), 0);
        EXPECT_LE(info.st_size, kCap) << file;
        // Rotated only when full: another writer's rotation is followed, not repeated.
        if (number > 0) {
            EXPECT_GT(info.st_size, kCap - 200) << file;
        }
        for (const std::string& line : LinesOf(file)) lines.push_back(line);
    }
    EXPECT_FALSE(PathExists(path + "." + std::to_string(kActivityLogKeptFiles + 1)));
    return lines;
}

TEST(ActivityLog, TwoWritersAtOnceRotateAtTheCapKeepingThreeOldFilesAndEveryLineWhole) {
    TempDir dir;
    const std::string path = dir / "state/velsona/velsona.log";  // the folders are made
    constexpr int kEach = 600;  // 2.5 files' worth from the two together
    std::thread a(WriteLines, path, "writer-a", 0, kEach), b(WriteLines, path, "writer-b", 0, kEach);
    a.join();
    b.join();
    ASSERT_TRUE(PathExists(path + ".2")) << "rotated twice";
    std::vector<std::string> lines = AllLines(path);
    for (const char* program : {"writer-a", "writer-b"}) {
        int expected = 0;
        for (const std::string& line : lines) {
            LogSeverity severity;
            ASSERT_TRUE(ParseLogSeverity(line, severity)) << line;
            const int number = LineNumber(line, program);
            if (number < 0) continue;
            ASSERT_EQ(number, expected) << program << ": nothing lost, doubled or out of order";
            ++expected;
        }
        EXPECT_EQ(expected, kEach) << program;
    }

    // Far past three old files: the oldest lines go, the rest stay without a gap.
    WriteLines(path, "writer-a", kEach, 3 * kEach);
    lines = AllLines(path);
    int previous = -1;
    for (const std::string& line : lines) {
        const int number = LineNumber(line, "writer-a");
        if (number < 0) continue;
        if (previous >= 0) {
            ASSERT_EQ(number, previous + 1);
        }
        previous = number;
    }
    EXPECT_EQ(previous, 4 * kEach - 1);
    size_t bytes = 0;
    for (const std::string& line : lines) bytes += line.size() + 1;
    EXPECT_GT(bytes, static_cast<size_t>(3 * (kCap - 200))) << "three full old files are kept";
}

// Each event with the severity its code has, its message or the code's own text, on one line of
// valid UTF-8.
TEST(ActivityLog, EventsAreLoggedWithTheSeverityOfTheirCodeOnOneLine) {
    const struct {
        int code;
        const char* message;
        const char* path;
        LogSeverity severity;
        const char* text;
    } kCases[] = {
        {kRecordingWriteFailed, "書けません: /r/a.wav", "/r/a.wav", LogSeverity::Error, "書けません: /r/a.wav"},
        {kRecordingSplitFailed, "bad \xff byte", "", LogSeverity::Error, "bad \uFFFD byte"},
        {kRecordingCaptureFailed, "入力が途絶えました", "", LogSeverity::Error, "入力が途絶えました"},
        {kRecordingTrackUnfinished, "タグなし:\n/r/a.wav", "", LogSeverity::Warning, "タグなし: /r/a.wav"},
        {kRecordingCaptureEnded, "", "/r/b.wav", LogSeverity::Information, "録音デバイスからの入力が終了しました。"},
        {kRecordingTrackClosed, "トラック 1 を閉じました", "", LogSeverity::Information, "トラック 1 を閉じました"},
        {999, "", "/r/c.wav", LogSeverity::Warning, "イベント 999: /r/c.wav"},
    };
    TempDir dir;
    CActivityLog log("velsona", CCharString(dir / "velsona.log"), kActivityLogCap,
                     [] { return LocalDateTime{2026, 12, 9, 3, 12, 5, 0}; });
    std::vector<std::string> echoed;
    log.echo = [&](LogSeverity, const CCharString& text) { echoed.push_back(text.str()); };
    for (const auto& c : kCases)
        log.Record(RecordingEvent{c.code, 1, 1, c.path, *c.message ? UserText::Verbatim(c.message) : UserText()});
    const std::vector<std::string> lines = LinesOf(dir / "velsona.log");
    ASSERT_EQ(lines.size(), std::size(kCases));
    const std::string prefix = "2026-12-09 03:12:05 velsona[" + std::to_string(getpid()) + "] ";
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(kCases[i].code);
        EXPECT_EQ(lines[i], prefix + SeverityWord(kCases[i].severity) + ": " + kCases[i].text);
        LogSeverity severity = LogSeverity::Information;
        EXPECT_TRUE(ParseLogSeverity(lines[i], severity));
        EXPECT_EQ(severity, kCases[i].severity);
        EXPECT_EQ(echoed[i], kCases[i].text);
    }
}

TEST(ActivityLog, ALogThatCannotBeWrittenIsToldOnceAndStillEchoed) {
    TempDir dir;
    WriteFileBytes(dir / "state", "a file where the folder should be");
    CActivityLog log("velsona-rec", CCharString(dir / "state/velsona/velsona.log"));
    std::vector<std::string> told;
    int echoed = 0;
    log.onWriteFailure = [&](const UserText& problem) { told.push_back(SaidUtf8(problem)); };
    log.echo = [&](LogSeverity, const CCharString&) { ++echoed; };
    for (int i = 0; i < 3; ++i) log.Write(LogSeverity::Error, UserText::Verbatim("録音できません"));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(dir / "state/velsona/velsona.log"), std::string::npos) << told[0];
    EXPECT_NE(told[0].find("Not a directory"), std::string::npos) << told[0];
    EXPECT_EQ(echoed, 3);
}

// People read the file: an English user's lines are English, words and severity alike, and an
// English window still reads the lines a Japanese program wrote.
TEST(ActivityLog, LinesAreSaidInTheUsersLanguageAndReadBackInEither) {
    TempDir dir;
    const CCharString path(dir / "velsona.log");
    CActivityLog(CCharString("velsona-rec"), path).Record(RecordingEvent{kRecordingCaptureFailed, 1, 1, {}, {}});
    UserLanguage english(Language::kEnglish);
    ASSERT_TRUE(english.active());
    CActivityLog(CCharString("velsona-rec"), path).Record(RecordingEvent{kRecordingCaptureFailed, 1, 1, {}, {}});
    const std::vector<std::string> lines = LinesOf(dir / "velsona.log");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("エラー: 録音デバイスからの入力が途絶えました。"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("error: The input from the recording device was lost."), std::string::npos) << lines[1];
    EXPECT_FALSE(HasJapanese(lines[1])) << lines[1];
    for (const std::string& line : lines) {
        LogSeverity severity = LogSeverity::Information;
        EXPECT_TRUE(ParseLogSeverity(line, severity)) << line;
        EXPECT_EQ(severity, LogSeverity::Error) << line;
    }
}

}  // namespace
