// The engine's lock: recursive, and the null guard's process-wide lock really excludes.
#include "recording/CriticalSectionLock.h"

#include <gtest/gtest.h>
#include <thread>

TEST(CriticalSectionLock, NullGuardsShareOneLockAcrossThreads) {
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 100000; ++i) {
            CScopedLock lock(nullptr);
            CScopedLock again(nullptr);  // recursive on the same thread
            ++counter;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(counter, 200000);
}
