// Schedule entries: what is refused and why, the start's text both ways, and starts that agree
// with systemd's own calendar across the clock changes.
#include "schedule/ScheduleEntry.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

#include "tests/support/LocalClock.h"
#include "tests/support/Process.h"
#include "tests/support/ResultText.h"

namespace {

ScheduleEntry Weekly(const std::string& name, uint8_t days, int second) {
    ScheduleEntry entry;
    entry.name = name;
    entry.preset = "Radio";
    entry.repeat = ScheduleRepeat::Weekly;
    entry.weekdays = days;
    entry.startSecond = second;
    entry.durationSeconds = 3600;
    return entry;
}

// Local time in the zone set for the test.
class ZoneTest : public testing::Test {
protected:
    void UseZone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
    }
};

}  // namespace

TEST(ScheduleEntry, BadEntriesAreRefusedWithTheirReason) {
    const std::time_t now = 1'800'000'000;
    const std::vector<ScheduleEntry> others = {Weekly("Sunday radio", kSunday, 21 * 3600)};
    const auto presets = [](const std::string& name) { return name == "Radio"; };
    struct Case {
        const char* what;
        std::function<void(ScheduleEntry&)> change;
        const char* reason;  // part of the message; empty: accepted
    };
    const Case cases[] = {
        {"a good entry", [](ScheduleEntry&) {}, ""},
        {"no name", [](ScheduleEntry& e) { e.name = "  "; }, "名前がありません"},
        {"a blank around the name", [](ScheduleEntry& e) { e.name = "Lecture "; }, "空白"},
        {"a line break in the name", [](ScheduleEntry& e) { e.name = "Lec\nture"; }, "制御文字"},
        {"a name taken", [](ScheduleEntry& e) { e.name = "Sunday radio"; }, "もうあります"},
        {"no such preset", [](ScheduleEntry& e) { e.preset = "Gone"; }, "プリセット「Gone」"},
        {"no duration", [](ScheduleEntry& e) { e.durationSeconds = 0; }, "録音時間"},
        {"longer than a week", [](ScheduleEntry& e) { e.durationSeconds = kLongestScheduledDuration + 1; }, "録音時間"},
        {"a week exactly", [](ScheduleEntry& e) { e.durationSeconds = kLongestScheduledDuration; }, ""},
        {"weekly without a day", [](ScheduleEntry& e) { e.weekdays = 0; }, "曜日"},
        {"daily needs no day", [](ScheduleEntry& e) { e.repeat = ScheduleRepeat::Daily; e.weekdays = 0; }, ""},
        {"once in the past",
         [](ScheduleEntry& e) { e.repeat = ScheduleRepeat::Once; e.year = 2020; e.month = 5; e.day = 1; },
         "過ぎています"},
        {"once in the past, disabled",
         [](ScheduleEntry& e) { e.repeat = ScheduleRepeat::Once; e.year = 2020; e.month = 5; e.day = 1; e.enabled = false; },
         ""},
        {"once ahead",
         [](ScheduleEntry& e) { e.repeat = ScheduleRepeat::Once; e.year = 2040; e.month = 2; e.day = 29; },
         ""},
        {"once on no date",
         [](ScheduleEntry& e) { e.repeat = ScheduleRepeat::Once; e.year = 2041; e.month = 2; e.day = 29; },
         "開始日"},
    };
    for (const Case& test : cases) {
        ScheduleEntry entry = Weekly("Lecture", kTuesday, 10 * 3600);
        test.change(entry);
        const Result<void> checked = CheckEntry(entry, others, presets, now);
        if (*test.reason == '\0')
            EXPECT_TRUE(checked) << test.what << ": " << FailureText(checked);
        else
            EXPECT_NE(FailureText(checked).find(test.reason), std::string::npos) << test.what << ": " << FailureText(checked);
    }
}

TEST(ScheduleEntry, TheStartTextReadsBackAndRefusesWhatIsNoStart) {
    for (const char* text : {"once 2026-12-24 21:00", "daily 06:30", "weekly mon,wed,sun 21:00:30", "daily 00:00"}) {
        ScheduleEntry entry;
        ASSERT_TRUE(ParseWhen(text, entry)) << text;
        EXPECT_EQ(WhenText(entry), text);
    }
    ScheduleEntry entry;
    ASSERT_TRUE(ParseWhen("WEEKLY Sun,TUE 6:05", entry));
    EXPECT_EQ(entry.weekdays, kSunday | kTuesday);
    EXPECT_EQ(entry.startSecond, 6 * 3600 + 5 * 60);
    EXPECT_EQ(CalendarExpression(entry), "Tue,Sun *-*-* 06:05:00");
    for (const char* bad : {"", "weekly 21:00", "weekly sun", "weekly sun,xyz 21:00", "daily 24:00", "daily 21:60",
                            "once 2026-02-30 10:00", "once 2026-12-24", "hourly 10:00", "daily 10:00 extra", "daily 10:00x"}) {
        ScheduleEntry untouched = Weekly("x", kMonday, 0);
        EXPECT_FALSE(ParseWhen(bad, untouched)) << bad;
        EXPECT_EQ(untouched, Weekly("x", kMonday, 0)) << bad << " changed the entry";
    }
}

TEST(ScheduleEntry, UnitNamesAreValidAndTellNamesApart) {
    EXPECT_EQ(UnitNameOf("Sunday Radio!").rfind("velsona-schedule-sunday-radio-", 0), 0u);
    EXPECT_NE(UnitNameOf("a b"), UnitNameOf("a-b"));
    const std::string japanese = UnitNameOf("日曜日のラジオ番組をずっと録音するためのとても長い名前のスケジュール");
    EXPECT_LT(japanese.size(), 60u);
    EXPECT_EQ(japanese.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-"), std::string::npos) << japanese;
}

class ScheduleStarts : public ZoneTest {};

// The next five starts as `systemd-analyze calendar` finds them, in seconds since 1970.
std::vector<std::time_t> SystemdStarts(const std::string& expression, std::time_t base) {
    const ProcessResult result = RunProcess("TZ=Europe/Berlin systemd-analyze calendar --iterations=5 --base-time=@" +
                                            std::to_string(base) + " " + ShellQuote(expression) + " 2>&1");
    std::vector<std::time_t> starts;
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        const size_t at = line.find("(in UTC): ");
        if (at == std::string::npos) continue;
        std::tm fields{};
        // "(in UTC): Sun 2027-03-28 19:00:00 UTC"
        if (!strptime(line.c_str() + at + 10 + 4, "%Y-%m-%d %H:%M:%S", &fields)) continue;
        starts.push_back(timegm(&fields));
    }
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return starts;
}

TEST_F(ScheduleStarts, TheNextFiveAreSystemdsAcrossTheClockChanges) {
    UseZone("Europe/Berlin");
    struct Case {
        const char* when;
        std::time_t from;
    };
    const Case cases[] = {
        {"weekly sun 21:00", LocalAt(2027, 3, 10, 12, 0, 0)},        // summer time begins 28 March
        {"weekly sun 21:00", LocalAt(2027, 10, 20, 12, 0, 0)},       // and ends 31 October
        {"weekly sun 02:30", LocalAt(2027, 3, 10, 12, 0, 0)},        // a start the clock skips
        {"weekly sun 02:30", LocalAt(2027, 10, 20, 12, 0, 0)},       // a start the clock shows twice
        {"daily 02:30", LocalAt(2027, 3, 26, 12, 0, 0)},
        {"daily 02:30", LocalAt(2027, 10, 29, 12, 0, 0)},
        {"weekly mon,thu,sat 06:15:30", LocalAt(2027, 3, 24, 6, 15, 0)},
        {"weekly sun 21:00", LocalAt(2027, 3, 28, 21, 0, 0)},        // at a start: the next one
    };
    for (const Case& test : cases) {
        ScheduleEntry entry;
        ASSERT_TRUE(ParseWhen(test.when, entry));
        const std::vector<std::time_t> ours = NextStarts(entry, test.from, 5);
        EXPECT_EQ(ours.size(), 5u) << test.when;
        EXPECT_EQ(ours, SystemdStarts(CalendarExpression(entry), test.from)) << test.when << " from " << test.from;
    }
    ScheduleEntry once;
    ASSERT_TRUE(ParseWhen("once 2027-03-28 21:00", once));
    EXPECT_EQ(NextStarts(once, LocalAt(2027, 1, 1, 0, 0, 0), 5), SystemdStarts(CalendarExpression(once), LocalAt(2027, 1, 1, 0, 0, 0)));
    EXPECT_TRUE(NextStarts(once, LocalAt(2027, 3, 28, 21, 0, 0), 5).empty());
}

TEST_F(ScheduleStarts, ALateStartRecordsTheRestOfItsTime) {
    UseZone("Europe/Berlin");
    ScheduleEntry entry;
    ASSERT_TRUE(ParseWhen("weekly sun 21:00", entry));
    entry.durationSeconds = 3600;
    const std::time_t start = LocalAt(2027, 3, 28, 21, 0, 0);
    const std::optional<PlannedRun> late = LatestRun(entry, start + 20 * 60);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->start, start);
    EXPECT_EQ(late->RemainingSeconds(start + 20 * 60), 40 * 60);
    EXPECT_FALSE(late->Missed(start + 20 * 60));
    const std::optional<PlannedRun> missed = LatestRun(entry, start + 3600);
    ASSERT_TRUE(missed);
    EXPECT_TRUE(missed->Missed(start + 3600));
    EXPECT_EQ(LatestRun(entry, start + 6 * 86400)->start, start) << "the week's start is still the latest";

    ScheduleEntry once;
    ASSERT_TRUE(ParseWhen("once 2027-01-02 10:00", once));
    once.durationSeconds = 600;
    EXPECT_FALSE(LatestRun(once, LocalAt(2027, 1, 2, 9, 59, 0)));
    EXPECT_TRUE(LatestRun(once, LocalAt(2028, 1, 2, 9, 59, 0))->Missed(LocalAt(2028, 1, 2, 9, 59, 0)));
}
