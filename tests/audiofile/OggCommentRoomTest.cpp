// Ogg Vorbis and Opus comments of the close, in the room the writers leave for them: in place when
// they fit, on a full disk too, with nothing after the comment page moved; through a copy when
// they do not fit. Other programs read every result and decode the audio unchanged.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "audiofile/OggWriter.h"
#include "audiofile/OpusWriter.h"
#include "tags/OggCommentHeader.h"
#include "audiofile/FormatTable.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Mutagen.h"
#include "tests/support/OggFiles.h"
#include "tests/support/Process.h"
#include "tests/support/SmallFileSystem.h"
#include "tests/support/TestPcm.h"

namespace {

struct OggCase {
    const char* name;
    const char* extension;
    OutputFormat format;
    int bitrate;  // what the session passes to SetFormat
    std::function<std::unique_ptr<CAudioWriter>()> make;
    const char* formatTool;  // lists the comments, warns of what it finds wrong
};

const OggCase kCases[] = {
    {"Vorbis", ".ogg", OutputFormat::OggVorbis, 40,
     [] {
         auto ogg = std::make_unique<COggWriter>();
         ogg->SetRewriteComments(true);
         return ogg;  // quality 40, the default
     },
     "vorbiscomment -l"},
    {"Opus", ".opus", OutputFormat::Opus, 64000, [] { return std::make_unique<COpusWriter>(); }, "opusinfo"},
};

TagFieldSet Tags(const char* end) {
    TagFieldSet tags;
    tags.title = CCharString("講義 第3回 ") + end;
    tags.artist = "ラジオ局";
    tags.comment = CCharString("コメント00:00:00-") + end;
    return tags;
}

ino_t Inode(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

class OggCommentRoom : public testing::TestWithParam<OggCase> {};

TEST_P(OggCommentRoom, TheCloseWritesInPlaceWhenTheCommentsFitAndCopiesOnlyWhenNot) {
    const OggCase& c = GetParam();
    SmallFileSystem disk(512 << 10);
    if (!disk.Mounted()) {
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    }
    const std::string path = disk / (std::string("track") + c.extension);
    TagFieldSet tags = Tags("？");
    std::unique_ptr<CAudioWriter> writer = c.make();
    writer->SetTags(&tags);
    ASSERT_TRUE(writer->Open(path.c_str()));
    ASSERT_TRUE(writer->SetFormat(c.bitrate, 44100, 2, 16, -1, -1));
    ASSERT_TRUE(writer->Begin());
    const std::vector<int16_t> pcm = TonePcm(44100, 2, 44100 * 3);
    const size_t buffer = 4410 * 2;
    for (size_t at = 0; at < pcm.size(); at += buffer)
        ASSERT_TRUE(writer->Write(pcm.data() + at, static_cast<int>(buffer * 2)));
    ASSERT_TRUE(writer->EndStream());
    const std::string encoded = ReadFileBytes(path);
    const std::string audio = DecodeWithFfmpeg(path);
    const std::vector<OggPageInfo> encodedPages = ReadOggPages(encoded);
    ASSERT_GT(encodedPages.size(), 3u);
    EXPECT_EQ(encodedPages[2].offset, kOggCommentRoomEnd) << "the comment page fills the room";
    const ino_t inode = Inode(path);

    // The checks every result passes, with the title and comment it should carry.
    const auto expectReadAndWhole = [&](const TagFieldSet& expected) {
        const std::string title = expected.title.c_str(), comment = expected.comment.c_str();
        bool complete = false;
        const std::vector<OggPageInfo> pages = ReadOggPages(ReadFileBytes(path), &complete);
        EXPECT_TRUE(complete);
        for (size_t i = 0; i < pages.size(); ++i) {
            EXPECT_TRUE(pages[i].checksumOk) << i;
            EXPECT_EQ(pages[i].sequence, i);
            EXPECT_EQ(pages[i].serial, encodedPages[0].serial);
        }
        EXPECT_EQ(pages.back().granule, encodedPages.back().granule);
        const ProcessResult ogginfo = RunProcess("ogginfo " + ShellQuote(path) + " 2>&1");
        EXPECT_EQ(ogginfo.exitCode, 0) << ogginfo.output;
        EXPECT_FALSE(ogginfo.output.find("WARNING") != std::string::npos ||
                     ogginfo.output.find("ERROR") != std::string::npos)
            << ogginfo.output;
        const ProcessResult tool = RunProcess(std::string(c.formatTool) + " " + ShellQuote(path) + " 2>&1");
        EXPECT_EQ(tool.exitCode, 0) << tool.output;
        EXPECT_EQ(tool.output.find("WARNING"), std::string::npos) << tool.output;
        EXPECT_NE(tool.output.find("TITLE=" + title), std::string::npos) << tool.output;
        ProbedAudio probe = ProbeWithFfprobe(path);
        EXPECT_EQ(probe.tags["title"], title);
        EXPECT_EQ(probe.tags["comment"], comment);
        std::map<std::string, std::string> mutagen = ReadTagsWithMutagen(path);
        EXPECT_EQ(mutagen["title"], "str:" + title);
        EXPECT_EQ(mutagen["comment"], "str:" + comment);
        EXPECT_EQ(mutagen.count("encoder"), 0u) << "every comment of the encoder replaced";
        EXPECT_TRUE(DecodeWithFfmpeg(path) == audio) << "the audio decodes as encoded";
    };

    // A full disk: the comments of the close take the padding's place, one page rewritten.
    ASSERT_TRUE(disk.Fill());
    tags = Tags("00:00:03");
    EXPECT_TRUE(writer->Close());
    writer.reset();
    const std::string inPlace = ReadFileBytes(path);
    ASSERT_EQ(inPlace.size(), encoded.size());
    EXPECT_EQ(Inode(path), inode) << "no copy";
    EXPECT_TRUE(inPlace.compare(0, static_cast<size_t>(encodedPages[1].offset), encoded, 0,
                                static_cast<size_t>(encodedPages[1].offset)) == 0);
    EXPECT_TRUE(inPlace.compare(kOggCommentRoomEnd, std::string::npos, encoded, kOggCommentRoomEnd) == 0)
        << "nothing after the comment page changed";
    const std::vector<OggPageInfo> inPlacePages = ReadOggPages(inPlace);
    ASSERT_EQ(inPlacePages.size(), encodedPages.size());
    EXPECT_EQ(inPlacePages[1].granule, encodedPages[1].granule);
    expectReadAndWhole(tags);

    // Longer than the room: a copy, which a full disk refuses, leaving the track as it was.
    TagFieldSet longer = Tags("00:00:03");
    longer.comment = CCharString(std::string(kOggCommentRoomEnd, 'x').c_str());
    std::unique_ptr<CTagFile> editor = FormatRowOf(c.format).newTagEditor();
    EXPECT_FALSE(RewriteTags(*editor, path.c_str(), longer));
    EXPECT_TRUE(ReadFileBytes(path) == inPlace);
    ASSERT_EQ(unlink((disk / ".filler").c_str()), 0);
    EXPECT_TRUE(RewriteTags(*editor, path.c_str(), longer));
    EXPECT_NE(Inode(path), inode) << "copied";
    EXPECT_FALSE(PathExists(path + ".vctemp"));
    expectReadAndWhole(longer);
}

INSTANTIATE_TEST_SUITE_P(Codecs, OggCommentRoom, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<OggCase>& info) { return std::string(info.param.name); });

}  // namespace
