// The recording control: session notifications, splits, the end of a timed recording, track
// names and tags, numbering, status texts and calibration.
#include "app/RecordingControl.h"

#include "app/FileMove.h"
#include "audiofile/QualityTable.h"
#include "foundation/PathUtils.h"
#include "platform/Logind.h"

namespace {

constexpr int kGenreNumber = 146;
constexpr const char* kGenreText = "♪Velsona - オリジナルレコーディング";
constexpr int kCalibrationThreshold = -900;
// Enough for the tags and the rename of a track closed on a full disk.
constexpr int64_t kReservedBytes = 64 * 1024;

}  // namespace

CRecordingControl::CRecordingControl(CRecordingItemsModel& items, AudioFactsReader readFacts, EventPoster post,
                                     LocalClock clock)
    : m_files(items, std::move(readFacts), clock), m_post(std::move(post)) {
    m_clocks.now = std::move(clock);
}

CRecordingControl::~CRecordingControl() {
    CancelCalibration();
    StopRecording();
}

std::unique_ptr<CRecorderSession> CRecordingControl::NewSession() {
    auto session = std::make_unique<CRecorderSession>();
    session->SetNotify(&CRecordingControl::OnSessionNotify, this);
    session->deviceId = settings.inputDevice;
    session->captureFormat = {settings.sampleRate, settings.channels, settings.bitsPerSample};
    session->backend = backend;
    return session;
}

bool CRecordingControl::StartRecording() {
    EndSession();
    m_silence.SetThresholds(settings.silenceLeft, settings.silenceRight);
    {
        std::lock_guard<std::mutex> lock(m_statusMutex);
        m_status = RecordingStatus();
        m_lastProblem = CCharString();
    }
    m_previousTrackTime = 0;
    if (EnsureFolder(settings.outputFolder)) m_reserve.Hold(settings.outputFolder, kReservedBytes);
    m_session = NewSession();
    if (!m_session->Start()) {
        // A start that failed may have opened the first track; Stop releases what there is.
        m_session->Stop();
        RemoveIfUnused(m_session->writtenPath);
        m_session.reset();
        m_reserve.Release();
        return false;
    }
    if (sleepInhibitor) {
        CLogind logind(CLogind::SystemBusAddress());
        sleepInhibitor->Acquire(logind, "録音中");
    }
    return true;
}

void CRecordingControl::StopRecording() {
    schedule.reset();
    EndSession();
}

void CRecordingControl::EndSession() {
    if (m_session) {
        m_session->Stop();
        m_session.reset();
    }
    m_reserve.Release();
    if (sleepInhibitor) sleepInhibitor->Release();
}

void CRecordingControl::RequestSplit() {
    if (m_session) m_session->splitRequest = true;
}

void CRecordingControl::TogglePause() {
    if (m_session) m_session->paused = !m_session->paused;
}

bool CRecordingControl::IsPaused() const { return m_session && m_session->paused; }

void CRecordingControl::SetTrackNumber(int number) {
    m_trackNumber = number;
    if (m_session) m_trackNumberTyped = true;
}

void CRecordingControl::OnRecordingEvent(int event) {
    switch (event) {
        case kRecordingDurationReached:
            m_pendingEndAction = schedule && schedule->endActionArmed ? schedule->endAction : EndAction::None;
            StopRecording();
            break;
        case kRecordingStopped:
            m_trackNumber = 1;
            m_trackNumberTyped = false;
            ++settings.recordingNumber;
            break;
        default: break;
    }
}

EndAction CRecordingControl::TakeEndAction() {
    const EndAction action = m_pendingEndAction;
    m_pendingEndAction = EndAction::None;
    return action;
}

RecordingStatus CRecordingControl::Status() const {
    std::lock_guard<std::mutex> lock(m_statusMutex);
    RecordingStatus status = m_status;
    if (m_session) status.overruns = m_session->OverrunCount();
    return status;
}

CCharString CRecordingControl::TrackPaneText() const {
    const RecordingStatus status = Status();
    const int64_t ms = status.trackTimeMs;
    return CCharString::Formatted("トラック(%d)時間 %d:%02d.%02d", status.trackNumber, static_cast<int>(ms / 60000),
                                  static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000 / 10));
}

CCharString CRecordingControl::TotalPaneText() const {
    const int64_t ms = Status().totalTimeMs;
    return CCharString::Formatted("総時間 %d:%02d", static_cast<int>(ms / 60000), static_cast<int>(ms / 1000 % 60));
}

CCharString CRecordingControl::LastProblem() const {
    std::lock_guard<std::mutex> lock(m_statusMutex);
    return m_lastProblem;
}

void CRecordingControl::SetSilenceLevels(int left, int right) {
    settings.silenceLeft = left;
    settings.silenceRight = right;
    m_silence.SetThresholds(left, right);
}

bool CRecordingControl::BeginCalibration() {
    m_keptThresholds[0] = settings.silenceLeft;
    m_keptThresholds[1] = settings.silenceRight;
    SetSilenceLevels(kCalibrationThreshold, kCalibrationThreshold);
    if (m_session) return true;
    m_calibrationSession = NewSession();
    m_calibrationSession->monitorOnly = true;
    if (m_calibrationSession->Start()) return true;
    m_calibrationSession.reset();
    SetSilenceLevels(m_keptThresholds[0], m_keptThresholds[1]);
    return false;
}

BufferLevels CRecordingControl::CalibrationLevels() const {
    const RecordingStatus status = Status();
    return {status.leftLevel, status.rightLevel};
}

void CRecordingControl::AcceptCalibration() {
    // Stop first, so the levels hold the moment of the answer.
    if (m_calibrationSession) m_calibrationSession->Stop();
    const BufferLevels levels = CalibrationLevels();
    m_calibrationSession.reset();
    SetSilenceLevels(levels.left, levels.right);
}

void CRecordingControl::CancelCalibration() {
    if (!m_calibrationSession) return;
    m_calibrationSession->Stop();
    m_calibrationSession.reset();
    SetSilenceLevels(m_keptThresholds[0], m_keptThresholds[1]);
}

int CRecordingControl::OnSessionNotify(int code, CRecorderSession* session, void* user) {
    return static_cast<CRecordingControl*>(user)->HandleNotify(code, *session);
}

int CRecordingControl::HandleNotify(int code, CRecorderSession& session) {
    switch (code) {
        case kNotifyDataBefore: {
            std::lock_guard<std::mutex> lock(m_statusMutex);
            m_status.leftLevel = session.LeftLevel();
            m_status.rightLevel = session.RightLevel();
            return session.paused ? 0 : 1;
        }
        case kNotifyDataAfter: return OnDataAfter(session);
        case kEventStopped: m_post(kRecordingStopped); return 1;
        case kNotifyTrackOpenBefore: PrepareTrack(session); return 1;
        case kNotifyTrackOpenAfter: return m_files.BeginItem(session.writtenPath) ? 1 : 0;
        case kNotifyTrackCloseBefore: FillTags(session, true); return 1;
        case kNotifyTrackCloseAfter: {
            CCharString folder = settings.outputFolder;
            const CCharString finalPath =
                BuildTrackPath(true, folder, settings.fileNameTemplate, session.outputKind, Values(session, true), m_clocks);
            m_files.FinishItem(WrittenPathAtClose(session.plannedPath, finalPath, session.writtenPath));
            // The next track's number is settled here, before it opens: raised by one unless
            // the user typed a number during this track.
            if (!m_trackNumberTyped.exchange(false)) m_trackNumber = session.trackCounter + 1;
            m_post(kRecordingTrackClosed);
            return 1;
        }
        case kEventWriteFailed:
            m_reserve.Release();
            Problem(kRecordingWriteFailed,
                    "ファイルへの書き込みに失敗したため、トラックを閉じました（空き容量や出力先を確認してください）: " +
                        session.writtenPath);
            session.CloseTrack();
            return 1;
        case kEventCaptureEnded:
            if (session.CaptureFailed())
                Problem(kRecordingCaptureFailed, "録音デバイスからの入力が途絶えました: " + session.CaptureEndDetail());
            else
                m_post(kRecordingCaptureEnded);
            return 1;
        default: return 1;
    }
}

int CRecordingControl::OnDataAfter(CRecorderSession& session) {
    if (schedule && schedule->StopsAfterDuration() && session.TotalTime() / 1000 >= schedule->durationSeconds) {
        session.CloseTrack();
        m_post(kRecordingDurationReached);
        return 1;
    }
    if (session.splitRequest) {
        Split(session);
        return 0;
    }
    if (settings.splitMethod == kSplitInterval && m_splitLength > 0 && session.TrackTime() >= m_splitLength * 1000LL) {
        Split(session);
        return 0;
    }
    if (settings.splitMethod == kSplitSilence) {
        const BufferLevels levels{session.LeftLevel(), session.RightLevel()};
        switch (m_silence.Test(levels, m_splitLength, m_previousTrackTime)) {
            case SilenceOutcome::Split: Split(session); return 0;
            case SilenceOutcome::Stop: return 0;
            case SilenceOutcome::Continue: break;
        }
    }
    CopyStatus(session);
    m_previousTrackTime = session.TrackTime();
    return 1;
}

void CRecordingControl::Split(CRecorderSession& session) {
    session.CloseTrack();
    session.splitRequest = false;
    if (!session.OpenTrack()) {
        RemoveIfUnused(session.writtenPath);
        Problem(kRecordingSplitFailed, "次のトラックを開けませんでした。録音を停止してください: " + session.writtenPath);
    }
}

void CRecordingControl::CopyStatus(const CRecorderSession& session) {
    std::lock_guard<std::mutex> lock(m_statusMutex);
    m_status.trackNumber = session.trackCounter;
    m_status.trackTimeMs = session.TrackTime();
    m_status.totalTimeMs = session.TotalTime();
}

void CRecordingControl::Problem(int event, const CCharString& message) {
    {
        std::lock_guard<std::mutex> lock(m_statusMutex);
        m_lastProblem = message;
    }
    m_post(event);
}

TemplateValues CRecordingControl::Values(const CRecorderSession& session, bool endKnown) const {
    TemplateValues values;
    values.recordingNumber = settings.recordingNumber;
    values.trackNumber = session.trackCounter;
    values.startOffsetMs = session.TrackOpenedAt();
    if (endKnown) {
        values.endOffsetMs = session.TrackClosedAt();
        values.trackLengthMs = session.TrackTime();
    }
    return values;
}

void CRecordingControl::PrepareTrack(CRecorderSession& session) {
    session.trackCounter = m_trackNumber;
    session.outputKind = static_cast<OutputFormat>(settings.outputFormat);
    if (const QualityEntry* row = QualityTableFor(session.outputKind).Row(settings.qualityIndex)) {
        session.quality = row->value;
        session.outputSampleRate = row->sampleRate;
        session.outputChannels = row->channels;
    }
    session.oggQuality = settings.oggQuality;
    // The folder setting is the owner's; the capture thread works on a copy.
    CCharString folder = settings.outputFolder;
    session.plannedPath =
        BuildTrackPath(false, folder, settings.fileNameTemplate, session.outputKind, Values(session, false), m_clocks);
    session.writtenPath = WrittenPathAtOpen(session.plannedPath);
    FillTags(session, false);
    m_splitLength = settings.SplitLengthSeconds();
}

void CRecordingControl::FillTags(CRecorderSession& session, bool endKnown) {
    const TemplateValues values = Values(session, endKnown);
    TagFieldSet& tags = session.tags;
    tags.title = ExpandTemplate(settings.tagTitle, endKnown, values, m_clocks);
    tags.artist = ExpandTemplate(settings.tagArtist, endKnown, values, m_clocks);
    tags.album = ExpandTemplate(settings.tagAlbum, endKnown, values, m_clocks);
    tags.comment = ExpandTemplate(settings.tagComment, endKnown, values, m_clocks);
    tags.year = CCharString::Formatted("%d", settings.tagYear);
    tags.trackNumber = session.trackCounter;
    tags.genreNumber = kGenreNumber;
    tags.genre = kGenreText;
}
