// The capture device and its buffer queue.
#include "recording/WaveInDevice.h"

namespace {
// Larger buffers would take seconds of memory per buffer and delay every handler call.
constexpr uint64_t kMaxBufferLength = 64u << 20;
}  // namespace

CWaveInDevice::CWaveInDevice() = default;

CWaveInDevice::~CWaveInDevice() { Close(); }

void CWaveInDevice::SetFormat(int sampleRate, int channels, int bits) { m_format = {sampleRate, channels, bits}; }

void CWaveInDevice::SetDataHandler(DataHandler handler, void* user) {
    CScopedLock lock(&m_lock);
    m_dataHandler = handler;
    m_dataUser = user;
}

void CWaveInDevice::SetEventHandler(EventHandler handler, void* user) {
    CScopedLock lock(&m_lock);
    m_eventHandler = handler;
    m_eventUser = user;
}

void CWaveInDevice::SetBackend(std::shared_ptr<CCaptureBackend> backend) { m_backend = std::move(backend); }

Result<void> CWaveInDevice::Open(int deviceId) { return OpenDevice(deviceId, nullptr); }

Result<void> CWaveInDevice::OpenNamed(const std::string& deviceName) { return OpenDevice(-1, &deviceName); }

Result<void> CWaveInDevice::OpenDevice(int deviceId, const std::string* deviceName) {
    if (IsOpen()) Close();
    m_failed = false;
    const CaptureFormat format{m_format.sampleRate, m_format.channels, m_format.bitsPerSample};
    if (!format.IsSupported()) return UnsupportedCaptureFormat(format);
    // In 64 bits, so long durations cannot wrap into a tiny buffer; cut to whole frames so no
    // buffer starts in the middle of a sample.
    const uint64_t exact = static_cast<uint64_t>(bufferDuration < 0 ? 0 : bufferDuration) * format.BytesPerSecond() / 1000;
    const uint64_t length = exact - exact % format.BlockAlign();
    if (length == 0 || length > kMaxBufferLength)
        return KindFailure(FailureKind::kBadValue,
                           UserText("WaveInDevice", "バッファの長さ %1 ミリ秒は範囲外です").Arg(bufferDuration));

    std::shared_ptr<CCaptureBackend> backend = m_backend;
    if (!backend) {
        Result<std::unique_ptr<CCaptureBackend>> created = CreateCaptureBackend("");
        if (!created) return std::move(created).error();
        backend = *std::move(created);
    }
    Result<std::unique_ptr<CCaptureStream>> opened =
        deviceName ? backend->OpenNamed(*deviceName, format, *this) : backend->Open(deviceId, format, *this);
    if (!opened) return std::move(opened).error();
    std::unique_ptr<CCaptureStream> stream = *std::move(opened);

    m_deviceId = deviceId;
    m_deviceName = stream->DeviceName();
    m_bufferLength = static_cast<uint32_t>(length);
    m_memory = std::make_unique<char[]>(kBufferCount * length);  // zeroed
    m_headers = std::make_unique<CaptureBuffer[]>(kBufferCount);
    CScopedLock lock(&m_lock);
    m_stream = std::move(stream);
    for (int i = 0; i < kBufferCount; ++i) {
        m_headers[i].data = m_memory.get() + i * length;
        m_headers[i].length = m_bufferLength;
        if (!m_stream->AddBuffer(&m_headers[i]))
            return KindFailure(FailureKind::kSystem, UserText("WaveInDevice", "入力デバイスが録音バッファを受け付けません"));
    }
    return {};
}

Result<void> CWaveInDevice::Start() {
    CScopedLock lock(&m_lock);
    if (!m_stream) return KindFailure(FailureKind::kMissing, UserText("WaveInDevice", "入力デバイスが開かれていません"));
    m_running = true;
    if (!m_stream->Start()) {
        m_running = false;
        return KindFailure(FailureKind::kSystem, UserText("WaveInDevice", "入力デバイスが録音を始めません"));
    }
    return {};
}

void CWaveInDevice::Stop() {
    // Taking the lock waits for a handler in progress, so no buffer is delivered after Stop.
    CScopedLock lock(&m_lock);
    m_running = false;
    if (m_stream) m_stream->Stop();
}

bool CWaveInDevice::IsOpen() const { return m_stream != nullptr; }

bool CWaveInDevice::Close() {
    std::unique_ptr<CCaptureStream> stream;
    {
        CScopedLock lock(&m_lock);
        if (!m_stream) return false;
        // From here every callback finds the device closed: nothing is delivered or re-queued.
        stream = std::move(m_stream);
        m_running = false;
    }
    // Outside the lock: the audio thread may be waiting for it, and closing waits for that thread.
    stream->Stop();
    stream.reset();
    m_headers.reset();
    m_memory.reset();
    return true;
}

bool CWaveInDevice::OnData(const char* data, uint32_t bytes) {
    return !m_dataHandler || m_dataHandler(data, bytes, m_dataUser) != 0;
}

void CWaveInDevice::OnEvent(CaptureEvent event, const UserText& detail) {
    if (m_eventHandler) m_eventHandler(event, detail, m_eventUser);
}

void CWaveInDevice::OnBufferDone(CaptureBuffer& buffer) {
    CScopedLock lock(&m_lock);
    if (!m_stream) return;
    // Stopped: the buffer is not delivered but stays in circulation for a later Start.
    if (m_running && !OnData(buffer.data, buffer.recorded)) {
        m_running = false;
        m_stream->Stop();
    }
    m_stream->AddBuffer(&buffer);
}

void CWaveInDevice::OnCaptureEvent(CaptureEvent event, const UserText& detail) {
    CScopedLock lock(&m_lock);
    if (!m_stream) return;
    if (event == CaptureEvent::Overrun) ++m_overruns;
    if (event == CaptureEvent::Failed) m_failed = true;
    OnEvent(event, detail);
}
