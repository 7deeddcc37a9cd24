// The schedule's file and its log: what is kept reads back, and a file that is not a schedule
// is refused with where and why, never half read.
#include "schedule/ScheduleStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "schedule/ScheduleLog.h"
#include "tests/support/ResultText.h"
#include "tests/support/TempDir.h"

namespace {

std::vector<ScheduleEntry> SomeEntries() {
    std::vector<ScheduleEntry> entries(3);
    entries[0].name = "Sunday radio [FM]";
    entries[0].preset = "Radio";
    EXPECT_TRUE(ParseWhen("weekly sun 21:00", entries[0]));
    entries[0].durationSeconds = 3600;
    entries[0].endAction = EndAction::PowerOff;
    entries[0].keepDays = 30;
    entries[0].keepFreeMb = 0;
    entries[1].name = "講義 = 火曜";
    entries[1].preset = "(デフォルト設定)";
    EXPECT_TRUE(ParseWhen("once 2027-01-05 10:15:30", entries[1]));
    entries[1].durationSeconds = kLongestScheduledDuration;
    entries[1].enabled = false;
    entries[2].name = "# not a comment";
    entries[2].preset = "Rehearsal";
    EXPECT_TRUE(ParseWhen("daily 19:00", entries[2]));
    entries[2].durationSeconds = 1;
    return entries;
}

}  // namespace

TEST(ScheduleStore, EntriesReadBackAsWrittenAndNoFileIsAnEmptySchedule) {
    TempDir dir;
    const std::string path = dir / "deeper/velsona/schedule.conf";
    Result<std::vector<ScheduleEntry>> none = LoadSchedule(path);
    ASSERT_TRUE(none) << FailureText(none);
    EXPECT_TRUE(none->empty());
    ASSERT_TRUE(SaveSchedule(SomeEntries(), path));
    Result<std::vector<ScheduleEntry>> loaded = LoadSchedule(path);
    ASSERT_TRUE(loaded) << FailureText(loaded);
    EXPECT_EQ(*loaded, SomeEntries());
    EXPECT_NE(ReadFileBytes(path).find("when = weekly sun 21:00\n"), std::string::npos) << "readable by a person";
    EXPECT_EQ(FilesUnder(dir / "deeper/velsona").size(), 1u) << "no temporary file left";
}

TEST(ScheduleStore, AFileThatIsNoScheduleIsRefusedWithItsLine) {
    TempDir dir;
    const std::string good = [&] {
        EXPECT_TRUE(SaveSchedule(SomeEntries(), dir / "good.conf"));
        return ReadFileBytes(dir / "good.conf");
    }();
    struct Case {
        const char* what;
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {"garbage", "\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR", "スケジュールのファイルではありません"},
        {"a line of nothing known", "hello world\n", "1 行目"},
        {"cut in the middle of an entry", good.substr(0, good.find("duration = 3600")), "duration がありません"},
        {"cut in the middle of a line", good.substr(0, good.find("weekly sun") + 8), "開始の指定ではありません"},
        {"an unknown key", good + "colour = red\n", "知らない項目"},
        {"a duration too long", "[a]\npreset = x\nwhen = daily 10:00\nduration = 604801\n", "604800"},
        {"two entries of one name", good + "\n[Sunday radio [FM]]\npreset = x\nwhen = daily 10:00\nduration = 5\n", "二つ"},
        {"a bad end action", "[a]\npreset = x\nwhen = daily 10:00\nduration = 5\nend-action = reboot\n", "reboot"},
    };
    for (const Case& test : cases) {
        WriteFileBytes(dir / "schedule.conf", test.text);
        const Result<std::vector<ScheduleEntry>> loaded = LoadSchedule(dir / "schedule.conf");
        EXPECT_NE(FailureText(loaded).find(test.reason), std::string::npos) << test.what << ": " << FailureText(loaded);
    }
    ASSERT_EQ(mkdir((dir / "folder.conf").c_str(), 0755), 0);
    EXPECT_FALSE(LoadSchedule(dir / "folder.conf"));
    EXPECT_FALSE(SaveSchedule(SomeEntries(), dir / "folder.conf")) << "a folder is not replaced";
}

TEST(ScheduleLog, EachEntrysLastResultIsItsLatestLine) {
    TempDir dir;
    const std::string path = dir / "state/schedule.log";
    EXPECT_FALSE(LastScheduleResult("Sunday radio", path));
    ASSERT_TRUE(AppendScheduleResult("Sunday radio", {ScheduleOutcome::Started, 100, ""}, path));
    ASSERT_TRUE(AppendScheduleResult("Lecture", {ScheduleOutcome::Missed, 150, "ended at 10:00"}, path));
    ASSERT_TRUE(AppendScheduleResult("Sunday radio", {ScheduleOutcome::Failed, 200, "disk\tfull\nreally"}, path));
    WriteFileBytes(path, ReadFileBytes(path) + "garbage line\n12 x\tunknown\tLecture\t\n");
    const std::optional<ScheduleResult> radio = LastScheduleResult("Sunday radio", path);
    ASSERT_TRUE(radio);
    EXPECT_EQ(radio->outcome, ScheduleOutcome::Failed);
    EXPECT_EQ(radio->time, 200);
    EXPECT_EQ(radio->detail, "disk full really");
    EXPECT_EQ(LastScheduleResults(path).at("Lecture").outcome, ScheduleOutcome::Missed);
    EXPECT_EQ(LastScheduleResults(path).size(), 2u);
}
