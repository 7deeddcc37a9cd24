// The MP3 reader: figures with and without a Xing header, RIFF-MP3, tags, decoding against ffmpeg, bad files.
#include "audiofile/Mp3Reader.h"

#include <gtest/gtest.h>

#include "audiofile/Mp3Writer.h"
#include "audiofile/FormatTable.h"
#include "tags/Mp3TagFile.h"
#include "tests/support/ReaderTestFiles.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

// An MP3 made by the lame program from `seconds` of tone; `options` chooses bitrate, mode and tags.
std::string LameFile(const TempDir& dir, const std::string& name, int rate, int channels, double seconds,
                     const std::string& options) {
    const std::string wav = ToneWav(dir / (name + ".wav"), rate, channels, static_cast<int64_t>(rate * seconds));
    const std::string mp3 = dir / name;
    return RunEncoder("lame --quiet " + options + " " + ShellQuote(wav) + " " + ShellQuote(mp3)) ? mp3 : "";
}

// Sets the frame count of the file's Xing (or Info) header.
bool PatchXingFrames(const std::string& path, uint32_t frames) {
    std::string bytes = ReadFileBytes(path);
    size_t at = bytes.find("Info");
    if (at == std::string::npos || at > 200) at = bytes.find("Xing");
    if (at == std::string::npos || at > 200 || !(bytes[at + 7] & 1)) return false;
    for (int i = 0; i < 4; ++i) bytes[at + 8 + i] = static_cast<char>(frames >> (24 - 8 * i));
    WriteFileBytes(path, bytes);
    return true;
}

}  // namespace

TEST(Mp3Reader, WithoutXingTheDurationComesFromTheBitrate) {
    TempDir dir;
    // -t: no Xing/Info frame. Cut to 160000 bytes of audio: 10 s at 128 kbit/s.
    const std::string full = LameFile(dir, "cbr.mp3", 44100, 2, 10.5, "-t --cbr -b 128");
    ASSERT_FALSE(full.empty());
    WriteFileBytes(dir / "ten.mp3", ReadFileBytes(full).substr(0, 160000));

    CMp3Reader reader;
    ASSERT_TRUE(reader.Open((dir / "ten.mp3").c_str()));
    EXPECT_FALSE(reader.Info().xingPresent);
    EXPECT_EQ(reader.Length(), 160000);
    EXPECT_EQ(reader.GetDuration(), 10000);
    EXPECT_EQ(reader.Bitrate(), 128000);
    EXPECT_FALSE(reader.IsVbr());
    EXPECT_EQ(reader.BitsPerSample(), 16);
    EXPECT_EQ(reader.TagFile()->Stream().durationMs, 10000);
    EXPECT_EQ(reader.TagFile()->Stream().bitrate, 128000);
}

TEST(Mp3Reader, XingFrameCountGivesDurationAndAverageBitrate) {
    TempDir dir;
    const std::string path = LameFile(dir, "x.mp3", 44100, 2, 10, "--cbr -b 128");
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(PatchXingFrames(path, 383));

    CMp3Reader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    ASSERT_TRUE(reader.Info().xingPresent);
    EXPECT_EQ(reader.GetDuration(), 10004) << "383 x 1152 / 44.1 = 10004.9, truncated";
    EXPECT_TRUE(reader.IsVbr());
    EXPECT_EQ(reader.Bitrate(), reader.Info().audioLength * 8 * 44100 / (383 * 1152));
}

TEST(Mp3Reader, ShortXingFileGetsItsRealAverageBitrate) {
    TempDir dir;
    // 1.9 s: whole seconds in the divisor would make this 256 kbit/s.
    const std::string path = LameFile(dir, "short.mp3", 44100, 2, 1.9, "--cbr -b 128");
    ASSERT_FALSE(path.empty());
    CMp3Reader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    ASSERT_TRUE(reader.Info().xingPresent);
    EXPECT_NEAR(reader.Bitrate(), 128000, 3000);
    // Under a second; the Info frame itself (not counted in F) weighs more in so few frames.
    const std::string tiny = LameFile(dir, "tiny.mp3", 44100, 2, 0.3, "--cbr -b 128");
    ASSERT_TRUE(reader.Open(tiny.c_str()));
    EXPECT_NEAR(reader.Bitrate(), 128000, 13000);
}

TEST(Mp3Reader, VbrAndHalfRateFilesLastWhatFfprobeSays) {
    TempDir dir;
    const std::string vbr = LameFile(dir, "vbr.mp3", 44100, 2, 6, "-V 4");
    // 22050 Hz is MPEG-2: 576 samples a frame, not 1152.
    const std::string half = LameFile(dir, "half.mp3", 22050, 1, 6, "--cbr -b 32 -m m");
    ASSERT_FALSE(vbr.empty());
    ASSERT_FALSE(half.empty());
    for (const std::string& path : {vbr, half}) {
        CMp3Reader reader;
        ASSERT_TRUE(reader.Open(path.c_str())) << path;
        const ProbedAudio probe = ProbeWithFfprobe(path);
        ASSERT_TRUE(probe.ok);
        EXPECT_NEAR(reader.GetDuration(), probe.durationSeconds * 1000, 60) << path;
        EXPECT_EQ(reader.SampleRate(), probe.sampleRate);
        EXPECT_EQ(reader.Channels(), probe.channels);
    }
    CMp3Reader reader;
    ASSERT_TRUE(reader.Open(half.c_str()));
    EXPECT_NEAR(reader.Bitrate(), 32000, 4000);
}

TEST(Mp3Reader, RiffMp3NamedInUpperCaseIsReadAsMp3WithItsInfoTags) {
    TempDir dir;
    const std::string mp3 = LameFile(dir, "a.mp3", 44100, 2, 2, "--cbr -b 128");
    ASSERT_FALSE(mp3.empty());
    const std::string rmp = dir / "LIVE.RMP";
    WriteFileBytes(rmp, ReadFileBytes(mp3));
    ASSERT_TRUE(WriteMp3TagsByName(rmp.c_str(), {kContainerRiffMp3, kTagRiffInfo}, SampleTags()));

    std::unique_ptr<CAudioReader> reader = NewReaderByExtension(rmp.c_str());
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(reader->Open(rmp.c_str()));
    EXPECT_EQ(reader->Kind(), OutputFormat::Mp3);
    EXPECT_EQ(static_cast<CMp3Reader&>(*reader).Info().container, kContainerRiffMp3);
    EXPECT_EQ(static_cast<CMp3Reader&>(*reader).Info().audioOffset, kRiffMp3HeaderSize);
    EXPECT_EQ(reader->TagFile()->Tags().title, SampleTags().title);
    EXPECT_EQ(reader->TagFile()->Tags().album, "Morning Show");
    EXPECT_NEAR(reader->GetDuration(), 2000, 60);
}

TEST(Mp3Reader, TagsOfOurWriterAndOfAnId3v1OnlyFile) {
    TempDir dir;
    const std::string ours = dir / "ours.mp3";
    TagFieldSet tags = SampleTags();
    CMp3Writer writer;
    ASSERT_TRUE(writer.IsAvailable());
    ASSERT_TRUE(WriteToneTrack(writer, ours, 128000, 44100, 2, 44100 * 3, &tags));
    CMp3Reader reader;
    ASSERT_TRUE(reader.Open(ours.c_str()));
    EXPECT_EQ(reader.TagFile()->Tags().title, tags.title);
    EXPECT_EQ(reader.TagFile()->Tags().artist, tags.artist);
    EXPECT_EQ(reader.TagFile()->Tags().trackNumber, 7);
    EXPECT_NEAR(reader.GetDuration(), 3000, 60);

    // The ID3v1 block at the end is read when the file is opened by name, and is no audio.
    const std::string v1 =
        LameFile(dir, "v1.mp3", 44100, 2, 2, "--cbr -b 128 --id3v1-only --tt Evening --ta Host --tl Show --tn 3");
    ASSERT_FALSE(v1.empty());
    ASSERT_TRUE(reader.Open(v1.c_str()));
    EXPECT_EQ(reader.TagFile()->Tags().title, "Evening");
    EXPECT_EQ(reader.TagFile()->Tags().artist, "Host");
    EXPECT_EQ(reader.TagFile()->Tags().trackNumber, 3);
    EXPECT_EQ(reader.Length(), static_cast<int64_t>(ReadFileBytes(v1).size()) - 128);
}

TEST(Mp3Reader, DecodesLikeFfmpeg) {
    TempDir dir;
    const std::string ours = dir / "ours.mp3";
    CMp3Writer writer;
    ASSERT_TRUE(WriteToneTrack(writer, ours, 128000, 44100, 2, 44100 * 2));
    const std::string lame = LameFile(dir, "mono.mp3", 22050, 1, 2, "--cbr -b 32 -m m");
    ASSERT_FALSE(lame.empty());
    for (const std::string& path : {ours, lame}) {
        CMp3Reader reader;
        ASSERT_TRUE(reader.Open(path.c_str()));
        const std::string pcm = DecodeAll(reader);
        const std::string reference = DecodeWithFfmpeg(path);
        ASSERT_FALSE(reference.empty());
        EXPECT_EQ(pcm.size(), reference.size()) << path;
        EXPECT_LT(RmsDifference(pcm, reference), 1.0) << path;  // both decoders round alike
    }
}

TEST(Mp3Reader, SeekMovesByTheBitrateAndDecodingGoesOn) {
    TempDir dir;
    const std::string path = LameFile(dir, "s.mp3", 44100, 2, 4, "-t --cbr -b 128");
    ASSERT_FALSE(path.empty());
    CMp3Reader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    ASSERT_TRUE(reader.Begin());
    ASSERT_TRUE(reader.Seek(2000));
    EXPECT_EQ(reader.Position(), 2000 * 16);
    std::string rest;
    while (reader.ReadBlock()) rest.append(reinterpret_cast<const char*>(reader.Block()), reader.BlockBytes());
    // About the last two seconds (the first frame after a jump lacks its bit reservoir).
    EXPECT_NEAR(static_cast<double>(rest.size()) / 4 / 44100, 2.0, 0.1);
    EXPECT_TRUE(reader.End());
}

TEST(Mp3Reader, RefusesGarbageAndDecodesWhatIsLeftOfACutFile) {
    TempDir dir;
    CMp3Reader reader;
    // No frame header within the first 81920 bytes.
    EXPECT_TRUE(RefusesFile(reader, dir / "zeros.mp3", std::string(90000, '\x00')));
    EXPECT_TRUE(RefusesFile(reader, dir / "empty.mp3", ""));
    // An ID3v2 header claiming far more than the file holds.
    EXPECT_TRUE(RefusesFile(reader, dir / "tag.mp3",
                            std::string("ID3\x03\x00\x00\x7f\x7f\x7f\x7f", 10) + std::string(100, 'x')));

    const std::string full = LameFile(dir, "full.mp3", 44100, 2, 3, "--cbr -b 128");
    ASSERT_FALSE(full.empty());
    const std::string cut = dir / "cut.mp3";
    WriteFileBytes(cut, ReadFileBytes(full).substr(0, 20000));
    ASSERT_TRUE(reader.Open(cut.c_str()));
    EXPECT_GT(reader.GetDuration(), 0);
    const std::string pcm = DecodeAll(reader);
    EXPECT_GT(pcm.size(), 0u);
    EXPECT_LT(pcm.size(), 44100u * 4 * 2);

    // Every whole frame is decoded; the torn one at the end is left out.
    WriteFileBytes(cut, ReadFileBytes(full).substr(0, 417 * 20 + 100));
    ASSERT_TRUE(reader.Open(cut.c_str()));
    EXPECT_LE(DecodeAll(reader).size(), 20u * 1152 * 4);
}
