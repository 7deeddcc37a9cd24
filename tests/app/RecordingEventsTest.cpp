// What each recording event asks of the front ends: the one answer the window and velsona-rec act on.
#include "app/control/RecordingEvents.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// R: runs the end action, E: ends the recording, L: tells of lost audio, S: a passing status.
std::string Letters(const EventReaction& reaction) {
    return {reaction.runsEndAction ? 'R' : '-', reaction.endsRecording ? 'E' : '-', reaction.lostAudio ? 'L' : '-',
            reaction.inputStatus ? 'S' : '-'};
}

TEST(RecordingEvents, WhatEachEventAsksOfTheFrontEnds) {
    const std::pair<int, const char*> cases[] = {
        {kRecordingDurationReached, "R---"}, {kRecordingTrackClosed, "----"}, {kRecordingStopped, "----"},
        {kRecordingTrackOpened, "----"},     {kRecordingTrackDropped, "----"},
        {kRecordingWriteFailed, "-EL-"},     {kRecordingSplitFailed, "-EL-"}, {kRecordingCaptureFailed, "-EL-"},
        // A finite input's end stops the recording, though nothing was lost.
        {kRecordingCaptureEnded, "-E--"},
        // An unfinished track is a problem to tell, but the recording goes on.
        {kRecordingTrackUnfinished, "--L-"},
        // The gap is missing from the recording, which goes on and waits.
        {kRecordingInputWaiting, "--LS"},    {kRecordingInputRetry, "---S"},  {kRecordingInputReturned, "---S"},
        {99, "----"},
    };
    for (const auto& [code, letters] : cases) {
        EXPECT_EQ(Letters(ReactionTo(code)), letters) << code;
        EXPECT_EQ(IsRecordingProblem(code), std::string(letters) == "-EL-") << code;
    }
}

}  // namespace
