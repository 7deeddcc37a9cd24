// The signal spec and the generator's exact, repeatable output.
#include "platform/SignalGenerator.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

#include <gtest/gtest.h>

namespace {

std::string Generate(const std::string& text, int rate, int channels, int bits, size_t chunkFrames, size_t maxFrames) {
    const Result<SignalSpec> spec = ParseSignalSpec(text);
    if (!spec) {
        ADD_FAILURE() << spec.error().message.SourceText();
        return {};
    }
    CSignalGenerator generator;
    const Result<void> opened = generator.Open(*spec, rate, channels, bits);
    EXPECT_TRUE(opened) << opened.error().message.SourceText();
    const size_t blockAlign = channels * bits / 8;
    std::string out;
    std::string chunk(chunkFrames * blockAlign, '\0');
    while (out.size() < maxFrames * blockAlign) {
        const size_t got = generator.Generate(chunk.data(), chunkFrames);
        out.append(chunk.data(), got * blockAlign);
        if (got < chunkFrames) {
            EXPECT_TRUE(generator.Ended());
            break;
        }
    }
    return out;
}

int16_t SampleAt(const std::string& bytes, size_t index) {
    return static_cast<int16_t>(static_cast<unsigned char>(bytes[2 * index]) | bytes[2 * index + 1] << 8);
}

}  // namespace

TEST(SignalSpec, ParsesEveryItem) {
    Result<SignalSpec> parsed = ParseSignalSpec("tone=1000hz/-6db/2s,silence=250ms,file=/tmp/a.wav,loop,length=1h,fast");
    ASSERT_TRUE(parsed) << parsed.error().message.SourceText();
    SignalSpec spec = *parsed;
    ASSERT_EQ(spec.segments.size(), 3u);
    EXPECT_EQ(spec.segments[0].kind, SignalSegment::Kind::Tone);
    EXPECT_DOUBLE_EQ(spec.segments[0].frequency, 1000);
    EXPECT_DOUBLE_EQ(spec.segments[0].levelDb, -6);
    EXPECT_DOUBLE_EQ(spec.segments[0].seconds, 2);
    EXPECT_DOUBLE_EQ(spec.segments[1].seconds, 0.25);
    EXPECT_EQ(spec.segments[2].path, "/tmp/a.wav");
    EXPECT_TRUE(spec.loop);
    EXPECT_DOUBLE_EQ(spec.lengthSeconds, 3600);
    EXPECT_FALSE(spec.realTime);

    parsed = ParseSignalSpec("TONE=440,silence");
    ASSERT_TRUE(parsed) << parsed.error().message.SourceText();
    spec = *parsed;
    EXPECT_DOUBLE_EQ(spec.segments[0].levelDb, -6);
    EXPECT_LT(spec.segments[0].seconds, 0);
    EXPECT_LT(spec.segments[1].seconds, 0);
    EXPECT_TRUE(spec.realTime);
    EXPECT_DOUBLE_EQ(spec.clockRate, 1);

    // A clock that runs fast or slow, as a sound card's may.
    for (const auto& [drift, rate] : {std::pair{"drift=+5%", 1.05}, {"drift=-50ppm", 0.99995}, {"drift=1%", 1.01}}) {
        parsed = ParseSignalSpec(std::string("silence,") + drift);
        ASSERT_TRUE(parsed) << drift;
        EXPECT_DOUBLE_EQ(parsed->clockRate, rate) << drift;
    }
}

TEST(SignalSpec, RejectsBadText) {
    for (const char* text : {"", "tone=abc", "tone=1000hz/+3db", "tone=1000/-6/2s/9", "silence=5", "silence=-1s",
                             "bogus", "loop", "length=1h", "fast=1", "file=",
                             "silence,drift=5", "silence,drift=-60%", "silence,drift"}) {
        const Result<SignalSpec> spec = ParseSignalSpec(text);
        ASSERT_FALSE(spec) << text;
        EXPECT_EQ(spec.error().kind, FailureKind::kBadValue) << text;
        EXPECT_FALSE(spec.error().message.SourceText().empty()) << text;
    }
}

TEST(SignalGenerator, ToneHasItsLevelAndFrequency) {
    const std::string bytes = Generate("tone=1000hz/-6db", 48000, 1, 16, 4800, 48000);
    ASSERT_EQ(bytes.size(), 96000u);
    int peak = 0, rising = 0;
    for (size_t i = 0; i < 48000; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(SampleAt(bytes, i))));
        if (i > 0 && SampleAt(bytes, i - 1) < 0 && SampleAt(bytes, i) >= 0) ++rising;
    }
    EXPECT_EQ(peak, 16422);  // round(32767 * 10^(-6/20)); 48 samples a cycle hit the crest
    EXPECT_EQ(rising, 999);  // one second of 1000 Hz starting at phase 0
    EXPECT_EQ(SampleAt(bytes, 0), 0);
}

TEST(SignalGenerator, SameBytesHoweverItIsCut) {
    const char* text = "tone=997.5hz/-3db/30ms,silence=7ms,tone=440hz/-20db/11ms,loop,length=1s";
    const std::string whole = Generate(text, 44100, 2, 16, 44100, 44100);
    EXPECT_EQ(whole.size(), 44100u * 4);
    EXPECT_EQ(Generate(text, 44100, 2, 16, 37, 44100), whole);
    EXPECT_EQ(Generate(text, 44100, 2, 16, 1, 44100), whole);
}

TEST(SignalGenerator, SegmentsLoopAndStopAtTheLength) {
    // 80 tone frames, 40 silent, repeated; 47 ms at 8 kHz is 376 frames.
    const std::string bytes = Generate("tone=1000hz/0db/10ms,silence=5ms,loop,length=47ms", 8000, 1, 16, 1000, 1000);
    ASSERT_EQ(bytes.size(), 376u * 2);
    for (size_t cycle = 0; cycle < 3; ++cycle) {
        EXPECT_EQ(SampleAt(bytes, cycle * 120 + 2), 32767) << cycle;  // 1000 Hz at 8 kHz peaks on frame 2
        for (size_t i = 80; i < 120; ++i) ASSERT_EQ(SampleAt(bytes, cycle * 120 + i), 0) << cycle << " " << i;
    }
}

TEST(SignalGenerator, EightBitAndStereo) {
    const std::string silence = Generate("silence=10ms", 8000, 2, 8, 50, 1000);
    EXPECT_EQ(silence, std::string(160, '\x80'));
    const std::string tone = Generate("tone=1000hz/0db/1ms", 8000, 2, 8, 50, 1000);
    ASSERT_EQ(tone.size(), 16u);
    EXPECT_EQ(static_cast<unsigned char>(tone[4]), 255);  // frame 2: 32767 >> 8 + 128, both channels
    EXPECT_EQ(static_cast<unsigned char>(tone[5]), 255);
}

TEST(SignalGenerator, PlaysWavFiles) {
    TempDir dir;
    ASSERT_TRUE(WriteWav16(dir / "mono.wav", 8000, 1, {100, -200, 300}));
    ASSERT_TRUE(WriteWav16(dir / "stereo.wav", 8000, 2, {100, 300, -7, -9}));
    const std::string looped = Generate("file=" + (dir / "mono.wav") + ",loop,length=0.75ms", 8000, 2, 16, 4, 100);
    ASSERT_EQ(looped.size(), 6u * 4);
    const int16_t expected[] = {100, 100, -200, -200, 300, 300, 100, 100, -200, -200, 300, 300};
    for (size_t i = 0; i < 12; ++i) EXPECT_EQ(SampleAt(looped, i), expected[i]) << i;
    const std::string mixed = Generate("file=" + (dir / "stereo.wav"), 8000, 1, 16, 4, 100);
    ASSERT_EQ(mixed.size(), 4u);
    EXPECT_EQ(SampleAt(mixed, 0), 200);
    EXPECT_EQ(SampleAt(mixed, 1), -8);
}

TEST(SignalGenerator, RefusesWhatItCannotPlay) {
    TempDir dir;
    ASSERT_TRUE(WriteWav16(dir / "a.wav", 22050, 1, {1, 2}));
    WriteFileBytes(dir / "junk.wav", "not a wav file at all");
    for (const std::string& text : {"file=" + (dir / "a.wav"), "file=" + (dir / "junk.wav"), "file=" + (dir / "none.wav"),
                                    std::string("tone=5000hz"), std::string("silence=0s,loop")}) {
        const Result<SignalSpec> spec = ParseSignalSpec(text);
        ASSERT_TRUE(spec) << text;
        CSignalGenerator generator;
        const Result<void> opened = generator.Open(*spec, 8000, 1, 16);
        ASSERT_FALSE(opened) << text;
        EXPECT_FALSE(opened.error().message.SourceText().empty()) << text;
    }
}
