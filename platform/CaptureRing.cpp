// The deep capture buffer.
#include "platform/CaptureRing.h"

#include <algorithm>
#include <chrono>
#include <cstring>

CCaptureRing::CCaptureRing(size_t capacityBytes, int frameBytes)
    : m_capacity(std::max<size_t>(capacityBytes - capacityBytes % frameBytes, frameBytes)),
      m_frameBytes(frameBytes) {
    m_data = std::make_unique<char[]>(m_capacity);
}

bool CCaptureRing::Write(const void* data, size_t bytes) {
    std::lock_guard lock(m_mutex);
    const size_t room = m_capacity - m_size;
    size_t take = std::min(bytes, room);
    take -= take % m_frameBytes;
    size_t writePos = (m_readPos + m_size) % m_capacity;
    for (size_t done = 0; done < take;) {
        const size_t run = std::min(take - done, m_capacity - writePos);
        if (data)
            std::memcpy(m_data.get() + writePos, static_cast<const char*>(data) + done, run);
        else
            std::memset(m_data.get() + writePos, 0, run);
        writePos = (writePos + run) % m_capacity;
        done += run;
    }
    m_size += take;
    if (take > 0) m_ready.notify_one();
    const bool dropped = take < bytes - bytes % m_frameBytes;
    const bool began = dropped && !m_overflowing;
    m_overflowing = dropped;
    return began;
}

long CCaptureRing::Read(char* dst, size_t bytes, int timeoutMs) {
    std::unique_lock lock(m_mutex);
    m_ready.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_size > 0 || m_failed; });
    if (m_size == 0) return m_failed ? -1 : 0;
    size_t take = std::min(bytes, m_size);
    take -= take % m_frameBytes;
    for (size_t done = 0; done < take;) {
        const size_t run = std::min(take - done, m_capacity - m_readPos);
        std::memcpy(dst + done, m_data.get() + m_readPos, run);
        m_readPos = (m_readPos + run) % m_capacity;
        done += run;
    }
    m_size -= take;
    return static_cast<long>(take);
}

void CCaptureRing::Fail(UserText reason) {
    {
        std::lock_guard lock(m_mutex);
        if (m_failed) return;
        m_failed = true;
        m_failReason = std::move(reason);
    }
    m_ready.notify_all();
}

void CCaptureRing::Clear() {
    std::lock_guard lock(m_mutex);
    m_readPos = 0;
    m_size = 0;
    m_overflowing = false;
}

UserText CCaptureRing::FailReason() const {
    std::lock_guard lock(m_mutex);
    return m_failReason;
}

CRingCaptureStream::CRingCaptureStream(const CaptureFormat& format, CCaptureClient& client, int depthSeconds)
    : CCaptureStream(format, client),
      m_ring(static_cast<size_t>(format.BytesPerSecond()) * depthSeconds, format.BlockAlign()) {}

long CRingCaptureStream::Read(char* dst, uint32_t bytes) {
    const long n = m_ring.Read(dst, bytes, 50);
    return n < 0 ? kReadFailed : n;
}

void CRingCaptureStream::Push(const void* data, size_t bytes) {
    if (m_ring.Write(data, bytes)) ReportOverrun();
}
