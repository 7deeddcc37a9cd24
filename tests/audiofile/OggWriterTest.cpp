// The Ogg Vorbis writer: files other programs read exactly, header paging, comments, options.
#include "audiofile/OggWriter.h"

#include <gtest/gtest.h>

#include "tests/support/AudioProbe.h"
#include "tests/support/OggFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

// Encodes `frames` of tone in buffers of 100 ms, as the recorder feeds it.
bool EncodeTrack(COggWriter& writer, const std::string& path, int quality, int rate, int channels, int64_t frames) {
    EXPECT_TRUE(writer.SetQuality(quality));
    if (!writer.Open(path.c_str()) || !writer.SetFormat(quality, rate, channels, 16, -1, -1) || !writer.Begin())
        return false;
    const std::vector<int16_t> pcm = TonePcm(rate, channels, frames);
    const size_t buffer = static_cast<size_t>(rate / 10 * channels);
    for (size_t at = 0; at < pcm.size(); at += buffer)
        if (!writer.Write(pcm.data() + at, static_cast<int>(std::min(buffer, pcm.size() - at) * 2))) return false;
    return writer.End() && writer.Close();
}

TagFieldSet RecordingTags() {
    TagFieldSet tags;
    tags.title = "録音 No.1";
    tags.artist = "Radio";
    tags.year = "2024";
    tags.genre = "♪Velsona - オリジナルレコーディング";
    tags.trackNumber = 1;
    tags.genreNumber = 146;
    return tags;
}

}  // namespace

TEST(OggWriter, FfprobeReadsEveryQualityLayoutAndRateToTheSample) {
    TempDir dir;
    struct Layout {
        int rate, channels;
    };
    for (const int quality : {0, 40, 100})
        for (const Layout layout : {Layout{44100, 2}, Layout{48000, 1}, Layout{22050, 2}, Layout{8000, 1}}) {
            const std::string path = dir / ("q" + std::to_string(quality) + "_" + std::to_string(layout.rate) + ".ogg");
            const int64_t frames = layout.rate + 777;  // not a whole number of blocks or buffers
            COggWriter writer;
            ASSERT_TRUE(EncodeTrack(writer, path, quality, layout.rate, layout.channels, frames)) << path;
            EXPECT_EQ(writer.Bitrate(), OggNominalBitrate(quality, layout.rate, layout.channels));
            const ProbedAudio probe = ProbeWithFfprobe(path);
            EXPECT_EQ(probe.codec, "vorbis") << path;
            EXPECT_EQ(probe.sampleRate, layout.rate) << path;
            EXPECT_EQ(probe.channels, layout.channels) << path;
            EXPECT_EQ(probe.durationSamples, frames) << path;
            const std::vector<OggPageInfo> pages = ReadOggPages(ReadFileBytes(path));
            ASSERT_FALSE(pages.empty());
            EXPECT_EQ(pages.back().granule, frames) << path;
        }
}

TEST(OggWriter, HeadersHavePagesOfTheirOwnBeforeAnyAudio) {
    TempDir dir;
    const std::string path = dir / "paging.ogg";
    COggWriter writer;
    ASSERT_TRUE(EncodeTrack(writer, path, 40, 44100, 2, 44100 * 3));
    bool complete = false;
    const std::vector<OggPageInfo> pages = ReadOggPages(ReadFileBytes(path), &complete);
    EXPECT_TRUE(complete);
    ASSERT_GE(pages.size(), 5u);
    EXPECT_TRUE(pages[0].first);
    EXPECT_EQ(pages[0].body.substr(0, 7), "\x01vorbis");
    EXPECT_EQ(pages[0].body.size(), 30u) << "the identification header alone";
    EXPECT_EQ(pages[1].body.substr(0, 7), "\x03vorbis");
    EXPECT_EQ(pages[2].body.substr(0, 7), "\x05vorbis") << "the codebooks begin a page: the comments have theirs alone";
    EXPECT_EQ(pages[2].granule, 0) << "the codebooks end their page";
    EXPECT_GT(pages[3].granule, 0);
    EXPECT_FALSE(pages[3].continued);
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(pages[i].checksumOk);
        EXPECT_EQ(pages[i].sequence, i);
        EXPECT_EQ(pages[i].serial, static_cast<uint32_t>(writer.SerialNumber()));
        EXPECT_EQ(pages[i].last, i + 1 == pages.size());
    }
}

TEST(OggWriter, ATrackShorterThanOneBlockIsAValidFile) {
    TempDir dir;
    for (const int64_t frames : {int64_t{500}, int64_t{1}, int64_t{0}}) {
        const std::string path = dir / ("short" + std::to_string(frames) + ".ogg");
        COggWriter writer;
        ASSERT_TRUE(EncodeTrack(writer, path, 40, 44100, 2, frames));
        bool complete = false;
        const std::vector<OggPageInfo> pages = ReadOggPages(ReadFileBytes(path), &complete);
        EXPECT_TRUE(complete);
        ASSERT_EQ(pages.size(), 4u) << "three header pages and one end-of-stream page";
        EXPECT_TRUE(pages.back().last);
        EXPECT_EQ(pages.back().granule, frames);
        if (frames > 0) {
            EXPECT_EQ(ProbeWithFfprobe(path).durationSamples, frames);
        }
    }
}

TEST(OggWriter, EveryTrackGetsItsOwnSerialNumber) {
    TempDir dir;
    std::vector<int> serials;
    for (int i = 0; i < 3; ++i) {
        COggWriter writer;
        const std::string path = dir / ("s" + std::to_string(i) + ".ogg");
        ASSERT_TRUE(EncodeTrack(writer, path, 10, 22050, 1, 2000));
        EXPECT_EQ(ReadOggPages(ReadFileBytes(path)).at(0).serial, static_cast<uint32_t>(writer.SerialNumber()));
        serials.push_back(writer.SerialNumber());
    }
    EXPECT_NE(serials[0], serials[1]) << "tracks begun within one second";
    EXPECT_NE(serials[1], serials[2]);
    EXPECT_NE(serials[0], serials[2]);
}

TEST(OggWriter, HeaderCommentsStartWithTheEncoderAndTheRewriteReplacesThem) {
    TempDir dir;
    TagFieldSet tags = RecordingTags();
    const std::string plain = dir / "plain.ogg", rewritten = dir / "rewritten.ogg";
    const std::string table = "TITLE=録音 No.1\nARTIST=Radio\nTRACKNUMBER=1\nDATE=2024\n"
                              "GENRE=♪Velsona - オリジナルレコーディング\nGENREID=146\n";
    {
        COggWriter writer;
        writer.SetTags(&tags);
        ASSERT_TRUE(EncodeTrack(writer, plain, 40, 44100, 2, 10000));
    }
    EXPECT_EQ(ListVorbisComments(plain), "ENCODER=Mirelto\n" + table);

    // The recorder's path: tags changed before the track closes, then rewritten at Close.
    COggWriter writer;
    writer.SetTags(&tags);
    writer.SetRewriteComments(true);
    tags.trackNumber = 0;
    tags.genreNumber = 0;
    tags.title = "";
    ASSERT_TRUE(EncodeTrack(writer, rewritten, 40, 44100, 2, 10000));
    EXPECT_EQ(ListVorbisComments(rewritten), "TITLE=\nARTIST=Radio\nDATE=2024\nGENRE=♪Velsona - オリジナルレコーディング\nGENREID=0\n");
    EXPECT_FALSE(PathExists(rewritten + ".vctemp"));
    EXPECT_TRUE(DecodeWithFfmpeg(rewritten) == DecodeWithFfmpeg(plain)) << "same PCM, same encoder settings";
}

TEST(OggWriter, BitrateOptionsChooseTheEncoderMode) {
    COggWriter writer;
    ASSERT_TRUE(writer.SetQuality(40));
    ASSERT_TRUE(writer.SetFormat(40, 44100, 2, 16, -1, -1));
    EXPECT_EQ(writer.Options().mode, OggOptions::kQualityVbr);
    EXPECT_FALSE(writer.HasBitrateRange());

    ASSERT_TRUE(writer.SetFormat(128000, 44100, 2, 16, 192000, 0));
    EXPECT_EQ(writer.Options().mode, OggOptions::kManagedBitrate);
    EXPECT_EQ(writer.Options().quality, 40);
    EXPECT_EQ(writer.Options().nominalBitrate, 128000);
    EXPECT_EQ(writer.Options().maxBitrate, 192000);
    EXPECT_TRUE(writer.HasBitrateRange());
    EXPECT_FALSE(writer.SetOptions(&writer.Options(), 19)) << "the record is exactly 20 bytes";

    TempDir dir;
    const OggOptions modes[] = {{OggOptions::kManagedBitrate, 40, 96000, 64000, 160000},
                                {OggOptions::kAverageBitrate, 40, 96000, 64000, 160000}};
    for (const OggOptions& options : modes) {
        const std::string path = dir / ("mode" + std::to_string(options.mode) + ".ogg");
        COggWriter managed;
        ASSERT_TRUE(managed.Open(path.c_str()));
        EXPECT_TRUE(managed.SetFormat(96000, 44100, 2, 16, 160000, 64000));
        ASSERT_TRUE(managed.SetOptions(&options, sizeof options));
        ASSERT_TRUE(managed.Begin()) << options.mode;
        const std::vector<int16_t> pcm = TonePcm(44100, 2, 30000);
        ASSERT_TRUE(managed.Write(pcm.data(), static_cast<int>(pcm.size() * 2)));
        ASSERT_TRUE(managed.End() && managed.Close());
        const ProbedAudio probe = ProbeWithFfprobe(path);
        EXPECT_EQ(probe.durationSamples, 30000) << options.mode;
        EXPECT_EQ(probe.channels, 2);
    }
}

TEST(OggWriter, NominalBitrateFollowsQualityAndRefusesWhatCannotBeEncoded) {
    const int low = OggNominalBitrate(0, 44100, 2), middle = OggNominalBitrate(40, 44100, 2);
    const int high = OggNominalBitrate(100, 44100, 2);
    EXPECT_GT(low, 0);
    EXPECT_LT(low, middle);
    EXPECT_LT(middle, high);
    EXPECT_LT(OggNominalBitrate(40, 22050, 1), middle);
    EXPECT_EQ(OggNominalBitrate(40, 44100, 0), -1);
    EXPECT_EQ(OggNominalBitrate(40, 0, 2), -1);
    EXPECT_EQ(OggNominalBitrate(40, 400000, 2), -1);
}

TEST(OggWriter, BeginRefusesWhatItCannotEncodeOrWrite) {
    TempDir dir;
    COggWriter channels;
    ASSERT_TRUE(channels.Open((dir / "c.ogg").c_str()));
    EXPECT_TRUE(channels.SetFormat(40, 44100, 3, 16, -1, -1));
    EXPECT_FALSE(channels.Begin());

    COggWriter mode;
    ASSERT_TRUE(mode.Open((dir / "m.ogg").c_str()));
    const OggOptions unknown{7, 40, 0, 0, 0};
    EXPECT_TRUE(mode.SetOptions(&unknown, sizeof unknown));
    EXPECT_FALSE(mode.Begin());

    COggWriter unopened;
    EXPECT_FALSE(unopened.Begin());
    EXPECT_FALSE(unopened.End());

    // A full disk: the headers cannot be written.
    COggWriter full;
    ASSERT_TRUE(full.Open("/dev/full"));
    EXPECT_FALSE(full.Begin());
}

TEST(OggWriter, DestroyingAWriterMidTrackReleasesTheEncoder) {
    TempDir dir;
    const std::string path = dir / "abandoned.ogg";
    {
        COggWriter writer;
        ASSERT_TRUE(writer.Open(path.c_str()));
        EXPECT_TRUE(writer.SetFormat(40, 44100, 2, 16, -1, -1));
        ASSERT_TRUE(writer.Begin());
        const std::vector<int16_t> pcm = TonePcm(44100, 2, 20000);
        ASSERT_TRUE(writer.Write(pcm.data(), static_cast<int>(pcm.size() * 2)));
    }
    EXPECT_GT(ReadFileBytes(path).size(), 0u) << "the headers and the pages so far stay";
}
