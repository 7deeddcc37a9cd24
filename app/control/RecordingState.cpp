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
        default: return state;
        }
    case StateChange::InputLost:
        switch (state) {
        case S::Recording: return S::WaitingForInput;
        case S::Paused: return S::WaitingPaused;
        default: return state;
        }
    case StateChange::InputReturned:
        return state == S::WaitingForInput ? S::Recording : state == S::WaitingPaused ? S::Paused : state;
    case StateChange::TimeUp: return IsWaitingState(state) ? S::Stopping : state;
    case StateChange::Stop: return state == S::Idle ? state : S::Stopping;
    case StateChange::Stopped: return S::Idle;
    }
    return state;
}
