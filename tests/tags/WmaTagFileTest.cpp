// WMA attributes through the real WMADEC9 module, checked against mutagen both ways.
#include "tags/WmaTagFile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tags/WmaDecoder.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Mutagen.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

// A WMA file made by ffmpeg, so these tests do not depend on our encoder.
std::string MakeWma(const TempDir& dir, const std::string& name) {
    const std::string path = dir / name;
    const ProcessResult made = RunProcess("ffmpeg -v error -f lavfi -i sine=f=440:r=22050:d=1 -c:a wmav2 -b:a 32k -y " +
                                          ShellQuote(path));
    EXPECT_EQ(made.exitCode, 0);
    return path;
}

TagFieldSet ReadBack(const std::string& path) {
    CWmaTagFile tagFile;
    EXPECT_EQ(tagFile.Open(path.c_str()), 1);
    return tagFile.Tags();
}

}  // namespace

TEST(WmaTagFile, TheModuleBesideTheProgramIsVersion9) {
    EXPECT_EQ(LoadWmaDecoder(), 9);
    ASSERT_NE(WmaDecoder(), nullptr);
}

TEST(WmaTagFile, WritesAllNineAttributesThatMutagenReads) {
    TempDir dir;
    const std::string path = MakeWma(dir, "tags.wma");
    CWmaTagFile tagFile;
    ASSERT_EQ(tagFile.Open(path.c_str()), 1);
    EXPECT_EQ(tagFile.Kind(), FileKind::Wma);
    TagFieldSet& tags = tagFile.Tags();
    tags.title = "夜の放送";
    tags.artist = "アーティスト";
    tags.album = "アルバム";
    tags.year = "2024";
    tags.genre = "JPop";
    tags.comment = "一行目\n二行目";
    tags.trackNumber = 5;
    tags.genreNumber = 146;
    ASSERT_EQ(tagFile.Write(), 1);
    ASSERT_EQ(tagFile.Close(), 1);

    const auto read = ReadTagsWithMutagen(path);
    EXPECT_EQ(read.at("Title"), "ASFUnicodeAttribute:夜の放送");
    EXPECT_EQ(read.at("Author"), "ASFUnicodeAttribute:アーティスト");
    EXPECT_EQ(read.at("WM/AlbumTitle"), "ASFUnicodeAttribute:アルバム");
    EXPECT_EQ(read.at("WM/Year"), "ASFUnicodeAttribute:2024");
    EXPECT_EQ(read.at("WM/Genre"), "ASFUnicodeAttribute:JPop");
    EXPECT_EQ(read.at("Description"), "ASFUnicodeAttribute:一行目\\n二行目");
    EXPECT_EQ(read.at("WM/Track"), "ASFDWordAttribute:4");
    EXPECT_EQ(read.at("WM/TrackNumber"), "ASFDWordAttribute:5");
    EXPECT_EQ(read.at("WM/GenreID"), "ASFUnicodeAttribute:146");
    EXPECT_EQ(ProbeWithFfprobe(path).codec, "wmav2") << "the audio survives the header rewrite";

    const TagFieldSet back = ReadBack(path);
    EXPECT_EQ(back.title, "夜の放送");
    EXPECT_EQ(back.artist, "アーティスト");
    EXPECT_EQ(back.album, "アルバム");
    EXPECT_EQ(back.year, "2024");
    EXPECT_EQ(back.genre, "JPop");
    EXPECT_EQ(back.comment, "一行目\n二行目");
    EXPECT_EQ(back.trackNumber, 5);
    EXPECT_EQ(back.genreNumber, 146);
}

TEST(WmaTagFile, ReadsTextOthersWroteAndReplacesWhatShiftJisCannotHold) {
    TempDir dir;
    const std::string path = MakeWma(dir, "foreign.wma");
    ASSERT_TRUE(RunMutagen(path, "from mutagen.asf import ASF\n"
                                 "f = ASF(path)\n"
                                 "f['Title'] = ['カフェ Café']\n"
                                 "f['WM/GenreID'] = ['17 (Rock)']\n"
                                 "f.save()\n"));
    const TagFieldSet tags = ReadBack(path);
    EXPECT_EQ(tags.title, "カフェ Caf?");
    EXPECT_EQ(tags.genreNumber, 17);
    EXPECT_EQ(tags.artist, "");
    EXPECT_EQ(tags.trackNumber, -1);
}

TEST(WmaTagFile, TrackNumberOnlyFromWmTrackNumberWhenWmTrackIsMissing) {
    TempDir dir;
    const std::string onlyNumber = MakeWma(dir, "only.wma");
    ASSERT_TRUE(RunMutagen(onlyNumber, "from mutagen.asf import ASF, ASFDWordAttribute\n"
                                       "f = ASF(path)\n"
                                       "f['WM/TrackNumber'] = [ASFDWordAttribute(5)]\n"
                                       "f.save()\n"));
    EXPECT_EQ(ReadBack(onlyNumber).trackNumber, 5);

    const std::string both = MakeWma(dir, "both.wma");
    ASSERT_TRUE(RunMutagen(both, "from mutagen.asf import ASF, ASFDWordAttribute\n"
                                 "f = ASF(path)\n"
                                 "f['WM/Track'] = [ASFDWordAttribute(4)]\n"
                                 "f['WM/TrackNumber'] = [ASFDWordAttribute(9)]\n"
                                 "f.save()\n"));
    EXPECT_EQ(ReadBack(both).trackNumber, 5);
}

TEST(WmaTagFile, NoTrackNumberIsWrittenAsMinusTwoAndMinusOne) {
    TempDir dir;
    const std::string path = MakeWma(dir, "none.wma");
    {
        CWmaTagFile tagFile;
        ASSERT_EQ(tagFile.Open(path.c_str()), 1);
        ASSERT_EQ(tagFile.Tags().trackNumber, -1);
        ASSERT_EQ(tagFile.Write(), 1);
    }
    const auto read = ReadTagsWithMutagen(path);
    EXPECT_EQ(read.at("WM/Track"), "ASFDWordAttribute:4294967294");
    EXPECT_EQ(read.at("WM/TrackNumber"), "ASFDWordAttribute:4294967295");
    EXPECT_EQ(read.at("WM/GenreID"), "ASFUnicodeAttribute:-1");
    EXPECT_EQ(ReadBack(path).trackNumber, -1);
}

TEST(WmaTagFile, AReadOnlyFileReadsButRefusesTheWrite) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
    TempDir dir;
    const std::string path = MakeWma(dir, "readonly.wma");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    CWmaTagFile tagFile;
    ASSERT_EQ(tagFile.Open(path.c_str()), 1);
    EXPECT_EQ(tagFile.Write(), 0);
}

TEST(WmaTagFile, CorruptAndForeignFilesAreRefused) {
    TempDir dir;
    const std::string good = ReadFileBytes(MakeWma(dir, "good.wma"));
    const std::string asfHeaderGuid("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16);
    const std::pair<const char*, std::string> cases[] = {
        {"empty.wma", ""},
        {"text.wma", "this is not a media file at all"},
        {"truncated.wma", good.substr(0, 200)},
        {"huge-header.wma", asfHeaderGuid + std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F\x09\x00\x00\x00\x01\x02", 14) +
                                std::string(64, '\xAB')},
        {"garbled.wma", good.substr(0, 30) + std::string(good.size() - 30, '\x5A')},
    };
    const WmaDecoderFunctions* wma = WmaDecoder();
    ASSERT_NE(wma, nullptr);
    for (const auto& [name, bytes] : cases) {
        const std::string path = dir / name;
        WriteFileBytes(path, bytes);
        CWmaTagFile tagFile;
        EXPECT_EQ(tagFile.Open(path.c_str()), 0) << name;
        EXPECT_FALSE(tagFile.IsOpen()) << name;
        EXPECT_EQ(wma->tagOpen(path.c_str()), 0) << name;
        EXPECT_EQ(wma->open(path.c_str(), 0, 0), 0) << name;
        EXPECT_EQ(ReadFileBytes(path), bytes) << name << " was left as it was";
    }
    CWmaTagFile missing;
    EXPECT_EQ(missing.Open((dir / "missing.wma").c_str()), 0);
    EXPECT_FALSE(PathExists(dir / "missing.wma"));
    EXPECT_EQ(missing.AttachFile(std::make_unique<CFileStream>()), 0);
}
