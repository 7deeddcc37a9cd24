// The signal source as a capture device, paced in real time or as fast as the consumer takes it.
#include "platform/SignalCapture.h"

#include "platform/WaveFormats.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

class CSignalCaptureStream final : public CCaptureStream {
public:
    CSignalCaptureStream(const CaptureFormat& format, CCaptureClient& client, bool realTime, double clockRate,
                         std::shared_ptr<SignalDrop> drop)
        : CCaptureStream(format, client), m_realTime(realTime), m_clockRate(clockRate), m_drop(std::move(drop)) {}
    ~CSignalCaptureStream() override { Close(); }

    // Starts `startFrame` frames into the signal and fails at `failFrame` (none when negative).
    Result<void> Open(const SignalSpec& spec, int64_t startFrame, int64_t failFrame) {
        Result<void> opened = m_generator.Open(spec, Format().sampleRate, Format().channels, Format().bits);
        if (!opened) return opened;
        m_generator.Skip(static_cast<size_t>(startFrame));
        m_failFrame = failFrame;
        Launch();
        return {};
    }

protected:
    long Read(char* dst, uint32_t bytes) override {
        const uint32_t blockAlign = Format().BlockAlign();
        uint64_t frames = bytes / blockAlign;
        if (m_restart.exchange(false)) {
            m_runStart = std::chrono::steady_clock::now();
            m_runFrames = 0;
        }
        if (m_realTime) {
            const auto elapsed = std::chrono::steady_clock::now() - m_runStart;
            const uint64_t due = static_cast<uint64_t>(
                static_cast<double>(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()) *
                m_clockRate * Format().sampleRate / 1000000);
            if (due <= m_runFrames) {
                // Short naps keep Stop and Close prompt.
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                return 0;
            }
            frames = std::min(frames, due - m_runFrames);
        }
        if (m_failFrame >= 0) {
            const int64_t left = m_failFrame - static_cast<int64_t>(m_generator.FramesGenerated());
            if (left <= 0) {
                std::lock_guard lock(m_drop->mutex);
                m_drop->dropped = true;
                m_drop->droppedAt = std::chrono::steady_clock::now();
                m_failed = true;
                return kReadFailed;
            }
            frames = std::min<uint64_t>(frames, static_cast<uint64_t>(left));
        }
        const size_t got = m_generator.Generate(dst, frames);
        m_runFrames += got;
        if (got == 0 && m_generator.Ended()) return kReadEnded;
        return static_cast<long>(got * blockAlign);
    }

    bool BeginCapture() override {
        // The clock restarts on the audio thread, which may still be finishing a read of the last run.
        m_restart = true;
        return true;
    }
    void EndCapture() override {}
    UserText EndDetail() const override {
        return m_failed ? UserText("SignalCapture", "信号が途絶えました") : UserText("SignalCapture", "信号が終わりました");
    }

private:
    const bool m_realTime;
    const double m_clockRate;
    const std::shared_ptr<SignalDrop> m_drop;
    int64_t m_failFrame = -1;
    bool m_failed = false;  // audio thread's own; EndDetail runs there too
    CSignalGenerator m_generator;
    std::atomic<bool> m_restart{true};
    std::chrono::steady_clock::time_point m_runStart;
    uint64_t m_runFrames = 0;
};

}  // namespace

std::vector<CaptureDeviceInfo> CSignalCaptureBackend::ListDevices() {
    return {{-1, "Signal (" + m_spec.text + ")", kAllWaveFormats}};
}

Result<std::unique_ptr<CCaptureStream>> CSignalCaptureBackend::OpenStream(int, const std::string&,
                                                                          const CaptureFormat& format,
                                                                          CCaptureClient& client) {
    int64_t startFrame = 0;
    int64_t failFrame = -1;
    if (m_spec.dropAtSeconds >= 0) {
        const auto now = std::chrono::steady_clock::now();
        std::lock_guard lock(m_drop->mutex);
        // A drop at 0 s is an input that is not there at the first open.
        if (!m_drop->dropped && m_spec.dropAtSeconds == 0) {
            m_drop->dropped = true;
            m_drop->droppedAt = now;
        }
        if (!m_drop->dropped) {
            failFrame = std::llround(m_spec.dropAtSeconds * format.sampleRate);
        } else if (!m_drop->over) {
            if (now - m_drop->droppedAt < std::chrono::duration<double>(m_spec.dropGapSeconds))
                return KindFailure(FailureKind::kMissing, UserText("SignalCapture", "信号が途絶えています（%1）").Arg(m_spec.text));
            m_drop->over = true;
        }
        if (m_drop->over) startFrame = std::llround((m_spec.dropAtSeconds + m_spec.dropGapSeconds) * format.sampleRate);
    }
    auto stream = std::make_unique<CSignalCaptureStream>(format, client, m_spec.realTime, m_spec.clockRate, m_drop);
    if (Result<void> opened = stream->Open(m_spec, startFrame, failFrame); !opened) return std::move(opened).error();
    return std::unique_ptr<CCaptureStream>(std::move(stream));
}
