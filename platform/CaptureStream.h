// CCaptureStream: one open capture device, its queue of caller-owned buffers and its audio thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "foundation/Result.h"

// Interleaved little-endian PCM: 16-bit signed or 8-bit unsigned samples.
struct CaptureFormat {
    int sampleRate = 44100;
    int channels = 2;
    int bits = 16;

    int BlockAlign() const { return channels * bits / 8; }
    uint32_t BytesPerSecond() const { return static_cast<uint32_t>(sampleRate) * BlockAlign(); }
    // What every backend accepts: 1 or 2 channels, 8 or 16 bits, 1 kHz to 384 kHz.
    bool IsSupported() const;
};

// Why a format that is not IsSupported() cannot be opened.
Failure UnsupportedCaptureFormat(const CaptureFormat& format);

// One caller-owned buffer. The stream fills it and hands it back once it holds `length`
// bytes, or fewer when capture stops, fails or ends part-way through it.
struct CaptureBuffer {
    char* data = nullptr;
    uint32_t length = 0;
    uint32_t recorded = 0;
    CaptureBuffer* next = nullptr;  // queue link, so queueing never allocates
    bool queued = false;
};

enum class CaptureEvent {
    Overrun,  // the deep buffer was full because buffers came back too slowly; audio was lost
    Failed,   // the device failed or disappeared; nothing more will arrive
    Ended,    // the source has no more audio (a finite signal); nothing more will arrive
};

// Called on the stream's audio thread, never after CCaptureStream::Close has returned.
class CCaptureClient {
public:
    virtual void OnBufferDone(CaptureBuffer& buffer) = 0;
    virtual void OnCaptureEvent(CaptureEvent event, const UserText& detail) = 0;

protected:
    ~CCaptureClient() = default;
};

class CCaptureStream {
public:
    CCaptureStream(const CCaptureStream&) = delete;
    CCaptureStream& operator=(const CCaptureStream&) = delete;
    virtual ~CCaptureStream();

    // Appends a buffer to the queue; the stream fills queued buffers in order. Fails for a
    // buffer that is already queued or empty, and once the stream has failed or ended.
    bool AddBuffer(CaptureBuffer* buffer);
    // Begins filling queued buffers. False when the device cannot start or has failed/ended.
    bool Start();
    // Stops capturing; the buffer in progress comes back partly filled, empty queued ones stay
    // queued. Safe to call from the client's callback.
    void Stop();
    // Stops the audio thread; no callback runs after it returns. Never call it from a callback.
    void Close();

    const CaptureFormat& Format() const { return m_format; }
    // The name that finds this device again once the backend has renumbered its devices (a
    // restarted sound server): CCaptureBackend::OpenNamed. Empty for the default input.
    const std::string& DeviceName() const { return m_deviceName; }
    // Overrun episodes so far (each is also reported as CaptureEvent::Overrun).
    uint64_t OverrunCount() const { return m_overruns.load(); }

protected:
    CCaptureStream(const CaptureFormat& format, CCaptureClient& client);
    // Starts the audio thread; backends call it once their device is open.
    void Launch();
    void SetDeviceName(std::string name) { m_deviceName = std::move(name); }

    static constexpr long kReadFailed = -1;
    static constexpr long kReadEnded = -2;
    // Audio thread: copies at most `bytes` (whole frames) into `dst`, waiting no longer than
    // about 50 ms. Returns the bytes copied (0 when nothing came), kReadFailed or kReadEnded.
    virtual long Read(char* dst, uint32_t bytes) = 0;
    virtual bool BeginCapture() = 0;
    // May run on the audio thread (a callback that stops capture).
    virtual void EndCapture() = 0;
    // Any thread: counts one overrun and has the audio thread report it.
    void ReportOverrun();
    // Detail text for CaptureEvent::Failed/Ended; read on the audio thread after Read says so.
    virtual UserText EndDetail() const { return {}; }

private:
    void Run();
    void Deliver(CaptureBuffer* buffer, std::unique_lock<std::mutex>& lock);
    CaptureBuffer* PopFront();

    const CaptureFormat m_format;
    CCaptureClient& m_client;
    std::string m_deviceName;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    CaptureBuffer* m_head = nullptr;
    CaptureBuffer* m_tail = nullptr;
    bool m_capturing = false;
    bool m_stopPending = false;  // return the buffer in progress
    bool m_finished = false;     // failed or ended
    bool m_quit = false;
    uint64_t m_epoch = 0;        // bumped by Start/Stop so a read that spans them is dropped
    uint64_t m_overrunsReported = 0;
    std::atomic<uint64_t> m_overruns{0};
};
