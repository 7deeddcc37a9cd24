// The shared stream machinery (queue, Stop, end of source), the deep ring and the backend choice,
// driven through the signal source.
#include "platform/CaptureBackend.h"
#include "platform/CaptureRing.h"
#include "platform/SignalCapture.h"
#include "platform/SignalGenerator.h"
#include "tests/platform/CaptureClient.h"
#include "tests/support/Eventually.h"

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

std::unique_ptr<CCaptureStream> OpenSignal(const std::string& choice, const CaptureFormat& format,
                                           TestCaptureClient& client) {
    Result<std::unique_ptr<CCaptureBackend>> backend = CreateCaptureBackend(choice);
    EXPECT_TRUE(backend) << backend.error().message.SourceText();
    if (!backend) return nullptr;
    Result<std::unique_ptr<CCaptureStream>> stream = (*backend)->Open(-1, format, client);
    EXPECT_TRUE(stream) << stream.error().message.SourceText();
    if (!stream) return nullptr;
    client.stream = stream->get();
    return *std::move(stream);
}

}  // namespace

TEST(CaptureRing, KeepsOrderAndReportsEachOverrunOnce) {
    CCaptureRing ring(8, 2);
    EXPECT_FALSE(ring.Write("abcd", 4));
    EXPECT_TRUE(ring.Write("efghij", 6));   // "ij" does not fit: an overrun begins
    EXPECT_FALSE(ring.Write("kl", 2));       // still full: the same overrun
    char out[8] = {};
    EXPECT_EQ(ring.Read(out, 5, 0), 4);      // whole frames only
    EXPECT_EQ(std::string(out, 4), "abcd");
    EXPECT_FALSE(ring.Write("mn", 2));       // fits: the overrun is over
    EXPECT_FALSE(ring.Write("op", 2));
    EXPECT_TRUE(ring.Write("qr", 2));        // a new overrun
    EXPECT_EQ(ring.Read(out, 8, 0), 8);
    EXPECT_EQ(std::string(out, 8), "efghmnop");
    EXPECT_EQ(ring.Read(out, 8, 0), 0);
}

TEST(CaptureRing, HandsOutWhatCameBeforeAFailure) {
    CCaptureRing ring(16, 1);
    ring.Write("xyz", 3);
    ring.Fail(UserText::Verbatim("gone"));
    char out[16];
    EXPECT_EQ(ring.Read(out, 16, 0), 3);
    EXPECT_EQ(ring.Read(out, 16, 0), -1);
    EXPECT_EQ(ring.FailReason().SourceText(), "gone");
}

TEST(CaptureBackendChoice, ByName) {
    auto signal = CreateCaptureBackend("signal:silence");
    ASSERT_TRUE(signal) << signal.error().message.SourceText();
    EXPECT_STREQ((*signal)->Name(), "signal");
    const std::vector<CaptureDeviceInfo> devices = (*signal)->ListDevices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].id, -1);
    EXPECT_EQ(devices[0].formats, 0xFFFFFu);
    EXPECT_STREQ((*CreateCaptureBackend("alsa"))->Name(), "alsa");
    EXPECT_STREQ((*CreateCaptureBackend("pulse"))->Name(), "pulse");
    for (const char* bad : {"oss", "signal:", "signal:tone=x"}) {
        const auto refused = CreateCaptureBackend(bad);
        ASSERT_FALSE(refused) << bad;
        EXPECT_EQ(refused.error().kind, FailureKind::kBadValue) << bad;
        EXPECT_FALSE(refused.error().message.SourceText().empty()) << bad;
    }
}

TEST(CaptureStream, RefusesBadBuffersAndFormats) {
    TestCaptureClient client;
    auto stream = OpenSignal("signal:silence,fast", {8000, 2, 16}, client);
    ASSERT_TRUE(stream);
    char memory[8];
    CaptureBuffer odd{memory, 6};  // one and a half frames
    EXPECT_FALSE(stream->AddBuffer(&odd));
    CaptureBuffer empty{memory, 0};
    EXPECT_FALSE(stream->AddBuffer(&empty));
    CaptureBuffer good{memory, 8};
    EXPECT_TRUE(stream->AddBuffer(&good));
    EXPECT_FALSE(stream->AddBuffer(&good));  // already queued

    auto backend = CreateCaptureBackend("signal:silence");
    ASSERT_TRUE(backend);
    for (CaptureFormat bad : {CaptureFormat{44100, 3, 16}, CaptureFormat{44100, 2, 24}, CaptureFormat{0, 2, 16}}) {
        const auto refused = (*backend)->Open(-1, bad, client);
        ASSERT_FALSE(refused);
        EXPECT_FALSE(refused.error().message.SourceText().empty());
    }
}

TEST(CaptureStream, FillsBuffersInQueueOrderAndEnds) {
    TestCaptureClient client;
    client.requeue = false;
    // 250 frames: two full buffers of 100 and a last one of 50, then the end.
    auto stream = OpenSignal("signal:tone=1000hz/-6db,length=31.25ms,fast", {8000, 1, 16}, client);
    ASSERT_TRUE(stream);
    std::vector<char> memory(600);
    CaptureBuffer buffers[3] = {{memory.data(), 200}, {memory.data() + 200, 200}, {memory.data() + 400, 200}};
    for (CaptureBuffer& b : buffers) ASSERT_TRUE(stream->AddBuffer(&b));
    ASSERT_TRUE(stream->Start());
    ASSERT_TRUE(client.WaitUntil([&] { return !client.events.empty(); }));
    ASSERT_EQ(client.deliveries.size(), 3u);
    EXPECT_EQ(client.deliveries[0].bytes.size(), 200u);
    EXPECT_EQ(client.deliveries[2].bytes.size(), 100u);
    EXPECT_EQ(client.events, std::vector<CaptureEvent>{CaptureEvent::Ended});
    EXPECT_FALSE(stream->Start());
    EXPECT_FALSE(stream->AddBuffer(&buffers[0]));
}

// A source the test paces: one piece of audio, then nothing while held.
class HeldSource final : public CCaptureStream {
public:
    explicit HeldSource(CCaptureClient& client) : CCaptureStream({8000, 1, 16}, client) { Launch(); }
    ~HeldSource() override { Close(); }

    // True once the piece is in a buffer and the source waits for more.
    bool WaitUntilHolding() {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(30), [this] { return m_holding; });
    }
    void Release() { m_held = false; }

protected:
    long Read(char* dst, uint32_t bytes) override {
        if (m_held && m_pieces > 0) {
            {
                std::lock_guard lock(m_mutex);
                m_holding = true;
            }
            m_changed.notify_all();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return 0;
        }
        ++m_pieces;
        const uint32_t n = std::min<uint32_t>(bytes, kPiece);
        std::memset(dst, 1, n);
        return n;
    }
    bool BeginCapture() override { return true; }
    void EndCapture() override {}

private:
    static constexpr uint32_t kPiece = 160;
    std::atomic<bool> m_held{true};
    int m_pieces = 0;  // audio thread only
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_holding = false;
};

TEST(CaptureStream, StopHandsBackThePartlyFilledBuffer) {
    TestCaptureClient client;
    client.requeue = false;
    HeldSource stream(client);
    client.stream = &stream;
    std::vector<char> memory(3 * 16000);
    CaptureBuffer buffers[3] = {{memory.data(), 16000}, {memory.data() + 16000, 16000}, {memory.data() + 32000, 16000}};
    for (CaptureBuffer& b : buffers) ASSERT_TRUE(stream.AddBuffer(&b));
    ASSERT_TRUE(stream.Start());
    ASSERT_TRUE(stream.WaitUntilHolding());
    stream.Stop();
    ASSERT_TRUE(client.WaitUntil([&] { return !client.deliveries.empty(); }));
    const TestCaptureClient::Delivery last = client.deliveries.back();
    EXPECT_EQ(last.bytes, std::string(160, '\1'));
    EXPECT_EQ(last.length, 16000u);
    // The empty buffers stay queued: a new run fills them whole.
    stream.Release();
    const size_t before = client.deliveries.size();
    ASSERT_TRUE(stream.Start());
    ASSERT_TRUE(client.WaitUntil([&] { return client.deliveries.size() > before; }));
    EXPECT_EQ(client.deliveries.back().bytes.size(), 16000u);
    stream.Close();
    EXPECT_TRUE(client.events.empty());
}

// The signal source that drops out: the stream fails exactly at its time, the input stays away
// for the gap on the clock (fast pacing too), then a new stream goes on from the end of the gap.
TEST(SignalDrop, FailsAtItsTimeStaysAwayForTheGapAndGoesOnAfterIt) {
    for (const char* bad : {"signal:silence,drop=5s", "signal:silence,drop=x@1s", "signal:silence,drop=1s@"}) {
        const auto refused = CreateCaptureBackend(bad);
        ASSERT_FALSE(refused) << bad;
        EXPECT_FALSE(refused.error().message.SourceText().empty()) << bad;
    }
    const std::string spec = "tone=997hz/-6db/0.3s,silence=0.2s,loop,fast,drop=1s@0.5s";
    const CaptureFormat format{8000, 1, 16};
    Result<std::unique_ptr<CCaptureBackend>> created = CreateCaptureBackend("signal:" + spec);
    ASSERT_TRUE(created) << created.error().message.SourceText();
    CCaptureBackend& backend = **created;
    CSignalGenerator generator;
    const Result<SignalSpec> parsed = ParseSignalSpec(spec);
    ASSERT_TRUE(parsed) << parsed.error().message.SourceText();
    ASSERT_TRUE(generator.Open(*parsed, 8000, 1, 16));
    std::string expected(8000 * 2 * 2, '\0');
    ASSERT_EQ(generator.Generate(expected.data(), 16000), 16000u);

    TestCaptureClient first;
    Result<std::unique_ptr<CCaptureStream>> opened = backend.Open(-1, format, first);
    ASSERT_TRUE(opened) << opened.error().message.SourceText();
    std::unique_ptr<CCaptureStream> stream = *std::move(opened);
    first.stream = stream.get();
    std::vector<char> memory(3 * 700);
    CaptureBuffer buffers[3] = {{memory.data(), 700}, {memory.data() + 700, 700}, {memory.data() + 1400, 700}};
    for (CaptureBuffer& b : buffers) ASSERT_TRUE(stream->AddBuffer(&b));
    ASSERT_TRUE(stream->Start());
    ASSERT_TRUE(first.WaitUntil([&] { return !first.events.empty(); }));
    EXPECT_EQ(first.events, std::vector<CaptureEvent>{CaptureEvent::Failed});
    EXPECT_NE(first.lastDetail.find("途絶えました"), std::string::npos) << first.lastDetail;
    EXPECT_TRUE(first.Joined() == expected.substr(0, 4000 * 2)) << "exactly 0.5 s, the last buffer part-filled";
    stream.reset();

    TestCaptureClient second;
    const auto away = backend.Open(-1, format, second);
    ASSERT_FALSE(away) << "away during the gap";
    EXPECT_EQ(away.error().kind, FailureKind::kMissing);
    EXPECT_NE(away.error().message.SourceText().find("途絶えています"), std::string::npos) << away.error().message.SourceText();
    // Back once the gap has passed on the clock.
    ASSERT_TRUE(Eventually([&] {
        opened = backend.Open(-1, format, second);
        return opened.has_value();
    })) << opened.error().message.SourceText();
    stream = *std::move(opened);
    second.stream = stream.get();
    CaptureBuffer again[3] = {{memory.data(), 700}, {memory.data() + 700, 700}, {memory.data() + 1400, 700}};
    for (CaptureBuffer& b : again) ASSERT_TRUE(stream->AddBuffer(&b));
    ASSERT_TRUE(stream->Start());
    ASSERT_TRUE(second.WaitUntil([&] { return second.deliveries.size() >= 6; }));
    stream->Close();
    const std::string after = second.Joined();
    ASSERT_GE(after.size(), 6u * 700);
    EXPECT_TRUE(after.substr(0, 6 * 700) == expected.substr(12000 * 2, 6 * 700)) << "on from 1.5 s, nothing repeated";
    EXPECT_TRUE(second.events.empty()) << "it drops once";
}
