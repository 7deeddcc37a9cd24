// Power requests and the sleep inhibitor against a logind stand-in on a private bus.
#include "platform/Logind.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

#include "tests/support/LogindMock.h"

using Calls = std::vector<std::string>;

TEST(Logind, EachRequestActsAfterItsRightsCheck) {
    LogindMock mock;
    ASSERT_EQ(mock.error(), "");
    CLogind logind(mock.address().c_str());
    for (PowerRequest request : {PowerRequest::PowerOff, PowerRequest::Suspend, PowerRequest::Hibernate}) {
        const LogindResult result = logind.Request(request);
        EXPECT_TRUE(result.Ok()) << result.detail.c_str();
    }
    EXPECT_EQ(mock.Calls(), (Calls{"CanPowerOff", "PowerOff False", "CanSuspend", "Suspend False", "CanHibernate",
                                   "Hibernate False"}));
}

TEST(Logind, AnythingButYesIsRefusedWithoutActing) {
    LogindMock mock(R"({"CanPowerOff": "no", "CanSuspend": "challenge", "CanHibernate": "na"})");
    ASSERT_EQ(mock.error(), "");
    CLogind logind(mock.address().c_str());
    const LogindResult powerOff = logind.Request(PowerRequest::PowerOff);
    EXPECT_EQ(powerOff.status, LogindStatus::NotPermitted);
    EXPECT_EQ(powerOff.detail, "CanPowerOff: no");
    EXPECT_EQ(logind.Request(PowerRequest::Suspend).status, LogindStatus::NotPermitted);
    EXPECT_EQ(logind.Request(PowerRequest::Hibernate).status, LogindStatus::NotPermitted);
    EXPECT_EQ(mock.Calls(), (Calls{"CanPowerOff", "CanSuspend", "CanHibernate"}));
}

TEST(Logind, AMissingBusIsAClearFailure) {
    CLogind noAddress("");
    const LogindResult none = noAddress.Request(PowerRequest::PowerOff);
    EXPECT_EQ(none.status, LogindStatus::BusUnavailable);
    EXPECT_FALSE(none.detail.IsEmpty());

    TempDir dir;
    CLogind nowhere(("unix:path=" + (dir / "no-bus")).c_str());
    const LogindResult missing = nowhere.Request(PowerRequest::Suspend);
    EXPECT_EQ(missing.status, LogindStatus::BusUnavailable);
    EXPECT_NE(missing.detail.Find("no-bus"), -1) << missing.detail.c_str();
}

TEST(Logind, ABusThatWentAwayFailsInsteadOfActing) {
    LogindMock mock;
    ASSERT_EQ(mock.error(), "");
    CLogind logind(mock.address().c_str());
    int fd = -1;
    ASSERT_TRUE(logind.Inhibit("sleep", "test", "connect first", "delay", fd).Ok());
    mock.StopBus();
    const LogindResult result = logind.Request(PowerRequest::PowerOff);
    EXPECT_FALSE(result.Ok());
    EXPECT_FALSE(result.detail.IsEmpty());
    close(fd);
}

namespace {

// The mock drops a released lock when it sees the descriptor close, a moment later.
bool EventuallyNoInhibitors(const LogindMock& mock) {
    for (int i = 0; i < 400; ++i) {
        if (mock.CallManager("ListInhibitors").find("\"sleep\"") == std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

}  // namespace

TEST(SleepInhibitor, BlocksSleepWhileHeldAndLetsGoAtRelease) {
    LogindMock mock;
    ASSERT_EQ(mock.error(), "");
    CLogind logind(mock.address().c_str());
    CSleepInhibitor inhibitor;
    const LogindResult result = inhibitor.Acquire(logind, "recording");
    ASSERT_TRUE(result.Ok()) << result.detail.c_str();
    EXPECT_TRUE(inhibitor.IsHeld());
    const std::string held = mock.CallManager("ListInhibitors");
    EXPECT_NE(held.find("\"sleep\""), std::string::npos) << held;
    EXPECT_NE(held.find("\"Velsona\""), std::string::npos) << held;
    EXPECT_NE(held.find("\"recording\""), std::string::npos) << held;
    EXPECT_NE(held.find("\"block\""), std::string::npos) << held;

    inhibitor.Release();
    EXPECT_FALSE(inhibitor.IsHeld());
    EXPECT_TRUE(EventuallyNoInhibitors(mock));

    {
        CSleepInhibitor scoped;
        ASSERT_TRUE(scoped.Acquire(logind, "again").Ok());
    }
    EXPECT_TRUE(EventuallyNoInhibitors(mock)) << "the destructor releases the lock";
}

TEST(SleepInhibitor, FailsClearlyWithoutLogind) {
    CLogind nowhere("");
    CSleepInhibitor inhibitor;
    EXPECT_EQ(inhibitor.Acquire(nowhere, "recording").status, LogindStatus::BusUnavailable);
    EXPECT_FALSE(inhibitor.IsHeld());
}
