// Conversions from the system clock and file times to local date and time, and the boundaries a
// recording cut on the clock keeps to.
#include "app/files/LocalDateTime.h"

namespace {

tm LocalFields(int64_t seconds) {
    const time_t t = static_cast<time_t>(seconds);
    tm local {};
    localtime_r(&t, &local);
    return local;
}

int SecondOfDay(const tm& local) { return local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec; }

// Whether another instant shows the same wall-clock reading as `seconds`: an offset that holds
// a few hours earlier or later would, put where it reads the same, still be in force there.
bool ShownTwice(int64_t seconds, long offset) {
    constexpr int64_t kReach = 6 * 3600;  // longer than any change of the clocks
    for (const int64_t probe : {seconds - kReach, seconds + kReach}) {
        const long other = LocalFields(probe).tm_gmtoff;
        if (other == offset) continue;
        const int64_t twin = seconds + offset - other;
        if (LocalFields(twin).tm_gmtoff == other) return true;
    }
    return false;
}

}  // namespace

LocalDateTime ToLocalDateTime(const timespec& time) {
    const tm local = LocalFields(time.tv_sec);
    LocalDateTime result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon + 1;
    result.day = local.tm_mday;
    result.hour = local.tm_hour;
    result.minute = local.tm_min;
    result.second = local.tm_sec;
    result.millisecond = static_cast<int>(time.tv_nsec / 1000000);
    result.utcOffset = static_cast<int>(local.tm_gmtoff);
    result.repeated = ShownTwice(time.tv_sec, local.tm_gmtoff);
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
    // In the hour shown twice only the offset says which of the two it was.
    if (t.repeated) return timegm(&fields) - t.utcOffset;
    fields.tm_isdst = -1;  // as the zone has it on that day
    return std::mktime(&fields);
}

LocalDateTime EarlierBy(const LocalDateTime& time, int64_t ms) {
    const int64_t totalMs = static_cast<int64_t>(SecondsOf(time)) * 1000 + time.millisecond - ms;
    const int64_t seconds = totalMs >= 0 ? totalMs / 1000 : (totalMs - 999) / 1000;
    return ToLocalDateTime(timespec{static_cast<time_t>(seconds), static_cast<long>((totalMs - seconds * 1000) * 1000000)});
}

int64_t NextClockBoundary(int64_t after, int intervalSeconds) {
    constexpr int kDay = 86400;
    const int interval = intervalSeconds > 0 && intervalSeconds < kDay ? intervalSeconds : kDay;
    int64_t from = after;
    for (;;) {
        const tm local = LocalFields(from);
        const int second = SecondOfDay(local);
        const int next = second / interval * interval + interval;
        const int64_t guess = from + ((next < kDay ? next : kDay) - second);
        if (LocalFields(guess).tm_gmtoff == local.tm_gmtoff) return guess;
        // The clocks change before the guess: find the instant they do (the first with the new
        // offset) and go on from there, as the wall clock does.
        int64_t before = from, changed = guess;
        while (changed - before > 1) {
            const int64_t middle = before + (changed - before) / 2;
            (LocalFields(middle).tm_gmtoff == local.tm_gmtoff ? before : changed) = middle;
        }
        const tm there = LocalFields(changed);
        if (SecondOfDay(there) % interval == 0 || there.tm_mday != LocalFields(changed - 1).tm_mday) return changed;
        from = changed;
    }
}
