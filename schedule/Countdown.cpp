// Countdown title texts.
#include "schedule/Countdown.h"

#include <utility>

#include "schedule/RecordingSchedule.h"

namespace {

CCharString Remaining(long long seconds) {
    const long long days = seconds / 86400;
    const int hours = static_cast<int>(seconds % 86400 / 3600);
    const int minutes = static_cast<int>(seconds % 3600 / 60);
    const int secs = static_cast<int>(seconds % 60);
    if (days > 0) return CCharString::Formatted("%lld日と%02d時間%02d分%02d秒", days, hours, minutes, secs);
    if (hours > 0) return CCharString::Formatted("%02d時間%02d分%02d秒", hours, minutes, secs);
    return CCharString::Formatted("%02d分%02d秒", minutes, secs);
}

}  // namespace

CCountdown::CCountdown(Clock clock) : m_clock(std::move(clock)) {}

CCountdown::Tick CCountdown::OnTick(std::time_t startTime) {
    const std::time_t now = m_clock();
    if (now >= startTime) return {true, {}};
    if (m_ticks++ % 10 == 0) return {false, kProgramTitle};
    std::tm start{};
    localtime_r(&startTime, &start);
    char when[32];
    std::strftime(when, sizeof when, "%m/%d %H:%M:%S", &start);
    return {false, CCharString(kProgramTitle) + " !録音開始[" + when + "]まで[" +
                       Remaining(static_cast<long long>(startTime - now)) + "] "};
}
