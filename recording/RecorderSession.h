// CRecorderSession: one recording run: the capture device, the current track's writer, levels,
// times, and the numbered notifications through which the owner makes every decision.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/CharString.h"
#include "foundation/Result.h"
#include "platform/CaptureStream.h"
#include "recording/CriticalSectionLock.h"
#include "recording/PcmFormat.h"
#include "tags/OutputFormat.h"
#include "tags/TagFieldSet.h"

class CAudioWriter;
class CCaptureBackend;
class CFileSyncer;
class CFormatConverter;
class CRecorderSession;
class CWaveInDevice;

// Notification codes are phase × 65536 + event.
enum SessionEvent {
    kEventData = 101,
    // After the part of a buffer before the owner's cut (cutAt) is written: the owner ends the
    // track and opens the next, which takes the rest of the buffer.
    kEventDataCut = 102,
    kEventStarted = 201,
    kEventStopped = 202,
    kEventTrackOpen = 210,
    kEventTrackClose = 211,
    // Sent on the capture thread when the current track could not take a buffer (disk full,
    // folder gone). The owner closes the track so that what was written stays a valid file.
    kEventWriteFailed = 220,
    // Sent on the capture thread when the device failed, vanished or its source ended; no more
    // buffers will come.
    kEventCaptureEnded = 221,
};
enum SessionPhase { kPhaseBefore = 1, kPhaseAfter = 2 };
constexpr int SessionCode(SessionPhase phase, SessionEvent event) { return phase * 65536 + event; }
constexpr int kNotifyDataBefore = SessionCode(kPhaseBefore, kEventData);             // 65637
constexpr int kNotifyDataAfter = SessionCode(kPhaseAfter, kEventData);               // 131173
constexpr int kNotifyDataCut = SessionCode(kPhaseAfter, kEventDataCut);             // 131174
constexpr int kNotifyTrackOpenBefore = SessionCode(kPhaseBefore, kEventTrackOpen);   // 65746
constexpr int kNotifyTrackOpenAfter = SessionCode(kPhaseAfter, kEventTrackOpen);     // 131282
constexpr int kNotifyTrackCloseBefore = SessionCode(kPhaseBefore, kEventTrackClose); // 65747
constexpr int kNotifyTrackCloseAfter = SessionCode(kPhaseAfter, kEventTrackClose);   // 131283

using NotifyFunction = int (*)(int code, CRecorderSession* session, void* user);

class CRecorderSession {
public:
    CRecorderSession();
    virtual ~CRecorderSession();
    CRecorderSession(const CRecorderSession&) = delete;
    CRecorderSession& operator=(const CRecorderSession&) = delete;

    void SetNotify(NotifyFunction function, void* user) {
        m_notify = function;
        m_notifyUser = user;
    }
    // Synchronous, on the calling thread; 1 when no function is installed.
    int Notify(int code);

    // Opens the first track (unless monitor-only), then the device; the failure of either says
    // why the session did not start, and then no track is left behind: a first track whose
    // device did not start is discarded (its file removed, no close notifications, the counter
    // unchanged). With waitForInput the device is opened first, and a device that does not open
    // leaves the session started without input or track (InputMissing), its failure returned all
    // the same: ReopenInput and ResumeCapture bring both.
    Result<void> Start();
    // Stops and closes the device (waiting for a buffer in progress), closes the last track.
    // False when there was nothing to stop.
    bool Stop();
    // Owner's thread, once the device has failed (kEventCaptureEnded) or a waiting start found
    // none: closes the failed device and opens the same input again (found by its name, or the
    // default input), not yet capturing. A failure: the input is still away, nothing changed.
    Result<void> ReopenInput();
    // Owner's thread, after a ReopenInput that opened the input: opens the next track, then starts
    // capturing. A failure: the track did not open, or capture did not start (the track's file is
    // then taken back); the input is closed again and nothing captures.
    Result<void> ResumeCapture();
    // Owner's thread: a started session without a device (a waiting start, or a ReopenInput that
    // found the input away).
    bool InputMissing() const { return m_started && !m_device; }
    // The input by the name it is found again by; empty for the default input.
    const std::string& InputName() const { return m_inputName; }
    // A failure: the track could not be opened; then no writer is left and no file it created.
    Result<void> OpenTrack();
    // Ends the writer's stream and finishes the file (tags, closing) before the close-after
    // notification; with handOverClosedWriter, only ends the stream and leaves the rest to the
    // owner, who takes the writer in that notification.
    bool CloseTrack();
    // The capture thread's work for one buffer; see the notifications.
    bool HandleBuffer(const char* data, int byteCount);
    // Capture thread: writes audio captured earlier (a pre-roll) into the open track and counts
    // it, as HandleBuffer does a buffer; false when there is no track or the write failed (then
    // kEventWriteFailed has been sent).
    bool Record(const char* data, int byteCount);
    // Milliseconds of `byteCount` bytes of the capture format.
    int64_t DurationOf(int64_t byteCount) const;

    // --- What the owner reads in its handlers.
    int LeftLevel() const { return m_leftLevel; }   // tenths of a dB, 0 = full scale
    int RightLevel() const { return m_rightLevel; }
    const char* LastBuffer() const { return m_lastBuffer; }
    int LastBufferSize() const { return m_lastBufferSize; }
    int64_t TrackTime() const { return m_trackTime; }
    // PCM bytes the current track has taken; 0 for a track that received no audio.
    int64_t TrackBytes() const { return m_trackBytes; }
    int64_t TotalTime() const { return m_totalTime; }
    int64_t TrackOpenedAt() const { return m_trackOpenedAt; }
    int64_t TrackClosedAt() const { return m_trackClosedAt; }
    const CCharString& LastClosedPath() const { return m_lastClosedPath; }
    // A failure when the last closed track could not be finished as planned: its end, header or
    // tags could not be written (a full disk). The file then holds what was written, still
    // readable. Read in the track-close-after handler.
    const Result<void>& LastTrackEnd() const { return m_lastTrackEnd; }
    // In the close-after notification with handOverClosedWriter: the closed track's writer, its
    // stream ended; the taker finishes it (FinishEnd, Close) on any one thread. Its tags still
    // point at `tags`, which the next track overwrites: the taker gives it a copy.
    std::unique_ptr<CAudioWriter> TakeClosedWriter();
    bool HasWriter();
    // Overruns the capture layer reported during this run (audio it had to drop).
    uint64_t OverrunCount() const;

    // --- What the owner sets.
    int trackCounter = 0;
    int deviceId = -1;
    PcmFormat captureFormat;
    CCharString plannedPath;
    CCharString writtenPath;
    OutputFormat outputKind = OutputFormat::Wav;
    int outputSampleRate = 44100;
    int outputChannels = 2;
    int quality = -1;
    int outputBits = 16;
    int oggQuality = -1;
    TagFieldSet tags;
    bool monitorOnly = false;
    // Set in the data-before notification: the byte (whole frames, at most the buffer's size) at
    // which the track ends within this buffer; -1 for none. Cleared before each buffer.
    int cutAt = -1;
    // Set by an owner that finishes closed tracks on a thread of its own, so that a split costs
    // the capture thread only the end of the encoder's stream.
    bool handOverClosedWriter = false;
    // Where the device captures from; null chooses as CWaveInDevice does (PulseAudio, else ALSA).
    std::shared_ptr<CCaptureBackend> backend;
    // Set by an owner that waits for an input missing at the start (see Start).
    bool waitForInput = false;
    // Why the device failed or ended, for the owner's message; set before kEventCaptureEnded.
    UserText CaptureEndDetail() const;
    // True when capture ended by a failure rather than at the end of a finite signal.
    bool CaptureFailed() const { return m_captureFailed; }
    // Why the current track could not take a buffer, in the file layer's words; read in the
    // kEventWriteFailed handler.
    const Failure& WriteFailure() const { return m_writeFailure; }

private:
    static int DeviceDataHandler(const char* data, uint32_t byteCount, void* user);
    static void DeviceEventHandler(CaptureEvent event, const UserText& detail, void* user);
    // A device opened on the input (by its name once one has opened), not yet capturing.
    Result<std::unique_ptr<CWaveInDevice>> OpenDevice();
    // Starts the device opened for the track just opened.
    Result<void> StartDevice();
    // The input did not open or start for the track just opened: the device is closed, and the
    // track, which never recorded, is not a finished track but a file to take back.
    Failure TakeBackTrack(Failure failure);
    // The device gone for good: its overruns are kept.
    void CloseDevice();
    // The syncer follows the track just opened, through a descriptor of its own.
    void FollowOpenTrack();
    // Under the session lock: a half-opened writer goes, with the file it created.
    Failure FailOpen(Failure failure, bool fileCreated);
    // The writer's failure told as `what` failed: its own message fills what's last placeholder.
    static Failure Told(UserText what, Failure failure);
    static Failure TrackRefused();

    CCriticalSectionLock m_lock;  // guards m_writer
    NotifyFunction m_notify = nullptr;
    void* m_notifyUser = nullptr;
    const char* m_lastBuffer = nullptr;
    int m_lastBufferSize = -1;
    int m_leftLevel = 0;
    int m_rightLevel = 0;
    int64_t m_trackTime = 0;
    int64_t m_trackBytes = 0;
    int64_t m_totalTime = 0;
    int64_t m_totalBytes = 0;
    int64_t m_trackOpenedAt = 0;
    int64_t m_trackClosedAt = 0;
    CCharString m_lastClosedPath;
    Result<void> m_lastTrackEnd;
    std::unique_ptr<CWaveInDevice> m_device;
    bool m_started = false;
    bool m_inputOpened = false;  // m_inputName names the input
    std::string m_inputName;
    std::unique_ptr<CFormatConverter> m_writer;
    std::unique_ptr<CAudioWriter> m_closedWriter;  // during the close-after notification only
    // From start to stop: forces the open track's data to the disk every few seconds.
    std::unique_ptr<CFileSyncer> m_syncer;
    uint64_t m_overruns = 0;  // kept from the device once it is gone
    UserText m_captureEndDetail;
    bool m_captureFailed = false;
    Failure m_writeFailure;
};
