// The MP3 writer and the LAME module: what other programs decode, the tags they read, the call order.
#include "audiofile/Mp3Writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tags/Mp3FileInfo.h"
#include "tags/Mp3TagFile.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Mutagen.h"
#include "tests/support/ResultText.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

// Records the blocks the framework hands to the encoder.
class BlockSpy : public CMp3Writer {
public:
    std::vector<int> blocks;

protected:
    Result<void> WriteBlock(const void* data, int length) override {
        blocks.push_back(length);
        return CMp3Writer::WriteBlock(data, length);
    }
};

int FieldAt(const BE_CONFIG& config, int offset) {
    int32_t v;
    memcpy(&v, reinterpret_cast<const char*>(&config) + offset, 4);
    return v;
}

// Writes PCM through the writer in 100 ms buffers, as the session does.
bool Encode(CMp3Writer& writer, const std::string& path, const std::vector<int16_t>& pcm, int rate, int channels,
            int bitrate, TagFieldSet* tags = nullptr) {
    if (tags) writer.SetTags(tags);
    if (!writer.Open(path.c_str()) || !writer.SetFormat(bitrate, rate, channels, 16, -1, -1) || !writer.Begin())
        return false;
    const size_t buffer = static_cast<size_t>(rate / 10) * channels;
    for (size_t at = 0; at < pcm.size(); at += buffer)
        if (!writer.Write(pcm.data() + at, static_cast<int>(std::min(buffer, pcm.size() - at) * 2))) return false;
    return writer.End() && writer.Close();
}

}  // namespace

TEST(Mp3Qualities, RowsFollowTheBitrateAndRateOrder) {
    EXPECT_STREQ(kMp3Qualities[0].label, "320k bps / 48.0 kHz / Stereo");
    EXPECT_STREQ(kMp3Qualities[kMp3DefaultQuality].label, "128k bps / 44.1 kHz / Stereo");
    EXPECT_STREQ(kMp3Qualities[41].label, "32k bps / 32.0 kHz / Stereo");
    EXPECT_EQ(kMp3Qualities[16].value, 128000);
    EXPECT_EQ(kMp3Qualities[41].value, 32000);
    EXPECT_EQ(kMp3Qualities[41].sampleRate, 32000);
    for (const QualityEntry& e : kMp3Qualities) EXPECT_EQ(e.channels, 2) << e.label;
}

TEST(Mp3Writer, ConfigurationDefaultsAndSetFormat) {
    CMp3Writer writer;
    ASSERT_TRUE(writer.IsAvailable()) << FailureText(LoadLameLibrary());
    const BE_CONFIG& c = writer.Config();
    // Offsets as the record is laid out on disk and across the module boundary.
    EXPECT_EQ(FieldAt(c, 0), 256);
    EXPECT_EQ(FieldAt(c, 8), 331);
    EXPECT_EQ(FieldAt(c, 20), 1);
    EXPECT_EQ(FieldAt(c, 24), 128);
    EXPECT_EQ(FieldAt(c, 28), 320);
    EXPECT_EQ(FieldAt(c, 48), 1);
    EXPECT_EQ(FieldAt(c, 60), 1);
    EXPECT_EQ(FieldAt(c, 72), 4);
    EXPECT_EQ(FieldAt(c, 84), 1);
    const QualityEntry& q = kMp3Qualities[41];
    EXPECT_TRUE(writer.SetFormat(q.value, q.sampleRate, q.channels, 16, -1, -1));
    EXPECT_EQ(c.dwBitrate, 32u);
    EXPECT_EQ(c.dwSampleRate, 32000u);
    EXPECT_EQ(c.dwReSampleRate, 32000u);
    EXPECT_EQ(c.nMode, BE_MP3_MODE_JSTEREO);
    EXPECT_TRUE(writer.SetFormat(q.value, q.sampleRate, 1, 16, -1, -1));
    EXPECT_EQ(c.nMode, BE_MP3_MODE_MONO);
}

TEST(Mp3Writer, OtherProgramsDecodeEveryTableCornerAndMono) {
    struct Case {
        int row;
        int channels;
    };
    for (const Case& t : {Case{0, 2}, Case{16, 2}, Case{41, 2}, Case{16, 1}}) {
        SCOPED_TRACE(t.row * 10 + t.channels);
        TempDir dir;
        const QualityEntry& q = kMp3Qualities[t.row];
        const int frames = q.sampleRate * 5 / 2 + 123;
        CMp3Writer writer;
        ASSERT_TRUE(Encode(writer, dir / "t.mp3", TonePcm(q.sampleRate, t.channels, frames), q.sampleRate,
                           t.channels, q.value));
        const ProbedAudio probe = ProbeWithFfprobe(dir / "t.mp3");
        ASSERT_TRUE(probe.ok);
        EXPECT_EQ(probe.codec, "mp3");
        EXPECT_EQ(probe.sampleRate, q.sampleRate);
        EXPECT_EQ(probe.channels, t.channels);
        // At 32 kbit/s and 32 kHz a frame (144 bytes) cannot hold LAME's tag, so decoders cannot
        // trim the encoder delay (576 + 529 samples); everywhere else they get the PCM within a frame.
        CFileStream file;
        Mp3FileInfo info;
        ASSERT_TRUE(file.Open((dir / "t.mp3").c_str(), CFileStream::kRead));
        ASSERT_TRUE(ReadMp3FileInfo(file, info, true, nullptr, nullptr));
        EXPECT_EQ(info.xingPresent, t.row != 41);
        const long long decoded = DecodedFrames(dir / "t.mp3", t.channels);
        EXPECT_GE(decoded, frames);
        EXPECT_LT(decoded, frames + 1152 + (info.xingPresent ? 0 : 1105));
        EXPECT_TRUE(DecodesCleanly(dir / "t.mp3"));
    }
}

// Below 32 kHz only MPEG-2 (and 2.5) frames exist: the writer must ask for them, not leave an
// empty file behind a refused start.
TEST(Mp3Writer, RatesBelow32kHzAreWrittenAsMpeg2) {
    for (const int rate : {8000, 16000, 22050, 24000, 32000}) {
        SCOPED_TRACE(rate);
        TempDir dir;
        const int frames = rate;
        CMp3Writer writer;
        ASSERT_TRUE(Encode(writer, dir / "t.mp3", TonePcm(rate, 2, frames), rate, 2, 64000));
        const ProbedAudio probe = ProbeWithFfprobe(dir / "t.mp3");
        ASSERT_TRUE(probe.ok);
        EXPECT_EQ(probe.codec, "mp3");
        EXPECT_EQ(probe.sampleRate, rate);
        EXPECT_GE(DecodedFrames(dir / "t.mp3", 2), frames);
        EXPECT_TRUE(DecodesCleanly(dir / "t.mp3"));
    }
}

TEST(Mp3Writer, EncoderGetsWholeChunksAndTheFirstFrameCarriesLamesTag) {
    TempDir dir;
    BlockSpy writer;
    const int frames = 44100;
    ASSERT_TRUE(Encode(writer, dir / "t.mp3", TonePcm(44100, 2, frames), 44100, 2, 128000));
    ASSERT_GE(writer.blocks.size(), 2u);
    for (size_t i = 0; i + 1 < writer.blocks.size(); ++i) EXPECT_EQ(writer.blocks[i], 4608);
    EXPECT_EQ(writer.blocks.back(), frames * 4 % 4608);

    CFileStream file;
    ASSERT_TRUE(file.Open((dir / "t.mp3").c_str(), CFileStream::kRead));
    Mp3FileInfo info;
    ASSERT_TRUE(ReadMp3FileInfo(file, info, true, nullptr, nullptr));
    EXPECT_EQ(info.audioOffset, kMp3TagRoom) << "the tags' room comes first";
    EXPECT_EQ(info.bitrate, 128);
    EXPECT_EQ(info.header.protection, 0) << "CRC requested";
    EXPECT_EQ(info.header.privateBit, 1);
    EXPECT_EQ(info.header.original, 1);
    EXPECT_EQ(info.header.channelMode, 1);
    ASSERT_TRUE(info.xingPresent);
    ASSERT_TRUE(info.xing.hasFrames);
    // LAME's tag counts the audio frames: the PCM plus the encoder delay and padding.
    EXPECT_NEAR(info.xing.frames * 1152.0, frames, 3 * 1152.0);
}

TEST(Mp3Writer, ShortTrackIsOneBlockFromEnd) {
    TempDir dir;
    BlockSpy writer;
    ASSERT_TRUE(Encode(writer, dir / "t.mp3", TonePcm(44100, 2, 1000), 44100, 2, 128000));
    EXPECT_EQ(writer.blocks, std::vector<int>{4000});
}

TEST(Mp3Writer, FailedBeginLeavesTheFileUntouched) {
    TempDir dir;
    TagFieldSet tags;
    tags.title = "x";
    {
        CMp3Writer writer;
        writer.SetTags(&tags);
        ASSERT_TRUE(writer.Open((dir / "t.mp3").c_str()));
        EXPECT_TRUE(writer.SetFormat(128000, 44100, 2, 16, -1, -1));
        // A caller's record that contradicts itself: MPEG-2 frames at 44.1 kHz.
        BE_CONFIG contradictory = writer.Config();
        contradictory.dwMpegVersion = MPEG2;
        ASSERT_TRUE(writer.SetOptions(&contradictory, sizeof contradictory));
        const Result<void> begun = writer.Begin();
        ASSERT_FALSE(begun);
        EXPECT_EQ(begun.error().kind, FailureKind::kCodec);
        // The encoder's own code fills the message's last argument.
        const auto& arguments = begun.error().message.Arguments();
        ASSERT_FALSE(arguments.empty()) << begun.error().message.SourceText();
        EXPECT_NE(arguments.back().plain, "0") << begun.error().message.SourceText();
        EXPECT_NE(begun.error().message.SourceText().find("(エラー " + arguments.back().plain + ")"), std::string::npos);
        static_cast<void>(writer.Close());
    }
    EXPECT_EQ(ReadFileBytes(dir / "t.mp3").size(), 0u);
}

TEST(Mp3Writer, TagsAreReadBackByMutagen) {
    TempDir dir;
    TagFieldSet tags;
    tags.title = "Morning lecture";
    tags.artist = "Radio 1";
    tags.album = "Week 12";
    tags.year = "2024";
    tags.genre = "Speech";
    tags.comment = "unattended";
    tags.trackNumber = 7;
    tags.genreNumber = 146;
    CMp3Writer writer;
    ASSERT_TRUE(Encode(writer, dir / "t.mp3", TonePcm(44100, 2, 30000), 44100, 2, 128000, &tags));
    const std::string v2 = MutagenOutput(
        dir / "t.mp3",
        "from mutagen.id3 import ID3\nt=ID3(path,translate=False)\nprint(t.version)\n"
        "for k in ['TIT2','TPE1','TALB','TYER','TCON','TRCK']: print(k, t[k].text[0])\n"
        "c=t.getall('COMM')[0]; print('COMM', c.lang, c.text[0])\n");
    EXPECT_EQ(v2,
              "(2, 3, 0)\nTIT2 Morning lecture\nTPE1 Radio 1\nTALB Week 12\nTYER 2024\nTCON Speech\nTRCK 7\n"
              "COMM jpn unattended\n");
    const std::string v1 = MutagenOutput(
        dir / "t.mp3",
        "from mutagen.id3 import ParseID3v1\nd=open(path,'rb').read()\n"
        "t=ParseID3v1(d[-128:])\nprint(t['TIT2'].text[0], t['TRCK'].text[0], t['TDRC'].text[0], d[-128:-125])\n");
    EXPECT_EQ(v1, "Morning lecture 7 2024 b'TAG'\n");
    EXPECT_TRUE(DecodesCleanly(dir / "t.mp3"));
    // The tag took the room reserved for it: the audio never moved.
    CFileStream file;
    ASSERT_TRUE(file.Open((dir / "t.mp3").c_str(), CFileStream::kRead));
    Mp3FileInfo info;
    ASSERT_TRUE(ReadMp3FileInfo(file, info, true, nullptr, nullptr));
    EXPECT_EQ(info.audioOffset, kMp3TagRoom);
    EXPECT_EQ(info.fileSize, kMp3TagRoom + info.audioLength + 128);
    EXPECT_TRUE(info.xingPresent) << "LAME's Info frame was written behind the room";
}

TEST(Mp3Writer, JapaneseTitleIsUtf16InId3v2AndShiftJisInId3v1) {
    TempDir dir;
    TagFieldSet tags;
    tags.title = "長時間録音";
    CMp3Writer writer;
    ASSERT_TRUE(Encode(writer, dir / "t.mp3", TonePcm(44100, 2, 5000), 44100, 2, 128000, &tags));
    const std::string bytes = ReadFileBytes(dir / "t.mp3");
    const std::string sjis = "\x92\xB7\x8E\x9E\x8A\xD4\x98\x5E\x89\xB9";
    const std::string utf16 = "\xFF\xFE\x77\x95\x42\x66\x93\x95\x32\x93\xF3\x97";
    // The TIT2 frame in encoding 1 with its BOM and terminator; ID3v1 can only hold Shift-JIS.
    EXPECT_NE(bytes.find("TIT2" + std::string("\0\0\0\x0F\0\0\1", 7) + utf16 + std::string(2, '\0')), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 125, sjis.size()), sjis);
}

TEST(LameLibrary, PresentOnlyWithEveryFunction) {
    CLameLibrary missing;
    const Result<void> notFound = missing.Load("no_such_lame_module");
    ASSERT_FALSE(notFound);
    EXPECT_FALSE(notFound.error().message.SourceText().empty());

    CLameLibrary partial;
    const Result<void> incomplete = partial.Load("lame_enc_partial");
    ASSERT_FALSE(incomplete);
    EXPECT_FALSE(partial.IsLoaded());
    EXPECT_NE(incomplete.error().message.SourceText().find("beWriteVBRHeader"), std::string::npos) << incomplete.error().message.SourceText();
    EXPECT_EQ(partial.Functions().initStream, nullptr);

    CLameLibrary real;
    const Result<void> loaded = real.Load("lame_enc");
    ASSERT_TRUE(loaded) << FailureText(loaded);
    EXPECT_NE(real.Functions().writeVbrHeader, nullptr);
    EXPECT_EQ(*LoadLameLibrary(), *LoadLameLibrary());
}
