// The recording control: the state and its changes, session notifications, splits, the end of a
// timed recording, the wait for a lost input, track names and tags, numbering, and the hand-overs
// between the owner's thread and the audio thread.
#include "app/control/RecordingControl.h"

#include <chrono>
#include <utility>

#include "app/control/ActivityLog.h"
#include "app/files/TrackJournal.h"
#include "app/files/TrackTags.h"
#include "app/language/Catalogue.h"
#include "app/monitor/MonitorObserver.h"
#include "app/settings/OutputFormats.h"
#include "audiofile/QualityTable.h"
#include "platform/CaptureBackend.h"
#include "platform/Logind.h"

namespace {

// Two 32-bit values in one atomic word, so a reader never sees half of a change.
uint64_t Pack(int32_t low, int32_t high) { return static_cast<uint32_t>(low) | uint64_t{static_cast<uint32_t>(high)} << 32; }
int32_t Low(uint64_t packed) { return static_cast<int32_t>(static_cast<uint32_t>(packed)); }
int32_t High(uint64_t packed) { return static_cast<int32_t>(static_cast<uint32_t>(packed >> 32)); }

// Each recording gets an id no other recording of this process had.
std::atomic<uint64_t> g_lastRecordingId{0};

int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

UserText InputNameText(const std::string& name) {
    return name.empty() ? UserText("RecordingControl", "既定の入力") : UserText::Verbatim(name);
}

// The start as the log tells it: number, format, input and folder.
UserText StartText(const RecordingSettings& settings, CCaptureBackend* backend) {
    const QualityEntry* row = QualityRow(settings.outputFormat, settings.qualityIndex);
    UserText input = settings.inputDevice < 0 ? UserText("RecordingControl", "既定の入力")
                                              : UserText("RecordingControl", "入力デバイス %1").Arg(settings.inputDevice);
    if (backend && settings.inputDevice >= 0)
        for (const CaptureDeviceInfo& device : backend->ListDevices())
            if (device.id == settings.inputDevice) input = UserText::Verbatim(device.name);
    return UserText("RecordingControl", "録音 No.%1 を開始しました（%2 %3、%4、出力先 %5）")
        .Arg(CCharString::Formatted("%02d", settings.recordingNumber).str())
        .Arg(FormatName(settings.outputFormat))
        .Arg(row ? row->label : "")
        .Arg(std::move(input))
        .Arg(settings.outputFolder.str());
}

// `skippedMs`: the audio left out before the track while waiting for sound.
TemplateValues Values(const RecordingSettings& settings, const CRecorderSession& session, bool endKnown,
                      int64_t skippedMs) {
    TemplateValues values;
    values.recordingNumber = settings.recordingNumber;
    values.trackNumber = session.trackCounter;
    values.startOffsetMs = session.TrackOpenedAt() + skippedMs;
    if (endKnown) {
        values.endOffsetMs = session.TrackClosedAt() + skippedMs;
        values.trackLengthMs = session.TrackTime();
    }
    return values;
}

void FillTags(const RecordingSettings& track, CRecorderSession& session, bool endKnown, const TemplateValues& values,
              TrackClocks& clocks) {
    const TrackTagSource source{track.tagTitle, track.tagArtist, track.tagAlbum, track.tagComment,
                                CCharString::Formatted("%d", track.tagYear)};
    session.tags = TrackTags(source, session.trackCounter, endKnown, values, clocks);
}

LocalDateTime LocalAt(int64_t ns) {
    constexpr int64_t kNsPerSecond = 1000000000;
    return ToLocalDateTime(timespec{static_cast<time_t>(ns / kNsPerSecond), static_cast<long>(ns % kNsPerSecond)});
}

// Notes the track about to open at `path` in the process's journal, before its file exists, so a
// crash at any point leaves it recoverable or its empty file and the reserve removable.
void JournalTrack(const RecordingSettings& track, const CRecorderSession& session, const CCharString& path,
                  int64_t startOffsetMs, const TrackClocks& clocks) {
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
    entry.startOffsetMs = startOffsetMs;
    entry.startClock = clocks.start;
    // A journal that cannot be written costs only the recovery after a crash, never the recording.
    ProcessTrackJournal().Add(entry);
}

}  // namespace

CRecordingControl::CRecordingControl(CRecordingItemsModel& items, AudioFactsReader readFacts, EventPoster post,
                                     LocalClock clock)
    : steadyClock(SteadyNs),
      m_files(items, std::move(readFacts), clock),
      m_post(post),
      m_thresholds(Pack(settings.silenceLeft, settings.silenceRight)),
      m_trackNumber(Pack(1, 0)),
      m_localClock(clock),
      m_closed(m_files, std::move(post)) {
    m_clocks.now = std::move(clock);
}

CRecordingControl::~CRecordingControl() { StopRecording(); }

RecordingState CRecordingControl::Change(StateChange change) {
    RecordingState state = m_state;
    RecordingState next;
    do next = NextState(state, change);
    while (!m_state.compare_exchange_weak(state, next));
    return next;
}

void CRecordingControl::ApplySettings() {
    auto snapshot = std::make_shared<const RecordingSettings>(settings);
    {
        std::lock_guard<std::mutex> lock(m_settingsMutex);
        m_applied = std::move(snapshot);
    }
    if (!m_thresholdsHeld) m_thresholds = Pack(settings.silenceLeft, settings.silenceRight);
    m_resumeInput = settings.resumeInput;
    m_skipSilence = settings.SkipsSilence();
    m_preRollSeconds = settings.preRollSeconds;
}

std::unique_ptr<CRecorderSession> CRecordingControl::NewSession() {
    auto session = std::make_unique<CRecorderSession>();
    session->SetNotify(
        [](int code, CRecorderSession* session, void* user) {
            return static_cast<CRecordingControl*>(user)->HandleNotify(code, *session);
        },
        this);
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
    m_skippedBytes = 0;
    m_leadMs = 0;
    m_silentOnly = false;
    // Room for the longest pre-roll, taken here so that waiting for sound never allocates.
    const int frameBytes = settings.channels * ((settings.bitsPerSample + 7) / 8);
    m_preRoll.Reserve(kMaxPreRollSeconds * settings.sampleRate * frameBytes, frameBytes);
    m_wait.Reset(steadyClock);
    m_recordingId = ++g_lastRecordingId;
    m_recordingStartNs = WallClockNs();
    m_recordingSound = {};
    m_sound = {};
    m_closed.Begin(syncFinishedFile);
    m_closed.reserve.Begin(settings.outputFolder);
    m_closeReason = CloseReason::Stop;
    m_firstTrackText = UserText();
    m_session = NewSession();
    // Unattended, a start at its set time waits for an input that is not there yet.
    m_session->waitForInput = m_resumeInput && schedule.has_value();
    {
        std::lock_guard<std::mutex> lock(m_settingsMutex);
        m_track.settings = m_applied;
    }
    Change(StateChange::Start);
    // A start that waits for its input runs without it, its failure saying why it waits.
    const Result<void> started = m_session->Start();
    if (!started && !m_session->InputMissing()) {
        const Failure& failure = started.error();
        if (log) log->Write(LogSeverity::Error, UserText("RecordingControl", "録音を開始できませんでした: %1").Arg(ReasonOf(failure)));
        // A first track that opened but never recorded is not a finished track: its row, and the
        // name taken for it, go.
        m_closed.DropUnrecorded(m_session->writtenPath, m_trackOpen);
        m_trackOpen = false;
        m_session.reset();
        m_closed.reserve.End();
        Change(StateChange::StartFailed);
        return failure;
    }
    if (sleepInhibitor) {
        CLogind logind(CLogind::SystemBusAddress());
        // Without logind the recording runs all the same; velsona-rec says so before it starts.
        static_cast<void>(sleepInhibitor->Acquire(logind, SaidUtf8(UserText("RecordingControl", "録音中")).c_str()));
    }
    if (log) {
        log->Write(LogSeverity::Information, StartText(settings, backend.get()));
        if (!m_firstTrackText.empty()) log->Write(LogSeverity::Information, m_firstTrackText);
    }
    {
        std::lock_guard<std::mutex> lock(m_settingsMutex);
        m_closed.KeepRecordings(m_applied, m_recordingId);
    }
    if (started) return {};
    // A start that waits for its input opens its first track later, as any other.
    const UserText reason = ReasonOf(started.error());
    m_wait.Begin();
    Change(StateChange::StartedWithoutInput);
    m_post(RecordingEvent{kRecordingInputWaiting, m_recordingId, 0, {},
                          UserText("RecordingControl",
                                   "録音開始の時刻に録音デバイスを開けませんでした (%1)。入力が現れるのを待っています。")
                              .Arg(reason),
                          reason});
    return {};
}

void CRecordingControl::PollInput() {
    if (!m_session || !IsWaitingForInput()) return;
    const CInputWait::Look look = m_wait.LookNow();
    if (TimeIsUp(*m_session, look.waitedMs)) {
        Change(StateChange::TimeUp);
        Post(kRecordingDurationReached, *m_session);
        return;
    }
    if (!look.attemptDue) return;
    const Result<void> reopened = m_wait.Reopen(*m_session, look.waitedMs);
    if (!reopened) {
        const UserText reason = ReasonOf(reopened.error());
        m_post(RecordingEvent{kRecordingInputRetry, m_recordingId, 0, {},
                              UserText("RecordingControl",
                                       "録音デバイスをもう一度開けませんでした (%1)。1秒後にもう一度試します。")
                                  .Arg(reason),
                              reason});
        m_wait.NoteMilestones(log, look.waitedMs, reason);
        return;
    }
    // The input returns as the next track opens (in its notification); a track that could not
    // open, or a device that could not start, ends the wait all the same, and the recording
    // with it: no audio thread runs then.
    const Result<void> resumed = m_session->ResumeCapture();
    if (resumed) return;
    Change(StateChange::InputReturned);
    m_closed.DropUnrecorded(m_session->writtenPath, m_trackOpen);
    m_trackOpen = false;
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
        // The last track's close gives the reserve back for good.
        m_closed.reserve.Forgo();
        // The state stays as it is until the last buffer is done: a pause holds to the end.
        m_session->Stop();
        m_session.reset();
        Change(StateChange::Stopped);
    }
    m_closed.reserve.End();
    if (sleepInhibitor) sleepInhibitor->Release();
}

void CRecordingControl::RequestSplit() {
    if (m_session) m_splitRequested = true;
}

void CRecordingControl::TogglePause() { Change(StateChange::TogglePause); }

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

RecordingStatus CRecordingControl::Status() const {
    std::lock_guard<std::mutex> lock(m_statusMutex);
    RecordingStatus status = m_status;
    if (m_session) status.overruns = m_session->OverrunCount();
    return status;
}

void CRecordingControl::SetSilenceLevels(int left, int right, bool held) {
    settings.silenceLeft = left;
    settings.silenceRight = right;
    m_thresholdsHeld = held;
    m_thresholds = Pack(left, right);
}

std::unique_ptr<CRecorderSession> CRecordingControl::StartMonitoring() {
    std::unique_ptr<CRecorderSession> session = NewSession();
    session->monitorOnly = true;
    // Told before the session starts, so this runs before the audio thread does.
    if (monitor) monitor->OnTrackOpen(session->captureFormat);
    if (!session->Start()) return nullptr;
    return session;
}

int CRecordingControl::HandleNotify(int code, CRecorderSession& session) {
    switch (code) {
        case kNotifyDataBefore: return OnDataBefore(session);
        case kNotifyDataAfter: return OnDataAfter(session);
        case kNotifyDataCut:
            // The part before the cut ends the closing track.
            CountSound(session, session.LastBuffer(), m_cutBytes, LastBufferSilent(session));
            Split(session, CloseReason::Interval);
            return 1;
        case kEventStopped:
            // On the owner's thread inside Stop, after the last buffer and the last track's close.
            // Every track is finished before the stop is told, and the numbers of the next
            // recording are settled before any later start can read them.
            Change(StateChange::Stop);
            m_closed.Wait();
            m_trackNumber = Pack(1, 0);
            ++settings.recordingNumber;
            if (m_recordingSound.tracks > 0)
                m_post(RecordingEvent{kRecordingSoundSummary, m_recordingId, 0, {}, m_recordingSound.SummaryText()});
            m_post(RecordingEvent{kRecordingStopped, m_recordingId, 0, {},
                                  UserText("RecordingControl", "録音を停止しました（総時間 %1）").Arg(LengthText(session.TotalTime()).str())});
            return 1;
        case kNotifyTrackOpenBefore: PrepareTrack(session); return 1;
        case kNotifyTrackOpenAfter: {
            m_trackOpen = m_files.BeginItem(session.writtenPath);
            if (!m_trackOpen) return 0;
            // The first track, and the first after a wait, open on the owner's thread before the
            // device starts: the state changes before the audio thread runs.
            const RecordingState state = m_state;
            if (IsWaitingState(state)) {
                // Told before capture starts, so it comes before anything of the new track.
                Post(kRecordingInputReturned, session,
                     UserText("RecordingControl", "録音デバイス「%1」からの入力が戻りました。トラック%2から録音を続けます。")
                         .Arg(InputNameText(session.InputName()))
                         .Arg(session.trackCounter));
                Change(StateChange::InputReturned);
            }
            UserText text =
                UserText("RecordingControl", "トラック %1 を開きました: %2").Arg(session.trackCounter).Arg(session.writtenPath.str());
            if (state == RecordingState::Starting) {
                m_firstTrackText = std::move(text);
                Change(StateChange::Started);
            } else {
                Post(kRecordingTrackOpened, session, text);
            }
            return 1;
        }
        case kNotifyTrackCloseBefore:
            // The encoder's last pages and the tags are written in the room the reserve held.
            m_closed.reserve.Release();
            EndClock();
            FillTags(*m_track.settings, session, true, TrackValues(session, true), m_clocks);
            return 1;
        case kNotifyTrackCloseAfter: OnTrackClosed(session); return 1;
        case kEventWriteFailed:
            m_closed.reserve.Release();
            m_closeReason = CloseReason::Failure;
            Post(kRecordingWriteFailed, session,
                 UserText("RecordingControl",
                          "ファイルへの書き込みに失敗したため、トラックを閉じました（空き容量や出力先を確認してください）: %1 (%2)")
                     .Arg(session.writtenPath.str())
                     .Arg(ReasonOf(session.WriteFailure())));
            session.CloseTrack();
            return 1;
        case kEventCaptureEnded: {
            // A monitor-only session ends with its owner; there is no recording to tell about.
            if (session.monitorOnly) return 1;
            if (!session.CaptureFailed()) {
                Post(kRecordingCaptureEnded, session);
                return 1;
            }
            if (!m_resumeInput) {
                // The owner's stop closes the track the input failed.
                m_closeReason = CloseReason::Failure;
                Post(kRecordingCaptureFailed, session,
                     UserText("RecordingControl", "録音デバイスからの入力が途絶えました: %1").Arg(session.CaptureEndDetail()));
                return 1;
            }
            // As at a split: the next track gets the next number, name and tags when the input
            // returns.
            const int track = session.trackCounter;
            const CCharString path = session.writtenPath;
            m_closeReason = CloseReason::Failure;
            session.CloseTrack();
            m_silence.ResetSilenceStart();
            // A pre-roll from before the gap would not lead into what follows it.
            m_preRoll.Clear();
            CopyStatus(session);
            const UserText reason = session.CaptureEndDetail();
            // The time first: the owner reads it once it sees the wait.
            m_wait.Begin();
            Change(StateChange::InputLost);
            m_post(RecordingEvent{kRecordingInputWaiting, m_recordingId, track, path,
                                  UserText("RecordingControl", "録音デバイスからの入力が途絶えました（%1）。トラックを閉じ、入力が戻るのを待っています。")
                                      .Arg(reason),
                                  reason});
            return 1;
        }
        default: return 1;
    }
}

int CRecordingControl::OnDataBefore(CRecorderSession& session) {
    const RecordingState state = m_state;
    const bool paused = !session.monitorOnly && IsPausedState(state);
    {
        std::lock_guard<std::mutex> lock(m_statusMutex);
        m_status.leftLevel = session.LeftLevel();
        m_status.rightLevel = session.RightLevel();
        ++m_status.buffers;
    }
    if (monitor) {
        if (m_startPending && !session.monitorOnly) {
            m_startPending = false;
            monitor->OnRecordingStart(session.captureFormat);
        }
        MonitorBuffer buffer;
        buffer.data = session.LastBuffer();
        buffer.bytes = session.LastBufferSize();
        buffer.format = session.captureFormat;
        buffer.leftLevel = session.LeftLevel();
        buffer.rightLevel = session.RightLevel();
        buffer.paused = paused;
        monitor->OnBuffer(buffer);
    }
    // What came before a pause does not lead into what follows it.
    if (state == RecordingState::SoundPaused) m_preRoll.Clear();
    if (!session.monitorOnly) PlaceCut(session, paused);
    if (paused) return 0;
    if (state == RecordingState::WaitingForSound && !session.monitorOnly) return WaitForSound(session);
    return 1;
}

int CRecordingControl::WaitForSound(CRecorderSession& session) {
    // No track is open to split: the next sound opens one anyway.
    m_splitRequested = false;
    // Turned off meanwhile: recording goes on at once, from the pre-roll.
    if (!LastBufferSilent(session) || !m_skipSilence) {
        OpenOnSound(session);
        return 1;
    }
    m_preRoll.Push(session.LastBuffer(), session.LastBufferSize(), m_preRollSeconds * session.captureFormat.BytesPerSecond());
    m_skippedBytes += session.LastBufferSize();
    if (TimeIsUp(session)) {
        Change(StateChange::TimeUp);
        Post(kRecordingDurationReached, session);
    }
    return 0;
}

void CRecordingControl::OpenOnSound(CRecorderSession& session) {
    // The track begins with the pre-roll: its first sample, and so its start, is that much earlier.
    m_leadMs = session.DurationOf(m_preRoll.Size());
    m_skippedBytes -= m_preRoll.Size();
    OpenNextTrack(session);
    m_leadMs = 0;
    if (session.HasWriter()) {
        // A write that fails closes the track and is told as any other.
        m_preRoll.Drain([&](const char* data, int bytes) {
            // Below the thresholds, or it would not have waited.
            CountSound(session, data, bytes, true);
            return session.Record(data, bytes);
        });
        m_previousTrackTime = session.TrackTime();
    }
    m_preRoll.Clear();
    Change(StateChange::SoundReturned);
}

void CRecordingControl::CloseForSilence(CRecorderSession& session) {
    m_closeReason = CloseReason::Silence;
    // A track that never heard sound (opened at the start, a split or the input's return, then
    // silent) holds nothing worth a file or a number.
    m_silentOnly = !m_heardSound;
    session.CloseTrack();
    m_silentOnly = false;
    session.trackCounter = TrackNumber();
    m_silence.ResetSilenceStart();
    m_preRoll.Clear();
    CopyStatus(session);
    Change(StateChange::SilenceLasted);
}

void CRecordingControl::PlaceCut(CRecorderSession& session, bool paused) {
    const int blockSize = session.captureFormat.BlockSize();
    m_clockCut.Measure(WallClockNs(), session.LastBufferSize() / blockSize, session.captureFormat.sampleRate);
    // While paused nothing is written: a boundary passed meanwhile cuts where writing resumes.
    m_cutBytes = 0;
    if (paused || !m_track.onClock) return;
    const int frame = m_clockCut.CutFrame(m_track.boundaryNs);
    if (frame < 0) return;
    m_track.endNs = std::max(m_track.boundaryNs, m_clockCut.BufferStartNs());
    session.cutAt = m_cutBytes = frame * blockSize;
}

bool CRecordingControl::TimeIsUp(const CRecorderSession& session, int64_t waitingMs) const {
    const int64_t stopAfter = m_stopAfterSeconds;
    return stopAfter >= 0 &&
           (session.TotalTime() + session.DurationOf(m_skippedBytes) + m_wait.GapMs() + waitingMs) / 1000 >= stopAfter;
}

bool CRecordingControl::LastBufferSilent(const CRecorderSession& session) {
    const uint64_t thresholds = m_thresholds;
    m_silence.SetThresholds(Low(thresholds), High(thresholds));
    return m_silence.IsSilent({session.LeftLevel(), session.RightLevel()});
}

void CRecordingControl::CountSound(const CRecorderSession& session, const char* data, int bytes, bool silent) {
    const PcmFormat& format = session.captureFormat;
    m_sound.Add(reinterpret_cast<const int16_t*>(data), bytes / format.BlockSize(), format.channels, format.sampleRate,
                silent);
}

int CRecordingControl::OnDataAfter(CRecorderSession& session) {
    // The buffer just written (after a cut, its rest) belongs to the open track, whatever this buffer decides.
    const bool silent = LastBufferSilent(session);
    const int cut = std::exchange(m_cutBytes, 0);
    CountSound(session, session.LastBuffer() + cut, session.LastBufferSize() - cut, silent);
    if (TimeIsUp(session)) {
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
    if (method == kSplitInterval && !m_track.onClock && splitLength > 0 && session.TrackTime() >= splitLength * 1000LL) {
        Split(session, CloseReason::Interval);
        return 0;
    }
    if (method == kSplitSilence) {
        const bool skip = m_track.settings->skipSilence;
        if (!silent) m_heardSound = true;
        switch (m_silence.Test({session.LeftLevel(), session.RightLevel()}, splitLength, m_previousTrackTime)) {
            case SilenceOutcome::Split:
                if (skip) CloseForSilence(session);
                else Split(session, CloseReason::Silence);
                return 0;
            // Only while there is sound does a track that heard none end too.
            case SilenceOutcome::Stop:
                if (skip) CloseForSilence(session);
                return 0;
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
    OpenNextTrack(session);
}

void CRecordingControl::OpenNextTrack(CRecorderSession& session) {
    if (const Result<void> opened = session.OpenTrack(); !opened) {
        m_closed.DropUnrecorded(session.writtenPath, m_trackOpen);
        m_trackOpen = false;
        Post(kRecordingSplitFailed, session,
             UserText("RecordingControl", "次のトラックを開けませんでした。録音を停止してください: %1 (%2)")
                 .Arg(session.writtenPath.str())
                 .Arg(ReasonOf(opened.error())));
    }
}

void CRecordingControl::OnTrackClosed(CRecorderSession& session) {
    auto track = std::make_shared<ClosedTrack>();
    track->writer = session.TakeClosedWriter();
    track->tags = session.tags;
    if (track->writer) track->writer->SetTags(&track->tags);
    track->streamEnd = session.LastTrackEnd();
    track->received = session.TrackBytes() > 0 && !m_silentOnly;
    track->recording = m_recordingId;
    track->trackNumber = session.trackCounter;
    track->reason = m_closeReason;
    m_closeReason = CloseReason::Stop;
    track->lengthMs = session.TrackTime();
    track->sound = m_sound;
    if (track->received) m_recordingSound.Add(m_sound);
    m_sound = {};
    // Only a track that opened has a row and a file to name.
    track->hasRow = m_trackOpen;
    // A track dropped for silence leaves its number to the next.
    if (m_trackOpen && m_silentOnly) {
        m_trackOpen = false;
        track->row = {m_files.CurrentTrack().key, session.writtenPath};
        track->writtenPath = session.writtenPath;
        track->hasRow = true;
    } else if (m_trackOpen) {
        m_trackOpen = false;
        const RecordingSettings& settings = *m_track.settings;
        CCharString folder = settings.outputFolder;
        track->values = TrackValues(session, true);
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
        m_files.ShowClosing(track->row, session.outputKind, session.TrackTime(), session.tags, track->sound);
        // The next track's number is settled here, before it opens, in one step with the "typed"
        // flag: raised by one unless the user typed a number during this track.
        uint64_t number = m_trackNumber.load();
        while (!m_trackNumber.compare_exchange_weak(number, High(number) ? Pack(Low(number), 0)
                                                                         : Pack(session.trackCounter + 1, 0))) {
        }
    }
    m_closed.Submit(std::move(track));
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

void CRecordingControl::PrepareTrack(CRecorderSession& session) {
    {
        std::lock_guard<std::mutex> lock(m_settingsMutex);
        m_track.settings = m_applied;
    }
    const RecordingSettings& track = *m_track.settings;
    PlanClock(track);
    session.trackCounter = TrackNumber();
    session.outputKind = track.outputFormat;
    if (const QualityEntry* row = QualityRow(session.outputKind, track.qualityIndex)) {
        session.quality = row->value;
        session.outputSampleRate = row->sampleRate;
        session.outputChannels = row->channels;
    }
    session.oggQuality = track.oggQuality;
    m_track.skippedMs = session.DurationOf(m_skippedBytes);
    m_heardSound = false;
    // A track opened on sound begins with its pre-roll: its clock starts that much earlier.
    const LocalClock now = m_clocks.now;
    if (m_leadMs > 0) m_clocks.now = [now, lead = m_leadMs] { return EarlierBy(now(), lead); };
    CCharString folder = track.outputFolder;
    const TemplateValues values = TrackValues(session, false);
    session.plannedPath = BuildTrackPath(false, folder, track.fileNameTemplate, session.outputKind, values, m_clocks);
    FillTags(track, session, false, values, m_clocks);
    m_clocks.now = now;
    CCharString journaled;
    WrittenAtOpen written = WrittenPathAtOpen(folder, session.plannedPath, [&](const CCharString& candidate) {
        // A name another recorder took meanwhile is not this track's.
        if (!journaled.IsEmpty()) ProcessTrackJournal().Remove(journaled);
        journaled = candidate;
        JournalTrack(track, session, candidate, values.startOffsetMs, m_clocks);
        if (beforeTrackFile) beforeTrackFile(candidate);
    });
    session.writtenPath = written.path;
    m_refusedLink = written.refusedLink;
    if (!journaled.IsEmpty() && journaled != session.writtenPath) ProcessTrackJournal().Remove(journaled);
    m_closed.reserve.TakeAtFirstOpen();
    m_track.splitLength = track.SplitLengthSeconds();
    if (monitor) monitor->OnTrackOpen(session.captureFormat);
}

void CRecordingControl::PlanClock(const RecordingSettings& track) {
    const int64_t previousEnd = m_track.endNs;
    const RecordingState state = m_state;
    // At a start or a return of the input no device runs yet: a new run of capture begins.
    const bool newRun = state == RecordingState::Starting || IsWaitingState(state);
    if (newRun) m_clockCut.Restart();
    m_track.onClock = track.alignToClock && track.splitMethod == kSplitInterval && track.SplitLengthSeconds() > 0;
    m_track.endNs = -1;
    m_clocks.now = m_localClock;
    if (!m_track.onClock) return;
    // After a split the track begins where the last one ended, so no time falls between them.
    m_track.startNs = state == RecordingState::Starting ? m_recordingStartNs
                      : !newRun && previousEnd >= 0  ? previousEnd
                                                     : WallClockNs();
    constexpr int64_t kNsPerSecond = 1000000000;
    m_track.boundaryNs = NextClockBoundary(m_track.startNs / kNsPerSecond, track.SplitLengthSeconds()) * kNsPerSecond;
    const LocalDateTime start = LocalAt(m_track.startNs);
    m_clocks.now = [start] { return start; };
}

void CRecordingControl::EndClock() {
    if (!m_track.onClock) return;
    // Not cut at a boundary (a stop, a split asked for, a lost input): it ends with its audio.
    if (m_track.endNs < 0) m_track.endNs = m_clockCut.Measured() ? m_clockCut.BufferEndNs() : WallClockNs();
    const LocalDateTime end = LocalAt(m_track.endNs);
    m_clocks.now = [end] { return end; };
}

TemplateValues CRecordingControl::TrackValues(const CRecorderSession& session, bool endKnown) const {
    TemplateValues values = Values(*m_track.settings, session, endKnown, m_track.skippedMs);
    if (!m_track.onClock) return values;
    constexpr int64_t kNsPerMs = 1000000;
    values.startOffsetMs = (m_track.startNs - m_recordingStartNs) / kNsPerMs;
    if (endKnown) values.endOffsetMs = (m_track.endNs - m_recordingStartNs) / kNsPerMs;
    return values;
}
