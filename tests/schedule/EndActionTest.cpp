// End actions against a logind stand-in: the right request, the close, and their order.
#include "schedule/EndAction.h"

#include <cerrno>
#include <gtest/gtest.h>

#include "tests/support/LogindMock.h"

using Calls = std::vector<std::string>;

namespace {

struct Outcome {
    Result<void> result;
    int closes = 0;
    size_t callsBeforeClose = 0;
};

Outcome RunAction(EndAction action, CLogind& logind, const LogindMock& mock) {
    Outcome outcome;
    outcome.result = DoEndAction(action, [&] {
        ++outcome.closes;
        outcome.callsBeforeClose = mock.Calls().size();
    }, logind);
    return outcome;
}

}  // namespace

TEST(EndAction, EachActionAsksLogindForItsStateAndClosesWhereDue) {
    LogindMock mock;
    ASSERT_EQ(mock.error(), "");
    CLogind logind(mock.address().c_str());

    for (EndAction quiet : {EndAction::None, static_cast<EndAction>(0), static_cast<EndAction>(7)})
        EXPECT_EQ(RunAction(quiet, logind, mock).closes, 0);
    const Outcome exit = RunAction(EndAction::ExitApplication, logind, mock);
    EXPECT_TRUE(exit.result);
    EXPECT_EQ(exit.closes, 1);
    EXPECT_EQ(mock.Calls(), Calls{}) << "leaving the program needs no power request";

    const Outcome standby = RunAction(EndAction::Standby, logind, mock);
    EXPECT_TRUE(standby.result) << standby.result.error().message.SourceText();
    EXPECT_EQ(standby.closes, 1);
    EXPECT_EQ(standby.callsBeforeClose, 0u) << "the close is queued before the machine sleeps";
    EXPECT_EQ(mock.Calls(), (Calls{"CanSuspend", "Suspend False"}));

    const Outcome hibernate = RunAction(EndAction::Hibernate, logind, mock);
    EXPECT_TRUE(hibernate.result);
    EXPECT_EQ(hibernate.closes, 1);
    EXPECT_EQ(hibernate.callsBeforeClose, 2u);

    const Outcome powerOff = RunAction(EndAction::PowerOff, logind, mock);
    EXPECT_TRUE(powerOff.result);
    EXPECT_EQ(powerOff.closes, 0) << "power off leaves closing to the shutdown";
    EXPECT_EQ(mock.Calls(), (Calls{"CanSuspend", "Suspend False", "CanHibernate", "Hibernate False", "CanPowerOff",
                                   "PowerOff False"}));
}

TEST(EndAction, ARefusedRequestStillClosesAndIsReported) {
    LogindMock mock(R"({"CanSuspend": "challenge", "CanPowerOff": "no"})");
    ASSERT_EQ(mock.error(), "");
    CLogind logind(mock.address().c_str());
    const Outcome standby = RunAction(EndAction::Standby, logind, mock);
    ASSERT_FALSE(standby.result);
    EXPECT_EQ(standby.result.error().error, EPERM) << "refused by the rights check";
    EXPECT_EQ(standby.closes, 1);
    const Outcome powerOff = RunAction(EndAction::PowerOff, logind, mock);
    ASSERT_FALSE(powerOff.result);
    EXPECT_EQ(powerOff.result.error().error, EPERM);
    EXPECT_EQ(powerOff.closes, 0);
    EXPECT_EQ(mock.Calls(), (Calls{"CanSuspend", "CanPowerOff"}));
}

TEST(EndAction, NamesForTheTitle) {
    EXPECT_EQ(EndActionName(EndAction::ExitApplication).SourceText(), "アプリの終了");
    EXPECT_EQ(EndActionName(EndAction::Standby).SourceText(), "スタンバイ状態");
    EXPECT_EQ(EndActionName(EndAction::PowerOff).SourceText(), "ＰＣ電源断");
    EXPECT_EQ(EndActionName(EndAction::Hibernate).SourceText(), "休止状態");
    EXPECT_TRUE(EndActionName(EndAction::None).empty());
    EXPECT_TRUE(EndActionName(static_cast<EndAction>(5)).empty());
}
