// Duration texts, the recording title and the timer dialog's rules.
#include "schedule/RecordingSchedule.h"

#include <gtest/gtest.h>
#include <optional>

#include "schedule/RecordTimer.h"
#include "tests/support/LocalClock.h"
#include "tests/support/GermanLocale.h"

TEST(FormatDuration, SecondsMinutesAndHours) {
    EXPECT_EQ(FormatDuration(0).SourceText(), "0 秒");
    EXPECT_EQ(FormatDuration(59).SourceText(), "59 秒");
    EXPECT_EQ(FormatDuration(60).SourceText(), "1 分00 秒");
    EXPECT_EQ(FormatDuration(3 * 60).SourceText(), "3 分00 秒");
    EXPECT_EQ(FormatDuration(59 * 60 + 7).SourceText(), "59 分07 秒");
    EXPECT_EQ(FormatDuration(60 * 60).SourceText(), "1 時間");
    EXPECT_EQ(FormatDuration(90 * 60).SourceText(), "1 時間30分");
    EXPECT_EQ(FormatDuration(90 * 60 + 59).SourceText(), "1 時間30分") << "seconds are dropped from an hour on";
    EXPECT_EQ(FormatDuration(1440 * 60).SourceText(), "24 時間");
}

TEST(RecordingTitle, ShowsTheDurationAndTheArmedAction) {
    EXPECT_EQ(RecordingTitle(nullptr), ProgramTitle());
    RecordingSchedule schedule;
    EXPECT_EQ(RecordingTitle(&schedule), ProgramTitle());
    schedule.endMode = 1;
    schedule.durationSeconds = 5400;
    schedule.endActionArmed = true;
    schedule.endAction = EndAction::PowerOff;
    EXPECT_EQ(RecordingTitle(&schedule).SourceText(), ProgramTitle().SourceText() + " － ■録音時間: 1 時間30分（終了時: ＰＣ電源断）");
}

TEST(RecordTimer, ProposesTheNextHalfOrFullHourAtLeastHalfAnHourAhead) {
    EXPECT_EQ(ProposedStartTime(LocalAt(2024, 6, 12, 14, 10, 25)), LocalAt(2024, 6, 12, 14, 30, 0));
    EXPECT_EQ(ProposedStartTime(LocalAt(2024, 6, 12, 14, 35, 0)), LocalAt(2024, 6, 12, 15, 0, 0));
    EXPECT_EQ(ProposedStartTime(LocalAt(2024, 6, 12, 14, 0, 0)), LocalAt(2024, 6, 12, 14, 30, 0));
    EXPECT_EQ(ProposedStartTime(LocalAt(2024, 6, 12, 23, 45, 0)), LocalAt(2024, 6, 13, 0, 0, 0));
}

// "1.5" is a minute and a half also where the desktop's locale writes "1,5".
class DurationText : public ::testing::TestWithParam<bool> {};

TEST_P(DurationText, IsPositiveMinutesInEveryLocale) {
    std::optional<GermanLocale> german;
    if (GetParam()) german.emplace();
    EXPECT_EQ(ParseDurationMinutes("1.5").value_or(-1), 90);
    EXPECT_EQ(ParseDurationMinutes("90").value_or(-1), 5400);
    for (const char* refused : {"0", "-2", "0.01", "", "abc", "1e300", "nan"}) {
        const Result<int64_t> seconds = ParseDurationMinutes(refused);
        ASSERT_FALSE(seconds) << refused;
        EXPECT_EQ(seconds.error().message, InvalidDurationMessage()) << refused;
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, DurationText, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "German" : "C"; });
