// The recording control's one state, and every way it changes. The owner's thread makes most
// changes; the audio thread notes a lost input, and the silence and sound that close and open
// tracks while recording only while there is sound. Each change is one step of NextState, so two
// threads changing it at once never leave a state neither meant.
#pragma once

#include <cstdint>

enum class RecordingState : uint8_t {
    Idle,             // no session
    Starting,         // the session and its first track are opening (owner's thread)
    Recording,
    Paused,           // capturing; nothing is written and no time counts
    WaitingForInput,  // no device: the input was lost, or missing at a start by the schedule
    WaitingPaused,    // the same, paused meanwhile: paused again once the input returns
    WaitingForSound,  // "record only while there is sound": silence closed the track; none is open
    SoundPaused,      // the same, paused meanwhile: nothing is kept for the pre-roll
    Stopping,         // the session ends: no device runs; the finisher finishes its tracks
};

enum class StateChange : uint8_t {
    Start,                // owner: a session is made
    Started,              // owner: the first track opened; the device starts next
    StartedWithoutInput,  // owner: a start that waits for its input found none
    StartFailed,          // owner: the first track or the device did not open; nothing runs
    TogglePause,          // owner
    InputLost,            // audio thread, with "resume when the input returns" on
    InputReturned,        // owner: the input opened again (the next track too, or the recording
                          // ends for want of it); the device starts next
    TimeUp,               // owner: a timed recording's time ran out during a wait for the input;
                          // audio thread: during a wait for sound
    SilenceLasted,        // audio thread: the silence length passed; the track closed
    SoundReturned,        // audio thread: the level crossed a threshold; the next track opened
    Stop,                 // owner: the session's last buffer and last track are done
    Stopped,              // owner: the session is gone (or never started to stop)
};

// The state `change` leads to from `state`; `state` itself where the change means nothing there.
// The owner makes each change that lets the audio thread run before it starts the device, so
// the audio thread never sees a state of the owner's that is about to change.
//
//   Idle --Start--> Starting --Started--> Recording <--TogglePause--> Paused
//                    |   |                  |  ^                        |  ^
//                    |   +--StartFailed--> Idle (from Recording too)    |  |
//                    |                   InputLost | InputReturned    InputLost | InputReturned
//                    |                      v  |                        v  |
//                    +-StartedWithoutInput-> WaitingForInput <--TogglePause--> WaitingPaused
//
//   Recording --SilenceLasted--> WaitingForSound <--TogglePause--> SoundPaused
//             <--SoundReturned--      | InputLost                     | InputLost
//                                     v                               v
//                               WaitingForInput                 WaitingPaused
//
//   (a pause the owner made meanwhile holds: Paused --SilenceLasted--> SoundPaused, and back
//   by SoundReturned)
//   WaitingForInput, WaitingPaused, WaitingForSound, SoundPaused --TimeUp--> Stopping
//   every state but Idle --Stop--> Stopping;  every state --Stopped--> Idle
RecordingState NextState(RecordingState state, StateChange change);

// A session exists, whatever it is doing.
inline bool IsRunningState(RecordingState state) { return state != RecordingState::Idle; }
inline bool IsPausedState(RecordingState state) {
    return state == RecordingState::Paused || state == RecordingState::WaitingPaused ||
           state == RecordingState::SoundPaused;
}
inline bool IsWaitingState(RecordingState state) {
    return state == RecordingState::WaitingForInput || state == RecordingState::WaitingPaused;
}
inline bool IsWaitingForSoundState(RecordingState state) {
    return state == RecordingState::WaitingForSound || state == RecordingState::SoundPaused;
}
