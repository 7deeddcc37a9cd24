// The signal source as a capture device, paced in real time or as fast as the consumer takes it.
#include "platform/SignalCapture.h"

#include "platform/WaveFormats.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

class CSignalCaptureStream final : public CCaptureStream {
public:
    CSignalCaptureStream(const CaptureFormat& format, CCaptureClient& client, bool realTime)
        : CCaptureStream(format, client), m_realTime(realTime) {}
    ~CSignalCaptureStream() override { Close(); }

    bool Open(const SignalSpec& spec, std::string& error) {
        if (!m_generator.Open(spec, Format().sampleRate, Format().channels, Format().bits, error)) return false;
        Launch();
        return true;
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
                std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()) *
                Format().sampleRate / 1000000;
            if (due <= m_runFrames) {
                // Short naps keep Stop and Close prompt.
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                return 0;
            }
            frames = std::min(frames, due - m_runFrames);
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
    std::string EndDetail() const override { return "the signal has ended"; }

private:
    const bool m_realTime;
    CSignalGenerator m_generator;
    std::atomic<bool> m_restart{true};
    std::chrono::steady_clock::time_point m_runStart;
    uint64_t m_runFrames = 0;
};

}  // namespace

std::vector<CaptureDeviceInfo> CSignalCaptureBackend::ListDevices() {
    return {{-1, "Signal (" + m_spec.text + ")", kAllWaveFormats}};
}

std::unique_ptr<CCaptureStream> CSignalCaptureBackend::OpenStream(int, const CaptureFormat& format, CCaptureClient& client,
                                                            std::string& error) {
    auto stream = std::make_unique<CSignalCaptureStream>(format, client, m_spec.realTime);
    if (!stream->Open(m_spec, error)) return nullptr;
    return stream;
}
