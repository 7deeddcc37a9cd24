// CWaveInDevice over the signal source: buffer lengths, what reaches the handler and when, and
// that nothing reaches it once Stop returned or Close began.
#include "platform/SignalCapture.h"
#include "recording/WaveInDevice.h"
#include "tests/support/ResultText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/support/ResultValue.h"

namespace {

std::shared_ptr<CCaptureBackend> Signal(const std::string& text) {
    return std::make_shared<CSignalCaptureBackend>(ValueOrFail(ParseSignalSpec(text)));
}

// Collects what the device hands over; the handler answers `keepGoing` until `stopAfter` buffers.
struct Recorder {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<uint32_t> sizes;
    std::string bytes;
    std::vector<CaptureEvent> events;
    size_t stopAfter = SIZE_MAX;
    std::atomic<bool> closed{false};
    std::atomic<int> lateCalls{0};

    static int Handle(const char* data, uint32_t size, void* user) {
        auto* self = static_cast<Recorder*>(user);
        if (self->closed) ++self->lateCalls;
        std::lock_guard lock(self->mutex);
        self->sizes.push_back(size);
        self->bytes.append(data, size);
        self->changed.notify_all();
        return self->sizes.size() < self->stopAfter;
    }
    static void Event(CaptureEvent event, const UserText&, void* user) {
        auto* self = static_cast<Recorder*>(user);
        std::lock_guard lock(self->mutex);
        self->events.push_back(event);
        self->changed.notify_all();
    }
    bool WaitForBuffers(size_t n) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(30), [&] { return sizes.size() >= n; });
    }
    bool WaitForEvent() {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(30), [&] { return !events.empty(); });
    }
    size_t Count() {
        std::lock_guard lock(mutex);
        return sizes.size();
    }
    void Attach(CWaveInDevice& device) {
        device.SetDataHandler(&Handle, this);
        device.SetEventHandler(&Event, this);
    }
    // Opens the default device of a signal source in the device's current format and starts it.
    testing::AssertionResult Run(CWaveInDevice& device, const std::string& signal, int bufferDuration) {
        device.SetBackend(Signal(signal));
        Attach(device);
        device.bufferDuration = bufferDuration;
        Result<void> running = device.Open(-1);
        if (running) running = device.Start();
        if (running) return testing::AssertionSuccess();
        return testing::AssertionFailure() << running.error().message.SourceText();
    }
};

// What the generator makes of `text` in `format`, for comparing with a capture.
std::string Regenerate(const std::string& text, const PcmFormat& format, size_t bytes) {
    CSignalGenerator generator;
    const Result<void> opened =
        generator.Open(ValueOrFail(ParseSignalSpec(text)), format.sampleRate, format.channels, format.bitsPerSample);
    EXPECT_TRUE(opened) << opened.error().message.SourceText();
    std::string out(bytes, '\0');
    out.resize(generator.Generate(out.data(), bytes / format.BlockSize()) * format.BlockSize());
    return out;
}

uint32_t OpenedLength(int rate, int channels, int bits, int duration) {
    CWaveInDevice device;
    device.SetBackend(Signal("silence"));
    device.SetFormat(rate, channels, bits);
    device.bufferDuration = duration;
    const Result<void> opened = device.Open(-1);
    EXPECT_TRUE(opened) << FailureText(opened);
    return device.BufferLength();
}

}  // namespace

TEST(WaveInDevice, BufferLengths) {
    EXPECT_EQ(OpenedLength(44100, 2, 16, 100), 17640u);
    EXPECT_EQ(OpenedLength(11025, 2, 16, 200), 8820u);
    EXPECT_EQ(OpenedLength(48000, 1, 16, 100), 9600u);
    EXPECT_EQ(OpenedLength(96000, 2, 16, 100), 38400u);
    // 1102.5 frames would start every other buffer inside a sample: cut to whole frames.
    EXPECT_EQ(OpenedLength(11025, 1, 16, 100), 2204u);

    CWaveInDevice device;
    device.SetBackend(Signal("silence"));
    EXPECT_EQ(device.bufferDuration, 250);
    EXPECT_EQ(device.Format().sampleRate, 44100);
    EXPECT_EQ(device.Format().channels, 2);
    EXPECT_EQ(device.Format().bitsPerSample, 16);
    EXPECT_EQ(device.DeviceId(), -1);
    ASSERT_TRUE(device.Open(-1));
    EXPECT_EQ(device.BufferLength(), 44100u);
}

TEST(WaveInDevice, RefusesOddSettingsWithAReason) {
    const struct {
        int rate, channels, bits, duration;
    } cases[] = {{44100, 2, 24, 100}, {44100, 0, 16, 100}, {-1, 2, 16, 100},
                 {44100, 2, 16, 0},   {44100, 2, 16, -5},  {96000, 2, 16, 200000}};
    for (const auto& c : cases) {
        CWaveInDevice device;
        device.SetBackend(Signal("silence"));
        device.SetFormat(c.rate, c.channels, c.bits);
        device.bufferDuration = c.duration;
        const Result<void> opened = device.Open(-1);
        ASSERT_FALSE(opened) << c.rate << " " << c.channels << " " << c.bits << " " << c.duration;
        EXPECT_FALSE(device.IsOpen());
        EXPECT_FALSE(opened.error().message.SourceText().empty());
        EXPECT_EQ(device.BufferLength(), 0u);
    }
}

TEST(WaveInDevice, DeliversEverySampleInOrder) {
    const std::string text = "tone=1000hz/-6db/300ms,silence=200ms,tone=440hz/-1db/150ms,loop,length=5s,fast";
    Recorder recorder;
    CWaveInDevice device;
    device.SetFormat(44100, 2, 16);
    ASSERT_TRUE(recorder.Run(device, text, 100));
    ASSERT_TRUE(recorder.WaitForEvent());
    device.Stop();
    EXPECT_TRUE(device.Close());
    EXPECT_EQ(recorder.events, std::vector<CaptureEvent>{CaptureEvent::Ended});
    EXPECT_EQ(recorder.sizes, std::vector<uint32_t>(50, 17640u));
    EXPECT_TRUE(recorder.bytes == Regenerate(text, {44100, 2, 16}, 50 * 17640));
}

TEST(WaveInDevice, ALastShortBufferIsDeliveredBeforeTheEnd) {
    Recorder recorder;
    CWaveInDevice device;
    ASSERT_TRUE(recorder.Run(device, "tone=440hz,length=250ms,fast", 100));
    ASSERT_TRUE(recorder.WaitForEvent());
    EXPECT_EQ(recorder.sizes, (std::vector<uint32_t>{17640, 17640, 8820}));
}

TEST(WaveInDevice, AHandlerReturningFalseStopsCapture) {
    Recorder recorder;
    recorder.stopAfter = 3;
    CWaveInDevice device;
    ASSERT_TRUE(recorder.Run(device, "silence,fast", 100));
    ASSERT_TRUE(recorder.WaitForBuffers(3));
    // Unpaced, the source would have filled many more buffers by now.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(recorder.Count(), 3u);
    EXPECT_FALSE(device.IsRunning());
    EXPECT_TRUE(device.IsOpen());
    EXPECT_TRUE(device.Close());
    EXPECT_EQ(recorder.Count(), 3u);
}

TEST(WaveInDevice, NothingIsDeliveredAfterStopNotEvenThePartBuffer) {
    Recorder recorder;
    CWaveInDevice device;
    ASSERT_TRUE(recorder.Run(device, "silence,realtime", 100));
    ASSERT_TRUE(recorder.WaitForBuffers(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    device.Stop();
    const size_t atStop = recorder.Count();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(recorder.Count(), atStop);
    EXPECT_TRUE(device.Close());
    EXPECT_EQ(recorder.Count(), atStop);
    for (uint32_t size : recorder.sizes) EXPECT_EQ(size, 17640u);

    // Still five buffers in circulation: a second run delivers whole buffers again.
    ASSERT_TRUE(device.Open(-1));
    ASSERT_TRUE(device.Start());
    device.Stop();
    ASSERT_TRUE(device.Start());
    ASSERT_TRUE(recorder.WaitForBuffers(atStop + 6));
    device.Stop();
    for (uint32_t size : recorder.sizes) EXPECT_EQ(size, 17640u);
}

TEST(WaveInDevice, CloseOfANeverOpenedDeviceReturnsFalse) {
    CWaveInDevice device;
    EXPECT_FALSE(device.Close());
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(device.Start());
    device.Stop();
    device.SetBackend(Signal("silence"));
    ASSERT_TRUE(device.Open(-1));
    EXPECT_TRUE(device.Close());
    EXPECT_FALSE(device.Close());
}

TEST(WaveInDevice, OpenOnAnOpenDeviceClosesItFirst) {
    const std::string text = "tone=1000hz/-6db,length=1s,fast";
    Recorder recorder;
    CWaveInDevice device;
    ASSERT_TRUE(recorder.Run(device, text, 100));
    ASSERT_TRUE(recorder.WaitForBuffers(1));
    device.SetFormat(48000, 1, 16);
    ASSERT_TRUE(device.Open(5));  // the signal answers to every id
    EXPECT_EQ(device.DeviceId(), 5);
    EXPECT_EQ(device.BufferLength(), 9600u);
    EXPECT_FALSE(device.IsRunning());
    {
        std::lock_guard lock(recorder.mutex);
        recorder.sizes.clear();
        recorder.bytes.clear();
        recorder.events.clear();
    }
    ASSERT_TRUE(device.Start());
    ASSERT_TRUE(recorder.WaitForEvent());
    EXPECT_EQ(recorder.sizes, std::vector<uint32_t>(10, 9600u));
    EXPECT_TRUE(recorder.bytes == Regenerate(text, {48000, 1, 16}, 96000));
}

// The choice of backend is the front ends'; the engine chooses by what answers.
TEST(WaveInDevice, WithoutABackendTheEnvironmentIsNotAsked) {
    setenv("VELSONA_CAPTURE", "nonsense", 1);
    CWaveInDevice device;
    const Result<void> opened = device.Open(-1);
    EXPECT_EQ(FailureText(opened).find("nonsense"), std::string::npos) << FailureText(opened);
    device.Close();
    unsetenv("VELSONA_CAPTURE");
}

// Run under the sanitizers: a callback after Close began would touch freed buffers or a
// destroyed device, and `lateCalls` counts any that reach the handler after Close returned.
TEST(WaveInDevice, NoCallbackOnceCloseHasBegun) {
    for (int round = 0; round < 40; ++round) {
        Recorder recorder;
        {
            CWaveInDevice device;
            ASSERT_TRUE(recorder.Run(device, "tone=1000hz,fast", 10));
            ASSERT_TRUE(recorder.WaitForBuffers(1));
            std::this_thread::sleep_for(std::chrono::microseconds(round * 250));
            if (round % 2) device.Stop();  // half the rounds close a running device
            EXPECT_TRUE(device.Close());
            recorder.closed = true;
            if (round % 3 == 0) continue;  // destroy straight after Close
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_EQ(recorder.lateCalls, 0) << round;
    }
}
