// The recorder session: start and stop, track open and close, and the per-buffer work.
#include "recording/RecorderSession.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>

#include "audiofile/FormatTable.h"
#include "foundation/PathUtils.h"
#include "recording/FileSyncer.h"
#include "recording/FormatConverter.h"
#include "recording/LevelAnalysis.h"
#include "recording/WaveInDevice.h"

namespace {

// Buffers hold a whole number of frames: 100 ms, or 200 ms at rates like 11025 Hz.
int BufferDurationFor(int sampleRate) { return sampleRate % 10 == 0 ? 100 : 200; }

// A power cut loses at most this much of the track being written (a sync itself takes a while).
constexpr std::chrono::milliseconds kSyncInterval{5000};

}  // namespace

CRecorderSession::CRecorderSession() = default;

CRecorderSession::~CRecorderSession() {
    CScopedLock lock(&m_lock);
    m_writer.reset();
}

int CRecorderSession::Notify(int code) { return m_notify ? m_notify(code, this, m_notifyUser) : 1; }

bool CRecorderSession::HasWriter() {
    CScopedLock lock(&m_lock);
    return m_writer != nullptr;
}

uint64_t CRecorderSession::OverrunCount() const { return m_overruns + (m_device ? m_device->OverrunCount() : 0); }

Result<void> CRecorderSession::Start() {
    m_lastClosedPath = CCharString();
    m_lastTrackEnd = {};
    m_trackTime = m_totalTime = m_trackOpenedAt = m_trackClosedAt = m_trackBytes = m_totalBytes = 0;
    m_captureEndDetail = UserText();
    m_captureFailed = false;
    m_writeFailure = {};
    Stop();
    m_overruns = 0;
    m_inputOpened = false;
    m_inputName.clear();
    if (!monitorOnly) m_syncer = std::make_unique<CFileSyncer>(kSyncInterval);
    // An input that may come later is looked for first, so that no track opens without it.
    if (waitForInput && !monitorOnly) {
        Result<std::unique_ptr<CWaveInDevice>> device = OpenDevice();
        if (!device) {
            m_started = true;
            Notify(kEventStarted);
            return std::move(device).error();
        }
        m_device = std::move(device).value();
    }
    if (!monitorOnly) {
        if (Result<void> opened = OpenTrack(); !opened) {
            CloseDevice();
            m_syncer.reset();
            return opened;
        }
    }
    if (!m_device) {
        Result<std::unique_ptr<CWaveInDevice>> device = OpenDevice();
        if (!device) {
            Failure failure = TakeBackTrack(std::move(device).error());
            m_syncer.reset();
            return failure;
        }
        m_device = std::move(device).value();
    }
    if (Result<void> started = StartDevice(); !started) {
        m_syncer.reset();
        return started;
    }
    m_started = true;
    Notify(kEventStarted);
    return {};
}

Result<std::unique_ptr<CWaveInDevice>> CRecorderSession::OpenDevice() {
    auto device = std::make_unique<CWaveInDevice>();
    device->SetDataHandler(&CRecorderSession::DeviceDataHandler, this);
    device->SetEventHandler(&CRecorderSession::DeviceEventHandler, this);
    if (backend) device->SetBackend(backend);
    device->SetFormat(captureFormat.sampleRate, captureFormat.channels, captureFormat.bitsPerSample);
    device->bufferDuration = BufferDurationFor(captureFormat.sampleRate);
    // Numbers change when a sound server restarts; the name stays.
    Result<void> opened = m_inputOpened ? device->OpenNamed(m_inputName) : device->Open(deviceId);
    if (!opened) return std::move(opened).error();
    m_inputOpened = true;
    m_inputName = device->DeviceName();
    return device;
}

Result<void> CRecorderSession::StartDevice() {
    Result<void> started = m_device->Start();
    if (!started) return TakeBackTrack(std::move(started).error());
    return started;
}

Failure CRecorderSession::TakeBackTrack(Failure failure) {
    CloseDevice();
    if (monitorOnly) return failure;
    CScopedLock lock(&m_lock);
    return FailOpen(std::move(failure), true);
}

void CRecorderSession::CloseDevice() {
    if (!m_device) return;
    if (m_device->IsOpen()) {
        m_device->Stop();
        m_device->Close();
    }
    m_overruns += m_device->OverrunCount();
    m_device.reset();
}

Result<void> CRecorderSession::ReopenInput() {
    // Closing joins the failed device's thread: its last notifications are over.
    CloseDevice();
    Result<std::unique_ptr<CWaveInDevice>> device = OpenDevice();
    if (!device) return std::move(device).error();
    m_device = std::move(device).value();
    return {};
}

Result<void> CRecorderSession::ResumeCapture() {
    if (!m_device) return KindFailure(FailureKind::kMissing, UserText("RecorderSession", "入力デバイスが開かれていません"));
    // No device runs, so the track opens here as at a start.
    if (Result<void> opened = OpenTrack(); !opened) {
        CloseDevice();
        return opened;
    }
    return StartDevice();
}

bool CRecorderSession::Stop() {
    if (!m_started) return false;
    m_started = false;
    CloseDevice();
    if (!monitorOnly) {
        CloseTrack();
        // The last track's data reaches the disk before the stop is told.
        m_syncer.reset();
        Notify(kEventStopped);
    }
    return true;
}

Result<void> CRecorderSession::OpenTrack() {
    m_trackOpenedAt = m_totalTime;
    if (!Notify(kNotifyTrackOpenBefore)) return TrackRefused();
    {
        CScopedLock lock(&m_lock);
        const FormatRow& format = FormatRowOf(outputKind);
        const int qualityValue = format.sliderQuality ? oggQuality : quality;
        std::unique_ptr<CAudioWriter> writer = format.newWriter(qualityValue);
        if (!writer)
            return FailOpen(KindFailure(FailureKind::kMissing,
                                        UserText("RecorderSession", "この出力形式と音質のエンコーダーがありません")),
                            false);
        writer->SetTags(&tags);
        m_writer = std::make_unique<CFormatConverter>(std::move(writer));
        // A folder that cannot be made shows up as a failed open.
        EnsureFolder(FolderOf(writtenPath));
        if (Result<void> opened = m_writer->Open(writtenPath.c_str()); !opened)
            return FailOpen(Told(UserText("RecorderSession", "%1 を作成できません: %2").Arg(writtenPath.str()), std::move(opened).error()),
                            false);
        // An encoder that resamples itself (libopusenc) does it better than the converter would.
        const int sampleRate = format.keepsCaptureRate ? captureFormat.sampleRate : outputSampleRate;
        Result<void> begun = m_writer->SetFormat(qualityValue, sampleRate, outputChannels, outputBits, -1, -1);
        if (begun) {
            m_writer->SetInputFormat(captureFormat.sampleRate, captureFormat.channels, captureFormat.bitsPerSample);
            begun = m_writer->Begin();
        }
        if (!begun)
            return FailOpen(Told(UserText("RecorderSession", "%1 の書き込みを開始できません: %2").Arg(writtenPath.str()), std::move(begun).error()),
                            true);
    }
    if (Notify(kNotifyTrackOpenAfter)) {
        FollowOpenTrack();
        return {};
    }
    CScopedLock lock(&m_lock);
    return FailOpen(TrackRefused(), true);
}

void CRecorderSession::FollowOpenTrack() {
    if (!m_syncer) return;
    const int fd = open(writtenPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) m_syncer->Follow(fd);
}

Failure CRecorderSession::FailOpen(Failure failure, bool fileCreated) {
    if (m_writer) {
        m_writer.reset();
        // The name was free when the track opened, so the file there is the one it created.
        if (fileCreated) unlink(writtenPath.c_str());
    }
    return failure;
}

Failure CRecorderSession::Told(UserText what, Failure failure) {
    failure.message = std::move(what).Arg(std::move(failure.message));
    return failure;
}

Failure CRecorderSession::TrackRefused() {
    return KindFailure(FailureKind::kBadValue, UserText("RecorderSession", "トラックが拒否されました"));
}

bool CRecorderSession::CloseTrack() {
    m_trackClosedAt = m_totalTime;
    Notify(kNotifyTrackCloseBefore);
    {
        CScopedLock lock(&m_lock);
        if (!m_writer) return false;
        // Each step runs whatever the one before gave: Close still closes, tags and finishes the file.
        m_lastTrackEnd = m_writer->EndStream();
        if (m_syncer) m_syncer->Follow(-1);
        if (handOverClosedWriter) {
            m_closedWriter = std::move(m_writer);
        } else {
            Result<void> finished = m_writer->FinishEnd();
            m_lastTrackEnd = FirstFailure(std::move(m_lastTrackEnd), FirstFailure(std::move(finished), m_writer->Close()));
            m_writer.reset();
        }
    }
    Notify(kNotifyTrackCloseAfter);
    // Not taken: finished here, never left open beside the next track.
    if (std::unique_ptr<CAudioWriter> left = TakeClosedWriter()) {
        static_cast<void>(left->FinishEnd());
        static_cast<void>(left->Close());
    }
    m_trackTime = 0;
    m_trackBytes = 0;
    ++trackCounter;
    m_lastClosedPath = writtenPath;
    return true;
}

std::unique_ptr<CAudioWriter> CRecorderSession::TakeClosedWriter() {
    CScopedLock lock(&m_lock);
    return std::move(m_closedWriter);
}

bool CRecorderSession::HandleBuffer(const char* data, int byteCount) {
    m_lastBuffer = data;
    m_lastBufferSize = byteCount;
    const int channels = captureFormat.channels;
    const BufferLevels levels = MeasureLevels(data, byteCount, channels);
    m_leftLevel = levels.left;
    m_rightLevel = levels.right;

    cutAt = -1;
    if (!Notify(kNotifyDataBefore)) return true;
    if (!HasWriter()) return false;
    if (cutAt >= 0 && cutAt <= byteCount) {
        const int cut = cutAt - cutAt % captureFormat.BlockSize();
        cutAt = -1;
        if (!Record(data, cut)) return false;
        Notify(kNotifyDataCut);
        // The next track did not open: the rest has nowhere to go, as after a failed split.
        if (!HasWriter()) return false;
        data += cut;
        byteCount -= cut;
    }
    if (!Record(data, byteCount)) return false;
    return Notify(kNotifyDataAfter) != 0;
}

int64_t CRecorderSession::DurationOf(int64_t byteCount) const {
    const int64_t bytesPerSecond = captureFormat.BytesPerSecond();
    return bytesPerSecond > 0 ? byteCount * 1000 / bytesPerSecond : 0;
}

bool CRecorderSession::Record(const char* data, int byteCount) {
    if (!HasWriter()) return false;
    if (byteCount == 0) return true;
    // The write runs without the session lock: only this thread replaces the writer while capturing.
    if (Result<void> written = m_writer->Write(data, byteCount); !written) {
        m_writeFailure = Told(UserText("RecorderSession", "書き込みに失敗しました: %1"), std::move(written).error());
        Notify(kEventWriteFailed);
        return false;
    }
    // Counted once written: a track's time is the audio its file holds. From the bytes, so the
    // parts of a cut buffer add up to the whole.
    const int64_t bytesPerSecond = static_cast<int64_t>(captureFormat.BytesPerSecond());
    m_trackBytes += byteCount;
    m_totalBytes += byteCount;
    m_trackTime = m_trackBytes * 1000 / bytesPerSecond;
    m_totalTime = m_totalBytes * 1000 / bytesPerSecond;
    return true;
}

int CRecorderSession::DeviceDataHandler(const char* data, uint32_t byteCount, void* user) {
    // The device keeps capturing whatever the session answers; the owner decides when to stop.
    static_cast<CRecorderSession*>(user)->HandleBuffer(data, static_cast<int>(byteCount));
    return 1;
}

void CRecorderSession::DeviceEventHandler(CaptureEvent event, const UserText& detail, void* user) {
    // Overruns are counted by the device; the owner reads the count.
    if (event == CaptureEvent::Overrun) return;
    auto* session = static_cast<CRecorderSession*>(user);
    session->m_captureEndDetail = detail;
    session->m_captureFailed = event == CaptureEvent::Failed;
    session->Notify(kEventCaptureEnded);
}

UserText CRecorderSession::CaptureEndDetail() const { return m_captureEndDetail; }
