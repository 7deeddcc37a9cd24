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

time_t SecondsOf(const LocalDateTime& t) {
    std::tm fields{};
    fields.tm_year = t.year - 1900;
    fields.tm_mon = t.month - 1;
    fields.tm_mday = t.day;
    fields.tm_hour = t.hour;
    fields.tm_min = t.minute;
    fields.tm_sec = t.second;
    fields.tm_isdst = -1;  // as the zone has it on that day
    return std::mktime(&fields);
}

LocalDateTime EarlierBy(const LocalDateTime& time, int64_t ms) {
    const int64_t totalMs = static_cast<int64_t>(SecondsOf(time)) * 1000 + time.millisecond - ms;
    const int64_t seconds = totalMs >= 0 ? totalMs / 1000 : (totalMs - 999) / 1000;
    return ToLocalDateTime(timespec{static_cast<time_t>(seconds), static_cast<long>((totalMs - seconds * 1000) * 1000000)});
}
