// The countdown's start decision and blinking title, against a settable clock.
#include "schedule/Countdown.h"

#include <gtest/gtest.h>

#include "schedule/RecordingSchedule.h"
#include "tests/support/LocalClock.h"

TEST(Countdown, TitleBlinksOffEveryTenthTickAndShowsWhatRemains) {
    std::time_t now = LocalAt(2024, 6, 12, 14, 0, 0);
    CCountdown countdown([&now] { return now; });
    const std::time_t start = LocalAt(2024, 6, 12, 14, 30, 5);
    const std::string plain = ProgramTitle().SourceText();
    const std::string counting = plain + " !録音開始[06/12 14:30:05]まで[30分05秒] ";
    for (int tick = 0; tick <= 20; ++tick) {
        const CCountdown::Tick t = countdown.OnTick(start);
        EXPECT_FALSE(t.startNow);
        EXPECT_EQ(t.title.SourceText(), tick % 10 == 0 ? plain : counting) << "tick " << tick;
    }
}

TEST(Countdown, RemainingTimeInItsThreeForms) {
    std::time_t now = LocalAt(2024, 6, 12, 14, 0, 0);
    CCountdown countdown([&now] { return now; });
    countdown.OnTick(now + 10);  // tick 0 shows the plain title
    const std::string prefix = ProgramTitle().SourceText() + " !録音開始[";
    EXPECT_EQ(countdown.OnTick(LocalAt(2024, 6, 12, 14, 0, 9)).title.SourceText(), prefix + "06/12 14:00:09]まで[00分09秒] ");
    EXPECT_EQ(countdown.OnTick(LocalAt(2024, 6, 12, 15, 2, 3)).title.SourceText(),
              prefix + "06/12 15:02:03]まで[01時間02分03秒] ");
    EXPECT_EQ(countdown.OnTick(LocalAt(2024, 6, 14, 14, 0, 1)).title.SourceText(),
              prefix + "06/14 14:00:01]まで[2日と00時間00分01秒] ");
}

TEST(Countdown, StartsWhenTheTimeComesOrHasPassed) {
    std::time_t now = LocalAt(2024, 6, 12, 14, 0, 0);
    CCountdown countdown([&now] { return now; });
    const std::time_t start = now + 1;
    EXPECT_FALSE(countdown.OnTick(start).startNow);
    now += 1;
    EXPECT_TRUE(countdown.OnTick(start).startNow);
    EXPECT_TRUE(countdown.OnTick(now - 3600).startNow) << "a past start time starts at the first tick";
}
