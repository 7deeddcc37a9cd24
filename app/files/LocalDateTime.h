// Local wall-clock time as templates and the items list show it, and where "now" comes from.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>

struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// A source of the current local time; tests hand in a fixed one.
using LocalClock = std::function<LocalDateTime()>;

LocalDateTime CurrentLocalTime();
// A file time (seconds and nanoseconds since the epoch) in the local time zone.
LocalDateTime ToLocalDateTime(const timespec& time);
// The seconds since the epoch of a local time (its milliseconds aside).
time_t SecondsOf(const LocalDateTime& time);
// The local time `ms` milliseconds before `time`.
LocalDateTime EarlierBy(const LocalDateTime& time, int64_t ms);
