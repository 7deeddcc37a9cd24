// CRecordingControl: the recording half of the main window, without widgets: starts and stops
// sessions and makes every decision inside them (pause, splits, the end of a timed recording,
// waiting for a lost input and taking it back), names and tags each track, and hands numbers
// and problems to its owner. Its one state (RecordingState.h) says where a recording is; the
// wait for the input (CInputWait), the closed tracks' finishing with the journal and the disk
// reserve (CClosedTracks) and the calibration (CCalibration) are classes of their own.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "app/control/ClockCut.h"
#include "app/control/ClosedTracks.h"
#include "app/control/InputWait.h"
#include "app/control/RecordingEvents.h"
#include "app/control/RecordingState.h"
#include "app/control/RecordingStatus.h"
#include "app/files/FileMove.h"
#include "app/files/FileNameTemplate.h"
#include "app/files/RecordingItemsModel.h"
#include "app/files/TrackFiles.h"
#include "app/files/TrackSound.h"
#include "app/settings/RecordingSettings.h"
#include "foundation/CharString.h"
#include "foundation/Result.h"
#include "recording/LevelAnalysis.h"
#include "recording/PreRollRing.h"
#include "recording/RecorderSession.h"
#include "schedule/RecordingSchedule.h"

class CActivityLog;
class CCaptureBackend;
class CMonitorObserver;
class CSleepInhibitor;

// Threads. The owner's thread (the GUI thread, or velsona-rec's main loop) calls everything
// public unless a member says otherwise. The audio thread runs the session's notifications
// (HandleNotify and what it calls); it reads none of the public data members: it works on what
// the owner hands over (a settings snapshot per track, the thresholds, the stop-after time, the
// track number, the split request, the state) and hands back posted events, the status and the
// items list. The finisher thread runs CClosedTracks' jobs. The audio and finisher threads
// never wait for the owner's thread: what they share with it are atomics and leaf mutexes.
class CRecordingControl {
public:
    // `post` queues an event for the owner's thread, which then calls OnRecordingEvent.
    using EventPoster = RecordingEventPoster;

    CRecordingControl(CRecordingItemsModel& items, AudioFactsReader readFacts, EventPoster post,
                      LocalClock clock = CurrentLocalTime);
    ~CRecordingControl();

    // --- Owner's thread.
    // Edited freely; the audio thread never reads it. StartRecording and ApplySettings hand a
    // copy over. settings.recordingNumber is the output bar's "収録No".
    RecordingSettings settings;
    // An armed timed recording (stop after its duration, end action), or none; its duration is
    // handed over at StartRecording.
    std::optional<RecordingSchedule> schedule;
    // Where capture comes from; null chooses as the capture layer does.
    std::shared_ptr<CCaptureBackend> backend;
    // Held while recording so the machine does not suspend; none when logind is not reachable.
    CSleepInhibitor* sleepInhibitor = nullptr;
    // Takes the start, a failed start and every event handled by OnRecordingEvent; none: no log.
    CActivityLog* log = nullptr;
    // The meters' and monitor views' feed; set while no session runs (null: none).
    CMonitorObserver* monitor = nullptr;
    // Test seams, set while no session runs. Told each name a track's file is about to be
    // created under, once the track is journaled there (on the thread that opens the track).
    std::function<void(const CCharString& path)> beforeTrackFile;
    // Forces a finished track's file and its name to the disk (on the finisher thread).
    std::function<Result<void>(const CCharString& path)> syncFinishedFile = SyncToDisk;
    // The monotonic clock (nanoseconds) that times a wait for the input; read on the owner's
    // and the audio thread.
    std::function<int64_t()> steadyClock;

    // Hands the current settings to the audio thread: the next track opens with them (a track
    // keeps the snapshot it opened with to its close); the silence thresholds apply at once
    // unless held.
    void ApplySettings();
    // Applies the settings, then creates and starts a session; idle again when it cannot start,
    // the failure in the file, folder or capture layer's own words (possibly none).
    Result<void> StartRecording();
    // Stops and destroys the session (the last track is closed, tagged and renamed), then
    // disarms the schedule. The stop's numbering (track 1, the next recording number) is done
    // here; kRecordingStopped only tells the owner.
    void StopRecording();
    // Any thread: what the state says.
    bool IsRecording() const { return IsRunningState(m_state); }
    bool IsPaused() const { return IsPausedState(m_state); }
    // While the input is away (kRecordingInputWaiting until kRecordingInputReturned).
    bool IsWaitingForInput() const { return IsWaitingState(m_state); }
    // Recording only while there is sound, and silence closed the track: nothing is written.
    bool IsWaitingForSound() const { return IsWaitingForSoundState(m_state); }
    // The recording that runs, or ran last; 0 before the first. Events carry it.
    uint64_t RecordingId() const { return m_recordingId; }
    // True while the recording that posted `event` is still running.
    bool IsRunning(const RecordingEvent& event) const { return IsRecording() && event.recording == m_recordingId; }
    // The output bar's "ﾄﾗｯｸNo": the number the next track gets. A number set during a track is
    // kept for the next one; otherwise each closed track raises it by one. Any thread.
    int TrackNumber() const;
    void SetTrackNumber(int number);
    void RequestSplit();
    void TogglePause();
    // The owner's timer, at least once a second while recording: tries a lost input again a
    // second after the last attempt, and ends a timed recording whose time ran out meanwhile
    // (the wait counts as recorded time). Does nothing otherwise.
    void PollInput();
    // Handles a posted event on the owner's thread (the stop after the duration) and logs it. An
    // event of a recording that is no longer running changes nothing but the log.
    void OnRecordingEvent(const RecordingEvent& event);
    // The end action to run after a duration-reached stop, or EndAction::None.
    EndAction TakeEndAction();
    // The thread that finishes closed tracks; tests slow it down through its seam.
    CTrackFinisher& Finisher() { return m_closed.Finisher(); }
    // Any thread.
    RecordingStatus Status() const;
    // Silence thresholds (tenths of a decibel) used by the silence split method, from the next
    // buffer on. Held ones stay until the next call, whatever ApplySettings hands over (a
    // calibration measures with them).
    void SetSilenceLevels(int left, int right, bool held = false);
    // For the calibration: a session that only measures the input (levels, the monitor feed),
    // started; none when the input does not open.
    std::unique_ptr<CRecorderSession> StartMonitoring();

private:
    // What a track works with from its opening to its close; the audio thread's own.
    struct TrackPlan {
        std::shared_ptr<const RecordingSettings> settings;
        int splitLength = -1;
        // Audio left out while waiting for sound before the track's first sample: its times
        // are on the recording's clock, which runs on through what was not written.
        int64_t skippedMs = 0;
        // Cut on the clock: where the track starts, the boundary it is cut at and, once cut or
        // closed, where it ends, on the wall clock (nanoseconds since the epoch).
        bool onClock = false;
        int64_t startNs = 0;
        int64_t boundaryNs = 0;
        int64_t endNs = -1;
    };

    // The one place the state changes, on whichever thread the change belongs to.
    RecordingState Change(StateChange change);
    std::unique_ptr<CRecorderSession> NewSession();
    // Stops and destroys a running session, keeping the schedule.
    void EndSession();
    // The session's notifications: the audio thread's, and the owner's at a start, a return of
    // the input and a stop.
    int HandleNotify(int code, CRecorderSession& session);
    int OnDataBefore(CRecorderSession& session);
    // Pause, splits and the end of a timed recording are decided here, once per buffer.
    int OnDataAfter(CRecorderSession& session);
    void Split(CRecorderSession& session, CloseReason reason);
    // Opens the track after a close; a failure is told and leaves nothing to write to.
    void OpenNextTrack(CRecorderSession& session);
    // Recording only while there is sound: silence of the split length closes the track, a
    // buffer of sound opens the next one with the pre-roll, and meanwhile nothing is written.
    void CloseForSilence(CRecorderSession& session);
    int WaitForSound(CRecorderSession& session);
    void OpenOnSound(CRecorderSession& session);
    void PrepareTrack(CRecorderSession& session);
    // A track cut on the clock: its start and boundary (at its opening), its end (at its close),
    // and the clock its templates read.
    void PlanClock(const RecordingSettings& track);
    void EndClock();
    // The buffer's cut, when a boundary of the track falls in it.
    void PlaceCut(CRecorderSession& session, bool paused);
    // A timed recording ends on the clock: the time written, the silence left out and the time
    // the input was away (`waitingMs` of it not yet counted) all count.
    bool TimeIsUp(const CRecorderSession& session, int64_t waitingMs = 0) const;
    // The last buffer below the silence thresholds as they stand now.
    bool LastBufferSilent(const CRecorderSession& session);
    // Audio written into the open track, for how it sounded.
    void CountSound(const CRecorderSession& session, const char* data, int bytes, bool silent);
    // What the track's templates read; on the clock, its offsets are the wall clock's.
    TemplateValues TrackValues(const CRecorderSession& session, bool endKnown) const;
    void OnTrackClosed(CRecorderSession& session);
    void Post(int code, const CRecorderSession& session, const UserText& message = {});
    void CopyStatus(const CRecorderSession& session);

    CTrackFiles m_files;
    EventPoster m_post;
    uint64_t m_recordingId = 0;
    std::atomic<RecordingState> m_state{RecordingState::Idle};

    // Handed from the owner to the audio thread.
    mutable std::mutex m_settingsMutex;  // held only to swap or copy the pointer
    std::shared_ptr<const RecordingSettings> m_applied;
    std::atomic<uint64_t> m_thresholds;      // left and right, packed, so both change at once
    bool m_thresholdsHeld = false;           // the owner's: ApplySettings leaves them alone
    std::atomic<int64_t> m_stopAfterSeconds{-1};
    std::atomic<uint64_t> m_trackNumber;     // the number and the "typed" flag, packed
    std::atomic<bool> m_splitRequested{false};
    std::atomic<bool> m_resumeInput{false};
    std::atomic<bool> m_skipSilence{false};  // for the wait for sound; a track keeps its own
    std::atomic<int> m_preRollSeconds{1};

    // The audio thread's own (the owner's while no device runs: at a start, a return, a stop).
    TrackPlan m_track;
    TrackClocks m_clocks;
    const LocalClock m_localClock;  // what m_clocks reads when not on the clock; fixed from the start
    CClockCut m_clockCut;
    int64_t m_recordingStartNs = 0;  // the wall clock at the start, for offsets on the clock
    CSilenceDetector m_silence;
    int64_t m_previousTrackTime = 0;  // the silence test's P
    bool m_trackOpen = false;         // the current track has its row
    CCharString m_refusedLink;        // of the current track's opening
    bool m_startPending = false;      // the monitor has not yet been told of the recording's start
    CloseReason m_closeReason = CloseReason::Stop;  // of the next close
    TrackSound m_sound;               // of the open track
    int m_cutBytes = 0;               // where the clock cuts the buffer going on; 0: not cut
    RecordingSound m_recordingSound;  // of the tracks closed so far
    UserText m_firstTrackText;        // logged with the start
    CPreRollRing m_preRoll;           // the end of the silence while waiting for sound
    // Audio left out while waiting for sound, pre-rolls given back, in bytes so that odd buffer
    // lengths add up; read by the owner's PollInput while no device runs.
    std::atomic<int64_t> m_skippedBytes{0};
    int64_t m_leadMs = 0;             // the pre-roll of the track being opened on sound
    bool m_heardSound = false;        // the current track has had a buffer that was not silent
    bool m_silentOnly = false;        // the track closing heard only silence: it is dropped

    // The owner's.
    std::unique_ptr<CRecorderSession> m_session;
    CInputWait m_wait;
    EndAction m_pendingEndAction = EndAction::None;

    mutable std::mutex m_statusMutex;  // held only to copy the status
    RecordingStatus m_status;

    // Last, so its finisher ends (running what is queued) while everything its jobs use exists.
    CClosedTracks m_closed;
};
