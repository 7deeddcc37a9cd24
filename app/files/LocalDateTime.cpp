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
