// Power requests and the sleep inhibitor against a logind stand-in on a private bus.
#include "platform/Logind.h"

#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

#include "tests/support/LogindMock.h"

using Calls = std::vector<std::string>;

namespace {

// logind's rights check said no.
bool IsRefusal(const Failure& failure) { return failure.kind == FailureKind::kSystem && failure.error == EPERM; }

}  // namespace

TEST(Logind, EachRequestActsAfterItsRightsCheck) {
    LogindMock mock;
    ASSERT_EQ(mock.error(), "");
    CLogind logind(mock.address().c_str());
    for (PowerRequest request : {PowerRequest::PowerOff, PowerRequest::Suspend, PowerRequest::Hibernate}) {
        const Result<void> result = logind.Request(request);
        EXPECT_TRUE(result) << result.error().message.SourceText();
    }
    EXPECT_EQ(mock.Calls(), (Calls{"CanPowerOff", "PowerOff False", "CanSuspend", "Suspend False", "CanHibernate",
                                   "Hibernate False"}));
}

TEST(Logind, AnythingButYesIsRefusedWithoutActing) {
    LogindMock mock(R"({"CanPowerOff": "no", "CanSuspend": "challenge", "CanHibernate": "na"})");
    ASSERT_EQ(mock.error(), "");
    CLogind logind(mock.address().c_str());
    const Result<void> powerOff = logind.Request(PowerRequest::PowerOff);
    ASSERT_FALSE(powerOff);
    EXPECT_TRUE(IsRefusal(powerOff.error()));
    EXPECT_EQ(powerOff.error().message.SourceText(), "CanPowerOff: no");
    EXPECT_TRUE(IsRefusal(logind.Request(PowerRequest::Suspend).error()));
    EXPECT_TRUE(IsRefusal(logind.Request(PowerRequest::Hibernate).error()));
    EXPECT_EQ(mock.Calls(), (Calls{"CanPowerOff", "CanSuspend", "CanHibernate"}));
}

TEST(Logind, AMissingBusIsAClearFailure) {
    CLogind noAddress("");
    const Result<void> none = noAddress.Request(PowerRequest::PowerOff);
    ASSERT_FALSE(none);
    EXPECT_EQ(none.error().kind, FailureKind::kMissing);
    EXPECT_FALSE(none.error().message.SourceText().empty());

    TempDir dir;
    CLogind nowhere(("unix:path=" + (dir / "no-bus")).c_str());
    const Result<void> missing = nowhere.Request(PowerRequest::Suspend);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, FailureKind::kMissing);
    EXPECT_NE(missing.error().message.SourceText().find("no-bus"), std::string::npos) << missing.error().message.SourceText();
}

TEST(Logind, ABusThatWentAwayFailsInsteadOfActing) {
    LogindMock mock;
    ASSERT_EQ(mock.error(), "");
    CLogind logind(mock.address().c_str());
    const Result<int> fd = logind.Inhibit("sleep", "test", "connect first", "delay");
    ASSERT_TRUE(fd) << fd.error().message.SourceText();
    mock.StopBus();
    const Result<void> result = logind.Request(PowerRequest::PowerOff);
    ASSERT_FALSE(result);
    EXPECT_FALSE(result.error().message.SourceText().empty());
    close(*fd);
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
    const Result<void> result = inhibitor.Acquire(logind, "recording");
    ASSERT_TRUE(result) << result.error().message.SourceText();
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
        ASSERT_TRUE(scoped.Acquire(logind, "again"));
    }
    EXPECT_TRUE(EventuallyNoInhibitors(mock)) << "the destructor releases the lock";
}

TEST(SleepInhibitor, FailsClearlyWithoutLogind) {
    CLogind nowhere("");
    CSleepInhibitor inhibitor;
    const Result<void> result = inhibitor.Acquire(nowhere, "recording");
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().kind, FailureKind::kMissing);
    EXPECT_FALSE(inhibitor.IsHeld());
}
