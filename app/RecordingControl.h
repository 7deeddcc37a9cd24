// CRecordingControl: the recording half of the main window, without widgets: starts and stops
// sessions, decides pause, splits and the end of a timed recording inside the session's
// notifications, names and tags each track, and hands numbers and problems to its owner.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "app/FileNameTemplate.h"
#include "app/RecordingItemsModel.h"
#include "app/RecordingSettings.h"
#include "app/TrackFiles.h"
#include "foundation/CharString.h"
#include "platform/DiskSpace.h"
#include "recording/LevelAnalysis.h"
#include "recording/RecorderSession.h"
#include "schedule/RecordingSchedule.h"

class CCaptureBackend;
class CSleepInhibitor;

// Posted to the owner's thread (never handled on the capture thread).
enum RecordingEvent {
    kRecordingDurationReached = 100,
    kRecordingTrackClosed = 101,
    kRecordingStopped = 102,
    // Nobody watches an unattended recording, so nothing may fail silently: these carry a
    // message (LastProblem) and the owner shows or prints it.
    kRecordingWriteFailed = 110,   // a track could not take more audio; it was closed as written
    kRecordingSplitFailed = 111,   // the next track could not be opened; nothing is written now
    kRecordingCaptureFailed = 112,  // the input failed or vanished; nothing more will come
    kRecordingCaptureEnded = 113,   // a finite input (a test signal, a file) came to its end
    // A closed track kept its audio but not all of its ending: its end, header or tags could not
    // be written, or it could not take its final name and sits under the fallback name.
    kRecordingTrackUnfinished = 114,
};

// What the owner sees between buffers; copied on the capture thread, read anywhere.
struct RecordingStatus {
    int trackNumber = 0;  // the session's track counter
    int64_t trackTimeMs = 0;
    int64_t totalTimeMs = 0;
    int leftLevel = -903;  // tenths of a decibel
    int rightLevel = -903;
    uint64_t overruns = 0;  // times the capture layer had to drop audio
};

class CRecordingControl {
public:
    // `post` queues an event for the owner's thread, which then calls OnRecordingEvent; it is
    // called on the capture thread and must never wait for the owner's thread.
    using EventPoster = std::function<void(int event)>;

    CRecordingControl(CRecordingItemsModel& items, AudioFactsReader readFacts, EventPoster post,
                      LocalClock clock = CurrentLocalTime);
    ~CRecordingControl();
    CRecordingControl(const CRecordingControl&) = delete;
    CRecordingControl& operator=(const CRecordingControl&) = delete;

    // --- Owner's thread. The settings and numbers are read when a recording or track starts.
    RecordingSettings settings;  // settings.recordingNumber is the output bar's "収録No"
    // An armed timed recording (stop after its duration, end action), or none.
    std::optional<RecordingSchedule> schedule;
    // Where capture comes from; null chooses as the capture layer does.
    std::shared_ptr<CCaptureBackend> backend;
    // Held while recording so the machine does not suspend; none when logind is not reachable.
    CSleepInhibitor* sleepInhibitor = nullptr;

    // Creates and starts a session with the settings; false (and idle) when it cannot start.
    bool StartRecording();
    // Stops and destroys the session (the last track is closed, tagged and renamed) and disarms
    // the schedule.
    void StopRecording();
    bool IsRecording() const { return m_session != nullptr; }
    // The output bar's "ﾄﾗｯｸNo": the number the next track gets. A number set during a track is
    // kept for the next one; otherwise each closed track raises it by one.
    int TrackNumber() const { return m_trackNumber.load(); }
    void SetTrackNumber(int number);
    void RequestSplit();
    void TogglePause();
    bool IsPaused() const;
    // Handles a posted event on the owner's thread (numbers, stop after the duration).
    void OnRecordingEvent(int event);
    // The end action to run after a duration-reached stop, or EndAction::None.
    EndAction TakeEndAction();

    RecordingStatus Status() const;
    // "トラック(%d)時間 %d:%02d.%02d" and "総時間 %d:%02d".
    CCharString TrackPaneText() const;
    CCharString TotalPaneText() const;
    // The message of the last problem event, for the owner to show.
    CCharString LastProblem() const;
    // The oldest problem message not yet taken, one per problem event; empty when none is left.
    CCharString TakeProblem();

    // Silence thresholds (tenths of a decibel) used by the silence split method.
    void SetSilenceLevels(int left, int right);

    // Calibration without dialogs: Begin lowers the thresholds to -900 and measures (the running
    // session, or a monitor-only one), Levels gives what was measured, Accept takes it as the
    // thresholds, Cancel restores the old ones.
    bool BeginCalibration();
    BufferLevels CalibrationLevels() const;
    void AcceptCalibration();
    void CancelCalibration();

private:
    static int OnSessionNotify(int code, CRecorderSession* session, void* user);
    int HandleNotify(int code, CRecorderSession& session);
    int OnDataAfter(CRecorderSession& session);
    void Split(CRecorderSession& session);
    void PrepareTrack(CRecorderSession& session);
    void FillTags(CRecorderSession& session, bool endKnown);
    TemplateValues Values(const CRecorderSession& session, bool endKnown) const;
    void Problem(int event, const CCharString& message);
    void CopyStatus(const CRecorderSession& session);
    std::unique_ptr<CRecorderSession> NewSession();
    // Stops and destroys a running session, keeping the schedule.
    void EndSession();

    CTrackFiles m_files;
    EventPoster m_post;
    TrackClocks m_clocks;
    CSilenceDetector m_silence;
    std::unique_ptr<CRecorderSession> m_session;
    std::unique_ptr<CRecorderSession> m_calibrationSession;
    CDiskReserve m_reserve;  // given back when a write fails, to close the track in that room
    int m_keptThresholds[2] = {-450, -450};
    int m_splitLength = -1;
    int64_t m_previousTrackTime = 0;  // the silence test's P
    EndAction m_pendingEndAction = EndAction::None;
    std::atomic<int> m_trackNumber{1};
    std::atomic<bool> m_trackNumberTyped{false};  // set by SetTrackNumber during a track

    mutable std::mutex m_statusMutex;  // held only to copy the status or the problem text
    RecordingStatus m_status;
    CCharString m_lastProblem;
    std::deque<CCharString> m_problems;
};
