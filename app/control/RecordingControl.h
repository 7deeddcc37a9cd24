// CRecordingControl: the recording half of the main window, without widgets: starts and stops
// sessions, decides pause, splits and the end of a timed recording inside the session's
// notifications, names and tags each track, and hands numbers and problems to its owner.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "app/control/RecordingEvents.h"
#include "app/files/FileMove.h"
#include "app/files/FileNameTemplate.h"
#include "app/files/RecordingItemsModel.h"
#include "app/settings/RecordingSettings.h"
#include "app/files/TrackFiles.h"
#include "app/files/TrackFinisher.h"
#include "foundation/CharString.h"
#include "foundation/Result.h"
#include "platform/DiskSpace.h"
#include "recording/LevelAnalysis.h"
#include "recording/RecorderSession.h"
#include "schedule/RecordingSchedule.h"

class CActivityLog;
class CCaptureBackend;
class CMonitorObserver;
class CSleepInhibitor;

// What the owner sees between buffers; copied on the capture thread, read anywhere.
struct RecordingStatus {
    int trackNumber = 0;  // the session's track counter
    int64_t trackTimeMs = 0;
    int64_t totalTimeMs = 0;
    int leftLevel = -903;  // tenths of a decibel
    int rightLevel = -903;
    uint64_t overruns = 0;  // times the capture layer had to drop audio
    uint64_t buffers = 0;   // buffers delivered, paused ones included: the input is alive while it grows
};

// Threads. The owner's thread (the GUI thread, or velsona-rec's main loop) calls everything
// below unless a member says otherwise. The audio thread runs the session's notifications; it
// reads none of the public members: it works on what the owner hands over (a settings snapshot
// per track, the thresholds, the stop-after time, the track number, the split and pause flags)
// and hands back posted events, the status and the items list.
class CRecordingControl {
public:
    // `post` queues an event for the owner's thread, which then calls OnRecordingEvent; it is
    // called on the audio thread and must never wait for the owner's thread.
    using EventPoster = std::function<void(const RecordingEvent& event)>;

    CRecordingControl(CRecordingItemsModel& items, AudioFactsReader readFacts, EventPoster post,
                      LocalClock clock = CurrentLocalTime);
    ~CRecordingControl();
    CRecordingControl(const CRecordingControl&) = delete;
    CRecordingControl& operator=(const CRecordingControl&) = delete;

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

    // Hands the current settings to the audio thread: the next track opens with them (a track
    // keeps the snapshot it opened with to its close); the silence thresholds apply at once.
    void ApplySettings();
    // Applies the settings, then creates and starts a session; idle again when it cannot start,
    // the failure in the file, folder or capture layer's own words (possibly none).
    Result<void> StartRecording();
    // Stops and destroys the session (the last track is closed, tagged and renamed), then
    // disarms the schedule. The stop's numbering (track 1, the next recording number) is done
    // here; kRecordingStopped only tells the owner.
    void StopRecording();
    bool IsRecording() const { return m_session != nullptr; }
    // The recording that runs, or ran last; 0 before the first. Events carry it.
    uint64_t RecordingId() const { return m_recordingId; }
    // True while the recording that posted `event` is still running.
    bool IsRunning(const RecordingEvent& event) const { return m_session && event.recording == m_recordingId; }
    // The output bar's "ﾄﾗｯｸNo": the number the next track gets. A number set during a track is
    // kept for the next one; otherwise each closed track raises it by one. Any thread.
    int TrackNumber() const;
    void SetTrackNumber(int number);
    void RequestSplit();
    void TogglePause();
    bool IsPaused() const;
    // While the input is away (kRecordingInputWaiting until kRecordingInputReturned).
    bool IsWaitingForInput() const { return m_session && m_waitingForInput; }
    // The owner's timer, at least once a second while recording: tries a lost input again a
    // second after the last attempt, and ends a timed recording whose time ran out meanwhile
    // (the wait counts as recorded time). Does nothing otherwise.
    void PollInput();
    // Handles a posted event on the owner's thread (the stop after the duration) and logs it. An
    // event of a recording that is no longer running changes nothing but the log.
    void OnRecordingEvent(const RecordingEvent& event);
    // The end action to run after a duration-reached stop, or EndAction::None.
    EndAction TakeEndAction();
    // The meters' and monitor views' feed; set while no session runs (null removes it).
    void SetMonitorObserver(CMonitorObserver* observer);
    // The thread that finishes closed tracks; tests slow it down through its seam.
    CTrackFinisher& Finisher() { return m_finisher; }
    // For tests, set while no session runs: told each name a track's file is about to be
    // created under, once the track is journaled there (on the thread that opens the track).
    std::function<void(const CCharString& path)> beforeTrackFile;
    // Forces a finished track's file and its name to the disk; tests set one that fails. Set
    // while no session runs.
    std::function<Result<void>(const CCharString& path)> syncFinishedFile = SyncToDisk;
    // For tests, set while no session runs: the monotonic clock (nanoseconds) that times a wait
    // for the input; read on the owner's and the audio thread.
    std::function<int64_t()> steadyClock;

    // Any thread.
    RecordingStatus Status() const;
    // The status panes: the track's number and time, the total time.
    UserText TrackPaneText() const;
    UserText TotalPaneText() const;

    // Silence thresholds (tenths of a decibel) used by the silence split method, from the next
    // buffer on.
    void SetSilenceLevels(int left, int right);

    // Calibration, in the steps of its dialog. Begin keeps the thresholds, lowers them to -900
    // and measures (the running session, or a monitor-only one). At the first answer Freeze
    // stops a monitor-only session and returns the levels to show in the question; Accept takes
    // exactly those as the thresholds, Retry measures again, Cancel (at either question) puts
    // the kept thresholds back. Accept and Cancel end the calibration.
    bool BeginCalibration();
    bool IsCalibrating() const { return m_calibrating; }
    BufferLevels CalibrationLevels() const;  // the levels now, for the meters
    BufferLevels FreezeCalibration();
    void AcceptCalibration();
    bool RetryCalibration();
    void CancelCalibration();

private:
    // Why a track closed, for the log.
    enum class CloseReason { Interval, Silence, Command, Failure, Stop };
    // What a track works with from its opening to its close; the audio thread's own.
    struct TrackPlan {
        std::shared_ptr<const RecordingSettings> settings;
        int splitLength = -1;
    };
    // A closed track on its way to the finisher: everything its finishing needs, taken at the
    // close, since the next track reuses the session's fields at once.
    struct ClosedTrack {
        std::unique_ptr<CAudioWriter> writer;  // its stream ended
        TagFieldSet tags;                      // the writer's tags point here
        Result<void> streamEnd;                // the writer's EndStream
        bool received = false;                 // it took any audio at all
        bool hasRow = false;
        TrackRow row;                          // its file: where the finisher has put it
        CCharString writtenPath;               // where it was written
        CCharString plannedPath;
        CCharString finalPath;
        // What the final name was made from, to name it again by the audio a full disk left it.
        std::shared_ptr<const RecordingSettings> settings;
        OutputFormat format = OutputFormat::Wav;
        TemplateValues values;
        TrackClocks clocks;
        uint64_t recording = 0;
        int trackNumber = 0;
        CloseReason reason = CloseReason::Stop;
        int64_t lengthMs = 0;
        CCharString refusedLink;  // a template folder that was a link when the track opened
    };

    static int OnSessionNotify(int code, CRecorderSession* session, void* user);
    int HandleNotify(int code, CRecorderSession& session);
    int OnDataBefore(CRecorderSession& session);
    int OnDataAfter(CRecorderSession& session);
    void OnTrackClosed(CRecorderSession& session);
    // On the finisher thread: the writer's tags and close, the final name, the row, the events.
    void FinishTrack(ClosedTrack& track);
    void FinishClosedTrack(ClosedTrack& track);
    // A close that could not write everything leaves less audio than was recorded: the final
    // name is made from the length the file holds.
    void NameByKeptAudio(ClosedTrack& track);
    // Tells of a closed track that kept its audio but not all of its ending; `message` says
    // where the file now is.
    void PostUnfinished(const ClosedTrack& track, const UserText& message);
    void OnStopped(const CRecorderSession& session);
    void Split(CRecorderSession& session, CloseReason reason);
    // Logs the start on the owner's thread, with the first track's opening.
    void LogStart();
    // Audio thread: the input failed with the setting on: the track closes as at a split.
    void LoseInput(CRecorderSession& session);
    // The wait for the input begins now; `message` tells of it, `reason` is the capture's why.
    void BeginWait(const UserText& message, const UserText& reason, int trackNumber, const CCharString& path);
    // A track that opened but never recorded goes, with its name and journal entry.
    void DropUnrecordedTrack(CRecorderSession& session);
    void PrepareTrack(CRecorderSession& session);
    void FillTags(CRecorderSession& session, bool endKnown);
    // Notes the track about to open at `path` in the process's journal, before its file exists, so
    // a crash at any point leaves it recoverable or its empty file and the reserve removable.
    void JournalTrack(const CRecorderSession& session, const CCharString& path);
    // A track that received no audio is no track: its file, row and journal entry go.
    void DropEmptyTrack(ClosedTrack& track);
    // A track whose file holds no audio: the file, its row and its journal entry go.
    void RemoveTrack(ClosedTrack& track);
    // The disk reserve, from the audio thread, the finisher and the owner.
    void HoldReserve();
    void ReleaseReserve();
    // Given back for good: the recording ended or never started.
    void EndReserve();
    TemplateValues Values(const CRecorderSession& session, bool endKnown) const;
    void Post(int code, const CRecorderSession& session, const UserText& message = {});
    void CopyStatus(const CRecorderSession& session);
    std::unique_ptr<CRecorderSession> NewSession();
    bool StartCalibrationSession();
    // Stops and destroys a running session, keeping the schedule.
    void EndSession();

    CTrackFiles m_files;
    EventPoster m_post;
    CMonitorObserver* m_monitor = nullptr;
    uint64_t m_recordingId = 0;

    // Handed from the owner to the audio thread.
    mutable std::mutex m_settingsMutex;  // held only to swap or copy the pointer
    std::shared_ptr<const RecordingSettings> m_applied;
    std::atomic<uint64_t> m_thresholds;      // left and right, packed, so both change at once
    std::atomic<int64_t> m_stopAfterSeconds{-1};
    std::atomic<uint64_t> m_trackNumber;     // the number and the "typed" flag, packed
    std::atomic<bool> m_splitRequested{false};
    std::atomic<bool> m_resumeInput{false};
    // The wait for the input: set by the audio thread when it fails (or by a start that found
    // none), cleared by the owner once it opens again. The lost time is counted with the
    // recorded time against a timed recording's duration.
    std::atomic<bool> m_waitingForInput{false};
    std::atomic<int64_t> m_inputLostAt{0};  // steady clock, nanoseconds
    std::atomic<int64_t> m_gapMs{0};        // the waits of this recording so far
    std::atomic<bool> m_inputReturning{false};  // the owner opens the input again (its track's notifications)
    // The finisher has told of a module this recording's tracks cannot be tagged without.
    std::atomic<bool> m_toldMissingModule{false};

    // The audio thread's own (the owner's only while no session runs).
    TrackPlan m_track;
    TrackClocks m_clocks;
    CSilenceDetector m_silence;
    int64_t m_previousTrackTime = 0;  // the silence test's P
    bool m_trackOpen = false;         // the current track has its row
    CCharString m_refusedLink;        // of the current track's opening
    bool m_startPending = false;      // the monitor has not yet been told of the recording's start
    CloseReason m_closeReason = CloseReason::Stop;  // of the next close
    bool m_firstTrackOpening = false;  // the start's own track: logged with the start, not posted
    UserText m_firstTrackText;

    // The owner's.
    std::unique_ptr<CRecorderSession> m_session;
    int64_t m_nextAttempt = 0;  // steady clock, nanoseconds
    int64_t m_notedWait = -1;   // the loss (m_inputLostAt) whose wait the log follows
    int64_t m_nextWaitNoteMs = 0;  // the wait's next milestone that gets a log line
    std::unique_ptr<CRecorderSession> m_calibrationSession;
    // Given back when a write fails and at each close, so the track is ended, tagged and renamed
    // in that room; taken again once the finisher is done with it while the recording runs on.
    std::mutex m_reserveMutex;  // held while the reserve file is made or removed
    CDiskReserve m_reserve;
    CCharString m_reserveFolder;
    bool m_reserveWanted = false;
    bool m_holdReserveAtOpen = false;  // the first track takes it once journaled
    bool m_calibrating = false;
    int m_keptThresholds[2] = {-450, -450};
    BufferLevels m_frozenLevels{-903, -903};
    EndAction m_pendingEndAction = EndAction::None;

    mutable std::mutex m_statusMutex;  // held only to copy the status
    RecordingStatus m_status;

    // Last, so it ends (running what is queued) while everything its jobs use still exists.
    CTrackFinisher m_finisher;
};
