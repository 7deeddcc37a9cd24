// CCountdown: the 200 ms countdown to a scheduled start and its blinking title.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>

#include "foundation/UserText.h"

class CCountdown {
public:
    static constexpr int kTimerId = 100;
    static constexpr int kPeriodMs = 200;

    using Clock = std::function<std::time_t()>;
    // The clock gives the local time in whole seconds; tests pass a fixed one.
    explicit CCountdown(Clock clock);

    struct Tick {
        bool startNow = false;  // the start time has come (or already passed): start recording
        UserText title;         // otherwise the window title for this tick
    };
    // One timer tick. The tick counter only grows, so the title blinks off on every tenth tick.
    Tick OnTick(std::time_t startTime);

private:
    Clock m_clock;
    uint64_t m_ticks = 0;
};
