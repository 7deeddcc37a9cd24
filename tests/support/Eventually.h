// Waits on another thread's progress with a bound, in place of a fixed sleep: a loaded machine
// makes the wait longer, never the outcome different.
#pragma once

#include <chrono>
#include <thread>

// True once `condition` holds; false when `limit` passes first.
template <typename Condition>
bool Eventually(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    for (const auto end = std::chrono::steady_clock::now() + limit; !condition(); std::this_thread::sleep_for(std::chrono::milliseconds(5)))
        if (std::chrono::steady_clock::now() >= end) return condition();
    return true;
}
