// The recording state through the paths a recording takes: what the user chose (pause) outlives
// a wait, a change of one thread never undoes what the other made meanwhile, and every path ends
// idle once the session is gone.
#include "app/control/RecordingState.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using S = RecordingState;
using C = StateChange;

struct StatePath {
    const char* name;
    std::vector<C> changes;
    S end;
};

class StatePaths : public testing::TestWithParam<StatePath> {};

TEST_P(StatePaths, EndWhereTheRecordingIs) {
    S state = S::Idle;
    for (C change : GetParam().changes) state = NextState(state, change);
    EXPECT_EQ(static_cast<int>(state), static_cast<int>(GetParam().end));
    // Whatever happened, stopping leaves nothing running.
    EXPECT_EQ(static_cast<int>(NextState(NextState(state, C::Stop), C::Stopped)), static_cast<int>(S::Idle));
}

INSTANTIATE_TEST_SUITE_P(
    Recording, StatePaths,
    testing::Values(
        StatePath{"Starts", {C::Start, C::Started}, S::Recording},
        StatePath{"PausesAndGoesOn", {C::Start, C::Started, C::TogglePause, C::TogglePause}, S::Recording},
        StatePath{"AFailedFirstTrackLeavesNothing", {C::Start, C::StartFailed}, S::Idle},
        StatePath{"ADeviceThatDidNotStartLeavesNothing", {C::Start, C::Started, C::StartFailed}, S::Idle},
        StatePath{"AStartWithoutInputWaitsThenRecords", {C::Start, C::StartedWithoutInput, C::InputReturned},
                  S::Recording},
        StatePath{"APauseOutlivesTheWait", {C::Start, C::Started, C::TogglePause, C::InputLost, C::InputReturned},
                  S::Paused},
        StatePath{"APauseDuringTheWaitHoldsOnceTheInputReturns",
                  {C::Start, C::Started, C::InputLost, C::TogglePause, C::InputReturned}, S::Paused},
        StatePath{"APauseTakenBackDuringTheWait",
                  {C::Start, C::Started, C::TogglePause, C::InputLost, C::TogglePause}, S::WaitingForInput},
        StatePath{"TheInputLostAgainAfterItsReturn",
                  {C::Start, C::Started, C::InputLost, C::InputReturned, C::InputLost}, S::WaitingForInput},
        StatePath{"TheTimeRunsOutDuringAWait", {C::Start, C::Started, C::InputLost, C::TimeUp}, S::Stopping},
        StatePath{"TheTimeIsTheAudioThreadsWhileItRecords", {C::Start, C::Started, C::TimeUp}, S::Recording},
        StatePath{"ALossWhileStoppingWaitsForNothing", {C::Start, C::Started, C::Stop, C::InputLost}, S::Stopping},
        StatePath{"NothingPausesOrWaitsWhileIdle", {C::TogglePause, C::InputLost, C::InputReturned}, S::Idle},
        StatePath{"NoStartWhileOneRuns", {C::Start, C::Started, C::Start, C::StartedWithoutInput}, S::Recording},
        StatePath{"AStopBeforeTheSessionIsGone", {C::Start, C::Started, C::Stop, C::TogglePause}, S::Stopping},
        StatePath{"SilenceWaitsForSoundThenRecords", {C::Start, C::Started, C::SilenceLasted, C::SoundReturned},
                  S::Recording},
        StatePath{"APauseWhileWaitingForSoundHoldsOnceItReturns",
                  {C::Start, C::Started, C::SilenceLasted, C::TogglePause, C::SoundReturned}, S::Paused},
        StatePath{"APauseMadeAsSilenceClosedTheTrackHolds", {C::Start, C::Started, C::TogglePause, C::SilenceLasted},
                  S::SoundPaused},
        StatePath{"APauseTakenBackWhileWaitingForSound",
                  {C::Start, C::Started, C::SilenceLasted, C::TogglePause, C::TogglePause}, S::WaitingForSound},
        StatePath{"TheInputLostWhileWaitingForSoundReturnsToRecord",
                  {C::Start, C::Started, C::SilenceLasted, C::InputLost, C::InputReturned}, S::Recording},
        StatePath{"ThePausedWaitForSoundLosesItsInput",
                  {C::Start, C::Started, C::SilenceLasted, C::TogglePause, C::InputLost}, S::WaitingPaused},
        StatePath{"TheTimeRunsOutWhileWaitingForSound", {C::Start, C::Started, C::SilenceLasted, C::TimeUp},
                  S::Stopping},
        StatePath{"NoSoundWaitWithoutATrack", {C::Start, C::Started, C::InputLost, C::SilenceLasted, C::SoundReturned},
                  S::WaitingForInput}),
    [](const testing::TestParamInfo<StatePath>& info) { return info.param.name; });

}  // namespace
