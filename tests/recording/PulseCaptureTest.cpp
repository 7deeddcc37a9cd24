// Capture through a real PulseAudio server that the test starts: a tone played into a null sink
// with paplay comes back from the sink's monitor with its level and frequency; a source that
// disappears while recording is reported, not hung on.
#include "platform/PulseCapture.h"
#include "recording/WaveInDevice.h"
#include "tests/support/Eventually.h"
#include "tests/support/Process.h"
#include "tests/support/PulseServer.h"
#include "tests/support/ResultText.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Capture {
    std::mutex mutex;
    std::vector<int16_t> samples;
    std::atomic<bool> failed{false};

    static int Handle(const char* data, uint32_t bytes, void* user) {
        auto* self = static_cast<Capture*>(user);
        std::lock_guard lock(self->mutex);
        for (uint32_t i = 0; i + 1 < bytes; i += 2)
            self->samples.push_back(static_cast<int16_t>(static_cast<unsigned char>(data[i]) | data[i + 1] << 8));
        return 1;
    }
    static void Event(CaptureEvent event, const UserText&, void* user) {
        if (event == CaptureEvent::Failed) static_cast<Capture*>(user)->failed = true;
    }
};

// The numbered device of that name (the default entry may carry the same name).
int IdOf(const std::vector<CaptureDeviceInfo>& devices, const std::string& name) {
    for (const CaptureDeviceInfo& d : devices)
        if (d.id >= 0 && d.name == name) return d.id;
    return -2;
}

}  // namespace

class PulseCaptureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new TempDir;
        server = new PulseTestServer;
        std::string error;
        serverUp = server->Start(error);
        serverError = error;
        // An independent generator: 1.5 s of 1000 Hz at -6 dBFS, a whole number of cycles.
        tone = *dir / "tone.wav";
        toneMade = RunProcess("sox -D -n -r 44100 -c 2 -b 16 " + ShellQuote(tone) +
                              " synth 1.5 sine 1000 gain -6 2>&1").exitCode == 0;
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
        delete dir;
        dir = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(serverUp) << serverError;
        ASSERT_TRUE(toneMade);
    }

    // Captures the monitor while paplay plays the tone into the sink; returns channel 0.
    std::vector<int16_t> CaptureTone(int deviceId, int rate, int channels) {
        Capture capture;
        CWaveInDevice device;
        device.SetBackend(std::make_shared<CPulseCaptureBackend>());
        device.SetDataHandler(&Capture::Handle, &capture);
        device.SetEventHandler(&Capture::Event, &capture);
        device.SetFormat(rate, channels, 16);
        device.bufferDuration = 100;
        const Result<void> opened = device.Open(deviceId);
        EXPECT_TRUE(opened) << FailureText(opened);
        const Result<void> started = device.Start();
        EXPECT_TRUE(started) << FailureText(started);
        EXPECT_EQ(RunProcess("paplay --device=" + std::string(PulseTestServer::kSink) + " " + ShellQuote(tone) + " 2>&1")
                      .exitCode,
                  0);
        // paplay returns once the server has taken the last sample; the monitor passes it on after:
        // the tone's last loud sample followed by a fifth of a second of quiet.
        EXPECT_TRUE(Eventually([&] {
            std::lock_guard lock(capture.mutex);
            size_t loud = capture.samples.size();
            while (loud > 0 && std::abs(capture.samples[loud - 1]) < 1000) --loud;
            return loud > 0 && capture.samples.size() - loud >= static_cast<size_t>(rate * channels / 5);
        })) << "the tone's end never came through the monitor";
        device.Stop();
        EXPECT_TRUE(device.Close());
        EXPECT_FALSE(capture.failed);
        std::vector<int16_t> left;
        for (size_t i = 0; i < capture.samples.size(); i += channels) left.push_back(capture.samples[i]);
        return left;
    }

    // Peak in dBFS and the frequency from rising zero crossings over the middle of the tone.
    static void CheckTone(const std::vector<int16_t>& samples, int rate) {
        int peak = 0;
        for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
        ASSERT_GT(peak, 0) << "silence captured";
        EXPECT_NEAR(20 * std::log10(peak / 32767.0), -6.0, 0.2);
        size_t first = 0, last = samples.size();
        while (first < last && std::abs(samples[first]) < peak / 2) ++first;
        while (last > first && std::abs(samples[last - 1]) < peak / 2) --last;
        const double seconds = static_cast<double>(last - first) / rate;
        EXPECT_NEAR(seconds, 1.5, 0.1) << "the whole tone arrived";
        const size_t from = first + (last - first) / 10, to = last - (last - first) / 10;
        int rising = 0;
        size_t firstRise = 0, lastRise = 0;
        for (size_t i = from + 1; i < to; ++i)
            if (samples[i - 1] < 0 && samples[i] >= 0) {
                if (rising++ == 0) firstRise = i;
                lastRise = i;
            }
        ASSERT_GT(rising, 100);
        const double frequency = (rising - 1) * static_cast<double>(rate) / (lastRise - firstRise);
        EXPECT_NEAR(frequency, 1000.0, 2.0);
    }

    static PulseTestServer* server;
    static bool serverUp, toneMade;
    static std::string serverError, tone;
    static TempDir* dir;
};

PulseTestServer* PulseCaptureTest::server = nullptr;
bool PulseCaptureTest::serverUp = false;
bool PulseCaptureTest::toneMade = false;
std::string PulseCaptureTest::serverError;
std::string PulseCaptureTest::tone;
TempDir* PulseCaptureTest::dir = nullptr;

TEST_F(PulseCaptureTest, ListsTheMonitorSource) {
    EXPECT_TRUE(PulseServerAnswers());
    const std::vector<CaptureDeviceInfo> devices = CPulseCaptureBackend().ListDevices();
    const std::string monitor = std::string("Monitor of ") + PulseTestServer::kSinkDescription;
    ASSERT_GE(devices.size(), 2u);
    EXPECT_EQ(devices[0].id, -1);
    EXPECT_EQ(devices[0].name, monitor);  // the only source is the default one
    EXPECT_GE(IdOf(devices, monitor), 0);
    for (const CaptureDeviceInfo& d : devices) EXPECT_EQ(d.formats, 0xFFFFFu);
}

TEST_F(PulseCaptureTest, CapturesAToneFromTheMonitorAt44100Stereo) {
    const int id = IdOf(CPulseCaptureBackend().ListDevices(), std::string("Monitor of ") + PulseTestServer::kSinkDescription);
    ASSERT_GE(id, 0);
    CheckTone(CaptureTone(id, 44100, 2), 44100);
}

TEST_F(PulseCaptureTest, CapturesAToneFromTheDefaultSourceAt48000Mono) {
    CheckTone(CaptureTone(-1, 48000, 1), 48000);
}

TEST_F(PulseCaptureTest, ASourceThatDisappearsIsReported) {
    const ProcessResult loaded = RunProcess(
        "pactl load-module module-null-sink sink_name=vanishing sink_properties=device.description=Vanishing");
    ASSERT_EQ(loaded.exitCode, 0);
    const int id = IdOf(CPulseCaptureBackend().ListDevices(), "Monitor of Vanishing");
    ASSERT_GE(id, 0);
    Capture capture;
    CWaveInDevice device;
    device.SetBackend(std::make_shared<CPulseCaptureBackend>());
    device.SetDataHandler(&Capture::Handle, &capture);
    device.SetEventHandler(&Capture::Event, &capture);
    device.bufferDuration = 100;
    const Result<void> opened = device.Open(id);
    ASSERT_TRUE(opened) << FailureText(opened);
    ASSERT_TRUE(device.Start());
    ASSERT_EQ(RunProcess("pactl unload-module " + loaded.output).exitCode, 0);
    for (int i = 0; i < 600 && !capture.failed; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(capture.failed);
    EXPECT_TRUE(device.HasFailed());
    device.Stop();
    EXPECT_TRUE(device.Close());
    const Result<void> reopened = device.Open(id);
    ASSERT_FALSE(reopened) << "the id no longer names a source";
    EXPECT_FALSE(reopened.error().message.SourceText().empty());
}
