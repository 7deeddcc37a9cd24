// The Opus writer: files opusinfo finds clean, the exact length at every input rate, the tags
// ffprobe and mutagen read as typed, and the rewrite at the close that leaves the track as
// encoded when it fails.
#include "audiofile/OpusWriter.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "audiofile/OpusReader.h"
#include "tags/OggCommentHeader.h"
#include "tags/OpusTagFile.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Mutagen.h"
#include "tests/support/OggFiles.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

struct Input {
    int rate;
    int channels;
    int bitrate;
};

// Encodes three seconds of tone in buffers of 100 ms, as the recorder feeds them; the tags are
// changed before the close, as the end and the length are known only then.
bool EncodeTrack(COpusWriter& writer, const std::string& path, const Input& in, TagFieldSet& tags,
                 const TagFieldSet& atClose) {
    writer.SetTags(&tags);
    if (!writer.Open(path.c_str()) || !writer.SetFormat(in.bitrate, in.rate, in.channels, 16, -1, -1) ||
        !writer.Begin())
        return false;
    const std::vector<int16_t> pcm = TonePcm(in.rate, in.channels, int64_t{in.rate} * 3);
    const size_t buffer = static_cast<size_t>(in.rate / 10 * in.channels);
    for (size_t at = 0; at < pcm.size(); at += buffer)
        if (!writer.Write(pcm.data() + at, static_cast<int>(buffer * 2))) return false;
    if (!writer.EndStream()) return false;
    tags = atClose;
    return static_cast<bool>(writer.Close());
}

TagFieldSet Tags(const char* end) {
    TagFieldSet tags;
    tags.title = CCharString("講義 第3回 ") + end;
    tags.artist = "ラジオ局";
    tags.album = "アルバムNo1";
    tags.comment = CCharString("コメント00:00:00-") + end;
    tags.year = "2026";
    tags.trackNumber = 3;
    return tags;
}

class OpusWriterInput : public testing::TestWithParam<Input> {};

TEST_P(OpusWriterInput, IsCleanDecodesToTheLengthFedAndCarriesTheTagsOfTheClose) {
    const Input in = GetParam();
    TempDir dir;
    const std::string path = dir / "track.opus";
    TagFieldSet tags = Tags("？");
    COpusWriter writer;
    ASSERT_TRUE(EncodeTrack(writer, path, in, tags, Tags("00:00:03")));

    const ProcessResult info = RunProcess("opusinfo " + ShellQuote(path) + " 2>&1");
    EXPECT_EQ(info.exitCode, 0) << info.output;
    EXPECT_EQ(info.output.find("WARNING"), std::string::npos) << info.output;
    EXPECT_EQ(info.output.find("ERROR"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("Original sample rate: " + std::to_string(in.rate) + " Hz"), std::string::npos)
        << info.output;

    // Three seconds at 48 kHz, to the sample, by two decoders.
    EXPECT_EQ(DecodedFrames(path, in.channels), 3 * 48000);
    COpusReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(reader.Length(), 3 * 48000);
    EXPECT_EQ(reader.GetDuration(), 3000);
    EXPECT_EQ(reader.Channels(), in.channels);
    // The average counts the headers too: over three seconds, the comments' room alone is 11 kbit/s.
    EXPECT_NEAR(reader.Bitrate() - kOggCommentRoomEnd * 8 / 3, in.bitrate, in.bitrate * 0.35);
    ASSERT_NE(reader.TagFile(), nullptr);
    EXPECT_EQ(reader.TagFile()->Tags().title, CCharString("講義 第3回 00:00:03"));
    static_cast<void>(reader.Close());

    ProbedAudio probe = ProbeWithFfprobe(path);
    EXPECT_EQ(probe.codec, "opus");
    EXPECT_EQ(probe.tags["title"], "講義 第3回 00:00:03");
    EXPECT_EQ(probe.tags["artist"], "ラジオ局");
    EXPECT_EQ(probe.tags["comment"], "コメント00:00:00-00:00:03");
    std::map<std::string, std::string> mutagen = ReadTagsWithMutagen(path);  // "type:value"
    EXPECT_EQ(mutagen["title"], "str:講義 第3回 00:00:03");
    EXPECT_EQ(mutagen["album"], "str:アルバムNo1");
    EXPECT_EQ(mutagen["tracknumber"], "str:3");
    EXPECT_EQ(mutagen["date"], "str:2026");
}

INSTANTIATE_TEST_SUITE_P(Rates, OpusWriterInput,
                         testing::Values(Input{48000, 2, 64000}, Input{44100, 2, 128000}, Input{22050, 1, 32000},
                                         Input{8000, 1, 6000}),
                         [](const testing::TestParamInfo<Input>& info) {
                             return std::to_string(info.param.rate) + "Hz_" + std::to_string(info.param.channels) +
                                    "ch_" + std::to_string(info.param.bitrate);
                         });

TEST(OpusWriter, AFailedRewriteAtTheCloseLeavesTheTrackAsEncodedAndIsTold) {
    TempDir dir;
    const std::string path = dir / "track.opus";
    // Where the copy would go, something that is not ours to replace; the comments of the close are
    // too long for their room, so only a copy could take them.
    ASSERT_EQ(mkdir((path + ".vctemp").c_str(), 0755), 0);
    TagFieldSet tags = Tags("？");
    TagFieldSet longer = Tags("00:00:03");
    longer.comment = CCharString(std::string(5000, 'x').c_str());
    COpusWriter writer;
    EXPECT_FALSE(EncodeTrack(writer, path, Input{48000, 2, 64000}, tags, longer));
    EXPECT_TRUE(DecodesCleanly(path));
    EXPECT_EQ(DecodedFrames(path, 2), 3 * 48000);
    EXPECT_EQ(ProbeWithFfprobe(path).tags["title"], "講義 第3回 ？");
}

// Comments that take several pages move the audio pages: they are numbered on, with their
// checksums, and the audio is untouched; a shorter rewrite numbers them back.
TEST(OpusWriter, CommentsOverSeveralPagesRenumberTheAudioPages) {
    TempDir dir;
    const std::string path = dir / "track.opus";
    TagFieldSet tags = Tags("？");
    TagFieldSet long_ = Tags("00:00:03");
    long_.comment = CCharString(std::string(150000, 'x').c_str());
    COpusWriter writer;
    ASSERT_TRUE(EncodeTrack(writer, path, Input{48000, 2, 64000}, tags, long_));
    const std::string pcm = DecodeWithFfmpeg(path);
    const auto expectWhole = [&](const TagFieldSet& tagged) {
        bool complete = false;
        const std::vector<OggPageInfo> pages = ReadOggPages(ReadFileBytes(path), &complete);
        ASSERT_TRUE(complete);
        for (size_t i = 0; i < pages.size(); ++i) {
            EXPECT_EQ(pages[i].sequence, i);
            EXPECT_TRUE(pages[i].checksumOk) << i;
        }
        EXPECT_EQ(RunProcess("opusinfo " + ShellQuote(path) + " 2>&1 | grep -c WARNING").output, "0\n");
        EXPECT_TRUE(DecodeWithFfmpeg(path) == pcm) << "the audio is what was encoded";
        EXPECT_EQ(ReadTagsWithMutagen(path)["comment"].size(), 4 + tagged.comment.view().size());
    };
    expectWhole(long_);
    COpusTagFile editor;
    ASSERT_TRUE(RewriteTags(editor, path.c_str(), Tags("00:00:03")));
    expectWhole(Tags("00:00:03"));
}

}  // namespace
