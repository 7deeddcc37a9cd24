// The recording control: session notifications, splits, the end of a timed recording, track
// names and tags, numbering, status texts, calibration, and the hand-overs between the owner's
// thread and the audio thread.
#include "app/control/RecordingControl.h"

#include <unistd.h>

#include <QtGlobal>
#include <chrono>

#include "app/control/ActivityLog.h"
#include "app/files/AudioFacts.h"
#include "app/files/FileMove.h"
#include "app/language/Catalogue.h"
#include "app/monitor/MonitorObserver.h"
#include "app/settings/OutputFormats.h"
#include "app/files/TrackJournal.h"
#include "app/files/TrackTags.h"
#include "app/language/Catalogue.h"
#include "audiofile/AudioWriter.h"
#include "audiofile/QualityTable.h"
#include "foundation/PathUtils.h"
#include "foundation/StepHook.h"
#include "platform/CaptureBackend.h"
#include "platform/Logind.h"

namespace {

constexpr int kCalibrationThreshold = -900;
// Enough for the tags and the rename of a track closed on a full disk.
constexpr int64_t kReservedBytes = 64 * 1024;

// Two 32-bit values in one atomic word, so a reader never sees half of a change.
uint64_t Pack(int32_t low, int32_t high) { return static_cast<uint32_t>(low) | uint64_t{static_cast<uint32_t>(high)} << 32; }
int32_t Low(uint64_t packed) { return static_cast<int32_t>(static_cast<uint32_t>(packed)); }
int32_t High(uint64_t packed) { return static_cast<int32_t>(static_cast<uint32_t>(packed >> 32)); }

// The lower layer's words for why, nested in the sentence that tells what happened.
UserText ReasonOf(const Failure& failure) {
    return failure.message.empty() ? UserText("RecordingControl", "理由は分かりません") : failure.message;
}

// "1:02:03.456": a track's length, to the millisecond, as the log tells it.
CCharString LengthText(int64_t ms) {
    return CCharString::Formatted("%d:%02d:%02d.%03d", static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60),
                                  static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
}

// Each recording gets an id no other recording of this process had.
std::atomic<uint64_t> g_lastRecordingId{0};

// A lost input is tried again this long after the last attempt.
constexpr int64_t kRetryPeriodNs = 1'000'000'000;

int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The wait for a lost input is logged at a minute, ten minutes, an hour and every hour after:
// a night's outage leaves a handful of lines, not one per retry.
constexpr int64_t kMinuteMs = 60'000;
constexpr int64_t kHourMs = 60 * kMinuteMs;

int64_t NextWaitMilestoneMs(int64_t waitedMs) {
    if (waitedMs < kMinuteMs) return kMinuteMs;
    if (waitedMs < 10 * kMinuteMs) return 10 * kMinuteMs;
    return (waitedMs / kHourMs + 1) * kHourMs;
}

// The last milestone a wait of `waitedMs` has passed: "10 分", "3 時間".
UserText WaitMilestoneText(int64_t waitedMs) {
    if (waitedMs < 10 * kMinuteMs) return UserText("RecordingControl", "1 分");
    if (waitedMs < kHourMs) return UserText("RecordingControl", "10 分");
    return UserText("RecordingControl", "%1 時間").Arg(static_cast<long long>(waitedMs / kHourMs));
}

UserText InputNameText(const std::string& name) {
    return name.empty() ? UserText("RecordingControl", "既定の入力") : UserText::Verbatim(name);
}

// Why a track was closed, as its close is logged.
constexpr const char* kCloseReasons[] = {
    QT_TRANSLATE_NOOP("RecordingControl", "一定間隔で分割"), QT_TRANSLATE_NOOP("RecordingControl", "無音で分割"),
    QT_TRANSLATE_NOOP("RecordingControl", "分割の指示"), QT_TRANSLATE_NOOP("RecordingControl", "失敗"),
    QT_TRANSLATE_NOOP("RecordingControl", "録音停止")};

}  // namespace

CRecordingControl::CRecordingControl(CRecordingItemsModel& items, AudioFactsReader readFacts, EventPoster post,
                                     LocalClock clock)
    : m_files(items, std::move(readFacts), clock),
      m_post(std::move(post)),
      m_thresholds(Pack(settings.silenceLeft, settings.silenceRight)),
      m_trackNumber(Pack(1, 0)) {
    m_clocks.now = std::move(clock);
    steadyClock = SteadyNs;
}

CRecordingControl::~CRecordingControl() {
    CancelCalibration();
    StopRecording();
}

void CRecordingControl::ApplySettings() {
    auto snapshot = std::make_shared<const RecordingSettings>(settings);
    {
        std::lock_guard<std::mutex> lock(m_settingsMutex);
        m_applied = std::move(snapshot);
    }
    if (!m_calibrating) m_thresholds = Pack(settings.silenceLeft, settings.silenceRight);
    m_resumeInput = settings.resumeInput;
}

std::unique_ptr<CRecorderSession> CRecordingControl::NewSession() {
    auto session = std::make_unique<CRecorderSession>();
    session->SetNotify(&CRecordingControl::OnSessionNotify, this);
    session->deviceId = settings.inputDevice;
    session->captureFormat = {settings.sampleRate, settings.channels, settings.bitsPerSample};
    session->backend = backend;
    session->handOverClosedWriter = true;
    return session;
}

Result<void> CRecordingControl::StartRecording() {
    EndSession();
    ApplySettings();
    m_stopAfterSeconds = schedule && schedule->StopsAfterDuration() ? schedule->durationSeconds : -1;
    m_splitRequested = false;
    {
        std::lock_guard<std::mutex> lock(m_statusMutex);
        m_status = RecordingStatus();
    }
    m_previousTrackTime = 0;
    m_trackOpen = false;
    m_startPending = true;
    m_waitingForInput = false;
    m_gapMs = 0;
    m_recordingId = ++g_lastRecordingId;
    m_toldMissingModule = false;
    {
        std::lock_guard<std::mutex> lock(m_reserveMutex);
        m_reserveFolder = settings.outputFolder;
        m_reserveWanted = EnsureFolder(settings.outputFolder);
    }
    // Taken once the first track is journaled: the journal names the folder a dead recorder's
    // reserve is to be removed from.
    m_holdReserveAtOpen = true;
    m_closeReason = CloseReason::Stop;
    m_firstTrackOpening = true;
    m_firstTrackText = UserText();
    m_session = NewSession();
    // Unattended, a start at its set time waits for an input that is not there yet.
    m_session->waitForInput = m_resumeInput && schedule.has_value();
    {
        std::lock_guard<std::mutex> lock(m_settingsMutex);
        m_track.settings = m_applied;
    }
    // A start that waits for its input runs without it, its failure saying why it waits.
    const Result<void> started = m_session->Start();
    if (!started && !m_session->InputMissing()) {
        const Failure& failure = started.error();
        if (log) log->Write(LogSeverity::Error, UserText("RecordingControl", "録音を開始できませんでした: %1").Arg(ReasonOf(failure)));
        // A first track that opened but never recorded is not a finished track: its row, and the
        // name taken for it, go.
        DropUnrecordedTrack(*m_session);
        m_session.reset();
        EndReserve();
        return failure;
    }
    if (sleepInhibitor) {
        CLogind logind(CLogind::SystemBusAddress());
        // Without logind the recording runs all the same; velsona-rec says so before it starts.
        static_cast<void>(sleepInhibitor->Acquire(logind, SaidUtf8(UserText("RecordingControl", "録音中")).c_str()));
    }
    LogStart();
    // A start that waits for its input opens its first track later, as any other.
    if (m_firstTrackOpening) m_firstTrackOpening = false;
    if (!started) {
        const UserText reason = ReasonOf(started.error());
        BeginWait(UserText("RecordingControl",
                           "録音開始の時刻に録音デバイスを開けませんでした (%1)。入力が現れるのを待っています。")
                      .Arg(reason),
                  reason, 0, {});
    }
    return {};
}

void CRecordingControl::LogStart() {
    if (!log) return;
    const QualityEntry* row = QualityRow(settings.outputFormat, settings.qualityIndex);
    UserText input = settings.inputDevice < 0 ? UserText("RecordingControl", "既定の入力")
                                              : UserText("RecordingControl", "入力デバイス %1").Arg(settings.inputDevice);
    if (backend && settings.inputDevice >= 0)
        for (const CaptureDeviceInfo& device : backend->ListDevices())
            if (device.id == settings.inputDevice) input = UserText::Verbatim(device.name);
    log->Write(LogSeverity::Information,
               UserText("RecordingControl", "録音 No.%1 を開始しました（%2 %3、%4、出力先 %5）")
                   .Arg(CCharString::Formatted("%02d", settings.recordingNumber).str())
                   .Arg(FormatName(settings.outputFormat))
                   .Arg(row ? row->label : "")
                   .Arg(std::move(input))
                   .Arg(settings.outputFolder.str()));
    if (!m_firstTrackText.empty()) log->Write(LogSeverity::Information, m_firstTrackText);
}

void CRecordingControl::BeginWait(const UserText& message, const UserText& reason, int trackNumber,
                                  const CCharString& path) {
    const int64_t now = steadyClock();
    m_inputLostAt = now;
    // Published last: the owner reads the rest once it sees the wait.
    m_waitingForInput = true;
    m_post(RecordingEvent{kRecordingInputWaiting, m_recordingId, trackNumber, path, message, reason});
}

void CRecordingControl::PollInput() {
    if (!m_session || !m_waitingForInput) return;
    const int64_t now = steadyClock();
    const int64_t lostAt = m_inputLostAt;
    if (m_notedWait != lostAt) {
        m_notedWait = lostAt;
        m_nextWaitNoteMs = NextWaitMilestoneMs(0);
    }
    if (m_nextAttempt < lostAt + kRetryPeriodNs) m_nextAttempt = lostAt + kRetryPeriodNs;
    const int64_t waitedMs = (now - lostAt) / 1'000'000;
    const int64_t stopAfter = m_stopAfterSeconds;
    if (stopAfter >= 0 && (m_session->TotalTime() + m_gapMs + waitedMs) / 1000 >= stopAfter) {
        m_waitingForInput = false;
        Post(kRecordingDurationReached, *m_session);
        return;
    }
    if (now < m_nextAttempt) return;
    m_nextAttempt = now + kRetryPeriodNs;
    // Counted before capture starts, so the first buffer after the gap already sees it.
    m_gapMs += waitedMs;
    m_inputReturning = true;
    const Result<void> reopened = m_session->ReopenInput();
    if (!reopened) {
        m_inputReturning = false;
        m_gapMs -= waitedMs;
        const UserText reason = ReasonOf(reopened.error());
        m_post(RecordingEvent{kRecordingInputRetry, m_recordingId, 0, {},
                              UserText("RecordingControl",
                                       "録音デバイスをもう一度開けませんでした (%1)。1秒後にもう一度試します。")
                                  .Arg(reason),
                              reason});
        // Each milestone passed gets its line, even when one slow poll passed two of them.
        for (; waitedMs >= m_nextWaitNoteMs; m_nextWaitNoteMs = NextWaitMilestoneMs(m_nextWaitNoteMs))
            if (log)
                log->Write(LogSeverity::Information,
                           UserText("RecordingControl", "入力を %1 待っています。まだ開けません (%2)。")
                               .Arg(WaitMilestoneText(m_nextWaitNoteMs))
                               .Arg(reason));
        return;
    }
    const Result<void> resumed = m_session->ResumeCapture();
    m_inputReturning = false;
    m_waitingForInput = false;
    if (resumed) return;
    DropUnrecordedTrack(*m_session);
    Post(kRecordingSplitFailed, *m_session,
         UserText("RecordingControl", "入力は戻りましたが、次のトラックを開けませんでした。録音を停止してください: %1 (%2)")
             .Arg(m_session->writtenPath.str())
             .Arg(ReasonOf(resumed.error())));
}

void CRecordingControl::StopRecording() {
    // The schedule's duration stays with the audio thread until its last buffer is done.
    EndSession();
    schedule.reset();
}

void CRecordingControl::EndSession() {
    if (m_session) {
        {
            // The last track's close gives the reserve back for good.
            std::lock_guard<std::mutex> lock(m_reserveMutex);
            m_reserveWanted = false;
        }
        m_session->Stop();
        m_session.reset();
    }
    EndReserve();
    if (sleepInhibitor) sleepInhibitor->Release();
}

void CRecordingControl::HoldReserve() {
    std::lock_guard<std::mutex> lock(m_reserveMutex);
    // Without it a full disk may cut a track's ending short, which its close then reports.
    if (m_reserveWanted && !m_reserve.IsHeld()) static_cast<void>(m_reserve.Hold(m_reserveFolder, kReservedBytes));
}

void CRecordingControl::ReleaseReserve() {
    std::lock_guard<std::mutex> lock(m_reserveMutex);
    m_reserve.Release();
}

void CRecordingControl::EndReserve() {
    std::lock_guard<std::mutex> lock(m_reserveMutex);
    m_reserveWanted = false;
    m_holdReserveAtOpen = false;
    m_reserve.Release();
}

void CRecordingControl::RequestSplit() {
    if (m_session) m_splitRequested = true;
}

void CRecordingControl::TogglePause() {
    if (m_session) m_session->paused = !m_session->paused;
}

bool CRecordingControl::IsPaused() const { return m_session && m_session->paused; }

int CRecordingControl::TrackNumber() const { return Low(m_trackNumber.load()); }

void CRecordingControl::SetTrackNumber(int number) { m_trackNumber = Pack(number, m_session ? 1 : 0); }

void CRecordingControl::OnRecordingEvent(const RecordingEvent& event) {
    // A retry a second would fill the log; PollInput logs the wait's milestones instead.
    if (log && event.code != kRecordingInputRetry) log->Record(event);
    if (event.code != kRecordingDurationReached || !IsRunning(event)) return;
    m_pendingEndAction = schedule && schedule->endActionArmed ? schedule->endAction : EndAction::None;
    StopRecording();
}

EndAction CRecordingControl::TakeEndAction() {
    const EndAction action = m_pendingEndAction;
    m_pendingEndAction = EndAction::None;
    return action;
}

void CRecordingControl::SetMonitorObserver(CMonitorObserver* observer) { m_monitor = observer; }

RecordingStatus CRecordingControl::Status() const {
    std::lock_guard<std::mutex> lock(m_statusMutex);
    RecordingStatus status = m_status;
    if (m_session) status.overruns = m_session->OverrunCount();
    return status;
}

UserText CRecordingControl::TrackPaneText() const {
    const RecordingStatus status = Status();
    const int64_t ms = status.trackTimeMs;
    return UserText("RecordingControl", "トラック(%1)時間 %2")
        .Arg(status.trackNumber)
        .Arg(CCharString::Formatted("%d:%02d.%02d", static_cast<int>(ms / 60000), static_cast<int>(ms / 1000 % 60),
                                    static_cast<int>(ms % 1000 / 10))
                 .str());
}

UserText CRecordingControl::TotalPaneText() const {
    const int64_t ms = Status().totalTimeMs;
    return UserText("RecordingControl", "総時間 %1")
        .Arg(CCharString::Formatted("%d:%02d", static_cast<int>(ms / 60000), static_cast<int>(ms / 1000 % 60)).str());
}

void CRecordingControl::SetSilenceLevels(int left, int right) {
    settings.silenceLeft = left;
    settings.silenceRight = right;
    m_thresholds = Pack(left, right);
}

bool CRecordingControl::BeginCalibration() {
    if (m_calibrating) return true;
    m_keptThresholds[0] = settings.silenceLeft;
    m_keptThresholds[1] = settings.silenceRight;
    SetSilenceLevels(kCalibrationThreshold, kCalibrationThreshold);
    m_calibrating = true;
    if (m_session || StartCalibrationSession()) return true;
    CancelCalibration();
    return false;
}

bool CRecordingControl::StartCalibrationSession() {
    m_calibrationSession = NewSession();
    m_calibrationSession->monitorOnly = true;
    // Told before the session starts, so this runs before the audio thread does.
    if (m_monitor) m_monitor->OnTrackOpen(m_calibrationSession->captureFormat);
    if (m_calibrationSession->Start()) return true;
    m_calibrationSession.reset();
    return false;
}

BufferLevels CRecordingControl::CalibrationLevels() const {
    const RecordingStatus status = Status();
    return {status.leftLevel, status.rightLevel};
}

BufferLevels CRecordingControl::FreezeCalibration() {
    // Stopped first, so the levels hold the moment of the answer.
    if (m_calibrationSession) m_calibrationSession->Stop();
    m_calibrationSession.reset();
    m_frozenLevels = CalibrationLevels();
    return m_frozenLevels;
}

void CRecordingControl::AcceptCalibration() {
    if (!m_calibrating) return;
    m_calibrating = false;
    SetSilenceLevels(m_frozenLevels.left, m_frozenLevels.right);
}

bool CRecordingControl::RetryCalibration() {
    if (!m_calibrating) return false;
    if (m_session || StartCalibrationSession()) return true;
    CancelCalibration();
    return false;
}

void CRecordingControl::CancelCalibration() {
    if (!m_calibrating) return;
    if (m_calibrationSession) m_calibrationSession->Stop();
    m_calibrationSession.reset();
    m_calibrating = false;
    SetSilenceLevels(m_keptThresholds[0], m_keptThresholds[1]);
}

int CRecordingControl::OnSessionNotify(int code, CRecorderSession* session, void* user) {
    return static_cast<CRecordingControl*>(user)->HandleNotify(code, *session);
}

int CRecordingControl::HandleNotify(int code, CRecorderSession& session) {
    switch (code) {
        case kNotifyDataBefore: return OnDataBefore(session);
        case kNotifyDataAfter: return OnDataAfter(session);
        case kEventStopped: OnStopped(session); return 1;
        case kNotifyTrackOpenBefore: PrepareTrack(session); return 1;
        case kNotifyTrackOpenAfter:
            m_trackOpen = m_files.BeginItem(session.writtenPath);
            // Told before capture starts, so it comes before anything of the new track.
            if (m_trackOpen && m_inputReturning)
                Post(kRecordingInputReturned, session,
                     UserText("RecordingControl", "録音デバイス「%1」からの入力が戻りました。トラック%2から録音を続けます。")
                         .Arg(InputNameText(session.InputName()))
                         .Arg(session.trackCounter));
            if (m_trackOpen) {
                UserText text = UserText("RecordingControl", "トラック %1 を開きました: %2")
                                    .Arg(session.trackCounter)
                                    .Arg(session.writtenPath.str());
                // The first opens on the owner's thread, before the audio thread runs.
                if (m_firstTrackOpening) {
                    m_firstTrackOpening = false;
                    m_firstTrackText = text;
                } else {
                    Post(kRecordingTrackOpened, session, text);
                }
            }
            return m_trackOpen ? 1 : 0;
        case kNotifyTrackCloseBefore:
            // The encoder's last pages and the tags are written in the room the reserve held.
            ReleaseReserve();
            FillTags(session, true);
            return 1;
        case kNotifyTrackCloseAfter: OnTrackClosed(session); return 1;
        case kEventWriteFailed:
            ReleaseReserve();
            m_closeReason = CloseReason::Failure;
            Post(kRecordingWriteFailed, session,
                 UserText("RecordingControl",
                          "ファイルへの書き込みに失敗したため、トラックを閉じました（空き容量や出力先を確認してください）: %1 (%2)")
                     .Arg(session.writtenPath.str())
                     .Arg(ReasonOf(session.WriteFailure())));
            session.CloseTrack();
            return 1;
        case kEventCaptureEnded:
            // A monitor-only session ends with its owner; there is no recording to tell about.
            if (session.monitorOnly) return 1;
            if (session.CaptureFailed() && m_resumeInput) {
                LoseInput(session);
            } else if (session.CaptureFailed()) {
                // The owner's stop closes the track the input failed.
                m_closeReason = CloseReason::Failure;
                Post(kRecordingCaptureFailed, session,
                     UserText("RecordingControl", "録音デバイスからの入力が途絶えました: %1")
                         .Arg(session.CaptureEndDetail()));
            } else {
                Post(kRecordingCaptureEnded, session);
            }
            return 1;
        default: return 1;
    }
}

int CRecordingControl::OnDataBefore(CRecorderSession& session) {
    const bool paused = session.paused;
    {
        std::lock_guard<std::mutex> lock(m_statusMutex);
        m_status.leftLevel = session.LeftLevel();
        m_status.rightLevel = session.RightLevel();
        ++m_status.buffers;
    }
    if (m_monitor) {
        if (m_startPending && !session.monitorOnly) {
            m_startPending = false;
            m_monitor->OnRecordingStart(session.captureFormat);
        }
        MonitorBuffer buffer;
        buffer.data = session.LastBuffer();
        buffer.bytes = session.LastBufferSize();
        buffer.format = session.captureFormat;
        buffer.leftLevel = session.LeftLevel();
        buffer.rightLevel = session.RightLevel();
        buffer.paused = paused;
        m_monitor->OnBuffer(buffer);
    }
    return paused ? 0 : 1;
}

int CRecordingControl::OnDataAfter(CRecorderSession& session) {
    const int64_t stopAfter = m_stopAfterSeconds;
    // The time the input was away counts: a timed recording ends on the clock.
    if (stopAfter >= 0 && (session.TotalTime() + m_gapMs) / 1000 >= stopAfter) {
        session.CloseTrack();
        Post(kRecordingDurationReached, session);
        return 1;
    }
    if (m_splitRequested.exchange(false)) {
        Split(session, CloseReason::Command);
        return 0;
    }
    const int splitLength = m_track.splitLength;
    const int method = m_track.settings ? m_track.settings->splitMethod : kSplitManual;
    if (method == kSplitInterval && splitLength > 0 && session.TrackTime() >= splitLength * 1000LL) {
        Split(session, CloseReason::Interval);
        return 0;
    }
    if (method == kSplitSilence) {
        const uint64_t thresholds = m_thresholds;
        m_silence.SetThresholds(Low(thresholds), High(thresholds));
        const BufferLevels levels{session.LeftLevel(), session.RightLevel()};
        switch (m_silence.Test(levels, splitLength, m_previousTrackTime)) {
            case SilenceOutcome::Split: Split(session, CloseReason::Silence); return 0;
            case SilenceOutcome::Stop: return 0;
            case SilenceOutcome::Continue: break;
        }
    }
    CopyStatus(session);
    m_previousTrackTime = session.TrackTime();
    return 1;
}

void CRecordingControl::Split(CRecorderSession& session, CloseReason reason) {
    m_closeReason = reason;
    session.CloseTrack();
    m_splitRequested = false;
    // Whatever made this split, the next track has heard no sound yet: a silence that was due on
    // this buffer must not split the new track again after one buffer.
    m_silence.ResetSilenceStart();
    if (const Result<void> opened = session.OpenTrack(); !opened) {
        DropUnrecordedTrack(session);
        Post(kRecordingSplitFailed, session,
             UserText("RecordingControl", "次のトラックを開けませんでした。録音を停止してください: %1 (%2)")
                 .Arg(session.writtenPath.str())
                 .Arg(ReasonOf(opened.error())));
    }
}

void CRecordingControl::DropUnrecordedTrack(CRecorderSession& session) {
    if (m_trackOpen) m_files.DropItem();
    m_trackOpen = false;
    RemoveIfUnused(session.writtenPath);
    ProcessTrackJournal().Remove(session.writtenPath);
}

void CRecordingControl::LoseInput(CRecorderSession& session) {
    const int track = session.trackCounter;
    const CCharString path = session.writtenPath;
    // As at a split: the next track gets the next number, name and tags when the input returns.
    m_closeReason = CloseReason::Failure;
    session.CloseTrack();
    m_silence.ResetSilenceStart();
    CopyStatus(session);
    const UserText reason = session.CaptureEndDetail();
    BeginWait(UserText("RecordingControl", "録音デバイスからの入力が途絶えました（%1）。トラックを閉じ、入力が戻るのを待っています。")
                  .Arg(reason),
              reason, track, path);
}

void CRecordingControl::OnTrackClosed(CRecorderSession& session) {
    auto track = std::make_shared<ClosedTrack>();
    track->writer = session.TakeClosedWriter();
    track->tags = session.tags;
    if (track->writer) track->writer->SetTags(&track->tags);
    track->streamEnd = session.LastTrackEnd();
    track->received = session.TrackBytes() > 0;
    track->recording = m_recordingId;
    track->trackNumber = session.trackCounter;
    track->reason = m_closeReason;
    m_closeReason = CloseReason::Stop;
    track->lengthMs = session.TrackTime();
    // Only a track that opened has a row and a file to name.
    track->hasRow = m_trackOpen;
    if (m_trackOpen) {
        m_trackOpen = false;
        const RecordingSettings& settings = *m_track.settings;
        CCharString folder = settings.outputFolder;
        track->values = Values(session, true);
        track->finalPath =
            BuildTrackPath(true, folder, settings.fileNameTemplate, session.outputKind, track->values, m_clocks);
        track->settings = m_track.settings;
        track->format = session.outputKind;
        track->clocks = m_clocks;
        track->clocks.now = [end = m_clocks.end] { return end; };
        track->plannedPath = session.plannedPath;
        track->writtenPath = session.writtenPath;
        track->row = {m_files.CurrentTrack().key, session.writtenPath};
        track->refusedLink = m_refusedLink;
        // All the audio is in the file now; a recovery must not measure it again, and an MP3's
        // Info frame can be given its exact padding.
        if (track->streamEnd && track->writer)
            ProcessTrackJournal().Advance(session.writtenPath, FinishStep::Ended, track->writer->SampleFramesWritten());
        m_files.ShowClosing(track->row, session.outputKind, session.TrackTime(), session.tags);
        // The next track's number is settled here, before it opens, in one step with the "typed"
        // flag: raised by one unless the user typed a number during this track.
        uint64_t number = m_trackNumber.load();
        while (!m_trackNumber.compare_exchange_weak(number, High(number) ? Pack(Low(number), 0)
                                                                         : Pack(session.trackCounter + 1, 0))) {
        }
    }
    m_finisher.Submit([this, track] { FinishTrack(*track); });
}

void CRecordingControl::FinishTrack(ClosedTrack& track) {
    FinishClosedTrack(track);
    // The closed track is done with the room; the open one may need it at its close.
    HoldReserve();
}

void CRecordingControl::DropEmptyTrack(ClosedTrack& track) {
    if (track.writer) {
        // Nothing to tag: the file goes.
        track.writer->SetTags(nullptr);
        static_cast<void>(track.writer->Close());
        track.writer.reset();
    }
    RemoveTrack(track);
}

void CRecordingControl::RemoveTrack(ClosedTrack& track) {
    if (!track.hasRow) return;
    unlink(track.writtenPath.c_str());
    m_files.DropRow(track.row);
    ProcessTrackJournal().Remove(track.writtenPath);
    m_post(RecordingEvent{kRecordingTrackDropped, track.recording, track.trackNumber, track.writtenPath,
                          UserText("RecordingControl", "トラック %1 は音声がないため削除しました: %2")
                              .Arg(track.trackNumber)
                              .Arg(track.writtenPath.str())});
}

void CRecordingControl::FinishClosedTrack(ClosedTrack& track) {
    if (!track.received) return DropEmptyTrack(track);
    ReachedStep("finishing");
    Result<void> finished = track.streamEnd;
    if (track.writer) {
        // Each runs whatever the other gave: Close still closes the file.
        Result<void> ended = track.writer->FinishEnd();
        finished = FirstFailure(std::move(finished), FirstFailure(std::move(ended), track.writer->Close()));
        track.writer.reset();
    }
    if (!track.hasRow) return;
    if (!finished) {
        // A full disk may have left the file less audio than it was given, or none.
        if (HoldsNoAudio(track.writtenPath)) return RemoveTrack(track);
        NameByKeptAudio(track);
    }
    const CCharString written = WrittenPathAtClose(track.plannedPath, track.finalPath, track.writtenPath);
    // Finished and tagged: a recovery from here on only gives it this name.
    ProcessTrackJournal().Advance(track.writtenPath, FinishStep::Naming, -1,
                                  ReplaceExtension(written, ExtensionOf(track.writtenPath).c_str()));
    ReachedStep("naming");
    CCharString refusedLink;
    const bool named = m_files.FinishItem(track.row, track.settings->outputFolder, written, &refusedLink);
    ReachedStep("named");
    // The finished file reaches the disk too, tags, name and all, before the journal forgets it.
    const Result<void> synced = syncFinishedFile(track.row.file);
    if (synced) {
        ProcessTrackJournal().Remove(track.writtenPath);
    } else {
        // The next start finds it where it is now and finishes it again.
        ProcessTrackJournal().Advance(track.writtenPath, FinishStep::Naming, -1, track.row.file);
    }
    if (!finished && finished.error().kind == FailureKind::kMissing) {
        // A module missing now is missing for every track of the run: said once, with its name.
        if (!m_toldMissingModule.exchange(true))
            m_post(RecordingEvent{kRecordingTrackUnfinished, track.recording, track.trackNumber, track.row.file,
                                  UserText("RecordingControl", "この録音のトラックにはタグを書き込めません。録音そのものは残っています: %1 (%2)")
                                      .Arg(track.row.file.str())
                                      .Arg(ReasonOf(finished.error()))});
    } else if (!finished) {
        PostUnfinished(track, UserText("RecordingControl", "トラックの終わり・ヘッダ・タグを書き込めませんでした。書けた分の録音は残っています"
                                                           "（空き容量を確認してください）: %1"));
    }
    if (!named) PostUnfinished(track, UserText("RecordingControl", "ファイル名を付けられなかったため、次の名前で保存しました: %1"));
    if (refusedLink.IsEmpty()) refusedLink = track.refusedLink;
    if (!refusedLink.IsEmpty())
        PostUnfinished(track, UserText("RecordingControl", "テンプレートのフォルダ %1 はシンボリックリンクのため使わず、出力先フォルダに保存しました: %2")
                                  .Arg(refusedLink.str()));
    if (!synced)
        PostUnfinished(track, UserText("RecordingControl", "ファイルをディスクに書き込めませんでした（%1）。次の起動時に回復します: %2")
                                  .Arg(ReasonOf(synced.error())));
    m_post(RecordingEvent{kRecordingTrackClosed, track.recording, track.trackNumber, track.row.file,
                          UserText("RecordingControl", "トラック %1 を閉じました（%2、長さ %3）: %4")
                              .Arg(track.trackNumber)
                              .Arg(UserText("RecordingControl", kCloseReasons[static_cast<int>(track.reason)]))
                              .Arg(LengthText(track.lengthMs).str())
                              .Arg(track.row.file.str())});
}

void CRecordingControl::NameByKeptAudio(ClosedTrack& track) {
    const std::optional<RecordingItem> kept = m_files.ReadItemInfo(track.writtenPath);
    // A header that claims no length tells nothing.
    if (!kept || kept->lengthMs <= 0 || kept->lengthMs >= track.values.trackLengthMs) return;
    track.values.trackLengthMs = kept->lengthMs;
    track.values.endOffsetMs = track.values.startOffsetMs + kept->lengthMs;
    CCharString folder = track.settings->outputFolder;
    track.finalPath =
        BuildTrackPath(true, folder, track.settings->fileNameTemplate, track.format, track.values, track.clocks);
}

void CRecordingControl::PostUnfinished(const ClosedTrack& track, const UserText& message) {
    m_post(RecordingEvent{kRecordingTrackUnfinished, track.recording, track.trackNumber, track.row.file,
                          UserText(message).Arg(track.row.file.str())});
}

void CRecordingControl::OnStopped(const CRecorderSession& session) {
    // Runs on the owner's thread inside Stop, after the last buffer. Every track is finished
    // before the stop is told, and the numbers of the next recording are settled before any
    // later start can read them.
    m_finisher.Wait();
    m_trackNumber = Pack(1, 0);
    ++settings.recordingNumber;
    m_post(RecordingEvent{kRecordingStopped, m_recordingId, 0, {},
                          UserText("RecordingControl", "録音を停止しました（総時間 %1）").Arg(LengthText(session.TotalTime()).str())});
}

void CRecordingControl::CopyStatus(const CRecorderSession& session) {
    std::lock_guard<std::mutex> lock(m_statusMutex);
    m_status.trackNumber = session.trackCounter;
    m_status.trackTimeMs = session.TrackTime();
    m_status.totalTimeMs = session.TotalTime();
}

void CRecordingControl::Post(int code, const CRecorderSession& session, const UserText& message) {
    m_post(RecordingEvent{code, m_recordingId, session.trackCounter, session.writtenPath, message});
}

TemplateValues CRecordingControl::Values(const CRecorderSession& session, bool endKnown) const {
    TemplateValues values;
    values.recordingNumber = m_track.settings->recordingNumber;
    values.trackNumber = session.trackCounter;
    values.startOffsetMs = session.TrackOpenedAt();
    if (endKnown) {
        values.endOffsetMs = session.TrackClosedAt();
        values.trackLengthMs = session.TrackTime();
    }
    return values;
}

void CRecordingControl::PrepareTrack(CRecorderSession& session) {
    {
        std::lock_guard<std::mutex> lock(m_settingsMutex);
        m_track.settings = m_applied;
    }
    const RecordingSettings& track = *m_track.settings;
    session.trackCounter = TrackNumber();
    session.outputKind = track.outputFormat;
    if (const QualityEntry* row = QualityRow(session.outputKind, track.qualityIndex)) {
        session.quality = row->value;
        session.outputSampleRate = row->sampleRate;
        session.outputChannels = row->channels;
    }
    session.oggQuality = track.oggQuality;
    CCharString folder = track.outputFolder;
    session.plannedPath =
        BuildTrackPath(false, folder, track.fileNameTemplate, session.outputKind, Values(session, false), m_clocks);
    FillTags(session, false);
    CCharString journaled;
    WrittenAtOpen written = WrittenPathAtOpen(folder, session.plannedPath, [&](const CCharString& candidate) {
        // A name another recorder took meanwhile is not this track's.
        if (!journaled.IsEmpty()) ProcessTrackJournal().Remove(journaled);
        journaled = candidate;
        JournalTrack(session, candidate);
        if (beforeTrackFile) beforeTrackFile(candidate);
    });
    session.writtenPath = written.path;
    m_refusedLink = written.refusedLink;
    if (!journaled.IsEmpty() && journaled != session.writtenPath) ProcessTrackJournal().Remove(journaled);
    if (m_holdReserveAtOpen) {
        m_holdReserveAtOpen = false;
        HoldReserve();
    }
    m_track.splitLength = track.SplitLengthSeconds();
    if (m_monitor) m_monitor->OnTrackOpen(session.captureFormat);
}

void CRecordingControl::JournalTrack(const CRecorderSession& session, const CCharString& path) {
    const RecordingSettings& track = *m_track.settings;
    JournalEntry entry;
    entry.path = path;
    entry.outputFormat = track.outputFormat;
    entry.outputFolder = track.outputFolder;
    entry.fileNameTemplate = track.fileNameTemplate;
    entry.tagTitle = track.tagTitle;
    entry.tagArtist = track.tagArtist;
    entry.tagAlbum = track.tagAlbum;
    entry.tagComment = track.tagComment;
    entry.year = session.tags.year;
    entry.genre = session.tags.genre;
    entry.genreNumber = session.tags.genreNumber;
    entry.recordingNumber = track.recordingNumber;
    entry.trackNumber = session.trackCounter;
    entry.startOffsetMs = session.TrackOpenedAt();
    entry.startClock = m_clocks.start;
    // A journal that cannot be written costs only the recovery after a crash, never the recording.
    ProcessTrackJournal().Add(entry);
}

void CRecordingControl::FillTags(CRecorderSession& session, bool endKnown) {
    const RecordingSettings& track = *m_track.settings;
    const TrackTagSource source{track.tagTitle, track.tagArtist, track.tagAlbum, track.tagComment,
                                CCharString::Formatted("%d", track.tagYear)};
    session.tags = TrackTags(source, session.trackCounter, endKnown, Values(session, endKnown), m_clocks);
}
