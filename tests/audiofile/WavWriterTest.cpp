// CWavWriter: header fields, size patch, unfinished files, files past 4 GiB, the quality list,
// and what ffprobe and sox make of the result.
#include "audiofile/WavWriter.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/AudioProbe.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

uint32_t Le32At(const std::string& bytes, size_t offset) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return v;
}

uint16_t Le16At(const std::string& bytes, size_t offset) {
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[offset]) | static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

// Opens `path` and begins a track in the given format.
void BeginTrack(CWavWriter& writer, const std::string& path, int rate, int channels) {
    ASSERT_TRUE(writer.Open(path.c_str()));
    ASSERT_TRUE(writer.SetFormat(16, rate, channels, 16, -1, -1));
    ASSERT_TRUE(writer.Begin());
}

// Writes `frames` of test PCM in buffers of `perWrite` frames.
void WritePcm(CWavWriter& writer, int frames, int channels, int perWrite) {
    for (int done = 0; done < frames; done += perWrite) {
        const int n = std::min(perWrite, frames - done);
        const auto pcm = MakePcm(n, channels, done);
        ASSERT_TRUE(writer.Write(pcm.data(), n * channels * 2));
    }
}

// Gives the test the writer's own file, to grow it past 4 GiB without writing 4 GiB.
class ExposedWavWriter : public CWavWriter {
public:
    CFileStream& File() { return *m_file; }
};

}  // namespace

TEST(WavWriter, FinishedFileHasExactSizesAndTheSamplesAsGiven) {
    TempDir dir;
    const std::string path = dir / "t.wav";
    const int frames = 44100 + 123;
    {
        CWavWriter writer;
        BeginTrack(writer, path, 44100, 2);
        WritePcm(writer, frames, 2, 4410);
        ASSERT_TRUE(writer.End());
        EXPECT_EQ(writer.BytesWritten(), frames * 4);
        ASSERT_TRUE(writer.Close());
    }
    const std::string bytes = ReadFileBytes(path);
    const uint32_t n = frames * 4;
    ASSERT_EQ(bytes.size(), n + 44);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32At(bytes, 4), 36 + n);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le32At(bytes, 16), 16u);
    EXPECT_EQ(Le16At(bytes, 20), 1);
    EXPECT_EQ(Le16At(bytes, 22), 2);
    EXPECT_EQ(Le32At(bytes, 24), 44100u);
    EXPECT_EQ(Le32At(bytes, 28), 176400u);
    EXPECT_EQ(Le16At(bytes, 32), 4);
    EXPECT_EQ(Le16At(bytes, 34), 16);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(Le32At(bytes, 40), n);
    const auto pcm = MakePcm(frames, 2);
    EXPECT_EQ(memcmp(bytes.data() + 44, pcm.data(), n), 0);
}

TEST(WavWriter, MonoAt22050HasItsOwnAlignAndByteRate) {
    TempDir dir;
    const std::string path = dir / "m.wav";
    CWavWriter writer;
    BeginTrack(writer, path, 22050, 1);
    EXPECT_TRUE(writer.End());
    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(Le16At(bytes, 22), 1);
    EXPECT_EQ(Le32At(bytes, 24), 22050u);
    EXPECT_EQ(Le32At(bytes, 28), 44100u);
    EXPECT_EQ(Le16At(bytes, 32), 2);
    EXPECT_EQ(Le32At(bytes, 4), 36u);
    EXPECT_EQ(Le32At(bytes, 40), 0u);
}

TEST(WavWriter, FileCutOffBeforeEndKeepsItsPlaceholdersAndAudio) {
    TempDir dir;
    const std::string path = dir / "cut.wav";
    {
        CWavWriter writer;
        BeginTrack(writer, path, 44100, 2);
        WritePcm(writer, 4410, 2, 4410);
        // Destroyed without End, as when the program is stopped mid-track.
    }
    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 44u + 4410 * 4);
    EXPECT_EQ(Le32At(bytes, 4), 35u);
    EXPECT_EQ(Le32At(bytes, 40), 0xFFFFFFFFu);
    // ffmpeg reads such a file to its end.
    const ProbedAudio probed = ProbeWithFfprobe(path);
    ASSERT_TRUE(probed.ok);
    EXPECT_NEAR(probed.durationSeconds, 0.1, 0.001);
}

TEST(WavWriter, FormatBlockFromOptionsIsWrittenUnchanged) {
    TempDir dir;
    const std::string path = dir / "o.wav";
    const PcmFormatBlock given{1, 1, 8000, 16000, 2, 16};
    unsigned char record[kPcmFormatBlockSize];
    EncodePcmFormatBlock(given, record);
    CWavWriter writer;
    ASSERT_TRUE(writer.SetOptions(record, sizeof record));
    EXPECT_FALSE(writer.SetOptions(record, 12)) << "only a whole format block is taken";
    BeginTrack(writer, path, 44100, 2);
    EXPECT_TRUE(writer.End());
    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(bytes.substr(20, 16), std::string(reinterpret_cast<const char*>(record), sizeof record));
}

TEST(WavWriter, FailsCleanlyWithoutAFile) {
    TempDir dir;
    CWavWriter writer;
    EXPECT_FALSE(writer.Begin()) << "never opened";
    EXPECT_FALSE(writer.Open((dir / "missing/folder/x.wav").c_str()));
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(writer.Close());
}

TEST(WavWriter, ShortWriteOnAFullDeviceFailsTheBlock) {
    CWavWriter writer;
    ASSERT_TRUE(writer.Open("/dev/full"));
    EXPECT_TRUE(writer.SetFormat(16, 44100, 2, 16, -1, -1));
    EXPECT_FALSE(writer.Begin()) << "a header that could not be written is no track";
    const auto pcm = MakePcm(100, 2);
    EXPECT_FALSE(writer.Write(pcm.data(), 400));
}

TEST(WavWriter, OtherProgramsReadRateChannelsAndDuration) {
    TempDir dir;
    struct Case {
        int rate, channels, frames;
    };
    for (const Case c : {Case{44100, 2, 44100 * 2}, Case{22050, 1, 22050 + 2205}, Case{32000, 1, 32000 / 2}}) {
        SCOPED_TRACE(c.rate);
        const std::string path = dir / ("p" + std::to_string(c.rate) + ".wav");
        CWavWriter writer;
        BeginTrack(writer, path, c.rate, c.channels);
        WritePcm(writer, c.frames, c.channels, c.rate / 10);
        ASSERT_TRUE(writer.End());
        EXPECT_TRUE(writer.Close());

        const ProbedAudio sox = ProbeWithSox(path);
        ASSERT_TRUE(sox.ok);
        EXPECT_EQ(sox.sampleRate, c.rate);
        EXPECT_EQ(sox.channels, c.channels);
        EXPECT_EQ(sox.durationSamples, c.frames);
        const ProbedAudio ffprobe = ProbeWithFfprobe(path);
        ASSERT_TRUE(ffprobe.ok);
        EXPECT_EQ(ffprobe.sampleRate, c.rate);
        EXPECT_EQ(ffprobe.channels, c.channels);
        EXPECT_NEAR(ffprobe.durationSeconds, double(c.frames) / c.rate, 1e-5);
    }
}

// An unattended recording passes 4 GiB of data after about 6.8 hours at 44.1 kHz stereo. The file
// is sparse, so only a few kilobytes reach the disk.
TEST(WavWriter, TrackPastFourGibibytesStaysReadableToItsEnd) {
    TempDir dir;
    const std::string path = dir / "long.wav";
    const int64_t dataSize = (int64_t{1} << 32) + 4 * 44100;  // one second more than 32 bits hold
    const int tailFrames = 4410;
    ExposedWavWriter writer;
    BeginTrack(writer, path, 44100, 2);
    WritePcm(writer, 4410, 2, 4410);
    ASSERT_TRUE(writer.File().SetLength(44 + dataSize - tailFrames * 4));
    ASSERT_TRUE(writer.File().Seek(0, CFileStream::kFromEnd));
    const auto tail = MakePcm(tailFrames, 2, 777);
    ASSERT_TRUE(writer.Write(tail.data(), tailFrames * 4));
    ASSERT_TRUE(writer.End());
    EXPECT_TRUE(writer.Close());

    CFileStream file;
    ASSERT_TRUE(file.Open(path.c_str(), CFileStream::kRead));
    EXPECT_EQ(file.GetSize(), 44 + dataSize) << "nothing cut off";
    std::string header(44, '\0');
    ASSERT_EQ(file.Read(header.data(), 44).value_or(-1), 44);
    // A wrong size here would send the decoders below through 4 GiB of zeros: stop first.
    ASSERT_EQ(Le32At(header, 4), 0xFFFFFFFFu);
    ASSERT_EQ(Le32At(header, 40), 0xFFFFFFFFu);
    int64_t offset = 0;
    uint32_t size = 0;
    ASSERT_TRUE(file.Seek(0, CFileStream::kFromStart));
    EXPECT_TRUE(ParseWavHeader(file, offset, size));
    EXPECT_EQ(offset, 44);

    const ProbedAudio probed = ProbeWithFfprobe(path);
    ASSERT_TRUE(probed.ok);
    EXPECT_NEAR(probed.durationSeconds, double(dataSize) / (44100 * 4), 1e-3);

    // ffmpeg decodes the last samples, where the tail was written.
    const double tailStart = double(dataSize - tailFrames * 4) / (44100 * 4);
    const ProcessResult decoded = RunProcess("timeout 60 ffmpeg -v error -ss " + std::to_string(tailStart) + " -i " +
                                             ShellQuote(path) + " -f s16le -");
    ASSERT_EQ(decoded.exitCode, 0);
    ASSERT_GE(decoded.output.size(), 400u);
    EXPECT_EQ(decoded.output.substr(decoded.output.size() - 400),
              std::string(reinterpret_cast<const char*>(tail.data()) + tail.size() * 2 - 400, 400));
}

TEST(WavWriter, PcmQualityList) {
    ASSERT_EQ(kPcmQualityTable.size(), 12u);
    EXPECT_STREQ(kPcmQualityTable[kPcmQualityDefault].label, "44.1 kHz / Stereo");
    EXPECT_STREQ(kPcmQualityTable[8].label, "22.05 kHz / Stereo");
    EXPECT_STREQ(kPcmQualityTable[11].label, "16.0 kHz / Mono");
    const int rates[] = {48000, 44100, 32000, 24000, 22050, 16000};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(kPcmQualityTable[i].value, 16);
        EXPECT_EQ(kPcmQualityTable[i].sampleRate, rates[i / 2]);
        EXPECT_EQ(kPcmQualityTable[i].channels, i % 2 == 0 ? 2 : 1);
        EXPECT_STREQ(kPcmQualityTable[i].label + strlen(kPcmQualityTable[i].label) - (i % 2 ? 4 : 6), i % 2 ? "Mono" : "Stereo");
    }
}
