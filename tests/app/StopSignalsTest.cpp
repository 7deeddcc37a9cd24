// The stop signals as both programs install them: a request to read on the owner's thread, and a
// hang-up that stops only where it was not ignored (nohup).
#include "app/control/StopSignals.h"

#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>

namespace {

// The test program's own handlers come back after each case.
class KeptHandlers {
public:
    KeptHandlers() {
        for (int i = 0; i < 3; ++i) sigaction(kSignals[i], nullptr, &m_kept[i]);
    }
    ~KeptHandlers() {
        for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &m_kept[i], nullptr);
    }

private:
    static constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction m_kept[3] {};
};

bool Readable(int descriptor) {
    pollfd ready{descriptor, POLLIN, 0};
    return poll(&ready, 1, 0) == 1;
}

TEST(StopSignals, ASignalAsksForAStopUnlessNohupIgnoredTheHangUp) {
    const struct {
        const char* name;
        bool hangUpStops;
        bool hangUpIgnoredBefore;
        int signal;
        bool stops;
    } cases[] = {
        {"Ctrl+C", false, false, SIGINT, true},
        {"logout", false, false, SIGTERM, true},
        {"SSH hang-up", true, false, SIGHUP, true},
        {"hang-up under nohup", true, true, SIGHUP, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const KeptHandlers kept;
        if (c.hangUpIgnoredBefore) std::signal(SIGHUP, SIG_IGN);
        const int requests = InstallStopSignals(c.hangUpStops);
        ASSERT_GE(requests, 0);
        EXPECT_FALSE(TakeStopRequest());
        raise(c.signal);
        EXPECT_EQ(Readable(requests), c.stops);
        EXPECT_EQ(TakeStopRequest(), c.stops);
        EXPECT_FALSE(Readable(requests)) << "taken once";
        EXPECT_FALSE(TakeStopRequest());
    }
}

}  // namespace
