// The buffer queue and audio thread shared by every capture backend.
#include "platform/CaptureStream.h"

bool CaptureFormat::IsSupported() const {
    return (channels == 1 || channels == 2) && (bits == 8 || bits == 16) && sampleRate >= 1000 &&
           sampleRate <= 384000;
}

Failure UnsupportedCaptureFormat(const CaptureFormat& format) {
    return KindFailure(FailureKind::kBadValue,
                       UserText("CaptureStream", "録音形式 %1 Hz、%2 チャンネル、%3 ビットには対応していません")
                           .Arg(format.sampleRate)
                           .Arg(format.channels)
                           .Arg(format.bits));
}

CCaptureStream::CCaptureStream(const CaptureFormat& format, CCaptureClient& client)
    : m_format(format), m_client(client) {}

CCaptureStream::~CCaptureStream() { Close(); }

void CCaptureStream::Launch() { m_thread = std::thread(&CCaptureStream::Run, this); }

bool CCaptureStream::AddBuffer(CaptureBuffer* buffer) {
    {
        std::lock_guard lock(m_mutex);
        // A length of whole frames keeps every buffer starting on a sample.
        if (!buffer || !buffer->data || buffer->length == 0 ||
            buffer->length % m_format.BlockAlign() != 0 || buffer->queued || m_finished || m_quit)
            return false;
        buffer->recorded = 0;
        buffer->next = nullptr;
        buffer->queued = true;
        (m_tail ? m_tail->next : m_head) = buffer;
        m_tail = buffer;
    }
    m_wake.notify_one();
    return true;
}

bool CCaptureStream::Start() {
    {
        std::lock_guard lock(m_mutex);
        if (m_finished || m_quit) return false;
        if (m_capturing) return true;
    }
    // Outside our mutex: backends take their own locks, which their threads hold while
    // calling ReportOverrun.
    if (!BeginCapture()) return false;
    {
        std::lock_guard lock(m_mutex);
        m_capturing = true;
        ++m_epoch;
        if (m_stopPending) {
            // The stopped buffer was never returned; its old contents must not lead the new run.
            m_stopPending = false;
            if (m_head) m_head->recorded = 0;
        }
    }
    m_wake.notify_one();
    return true;
}

void CCaptureStream::Stop() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_capturing) return;
        m_capturing = false;
        m_stopPending = true;
        ++m_epoch;
    }
    m_wake.notify_one();
    EndCapture();
}

void CCaptureStream::Close() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_capturing = false;
    }
    m_wake.notify_one();
    if (m_thread.joinable()) m_thread.join();
}

void CCaptureStream::ReportOverrun() {
    {
        std::lock_guard lock(m_mutex);
        ++m_overruns;
    }
    m_wake.notify_one();
}

CaptureBuffer* CCaptureStream::PopFront() {
    CaptureBuffer* buffer = m_head;
    m_head = buffer->next;
    if (!m_head) m_tail = nullptr;
    buffer->next = nullptr;
    buffer->queued = false;
    return buffer;
}

void CCaptureStream::Deliver(CaptureBuffer* buffer, std::unique_lock<std::mutex>& lock) {
    lock.unlock();
    m_client.OnBufferDone(*buffer);
    lock.lock();
}

void CCaptureStream::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] {
            return m_quit || m_stopPending || m_overruns.load() != m_overrunsReported ||
                   (m_capturing && m_head);
        });
        if (m_quit) return;
        if (m_overruns.load() != m_overrunsReported) {
            m_overrunsReported = m_overruns.load();
            lock.unlock();
            m_client.OnCaptureEvent(CaptureEvent::Overrun,
                                    UserText("CaptureStream", "録音バッファがあふれ、音声が失われました"));
            lock.lock();
            continue;
        }
        if (m_stopPending) {
            m_stopPending = false;
            if (m_head && m_head->recorded > 0) Deliver(PopFront(), lock);
            continue;
        }
        // Only this thread removes buffers, so the head stays ours while the lock is released.
        CaptureBuffer* buffer = m_head;
        const uint64_t epoch = m_epoch;
        char* dst = buffer->data + buffer->recorded;
        const uint32_t room = buffer->length - buffer->recorded;
        lock.unlock();
        const long n = Read(dst, room);
        lock.lock();
        if (m_quit) return;
        if (epoch != m_epoch) continue;  // captured across a Stop: not part of any run
        if (n >= 0) {
            buffer->recorded += static_cast<uint32_t>(n);
            if (buffer->recorded == buffer->length) Deliver(PopFront(), lock);
            continue;
        }
        // Failed or ended: hand back what the buffer already holds, then say why it stops.
        m_capturing = false;
        m_finished = true;
        if (buffer->recorded > 0) Deliver(PopFront(), lock);
        const UserText detail = EndDetail();
        lock.unlock();
        m_client.OnCaptureEvent(n == kReadEnded ? CaptureEvent::Ended : CaptureEvent::Failed, detail);
        lock.lock();
    }
}
