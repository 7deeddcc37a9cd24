// The FLAC writer, its reader and comments: files flac, ffmpeg and mutagen read exactly, the
// comments rewritten in their room or through a copy, and a stream a kill cut short completed.
#include "audiofile/FlacWriter.h"

#include <gtest/gtest.h>

#include "audiofile/FlacReader.h"
#include "tags/FlacTagFile.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Mutagen.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

struct Layout {
    int level;
    int rate;
    int channels;
};

void PrintTo(const Layout& layout, std::ostream* out) {
    *out << "level " << layout.level << ", " << layout.rate << " Hz, " << layout.channels << " ch";
}

TagFieldSet JapaneseTags() {
    TagFieldSet tags;
    tags.title = "録音 No.1 ～ 夜のラジオ";
    tags.artist = "アーティスト";
    tags.album = "アルバムNo1";
    tags.comment = "コメント10:00:00-？";
    tags.year = "2026";
    tags.trackNumber = 3;
    return tags;
}

// Starts a track and feeds `pcm` in 100 ms buffers, as the recorder does; the caller ends it.
void Feed(CFlacWriter& writer, const std::string& path, const Layout& layout, const std::vector<int16_t>& pcm,
          TagFieldSet* tags) {
    writer.SetTags(tags);
    ASSERT_TRUE(writer.SetCompressionLevel(layout.level));
    ASSERT_TRUE(writer.Open(path.c_str()));
    ASSERT_TRUE(writer.SetFormat(layout.level, layout.rate, layout.channels, 16, -1, -1));
    ASSERT_TRUE(writer.Begin());
    const size_t buffer = static_cast<size_t>(layout.rate / 10 * layout.channels);
    for (size_t at = 0; at < pcm.size(); at += buffer)
        ASSERT_TRUE(writer.Write(pcm.data() + at, static_cast<int>(std::min(buffer, pcm.size() - at) * 2)));
}

std::string Bytes(const std::vector<int16_t>& pcm) {
    return std::string(reinterpret_cast<const char*>(pcm.data()), pcm.size() * 2);
}

// Whether the reader decodes a first block of audio from the file.
bool FirstBlockDecodes(const std::string& path) {
    CFlacReader reader;
    return reader.Open(path.c_str()) && reader.Begin() && reader.ReadBlock() && reader.BlockBytes() > 0;
}

int64_t AudioOffset(const std::string& path) {
    CFileStream file;
    std::vector<FlacBlock> blocks;
    int64_t offset = -1;
    if (!file.Open(path.c_str(), CFileStream::kRead) || !ReadFlacBlocks(file, blocks, offset)) return -1;
    return offset;
}

class FlacTrack : public testing::TestWithParam<Layout> {};

TEST_P(FlacTrack, IsLosslessValidAndTaggedAsTypedForOtherPrograms) {
    const Layout layout = GetParam();
    TempDir dir;
    const std::string path = dir / "track.flac";
    const int64_t frames = layout.rate * 2 + 123;  // no whole number of blocks
    const std::vector<int16_t> pcm = TonePcm(layout.rate, layout.channels, frames);
    TagFieldSet tags = JapaneseTags();
    CFlacWriter writer;
    Feed(writer, path, layout, pcm, &tags);
    ASSERT_TRUE(writer.End());
    ASSERT_TRUE(writer.Close());

    EXPECT_TRUE(FlacTestPasses(path)) << "flac -t, warnings included: the MD5 is set and matches";
    EXPECT_TRUE(DecodeWithFfmpeg(path) == Bytes(pcm)) << "every sample as fed";
    EXPECT_EQ(AudioOffset(path), kFlacTagRoom) << "the frames begin after the comments' room";
    ProbedAudio probed = ProbeWithFfprobe(path);
    EXPECT_EQ(probed.codec, "flac");
    EXPECT_EQ(probed.durationSamples, frames) << "STREAMINFO's total";
    EXPECT_EQ(probed.tags["title"], "録音 No.1 ～ 夜のラジオ");
    EXPECT_EQ(probed.tags["artist"], "アーティスト");
    EXPECT_EQ(probed.tags["comment"], "コメント10:00:00-？");
    const std::map<std::string, std::string> mutagen = ReadTagsWithMutagen(path);
    EXPECT_EQ(mutagen.at("title"), "str:録音 No.1 ～ 夜のラジオ");
    EXPECT_EQ(mutagen.at("tracknumber"), "str:3");

    CFlacReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(reader.Length(), frames);
    EXPECT_EQ(reader.GetDuration(), frames * 1000 / layout.rate);
    EXPECT_EQ(reader.SampleRate(), layout.rate);
    EXPECT_EQ(reader.Channels(), layout.channels);
    const int64_t audioBits = (static_cast<int64_t>(ReadFileBytes(path).size()) - kFlacTagRoom) * 8;
    EXPECT_NEAR(reader.Bitrate(), static_cast<double>(audioBits) * layout.rate / frames, 1.0);
    ASSERT_NE(reader.TagFile(), nullptr);
    EXPECT_EQ(reader.TagFile()->Tags().title, tags.title);
    EXPECT_EQ(reader.TagFile()->Tags().trackNumber, 3);
}

INSTANTIATE_TEST_SUITE_P(Layouts, FlacTrack,
                         testing::Values(Layout{5, 44100, 2}, Layout{0, 16000, 1}, Layout{8, 48000, 2}),
                         [](const testing::TestParamInfo<Layout>& info) {
                             return "Level" + std::to_string(info.param.level) + "_" +
                                    std::to_string(info.param.rate) + "_" + std::to_string(info.param.channels);
                         });

// The session changes the tags between the stream's end and the close (the end time becomes
// known): they are written over the old ones in the padding, the frames untouched; comments too
// long for that room go into a complete copy, the frames again the same bytes.
TEST(FlacWriter, TagsAtTheCloseGoIntoTheirRoomOrAFullCopyNeverMovingFramesInPlace) {
    TempDir dir;
    const Layout layout{5, 44100, 2};
    const std::vector<int16_t> pcm = TonePcm(layout.rate, layout.channels, layout.rate);
    for (const size_t commentLength : {size_t{40}, size_t{5000}}) {
        SCOPED_TRACE(commentLength);
        const std::string path = dir / ("room" + std::to_string(commentLength) + ".flac");
        TagFieldSet tags = JapaneseTags();
        CFlacWriter writer;
        Feed(writer, path, layout, pcm, &tags);
        ASSERT_TRUE(writer.EndStream());
        const std::string ended = ReadFileBytes(path);
        tags.comment = ("コメント10:00:00-10:00:01" + std::string(commentLength, 'x')).c_str();
        ASSERT_TRUE(writer.Close());

        const std::string closed = ReadFileBytes(path);
        const int64_t offset = AudioOffset(path);
        EXPECT_EQ(offset % kFlacTagRoom, 0) << "the frames start on a page boundary";
        if (commentLength < 1000) {
            EXPECT_EQ(offset, kFlacTagRoom);
            EXPECT_EQ(closed.size(), ended.size());
        }
        EXPECT_TRUE(closed.compare(offset, std::string::npos, ended, kFlacTagRoom) == 0) << "the frames, byte for byte";
        EXPECT_FALSE(PathExists(path + ".vctemp"));
        EXPECT_TRUE(FlacTestPasses(path));
        EXPECT_EQ(ProbeWithFfprobe(path).tags["comment"], tags.comment.str());
        // Written once more, the comments that needed a copy now fit where it left room.
        CFlacTagFile editor;
        ASSERT_TRUE(editor.Open(path.c_str()));
        editor.Tags().title = "二度目";
        ASSERT_TRUE(editor.Write());
        static_cast<void>(editor.Close());
        EXPECT_EQ(ReadFileBytes(path).size(), closed.size());
        EXPECT_EQ(ProbeWithFfprobe(path).tags["title"], "二度目");
    }
}

// A kill leaves STREAMINFO without totals and, mid-write, the last frame cut short: the recovery
// sets the totals from the whole frames and cuts the torn one off.
TEST(FlacWriter, AStreamCutShortByAKillIsCompletedFromItsWholeFrames) {
    TempDir dir;
    const Layout layout{5, 44100, 2};
    const std::string open = dir / "open.flac";
    const std::vector<int16_t> pcm = TonePcm(layout.rate, layout.channels, layout.rate * 3);
    {
        TagFieldSet tags = JapaneseTags();
        CFlacWriter writer;
        Feed(writer, open, layout, pcm, &tags);
        const std::string killed = ReadFileBytes(open);
        WriteFileBytes(dir / "torn.flac", killed.substr(0, killed.size() - 100));
    }
    const std::string path = dir / "torn.flac";
    EXPECT_TRUE(FirstBlockDecodes(path));
    ASSERT_TRUE(CompleteFlacStream(path.c_str()));

    EXPECT_TRUE(FlacTestPasses(path, false)) << "a valid stream; only its MD5 is unknown";
    const std::string decoded = DecodeWithFfmpeg(path);
    const auto decodedFrames = static_cast<int64_t>(decoded.size() / 4);
    EXPECT_GT(decodedFrames, layout.rate * 3 - 3 * 4608) << "all but the frames still in the encoder and the torn one";
    EXPECT_TRUE(Bytes(pcm).compare(0, decoded.size(), decoded) == 0);
    CFlacReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(reader.Length(), decodedFrames) << "STREAMINFO counts the frames there";
    static_cast<void>(reader.Close());
    // Completed once, the stream is left alone.
    const std::string completed = ReadFileBytes(path);
    ASSERT_TRUE(CompleteFlacStream(path.c_str()));
    EXPECT_TRUE(ReadFileBytes(path) == completed);

    // Killed before its first frame: only the metadata, no audio.
    CFlacWriter writer;
    const std::string empty = dir / "empty.flac";
    ASSERT_TRUE(writer.Open(empty.c_str()));
    ASSERT_TRUE(writer.SetFormat(5, 44100, 2, 16, -1, -1));
    ASSERT_TRUE(writer.Begin());
    EXPECT_FALSE(FirstBlockDecodes(empty));
}

}  // namespace
