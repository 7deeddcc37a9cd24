// CCaptureRing: the deep buffer between a device's own thread and the audio thread, and
// CRingCaptureStream, the stream of backends whose device pushes audio at its own pace.
#pragma once

#include "platform/CaptureStream.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

class CCaptureRing {
public:
    // Allocates once; nothing is allocated while audio flows.
    CCaptureRing(size_t capacityBytes, int frameBytes);

    // Producer: stores whole frames (silence when `data` is null). What does not fit is dropped.
    // Returns true when this write began an overrun, so each episode is reported once.
    bool Write(const void* data, size_t bytes);
    // Consumer: copies up to `bytes` (rounded down to whole frames), waiting up to `timeoutMs`
    // for some. Returns the bytes copied, 0 on timeout, or -1 once failed and drained: audio
    // that arrived before the failure is still handed out.
    long Read(char* dst, size_t bytes, int timeoutMs);
    void Fail(UserText reason);
    void Clear();
    UserText FailReason() const;

private:
    std::unique_ptr<char[]> m_data;
    const size_t m_capacity;
    const size_t m_frameBytes;
    mutable std::mutex m_mutex;
    std::condition_variable m_ready;
    size_t m_readPos = 0;
    size_t m_size = 0;
    bool m_overflowing = false;
    bool m_failed = false;
    UserText m_failReason;
};

// A stream whose device thread fills a ring holding `depthSeconds` of audio.
class CRingCaptureStream : public CCaptureStream {
protected:
    CRingCaptureStream(const CaptureFormat& format, CCaptureClient& client, int depthSeconds);
    long Read(char* dst, uint32_t bytes) override;
    UserText EndDetail() const override { return m_ring.FailReason(); }
    // Producer side: stores audio and reports an overrun when the ring was full.
    void Push(const void* data, size_t bytes);

    CCaptureRing m_ring;
};
