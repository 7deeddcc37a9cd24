// The Ogg Vorbis reader: exact lengths, the bitrate rule, comments, decoding, bad files.
#include "audiofile/OggReader.h"

#include <gtest/gtest.h>

#include "audiofile/OggWriter.h"
#include "tags/OggCommentHeader.h"
#include "tests/support/ReaderTestFiles.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

std::string OggencFile(const TempDir& dir, const std::string& name, int rate, int channels, int64_t frames,
                       const std::string& options) {
    const std::string wav = ToneWav(dir / (name + ".wav"), rate, channels, frames);
    const std::string ogg = dir / name;
    return RunEncoder("oggenc --quiet " + options + " -o " + ShellQuote(ogg) + " " + ShellQuote(wav)) ? ogg : "";
}

}  // namespace

TEST(OggReader, QualityModeFileOfOurWriterAveragesTheWholeFile) {
    TempDir dir;
    const std::string path = dir / "q.ogg";
    TagFieldSet tags = SampleTags();
    COggWriter writer;
    EXPECT_TRUE(writer.SetQuality(40));
    ASSERT_TRUE(WriteToneTrack(writer, path, 40, 44100, 2, 110250, &tags));

    COggReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(reader.Length(), 110250) << "Vorbis keeps the exact sample count";
    EXPECT_EQ(reader.GetDuration(), 2500);
    EXPECT_EQ(reader.SampleRate(), 44100);
    EXPECT_EQ(reader.Channels(), 2);
    EXPECT_TRUE(reader.IsVbr());
    // ov_bitrate over the file: its audio pages' bits over its time, the headers (the comments' room
    // and a few KB) left out.
    const double fileBits = static_cast<double>(ReadFileBytes(path).size()) * 8;
    EXPECT_LT(reader.Bitrate(), fileBits / 2.5);
    EXPECT_GT(reader.Bitrate(), (fileBits - 8 * (kOggCommentRoomEnd + 8192)) / 2.5);
    EXPECT_EQ(reader.TagFile()->Tags().title, tags.title);
    EXPECT_EQ(reader.TagFile()->Tags().album, tags.album);
    EXPECT_EQ(reader.TagFile()->Tags().trackNumber, 7);
    EXPECT_EQ(reader.TagFile()->Stream().durationMs, 2500);
}

TEST(OggReader, EqualBitratesKeepTheNominalOne) {
    TempDir dir;
    const std::string path =
        OggencFile(dir, "cbr.ogg", 44100, 2, 88200, "--managed -b 128 -m 128 -M 128 -t Title -a Artist -N 4");
    ASSERT_FALSE(path.empty());
    COggReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(reader.Bitrate(), 128000);
    EXPECT_FALSE(reader.IsVbr());
    EXPECT_EQ(reader.GetDuration(), 2000);
    EXPECT_EQ(reader.TagFile()->Tags().title, "Title");
    EXPECT_EQ(reader.TagFile()->Tags().artist, "Artist");
    EXPECT_EQ(reader.TagFile()->Tags().trackNumber, 4);
}

TEST(OggReader, DecodesEveryFrameAndSeeks) {
    TempDir dir;
    const std::string path = OggencFile(dir, "m.ogg", 22050, 1, 33075, "-q 2");
    ASSERT_FALSE(path.empty());
    COggReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(reader.GetDuration(), 1500);
    ASSERT_TRUE(reader.Begin());
    std::string pcm;
    while (reader.ReadBlock()) {
        EXPECT_LE(reader.BlockBytes(), 8192);
        pcm.append(reinterpret_cast<const char*>(reader.Block()), reader.BlockBytes());
    }
    EXPECT_EQ(pcm.size(), 33075u * 2);
    const std::string reference = DecodeWithFfmpeg(path);
    EXPECT_EQ(reference.size(), pcm.size());
    EXPECT_LT(RmsDifference(pcm, reference), 4.0);

    ASSERT_TRUE(reader.Seek(1000));
    EXPECT_EQ(reader.Position(), 22050);
    std::string rest;
    while (reader.ReadBlock()) rest.append(reinterpret_cast<const char*>(reader.Block()), reader.BlockBytes());
    EXPECT_EQ(rest.size(), (33075u - 22050u) * 2);
}

TEST(OggReader, AttachedFileIsReadToo) {
    TempDir dir;
    const std::string path = OggencFile(dir, "a.ogg", 44100, 2, 44100, "-q 3 -t Attached");
    ASSERT_FALSE(path.empty());
    auto file = std::make_unique<CFileStream>();
    ASSERT_TRUE(file->Open(path.c_str(), CFileStream::kRead));
    COggReader reader;
    ASSERT_TRUE(reader.AttachFile(std::move(file)));
    EXPECT_EQ(reader.GetDuration(), 1000);
    EXPECT_EQ(reader.TagFile()->Tags().title, "Attached");
    EXPECT_EQ(DecodeAll(reader).size(), 44100u * 4);
}

TEST(OggReader, RefusesGarbageAndCutFilesDoNotCrash) {
    TempDir dir;
    COggReader reader;
    EXPECT_TRUE(RefusesFile(reader, dir / "noise.ogg", std::string(20000, 'z')));
    EXPECT_TRUE(RefusesFile(reader, dir / "empty.ogg", ""));

    const std::string full = OggencFile(dir, "full.ogg", 44100, 2, 88200, "-q 3");
    ASSERT_FALSE(full.empty());
    const std::string bytes = ReadFileBytes(full);
    // Headers only half there: not a Vorbis file.
    EXPECT_TRUE(RefusesFile(reader, dir / "head.ogg", bytes.substr(0, 100)));
    // Cut in the audio: opens, and decodes what is there.
    WriteFileBytes(dir / "cut.ogg", bytes.substr(0, bytes.size() / 2));
    ASSERT_TRUE(reader.Open((dir / "cut.ogg").c_str()));
    EXPECT_LT(reader.GetDuration(), 2000);
    const std::string pcm = DecodeAll(reader);
    EXPECT_GT(pcm.size(), 0u);
    EXPECT_LT(pcm.size(), 88200u * 4);
    EXPECT_TRUE(reader.Close());
}
