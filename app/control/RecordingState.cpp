// The recording control's transitions, all in one place.
#include "app/control/RecordingState.h"

RecordingState NextState(RecordingState state, StateChange change) {
    using S = RecordingState;
    switch (change) {
    case StateChange::Start: return state == S::Idle ? S::Starting : state;
    case StateChange::Started: return state == S::Starting ? S::Recording : state;
    case StateChange::StartedWithoutInput: return state == S::Starting ? S::WaitingForInput : state;
    case StateChange::StartFailed: return state == S::Starting || state == S::Recording ? S::Idle : state;
    case StateChange::TogglePause:
        switch (state) {
        case S::Recording: return S::Paused;
        case S::Paused: return S::Recording;
        case S::WaitingForInput: return S::WaitingPaused;
        case S::WaitingPaused: return S::WaitingForInput;
        case S::WaitingForSound: return S::SoundPaused;
        case S::SoundPaused: return S::WaitingForSound;
        default: return state;
        }
    case StateChange::InputLost:
        switch (state) {
        case S::Recording: return S::WaitingForInput;
        case S::Paused: return S::WaitingPaused;
        // The input's return opens a track, which then waits for sound as any other.
        case S::WaitingForSound: return S::WaitingForInput;
        case S::SoundPaused: return S::WaitingPaused;
        default: return state;
        }
    case StateChange::InputReturned:
        return state == S::WaitingForInput ? S::Recording : state == S::WaitingPaused ? S::Paused : state;
    case StateChange::TimeUp: return IsWaitingState(state) || IsWaitingForSoundState(state) ? S::Stopping : state;
    // The audio thread's two: a pause the owner made meanwhile holds across them.
    case StateChange::SilenceLasted:
        return state == S::Recording ? S::WaitingForSound : state == S::Paused ? S::SoundPaused : state;
    case StateChange::SoundReturned:
        return state == S::WaitingForSound ? S::Recording : state == S::SoundPaused ? S::Paused : state;
    case StateChange::Stop: return state == S::Idle ? state : S::Stopping;
    case StateChange::Stopped: return S::Idle;
    }
    return state;
}
