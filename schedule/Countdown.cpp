// Countdown title texts.
#include "schedule/Countdown.h"

#include <utility>

#include "foundation/CharString.h"

#include "schedule/RecordingSchedule.h"

namespace {

std::string TwoDigits(long long value) { return CCharString::Formatted("%02lld", value).str(); }

UserText Remaining(long long seconds) {
    const long long days = seconds / 86400;
    const std::string hours = TwoDigits(seconds % 86400 / 3600);
    const std::string minutes = TwoDigits(seconds % 3600 / 60);
    const std::string secs = TwoDigits(seconds % 60);
    if (days > 0) return UserText("Countdown", "%1日と%2時間%3分%4秒").Arg(days).Arg(hours).Arg(minutes).Arg(secs);
    if (seconds >= 3600) return UserText("Countdown", "%1時間%2分%3秒").Arg(hours).Arg(minutes).Arg(secs);
    return UserText("Countdown", "%1分%2秒").Arg(minutes).Arg(secs);
}

}  // namespace

CCountdown::CCountdown(Clock clock) : m_clock(std::move(clock)) {}

CCountdown::Tick CCountdown::OnTick(std::time_t startTime) {
    const std::time_t now = m_clock();
    if (now >= startTime) return {true, {}};
    if (m_ticks++ % 10 == 0) return {false, ProgramTitle()};
    std::tm start{};
    localtime_r(&startTime, &start);
    char when[32];
    std::strftime(when, sizeof when, "%m/%d %H:%M:%S", &start);
    return {false, UserText("Countdown", "%1 !録音開始[%2]まで[%3] ")
                       .Arg(ProgramTitle())
                       .Arg(when)
                       .Arg(Remaining(static_cast<long long>(startTime - now)))};
}
