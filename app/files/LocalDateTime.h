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
    // East of UTC, in seconds; known only for times converted from the system clock.
    int utcOffset = 0;
    // The wall clock shows this time twice (the hour the clocks go back): names tell the two
    // apart by the offset.
    bool repeated = false;
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

// The first instant after `after` (seconds since the epoch) at which the local wall clock reads
// a whole multiple of `intervalSeconds` counted from its midnight; every local midnight is one
// too, so an interval that does not divide the day ends the day's last track early. An instant
// the clocks jump to (forward or back) counts when it reads such a multiple: the hour that is
// skipped has no boundary, the hour that repeats has its boundaries twice.
int64_t NextClockBoundary(int64_t after, int intervalSeconds);
