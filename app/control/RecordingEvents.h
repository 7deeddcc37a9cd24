// The events a recording posts to its owner, and what each asks of the front end that owns it.
#pragma once

#include <cstdint>
#include <functional>

#include "foundation/CharString.h"
#include "foundation/Result.h"
#include "foundation/UserText.h"

// The codes of the events posted to the owner's thread (never handled on the capture thread).
enum RecordingEventCode {
    kRecordingDurationReached = 100,
    kRecordingTrackClosed = 101,
    kRecordingStopped = 102,
    kRecordingTrackOpened = 103,  // a track opened during the recording (the first is logged with the start)
    kRecordingTrackDropped = 104,  // a closed track held no audio: its file and row are gone
    kRecordingFileRemoved = 105,   // an old recording was removed to keep the days or the room asked for
    kRecordingTrackSound = 106,    // how a closed track sounded: peak, clipped samples, longest silence
    kRecordingSoundSummary = 107,  // at a recording's end: its tracks, those that clipped, the peak
    // Nobody watches an unattended recording, so nothing may fail silently: these carry a
    // message and the owner shows or prints it.
    kRecordingWriteFailed = 110,   // a track could not take more audio; it was closed as written
    kRecordingSplitFailed = 111,   // the next track could not be opened; nothing is written now
    kRecordingCaptureFailed = 112,  // the input failed or vanished; nothing more will come
    kRecordingCaptureEnded = 113,   // a finite input (a test signal, a file) came to its end
    // A closed track kept its audio but not all of its ending: its end, header or tags could not
    // be written, it could not take its final name and sits under the fallback name, a template
    // folder was a link and it sits in the output folder itself, or it could not be flushed to the
    // disk and stays journaled for the next start.
    kRecordingTrackUnfinished = 114,
    // With "resume when the input returns" on, the recording goes on without a track while the
    // input is away; messages are whole sentences, as a log shows them.
    kRecordingInputWaiting = 115,   // the input failed (its track was closed) or a scheduled start found none
    kRecordingInputRetry = 116,     // one attempt to open the input again failed (about once a second)
    kRecordingInputReturned = 117,  // the input opened again; the next track has begun
    // Keeping recordings could not do its part: the record of recordings is unreadable, or the
    // room asked for could not be made (the disk may fill as it would without it).
    kRecordingKeepFailed = 118,
};

// One posted event with everything the owner needs, so nothing is looked up when it arrives
// (by then the next track or the next recording may be running).
struct RecordingEvent {
    int code = 0;            // a RecordingEventCode
    uint64_t recording = 0;  // the recording it belongs to (RecordingId() at its start)
    int trackNumber = 0;     // the track concerned; 0 when none
    CCharString path;        // that track's file; empty when none
    // The log's line for it, and for the problems what the user must be told; may be empty.
    UserText message;
    // The wait's events (input waiting, retry): why the input cannot be opened, in the capture
    // layer's words, for a status line with no room for the whole message. (Initialised, so
    // the events without one need not name it.)
    UserText reason{};
};

// What an event asks of the window and of velsona-rec alike; each shows it in its own way.
struct EventReaction {
    // The control has ended the timed recording; the armed end action follows.
    bool runsEndAction = false;
    // The recording cannot go on as asked: a running one is stopped. Unattended, a recording
    // that can no longer write must end rather than run on empty; a finite input has no more.
    bool endsRecording = false;
    // Audio was lost or a track is incomplete, whether or not the recording goes on: a problem
    // that must outlive the moment (velsona-rec's exit status; unless a passing status says it,
    // the window's warning).
    bool lostAudio = false;
    // The input's wait and return: a passing status, as nobody may be there to answer a box.
    bool inputStatus = false;
};

EventReaction ReactionTo(int code);

// Queues an event for the owner's thread; called on the audio and finisher threads, it must
// never wait for the owner's thread.
using RecordingEventPoster = std::function<void(const RecordingEvent& event)>;

// The lower layer's words for why, nested in the sentence an event tells what happened in.
UserText ReasonOf(const Failure& failure);
// "1:02:03.456": a length, to the millisecond, as the log tells it.
CCharString LengthText(int64_t ms);

// True for the codes that tell of a failure that ends the recording (110-112).
bool IsRecordingProblem(int code);
