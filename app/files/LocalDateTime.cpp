// Conversions from the system clock and file times to local date and time.
#include "app/files/LocalDateTime.h"

LocalDateTime ToLocalDateTime(const timespec& time) {
    tm local {};
    localtime_r(&time.tv_sec, &local);
    LocalDateTime result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon + 1;
    result.day = local.tm_mday;
    result.hour = local.tm_hour;
    result.minute = local.tm_min;
    result.second = local.tm_sec;
    result.millisecond = static_cast<int>(time.tv_nsec / 1000000);
    return result;
}

LocalDateTime CurrentLocalTime() {
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return ToLocalDateTime(now);
}

LocalDateTime EarlierBy(const LocalDateTime& time, int64_t ms) {
    tm local {};
    local.tm_year = time.year - 1900;
    local.tm_mon = time.month - 1;
    local.tm_mday = time.day;
    local.tm_hour = time.hour;
    local.tm_min = time.minute;
    local.tm_sec = time.second;
    local.tm_isdst = -1;  // as the zone has it on that day
    const int64_t totalMs = static_cast<int64_t>(mktime(&local)) * 1000 + time.millisecond - ms;
    const int64_t seconds = totalMs >= 0 ? totalMs / 1000 : (totalMs - 999) / 1000;
    return ToLocalDateTime(timespec{static_cast<time_t>(seconds), static_cast<long>((totalMs - seconds * 1000) * 1000000)});
}
