// WMA tracks through the real WMAENC plug-in, checked with ffprobe and mutagen.
#include "audiofile/WmaWriter.h"

#include <dlfcn.h>

#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "platform/RuntimeModule.h"
#include "platform/SignalGenerator.h"
#include "tags/WmaDecoder.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Mutagen.h"
#include "tests/support/TempDir.h"

namespace {

constexpr int kEffectiveBitrateOption = 1;  // WMAENC's SetOpt value for the bitrate it uses

// `ms` of the signal source's tone, 16-bit interleaved.
std::vector<char> SignalSourceTone(int sampleRate, int channels, int ms) {
    CSignalGenerator generator;
    const size_t frames = static_cast<size_t>(static_cast<int64_t>(sampleRate) * ms / 1000);
    std::vector<char> pcm(frames * channels * 2);
    const Result<void> opened = generator.Open(*ParseSignalSpec("tone=440hz/-6db"), sampleRate, channels, 16);
    const bool ready = opened.has_value();
    EXPECT_TRUE(ready) << opened.error().message.SourceText();
    if (ready) {
        EXPECT_EQ(generator.Generate(pcm.data(), frames), frames);
    }
    return pcm;
}

TagFieldSet JapaneseTags() {
    TagFieldSet tags;
    tags.title = "深夜ラジオ No.3";
    tags.artist = "録音者";
    tags.album = "♪Velsona 2024";
    tags.year = "2024";
    tags.genre = "♪Velsona - オリジナルレコーディング";
    tags.comment = "コメント: テスト";
    tags.trackNumber = 5;
    tags.genreNumber = 146;
    return tags;
}

// Writes the PCM at the quality row in captured-buffer sized pieces, as a session would.
bool WriteTrack(CWmaWriter& writer, const std::string& path, int row, const std::vector<char>& pcm,
                TagFieldSet* tags) {
    const QualityEntry& quality = kWmaQualities[row];
    writer.SetTags(tags);
    if (!writer.Open(path.c_str())) return false;
    if (!writer.SetFormat(quality.value, quality.sampleRate, quality.channels, 16, -1, -1)) return false;
    if (!writer.Begin()) return false;
    const int bytes = static_cast<int>(pcm.size());
    const int piece = quality.sampleRate / 10 * quality.channels * 2;  // 100 ms buffers
    for (int done = 0; done < bytes; done += piece) {
        if (!writer.Write(pcm.data() + done, std::min(piece, bytes - done))) return false;
    }
    if (!writer.End()) return false;
    return static_cast<bool>(writer.Close());
}

// `ms` of the signal source's tone at the quality row.
bool WriteTrack(CWmaWriter& writer, const std::string& path, int row, int ms, TagFieldSet* tags) {
    const QualityEntry& quality = kWmaQualities[row];
    return WriteTrack(writer, path, row, SignalSourceTone(quality.sampleRate, quality.channels, ms), tags);
}

// The first sample frame whose first channel reaches half of full scale, or -1.
int64_t LoudOnset(const std::string& pcm, int channels) {
    const size_t frames = pcm.size() / (2 * channels);
    for (size_t i = 0; i < frames; ++i) {
        int16_t sample;
        memcpy(&sample, pcm.data() + i * 2 * channels, 2);
        if (std::abs(sample) >= 16384) return static_cast<int64_t>(i);
    }
    return -1;
}

}  // namespace

TEST(WmaQualities, TheTableHasItsRowsAndLabels) {
    EXPECT_EQ(sizeof kWmaQualities, 33 * 64u);
    EXPECT_EQ(kWmaDefaultQuality, 6);
    EXPECT_STREQ(kWmaQualities[0].label, "192k bps / 48.0 kHz / Stereo");
    EXPECT_STREQ(kWmaQualities[6].label, "96k bps / 44.1 kHz / Stereo");
    EXPECT_EQ(kWmaQualities[6].value, 96000);
    EXPECT_STREQ(kWmaQualities[11].label, "48k bps / 44.1 kHz / Mono");
    EXPECT_STREQ(kWmaQualities[17].label, "32k bps / 22.0 kHz / Stereo");
    EXPECT_EQ(kWmaQualities[17].sampleRate, 22050);
    EXPECT_STREQ(kWmaQualities[27].label, "10k bps / 11.0 kHz / Mono");
    EXPECT_EQ(kWmaQualities[27].sampleRate, 11025);
    EXPECT_STREQ(kWmaQualities[32].label, "5k bps / 8.0 kHz / Mono");
    EXPECT_EQ(kWmaQualities[32].value, 5000);
    // Every label matches its row's numbers.
    for (const QualityEntry& q : kWmaQualities) {
        const char* mode = q.channels == 2 ? "Stereo" : "Mono";
        const double khz = q.sampleRate == 22050 ? 22.0 : q.sampleRate == 11025 ? 11.0 : q.sampleRate / 1000.0;
        const CCharString expected = CCharString::Formatted("%dk bps / %.1f kHz / %s", q.value / 1000, khz, mode);
        EXPECT_STREQ(q.label, expected.c_str());
    }
}

TEST(WmaWriter, WmaencIsUsedAndWmaenc8IsNotLoaded) {
    CWmaWriter writer;
    EXPECT_EQ(writer.Slot(), kWmaPlugInSlot);
    EXPECT_EQ(writer.Kind(), OutputFormat::Wma);
    for (const char* name : {"WMAENC.so", "WMAENC8.so"}) {
        const CCharString path = ProgramFolder() + name;
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
        EXPECT_EQ(handle != nullptr, strcmp(name, "WMAENC.so") == 0) << name;
        if (handle) dlclose(handle);
    }
}

// The rows the session meets most: the highest, the preselected one, and low rows whose
// bitrate the encoder raises.
class WmaWriterRows : public ::testing::TestWithParam<int> {};

TEST_P(WmaWriterRows, OtherProgramsReadTheTrackAndItsAttributes) {
    ASSERT_EQ(LoadWmaDecoder().value_or(0), 9);
    const int row = GetParam();
    const QualityEntry& quality = kWmaQualities[row];
    TempDir dir;
    const std::string path = dir / "トラック.wma";
    TagFieldSet tags = JapaneseTags();
    CWmaWriter writer;
    ASSERT_TRUE(WriteTrack(writer, path, row, 2500, &tags));

    const ProbedAudio stream = ProbeWithFfprobe(path);
    ASSERT_TRUE(stream.ok);
    EXPECT_EQ(stream.codec, "wmav2");
    EXPECT_EQ(stream.sampleRate, quality.sampleRate);
    EXPECT_EQ(stream.channels, quality.channels);
    ASSERT_GT(stream.packetDuration, 0);
    // The container counts the frame of silence in front and the padding of the last frame.
    EXPECT_GE(stream.durationSeconds, 2.5 - 1e-3);
    EXPECT_LE(stream.durationSeconds, 2.5 + 2 * stream.packetDuration + 1e-3);

    const auto read = ReadTagsWithMutagen(path);
    EXPECT_EQ(read.at("Title"), "ASFUnicodeAttribute:深夜ラジオ No.3");
    EXPECT_EQ(read.at("Author"), "ASFUnicodeAttribute:録音者");
    EXPECT_EQ(read.at("WM/AlbumTitle"), "ASFUnicodeAttribute:♪Velsona 2024");
    EXPECT_EQ(read.at("WM/Year"), "ASFUnicodeAttribute:2024");
    EXPECT_EQ(read.at("WM/Genre"), "ASFUnicodeAttribute:♪Velsona - オリジナルレコーディング");
    EXPECT_EQ(read.at("Description"), "ASFUnicodeAttribute:コメント: テスト");
    EXPECT_EQ(read.at("WM/Track"), "ASFDWordAttribute:4");
    EXPECT_EQ(read.at("WM/TrackNumber"), "ASFDWordAttribute:5");
    EXPECT_EQ(read.at("WM/GenreID"), "ASFUnicodeAttribute:146");
    // The attributes took the room the encoder left in the header: one page, the audio behind it
    // where it was written.
    const std::string bytes = ReadFileBytes(path);
    uint64_t headerSize = 0;
    memcpy(&headerSize, bytes.data() + 16, 8);
    EXPECT_EQ(headerSize, 4096u);
    EXPECT_EQ(bytes.compare(4096, 4, "\x36\x26\xB2\x75", 4), 0) << "the data object follows the header";
}

// The decoded track holds every frame that was fed, from the first: as many frames, up to one
// codec frame of padding after them, and a loud cosine that starts after 300 ms of silence starts
// there in the decoded track too, not a codec frame early.
TEST_P(WmaWriterRows, DecodedTrackHoldsItsAudioFromTheFirstFrame) {
    const QualityEntry& quality = kWmaQualities[GetParam()];
    const int rate = quality.sampleRate, channels = quality.channels;
    const int64_t onset = rate * 3 / 10, frames = rate * 2;
    std::vector<char> pcm(frames * channels * 2);
    for (int64_t i = onset; i < frames; ++i) {
        const auto sample = static_cast<int16_t>(30000 * std::cos(2 * M_PI * 440 * static_cast<double>(i - onset) / rate));
        for (int c = 0; c < channels; ++c) memcpy(pcm.data() + (i * channels + c) * 2, &sample, 2);
    }
    TempDir dir;
    const std::string path = dir / "onset.wma";
    CWmaWriter writer;
    ASSERT_TRUE(WriteTrack(writer, path, GetParam(), pcm, nullptr));

    const std::string decoded = DecodeWithFfmpeg(path);
    ASSERT_FALSE(decoded.empty());
    // wmav2's codec frame: 2048 sample frames above 22050 Hz, 1024 up to it, 512 up to 16000 Hz.
    const int64_t codecFrame = rate > 22050 ? 2048 : rate > 16000 ? 1024 : 512;
    const auto decodedFrames = static_cast<int64_t>(decoded.size() / (2 * channels));
    EXPECT_GE(decodedFrames, frames);
    EXPECT_LT(decodedFrames, frames + codecFrame);
    EXPECT_NEAR(LoudOnset(decoded, channels), onset, 16) << "rate " << rate;
}

INSTANTIATE_TEST_SUITE_P(TableRows, WmaWriterRows, ::testing::Values(0, 6, 16, 32));

TEST(WmaWriter, EveryRowGivesAFileAtAtLeastTheEncodersLowestBitrate) {
    TempDir dir;
    for (int row = 0; row < kWmaQualityCount; ++row) {
        const QualityEntry& quality = kWmaQualities[row];
        const std::string path = dir / ("row" + std::to_string(row) + ".wma");
        CWmaWriter writer;
        ASSERT_TRUE(writer.Open(path.c_str()));
        ASSERT_TRUE(writer.SetFormat(quality.value, quality.sampleRate, quality.channels, 16, -1, -1)) << row;
        // wmav2 takes nothing below 24 kbit/s; lower rows are raised to exactly that.
        EXPECT_EQ(writer.SetOption(kEffectiveBitrateOption), std::max(quality.value, 24000)) << row;
        ASSERT_TRUE(writer.Begin());
        const std::vector<char> pcm = SignalSourceTone(quality.sampleRate, quality.channels, 500);
        ASSERT_TRUE(writer.Write(pcm.data(), static_cast<int>(pcm.size())));
        ASSERT_TRUE(writer.End());
        EXPECT_TRUE(writer.Close());
        const ProbedAudio stream = ProbeWithFfprobe(path);
        EXPECT_EQ(stream.codec, "wmav2") << row;
        EXPECT_EQ(stream.sampleRate, quality.sampleRate) << row;
        EXPECT_EQ(stream.channels, quality.channels) << row;
    }
}

TEST(WmaWriter, WithoutTagsTheFileCarriesNoAttributesOfOurs) {
    TempDir dir;
    const std::string path = dir / "plain.wma";
    CWmaWriter writer;
    ASSERT_TRUE(WriteTrack(writer, path, 30, 1000, nullptr));
    const auto read = ReadTagsWithMutagen(path);
    EXPECT_EQ(read.count("Title"), 0u);
    EXPECT_EQ(read.count("WM/TrackNumber"), 0u);
    EXPECT_EQ(ProbeWithFfprobe(path).codec, "wmav2");
}

TEST(WmaWriter, AnAbandonedTrackStillLeavesAPlayableFile) {
    TempDir dir;
    const std::string path = dir / "abandoned.wma";
    {
        CWmaWriter writer;
        ASSERT_TRUE(writer.Open(path.c_str()));
        ASSERT_TRUE(writer.SetFormat(64000, 44100, 2, 16, -1, -1));
        ASSERT_TRUE(writer.Begin());
        const std::vector<char> pcm = SignalSourceTone(44100, 2, 2000);
        ASSERT_TRUE(writer.Write(pcm.data(), static_cast<int>(pcm.size())));
        // Destroyed without End: the plug-in finishes what it was given.
    }
    const ProbedAudio stream = ProbeWithFfprobe(path);
    EXPECT_EQ(stream.codec, "wmav2");
    EXPECT_GE(stream.durationSeconds, 1.0) << "the whole seconds handed over are in the file";
}

TEST(WmaWriter, BadFormatsAndFoldersFail) {
    TempDir dir;
    CWmaWriter noFolder;
    EXPECT_FALSE(noFolder.Open((dir / "missing/track.wma").c_str()));
    EXPECT_FALSE(noFolder.Begin());

    CWmaWriter tooFast;
    ASSERT_TRUE(tooFast.Open((dir / "fast.wma").c_str()));
    EXPECT_FALSE(tooFast.SetFormat(128000, 96000, 2, 16, -1, -1)) << "wmav2 stops at 48 kHz";
    EXPECT_FALSE(tooFast.Begin());
    EXPECT_TRUE(tooFast.Close());

    CWmaWriter eightBit;
    ASSERT_TRUE(eightBit.Open((dir / "eight.wma").c_str()));
    EXPECT_FALSE(eightBit.SetFormat(128000, 44100, 2, 8, -1, -1));
}
