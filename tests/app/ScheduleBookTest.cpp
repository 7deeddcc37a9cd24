// The schedule as the window edits it: which entries overlap, a refused change leaves the file
// as it was, the run the window arms next and the result it logs.
#include "app/control/ScheduleBook.h"

#include <cstdio>
#include <gtest/gtest.h>

#include "foundation/CharString.h"
#include "schedule/ScheduleStore.h"
#include "tests/support/LocalClock.h"
#include "tests/support/TempDir.h"

namespace {

// Thursday 10 December 2026, 12:00.
const std::time_t kNow = LocalAt(2026, 12, 10, 12, 0, 0);

ScheduleEntry Weekly(const std::string& name, uint8_t days, int hour, int minute, int64_t minutes) {
    ScheduleEntry entry;
    entry.name = name;
    entry.preset = "(デフォルト設定)";
    entry.repeat = ScheduleRepeat::Weekly;
    entry.weekdays = days;
    entry.startSecond = hour * 3600 + minute * 60;
    entry.durationSeconds = minutes * 60;
    return entry;
}

ScheduleEntry Daily(const std::string& name, int hour, int minute, int64_t minutes) {
    ScheduleEntry entry = Weekly(name, 0, hour, minute, minutes);
    entry.repeat = ScheduleRepeat::Daily;
    return entry;
}

ScheduleEntry Once(const std::string& name, int month, int day, int hour, int minute, int64_t minutes) {
    ScheduleEntry entry = Weekly(name, 0, hour, minute, minutes);
    entry.repeat = ScheduleRepeat::Once;
    entry.year = 2026 + (month < 12);
    entry.month = month;
    entry.day = day;
    return entry;
}

class ScheduleBook : public testing::Test {
protected:
    CScheduleBook MakeBook() {
        return CScheduleBook(nullptr, [](const std::string& preset) { return preset == "(デフォルト設定)"; },
                             {dir / "schedule.conf", dir / "schedule.log"}, [this] { return now; });
    }

    TempDir dir;
    std::time_t now = kNow;
    CScheduleBook book = MakeBook();
};

struct OverlapCase {
    const char* what;
    ScheduleEntry existing;
    ScheduleEntry added;
    bool overlaps;
};

class Overlaps : public ScheduleBook, public testing::WithParamInterface<OverlapCase> {};

TEST_P(Overlaps, AreFoundOverTheWholeWeekAndAcrossMidnight) {
    const OverlapCase& c = GetParam();
    ASSERT_TRUE(book.Put(c.existing, {}));
    ASSERT_TRUE(book.Put(c.added, {})) << "an overlap is allowed";
    const std::vector<std::string> found = book.Overlapping(c.added, c.added.name);
    EXPECT_EQ(found, c.overlaps ? std::vector<std::string>{c.existing.name} : std::vector<std::string>{}) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, Overlaps,
    testing::Values(OverlapCase{"same day, later start within", Weekly("a", kMonday, 21, 0, 60), Weekly("b", kMonday, 21, 30, 30), true},
                    OverlapCase{"end meets start", Weekly("a", kMonday, 21, 0, 60), Weekly("b", kMonday, 22, 0, 30), false},
                    OverlapCase{"another day", Weekly("a", kMonday, 21, 0, 60), Weekly("b", kTuesday, 21, 0, 60), false},
                    OverlapCase{"over midnight into Sunday", Weekly("a", kSaturday, 23, 30, 120), Weekly("b", kSunday, 0, 30, 10), true},
                    OverlapCase{"daily meets one weekly day", Daily("a", 7, 0, 30), Weekly("b", kFriday | kSunday, 7, 15, 5), true},
                    OverlapCase{"once, weeks ahead, on a weekly day", Weekly("a", kThursday, 9, 0, 60), Once("b", 1, 28, 9, 59, 5), true},
                    OverlapCase{"once, another day", Weekly("a", kThursday, 9, 0, 60), Once("b", 1, 27, 9, 30, 5), false}),
    [](const testing::TestParamInfo<OverlapCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(ScheduleBook, ADisabledEntryOverlapsNothing) {
    ScheduleEntry off = Weekly("off", kMonday, 21, 0, 60);
    off.enabled = false;
    ASSERT_TRUE(book.Put(off, {}));
    ASSERT_TRUE(book.Put(Weekly("on", kMonday, 21, 0, 60), {}));
    EXPECT_TRUE(book.Overlapping(*FindEntry(book.Entries(), "on"), "on").empty());
    EXPECT_TRUE(book.Overlapping(off, "off").empty());
}

// Every change is in the file at once; one that is refused leaves the file byte for byte.
TEST_F(ScheduleBook, ChangesReachTheFileAndARefusedOneChangesNothing) {
    ASSERT_TRUE(book.Put(Weekly("radio", kMonday | kWednesday, 7, 30, 60), {}));
    ASSERT_TRUE(book.Put(Daily("news", 19, 0, 15), {}));
    const std::string before = ReadFileBytes(dir / "schedule.conf");

    ScheduleEntry renamed = Daily("radio", 19, 0, 15);  // "news" renamed onto an existing name
    EXPECT_FALSE(book.Put(renamed, "news"));
    EXPECT_FALSE(book.Put(Weekly("", kMonday, 7, 0, 60), {}));
    EXPECT_FALSE(book.Put(Weekly("none", 0, 7, 0, 60), {}));
    EXPECT_FALSE(book.Put(Once("past", 12, 10, 11, 59, 5), {}));
    EXPECT_TRUE(book.SetEnabled("radio", true)) << "enabling what is enabled is no change, not a failure";
    EXPECT_EQ(ReadFileBytes(dir / "schedule.conf"), before);
    EXPECT_EQ(book.Entries().size(), 2u);

    ASSERT_TRUE(book.SetEnabled("news", false));
    ASSERT_TRUE(book.Remove("radio"));
    CScheduleBook again = MakeBook();
    ASSERT_TRUE(again.Load());
    ASSERT_EQ(again.Entries().size(), 1u);
    EXPECT_EQ(again.Entries()[0].name, "news");
    EXPECT_FALSE(again.Entries()[0].enabled);
    EXPECT_TRUE(again.UpcomingStarts(again.Entries()[0], 5).empty()) << "a disabled entry has no next start";
}

// Without timers the window arms the earliest enabled start, and logs what came of it.
TEST_F(ScheduleBook, TheWindowArmsTheEarliestEnabledRunAndLogsItsResult) {
    ScheduleEntry early = Daily("early", 12, 30, 10);
    early.enabled = false;
    ScheduleEntry sunday = Weekly("sunday", kSunday, 6, 0, 45);
    sunday.endAction = EndAction::Hibernate;
    ASSERT_TRUE(book.Put(early, {}));
    ASSERT_TRUE(book.Put(sunday, {}));
    ASSERT_TRUE(book.Put(Daily("evening", 20, 0, 30), {}));

    std::optional<CScheduleBook::WindowRun> run = book.NextWindowRun(now);
    ASSERT_TRUE(run);
    EXPECT_EQ(run->entry.name, "evening");
    EXPECT_EQ(run->start, LocalAt(2026, 12, 10, 20, 0, 0));
    run = book.NextWindowRun(LocalAt(2026, 12, 12, 20, 0, 0));  // Saturday's evening has begun
    ASSERT_TRUE(run);
    EXPECT_EQ(run->entry.name, "sunday");
    const RecordingSchedule schedule = CScheduleBook::ScheduleOf(*run);
    EXPECT_EQ(schedule.startMode, 1);
    EXPECT_EQ(schedule.startTime, LocalAt(2026, 12, 13, 6, 0, 0));
    EXPECT_TRUE(schedule.StopsAfterDuration());
    EXPECT_EQ(schedule.durationSeconds, 45 * 60);
    EXPECT_TRUE(schedule.endActionArmed);
    EXPECT_EQ(schedule.endAction, EndAction::Hibernate);

    EXPECT_TRUE(book.LastResults().empty());
    ASSERT_TRUE(book.RecordResult("sunday", ScheduleOutcome::Started));
    now += 45 * 60;
    ASSERT_TRUE(book.RecordResult("sunday", ScheduleOutcome::Failed, "no input"));
    const std::map<std::string, ScheduleResult> last = book.LastResults();
    ASSERT_EQ(last.count("sunday"), 1u);
    EXPECT_EQ(last.at("sunday").outcome, ScheduleOutcome::Failed);
    EXPECT_EQ(last.at("sunday").time, now);
    EXPECT_EQ(last.at("sunday").detail, "no input");
}

// A file spoilt by hand is told, and kept as it is until it reads again.
TEST_F(ScheduleBook, AFileThatIsNoScheduleIsToldAndNeverOverwritten) {
    ASSERT_TRUE(book.Put(Daily("news", 19, 0, 15), {}));
    const std::string spoilt = "[news\nthis is not a schedule\n";
    WriteFileBytes(dir / "schedule.conf", spoilt);
    EXPECT_FALSE(book.Load());
    EXPECT_TRUE(book.Entries().empty());
    EXPECT_FALSE(book.Put(Daily("other", 7, 0, 15), {}));
    EXPECT_EQ(ReadFileBytes(dir / "schedule.conf"), spoilt);
    std::remove((dir / "schedule.conf").c_str());
    ASSERT_TRUE(book.Load());
    EXPECT_TRUE(book.Put(Daily("other", 7, 0, 15), {}));
}

}  // namespace
