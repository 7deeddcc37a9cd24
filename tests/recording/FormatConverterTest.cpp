// CFormatConverter: pass-through, 200 ms blocks, interpolation, channel mixing and rounding, the
// final partial block, an hour without drift, and real WAV files behind it.
#include "recording/FormatConverter.h"

#include <gtest/gtest.h>

#include "audiofile/WavWriter.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

// The writer behind the converter: keeps every Write it is handed (or only counts, for long runs).
class SinkWriter : public CAudioWriter {
public:
    struct Record {
        std::vector<int> writeSizes;
        std::vector<int16_t> samples;
        std::vector<int16_t> firstSamples;  // of every Write
        int64_t sampleCount = 0;
        int begins = 0, ends = 0, closes = 0;
        bool destroyed = false;
    };
    explicit SinkWriter(Record& record, bool keepSamples = true) : CAudioWriter(OutputFormat::Wav), m_record(record), m_keep(keepSamples) {}
    ~SinkWriter() override { m_record.destroyed = true; }

    Result<void> Begin() override {
        ++m_record.begins;
        return CAudioWriter::Begin();
    }
    Result<void> EndStream() override {
        ++m_record.ends;
        return CAudioWriter::EndStream();
    }
    Result<void> Close() override {
        ++m_record.closes;
        return CAudioWriter::Close();
    }
    int failAfterWrites = -1;

protected:
    Result<void> WriteBlock(const void* data, int length) override {
        if (static_cast<int>(m_record.writeSizes.size()) == failAfterWrites)
            return KindFailure(FailureKind::kSystem, UserText::Verbatim("the sink refused"));
        m_record.writeSizes.push_back(length);
        m_record.sampleCount += length / 2;
        const auto* s = static_cast<const int16_t*>(data);
        if (length >= 2) m_record.firstSamples.push_back(s[0]);
        if (m_keep) m_record.samples.insert(m_record.samples.end(), s, s + length / 2);
        return {};
    }

private:
    Record& m_record;
    bool m_keep;
};

struct Formats {
    int inRate, inChannels, outRate, outChannels;
};

// A converter around a sink, begun with the given capture and output formats.
std::unique_ptr<CFormatConverter> Begun(SinkWriter::Record& record, Formats f, bool keepSamples = true) {
    auto converter = std::make_unique<CFormatConverter>(std::make_unique<SinkWriter>(record, keepSamples));
    EXPECT_TRUE(converter->Open("unused"));
    EXPECT_TRUE(converter->SetFormat(16, f.outRate, f.outChannels, 16, -1, -1));
    converter->SetInputFormat(f.inRate, f.inChannels, 16);
    EXPECT_TRUE(converter->Begin());
    return converter;
}

void Feed(CFormatConverter& converter, const std::vector<int16_t>& pcm) {
    ASSERT_TRUE(converter.Write(pcm.data(), static_cast<int>(pcm.size() * 2)));
}

// The rounding of the conversion, stated independently: halves up above zero, toward zero below.
int16_t MeanOf(int a, int b) {
    const int sum = a + b;
    return static_cast<int16_t>(sum >= 0 ? (sum + 1) / 2 : sum / 2);
}

}  // namespace

TEST(FormatConverter, EqualFormatsPassEveryBufferUnchangedAndUnsplit) {
    SinkWriter::Record record;
    auto converter = Begun(record, {44100, 2, 44100, 2});
    EXPECT_FALSE(converter->IsConverting());
    const auto first = MakePcm(4410, 2, 0), odd = MakePcm(1234, 2, 4410);
    Feed(*converter, first);
    Feed(*converter, odd);
    EXPECT_EQ(record.writeSizes, std::vector<int>({4410 * 4, 1234 * 4}));
    ASSERT_TRUE(converter->End());
    EXPECT_EQ(record.samples, MakePcm(4410 + 1234, 2));
    EXPECT_EQ(record.begins, 1);
    EXPECT_EQ(record.ends, 1);
}

TEST(FormatConverter, Resamples44100To32000InBlocksOf200Milliseconds) {
    SinkWriter::Record record;
    auto converter = Begun(record, {44100, 2, 32000, 2});
    ASSERT_TRUE(converter->IsConverting());
    // Ten capture buffers of 100 ms; a block that is exactly full waits for the next write.
    for (int i = 0; i < 10; ++i) Feed(*converter, MakePcm(4410, 2, i * 4410));
    EXPECT_EQ(record.writeSizes, std::vector<int>(4, 25600));
    ASSERT_TRUE(converter->End());
    ASSERT_EQ(record.writeSizes, std::vector<int>(5, 25600)) << "8820 frames in, 6400 frames out, each block";
    // Every block starts afresh at its own first input frame.
    for (int block = 0; block < 5; ++block) {
        EXPECT_EQ(record.samples[block * 12800], PcmSample(block * 8820, 0));
        EXPECT_EQ(record.samples[block * 12800 + 1], PcmSample(block * 8820, 1));
    }
}

TEST(FormatConverter, Doubling11025To22050CopiesAndAveragesNeighbours) {
    SinkWriter::Record record;
    auto converter = Begun(record, {11025, 1, 22050, 1});
    Feed(*converter, MakePcm(2205, 1));  // exactly one block
    ASSERT_TRUE(converter->End());
    ASSERT_EQ(record.samples.size(), 4410u);
    for (int i = 0; i < 4410; ++i) {
        const int m = i / 2;
        const int16_t expected = i % 2 == 0 || m == 2204 ? PcmSample(m, 0) : MeanOf(PcmSample(m, 0), PcmSample(m + 1, 0));
        ASSERT_EQ(record.samples[i], expected) << "output frame " << i;
    }
}

TEST(FormatConverter, StereoToMonoRoundsHalvesUpAndNegativesTowardZero) {
    SinkWriter::Record record;
    auto converter = Begun(record, {44100, 2, 44100, 1});
    Feed(*converter, {3, 0, -3, 0, -32768, -32768, 32767, 32767, 5, -4, -5, 4, 2, 2});
    ASSERT_TRUE(converter->End());
    EXPECT_EQ(record.samples, std::vector<int16_t>({2, -1, -32768, 32767, 1, 0, 2}));
}

TEST(FormatConverter, MonoToStereoFillsBothChannels) {
    SinkWriter::Record record;
    auto converter = Begun(record, {22050, 1, 22050, 2});
    Feed(*converter, {7, -32768, 32767});
    ASSERT_TRUE(converter->End());
    EXPECT_EQ(record.samples, std::vector<int16_t>({7, 7, -32768, -32768, 32767, 32767}));
}

TEST(FormatConverter, FinalPartialBlockYieldsOnlyFramesInsideIt) {
    // 48000 -> 32000: output frame i reads input position 1.5 i.
    SinkWriter::Record record;
    auto converter = Begun(record, {48000, 2, 32000, 1});
    Feed(*converter, MakePcm(9600 + 1001, 2));
    EXPECT_EQ(record.sampleCount, 6400);
    ASSERT_TRUE(converter->End());
    ASSERT_EQ(record.sampleCount, 6400 + 668) << "positions 0 .. 1000.5 lie inside 1001 frames";
    auto mono = [](int64_t frame) { return MeanOf(PcmSample(frame, 0), PcmSample(frame, 1)); };
    // The last one sits on the block's last frame and is taken as it is.
    EXPECT_EQ(record.samples.back(), mono(9600 + 1000));
    EXPECT_EQ(record.samples[6400], mono(9600));

    // 44100 -> 32000 with 1000 frames left: positions below 1000 are i < 725.6.
    SinkWriter::Record other;
    auto second = Begun(other, {44100, 1, 32000, 1});
    Feed(*second, MakePcm(1000, 1));
    ASSERT_TRUE(second->End());
    EXPECT_EQ(other.sampleCount, 726);
}

// An hour of capture converted in 100 ms buffers: the output holds exactly one hour of frames
// plus the frames of the last partial block, whatever the buffer size.
TEST(FormatConverter, AnHourAt48000StereoBecomesExactly32000MonoFrames) {
    SinkWriter::Record record;
    auto converter = Begun(record, {48000, 2, 32000, 1}, false);
    std::vector<int16_t> buffer(4800 * 2);
    int64_t frame = 0;
    for (int i = 0; i < 36000; ++i, frame += 4800) {
        // Only the first frame of each block is checked below; the rest may repeat.
        if (frame % 9600 == 0) FillPcm(buffer.data(), 1, 2, frame);
        Feed(*converter, buffer);
    }
    FillPcm(buffer.data(), 1001, 2, frame);
    ASSERT_TRUE(converter->Write(buffer.data(), 1001 * 4));
    ASSERT_TRUE(converter->End());
    EXPECT_EQ(record.sampleCount, int64_t{32000} * 3600 + 668);
    ASSERT_EQ(record.writeSizes.size(), 18001u);
    for (int block = 0; block < 18001; ++block) {
        if (block < 18000) {
            ASSERT_EQ(record.writeSizes[block], 12800) << block;
        }
        const int64_t first = int64_t{block} * 9600;
        ASSERT_EQ(record.firstSamples[block], MeanOf(PcmSample(first, 0), PcmSample(first, 1))) << block;
    }
}

// A writer may settle on another format in its own SetFormat; the converter then converts to it.
TEST(FormatConverter, IncompleteFormatIsTakenFromTheWrappedWriter) {
    class Rate48000Sink : public SinkWriter {
    public:
        using SinkWriter::SinkWriter;
        Result<void> SetFormat(int, int, int channels, int bits, int maxBitrate, int minBitrate) override {
            return SinkWriter::SetFormat(128000, 48000, channels, bits, maxBitrate, minBitrate);
        }
    };
    SinkWriter::Record record;
    CFormatConverter converter(std::make_unique<Rate48000Sink>(record));
    ASSERT_TRUE(converter.SetFormat(0, 44100, 2, 16, -1, -1));
    ASSERT_TRUE(converter.Begin());
    EXPECT_EQ(converter.SampleRate(), 48000);
    EXPECT_EQ(converter.Bitrate(), 128000);
    EXPECT_TRUE(converter.IsConverting());
    Feed(converter, MakePcm(8820, 2));
    ASSERT_TRUE(converter.End());
    EXPECT_EQ(record.writeSizes, std::vector<int>({9600 * 4}));
}

TEST(FormatConverter, WrappedWriterFailureStopsTheWrite) {
    SinkWriter::Record record;
    auto sink = std::make_unique<SinkWriter>(record);
    sink->failAfterWrites = 1;
    CFormatConverter converter(std::move(sink));
    EXPECT_TRUE(converter.SetFormat(16, 32000, 1, 16, -1, -1));
    converter.SetInputFormat(48000, 2, 16);
    ASSERT_TRUE(converter.Begin());
    const auto pcm = MakePcm(9600 * 2 + 1, 2);
    EXPECT_TRUE(converter.Write(pcm.data(), 9600 * 4));
    EXPECT_FALSE(converter.Write(pcm.data(), static_cast<int>(pcm.size() * 2)));
}

TEST(FormatConverter, ForwardsTheLifecycleAndOwnsTheWriter) {
    SinkWriter::Record record;
    {
        auto converter = Begun(record, {44100, 2, 32000, 2});
        EXPECT_EQ(converter->Kind(), OutputFormat::Wav);
        EXPECT_FALSE(converter->SetOptions(nullptr, 0)) << "the sink's own answer comes back";
        EXPECT_TRUE(converter->End());
        EXPECT_TRUE(converter->Close());
        EXPECT_EQ(record.closes, 1);
        EXPECT_FALSE(converter->Close()) << "closed once";
        EXPECT_FALSE(record.destroyed);
    }
    EXPECT_TRUE(record.destroyed);
}

TEST(FormatConverter, WithoutAWriterEverythingFails) {
    CFormatConverter converter(nullptr);
    EXPECT_FALSE(converter.Open("x"));
    EXPECT_FALSE(converter.SetFormat(16, 44100, 2, 16, -1, -1));
    EXPECT_FALSE(converter.SetOptions(nullptr, 0));
    EXPECT_FALSE(converter.Begin());
    EXPECT_FALSE(converter.End());
    EXPECT_FALSE(converter.Close());
    const int16_t sample = 0;
    EXPECT_TRUE(converter.Write(&sample, 2)) << "nothing to hand the samples to";
}

TEST(FormatConverter, RefusesConversionsItCannotDo) {
    SinkWriter::Record record;
    CFormatConverter eightBit(std::make_unique<SinkWriter>(record));
    EXPECT_TRUE(eightBit.SetFormat(16, 32000, 1, 16, -1, -1));
    eightBit.SetInputFormat(44100, 2, 8);
    EXPECT_FALSE(eightBit.Begin());
    CFormatConverter sixChannels(std::make_unique<SinkWriter>(record));
    EXPECT_TRUE(sixChannels.SetFormat(16, 32000, 1, 16, -1, -1));
    sixChannels.SetInputFormat(48000, 6, 16);
    EXPECT_FALSE(sixChannels.Begin());
    EXPECT_EQ(record.begins, 0);
}

// The real WAV writer behind the converter: the file other programs read has the output format
// and exactly the frames the conversion yields.
TEST(FormatConverter, WavFilesBehindTheConverterReadRightElsewhere) {
    TempDir dir;
    struct Case {
        Formats formats;
        int captureFrames, expectedFrames;
    };
    // 3.05 s at 44100 -> 32000 mono: 15 whole blocks and 2205 frames, which give exactly 1600.
    // 11025 mono -> 22050 stereo: 10 whole blocks and 1102 frames, which give 2204.
    for (const Case c : {Case{{44100, 2, 32000, 1}, 134505, 97600}, Case{{11025, 1, 22050, 2}, 23152, 46304}}) {
        SCOPED_TRACE(c.formats.inRate);
        const std::string path = dir / ("c" + std::to_string(c.formats.inRate) + ".wav");
        CFormatConverter converter(std::make_unique<CWavWriter>());
        ASSERT_TRUE(converter.Open(path.c_str()));
        ASSERT_TRUE(converter.SetFormat(16, c.formats.outRate, c.formats.outChannels, 16, -1, -1));
        converter.SetInputFormat(c.formats.inRate, c.formats.inChannels, 16);
        ASSERT_TRUE(converter.Begin());
        const int perBuffer = c.formats.inRate % 10 == 0 ? c.formats.inRate / 10 : c.formats.inRate / 5;
        for (int done = 0; done < c.captureFrames; done += perBuffer) {
            const int n = std::min(perBuffer, c.captureFrames - done);
            const auto pcm = MakePcm(n, c.formats.inChannels, done);
            ASSERT_TRUE(converter.Write(pcm.data(), n * c.formats.inChannels * 2));
        }
        ASSERT_TRUE(converter.End());
        ASSERT_TRUE(converter.Close());

        EXPECT_EQ(ReadFileBytes(path).size(), 44u + c.expectedFrames * c.formats.outChannels * 2);
        const ProbedAudio sox = ProbeWithSox(path);
        ASSERT_TRUE(sox.ok);
        EXPECT_EQ(sox.sampleRate, c.formats.outRate);
        EXPECT_EQ(sox.channels, c.formats.outChannels);
        EXPECT_EQ(sox.durationSamples, c.expectedFrames);
        const ProbedAudio ffprobe = ProbeWithFfprobe(path);
        ASSERT_TRUE(ffprobe.ok);
        EXPECT_EQ(ffprobe.sampleRate, c.formats.outRate);
        EXPECT_EQ(ffprobe.channels, c.formats.outChannels);
        EXPECT_NEAR(ffprobe.durationSeconds, double(c.expectedFrames) / c.formats.outRate, 1e-5);
    }
}
