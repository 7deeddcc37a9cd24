// The ALSA backend against PCMs of the test's own ALSA configuration: a file plugin that plays a
// known raw signal over the null device (which runs as fast as it is read, so it also overruns).
#include "platform/AlsaCapture.h"
#include "platform/WaveFormats.h"
#include "tests/platform/CaptureClient.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

class AlsaCaptureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new TempDir;
        // Two seconds of 44100/2/16 that no two frames repeat in.
        for (uint32_t i = 0; i < 88200; ++i) {
            const uint16_t left = static_cast<uint16_t>(i * 7), right = static_cast<uint16_t>(~i);
            raw += {static_cast<char>(left & 0xFF), static_cast<char>(left >> 8), static_cast<char>(right & 0xFF),
                    static_cast<char>(right >> 8)};
        }
        WriteFileBytes(*dir / "known.raw", raw);
        WriteFileBytes(*dir / "asound.conf",
                       "pcm.!default { type null hint { show on description \"Null input\" } }\n"
                       "pcm.velsona_known {\n"
                       "  type file\n  slave.pcm { type null }\n  file \"/dev/null\"\n"
                       "  infile \"" + (*dir / "known.raw") + "\"\n  format \"raw\"\n"
                       "  hint { show on description \"Velsona known signal\" }\n}\n"
                       "pcm.velsona_broken { type hw card 99 hint { show on description \"No such card\" } }\n"
                       "pcm.velsona_dangling { type plug slave.pcm \"velsona_nowhere\"\n"
                       "  hint { show on description \"Dangling\" } }\n"
                       // No JACK server runs for the tests, so this one cannot open.
                       "pcm.velsona_jack { type jack capture_ports { 0 system:capture_1 1 system:capture_2 }\n"
                       "  hint { show on description \"JACK input\" } }\n");
        // Replaces the system configuration for this process: only our PCMs exist.
        setenv("ALSA_CONFIG_PATH", (*dir / "asound.conf").c_str(), 1);
        setenv("JACK_NO_START_SERVER", "1", 1);
    }
    static void TearDownTestSuite() { delete dir; }

    static int IdOf(const std::vector<CaptureDeviceInfo>& devices, const std::string& name) {
        for (const CaptureDeviceInfo& d : devices)
            if (d.name == name) return d.id;
        return -2;
    }

    // Queues `count` buffers of `length` bytes cut from `memory`.
    static void Queue(CCaptureStream& stream, std::vector<char>& memory, std::vector<CaptureBuffer>& buffers,
                      size_t count, uint32_t length) {
        memory.assign(count * length, 0);
        buffers.assign(count, {});
        for (size_t i = 0; i < count; ++i) {
            buffers[i] = {memory.data() + i * length, length};
            ASSERT_TRUE(stream.AddBuffer(&buffers[i]));
        }
    }

    static TempDir* dir;
    static std::string raw;
    CAlsaCaptureBackend backend;
};

TempDir* AlsaCaptureTest::dir = nullptr;
std::string AlsaCaptureTest::raw;

TEST_F(AlsaCaptureTest, ListsHintedPcmsWithProbedFormats) {
    const std::vector<CaptureDeviceInfo> devices = backend.ListDevices();
    ASSERT_EQ(devices.size(), 5u);
    EXPECT_EQ(devices[0].id, -1);
    EXPECT_EQ(devices[0].name, "Null input");
    const int known = IdOf(devices, "Velsona known signal");
    ASSERT_GE(known, 0);
    EXPECT_EQ(devices[known + 1].formats & WaveFormatFlagFor(44100, 2, 16), WaveFormatFlagFor(44100, 2, 16));
    const int broken = IdOf(devices, "No such card");
    ASSERT_GE(broken, 0);
    EXPECT_EQ(devices[broken + 1].formats, 0u);
}

TEST_F(AlsaCaptureTest, CapturesTheKnownSignalExactly) {
    const int id = IdOf(backend.ListDevices(), "Velsona known signal");
    TestCaptureClient client;
    auto opened = backend.Open(id, {44100, 2, 16}, client);
    ASSERT_TRUE(opened) << opened.error().message.SourceText();
    auto stream = *std::move(opened);
    client.stream = stream.get();
    std::vector<char> memory;
    std::vector<CaptureBuffer> buffers;
    Queue(*stream, memory, buffers, 5, 17640);
    ASSERT_TRUE(stream->Start());
    ASSERT_TRUE(client.WaitUntil([&] { return client.deliveries.size() >= 20; }));
    stream->Close();
    const std::string captured = client.Joined();
    ASSERT_GE(captured.size(), raw.size());
    EXPECT_TRUE(captured.compare(0, raw.size(), raw) == 0);
    for (const auto& d : client.deliveries) EXPECT_EQ(d.bytes.size(), 17640u);
}

TEST_F(AlsaCaptureTest, ASlowHandlerOverrunsAndIsTold) {
    TestCaptureClient client;
    client.handlerDelay = std::chrono::milliseconds(50);
    auto opened = backend.Open(-1, {8000, 1, 8}, client);
    ASSERT_TRUE(opened) << opened.error().message.SourceText();
    auto stream = *std::move(opened);
    client.stream = stream.get();
    std::vector<char> memory;
    std::vector<CaptureBuffer> buffers;
    Queue(*stream, memory, buffers, 5, 800);
    ASSERT_TRUE(stream->Start());
    ASSERT_TRUE(client.WaitUntil([&] {
        for (CaptureEvent e : client.events)
            if (e == CaptureEvent::Overrun) return true;
        return false;
    }));
    stream->Close();
    EXPECT_GE(stream->OverrunCount(), 1u);
    EXPECT_EQ(client.Count(CaptureEvent::Failed), 0u);
}

// The libraries' own complaints (ALSA's, its JACK plugin's) stay off stderr and end up in our reason.
TEST_F(AlsaCaptureTest, UnopenableDevicesFailWithAReason) {
    testing::internal::CaptureStderr();
    const std::vector<CaptureDeviceInfo> devices = backend.ListDevices();
    TestCaptureClient client;
    // Why device `id` did not open; empty when it did.
    auto refusal = [&](int id) {
        const auto opened = backend.Open(id, {44100, 2, 16}, client);
        return opened ? std::string() : opened.error().message.SourceText();
    };
    const std::string error = refusal(IdOf(devices, "Dangling"));
    const std::string jackError = refusal(IdOf(devices, "JACK input"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(error.find("ALSA: Unknown PCM velsona_nowhere"), std::string::npos) << error;
    EXPECT_NE(jackError.find("ALSA: JACK: "), std::string::npos) << jackError;
    const std::string noCard = refusal(IdOf(devices, "No such card"));
    EXPECT_NE(noCard.find("velsona_broken"), std::string::npos) << noCard;
    EXPECT_FALSE(refusal(static_cast<int>(devices.size())).empty());
}
