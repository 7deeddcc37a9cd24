// What each recording event asks of the front ends: the one answer the window and velsona-rec act on.
#include "app/control/RecordingEvents.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordingEvents, WhatEachEventAsksOfTheFrontEnds) {
    const struct {
        int code;
        bool runsEndAction, endsRecording, lostAudio, inputStatus;
    } cases[] = {
        {kRecordingDurationReached, true, false, false, false},
        {kRecordingTrackClosed, false, false, false, false},
        {kRecordingStopped, false, false, false, false},
        {kRecordingTrackOpened, false, false, false, false},
        {kRecordingTrackDropped, false, false, false, false},
        {kRecordingWriteFailed, false, true, true, false},
        {kRecordingSplitFailed, false, true, true, false},
        {kRecordingCaptureFailed, false, true, true, false},
        // A finite input's end stops the recording, though nothing was lost.
        {kRecordingCaptureEnded, false, true, false, false},
        // An unfinished track is a problem to tell, but the recording goes on.
        {kRecordingTrackUnfinished, false, false, true, false},
        // The gap is missing from the recording, which goes on and waits.
        {kRecordingInputWaiting, false, false, true, true},
        {kRecordingInputRetry, false, false, false, true},
        {kRecordingInputReturned, false, false, false, true},
        {99, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const EventReaction reaction = ReactionTo(c.code);
        EXPECT_EQ(reaction.runsEndAction, c.runsEndAction);
        EXPECT_EQ(reaction.endsRecording, c.endsRecording);
        EXPECT_EQ(reaction.lostAudio, c.lostAudio);
        EXPECT_EQ(reaction.inputStatus, c.inputStatus);
        EXPECT_EQ(IsRecordingProblem(c.code), c.endsRecording && c.lostAudio);
    }
}

}  // namespace
