// Which events end a recording, and which tell of lost audio.
#include "app/control/RecordingEvents.h"

EventReaction ReactionTo(int code) {
    switch (code) {
    case kRecordingDurationReached: return {.runsEndAction = true};
    case kRecordingWriteFailed:
    case kRecordingSplitFailed:
    case kRecordingCaptureFailed: return {.endsRecording = true, .lostAudio = true};
    case kRecordingCaptureEnded: return {.endsRecording = true};
    // The audio is kept and the next track may well be whole: the recording goes on.
    case kRecordingTrackUnfinished: return {.lostAudio = true};
    // The recording goes on through the gap, which is missing from it.
    case kRecordingInputWaiting: return {.lostAudio = true, .inputStatus = true};
    case kRecordingInputRetry:
    case kRecordingInputReturned: return {.inputStatus = true};
    default: return {};
    }
}

bool IsRecordingProblem(int code) {
    const EventReaction reaction = ReactionTo(code);
    return reaction.endsRecording && reaction.lostAudio;
}
