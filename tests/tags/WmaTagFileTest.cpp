// WMA attributes through the real WMADEC9 module, checked against mutagen both ways.
#include "tags/WmaTagFile.h"

#include <sys/stat.h>

#include <cstring>
#include <functional>

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

// The offset of the top-level header object with this GUID (as its first four bytes); npos when none.
size_t HeaderObject(const std::string& file, const char* guidStart) {
    size_t at = 30;
    for (int i = 0; i < 16 && at + 24 <= file.size(); ++i) {
        if (file.compare(at, 4, guidStart, 4) == 0) return at;
        uint64_t size = 0;
        memcpy(&size, file.data() + at + 16, 8);
        at += size;
    }
    return std::string::npos;
}

void PutLe(std::string& file, size_t at, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
}

TagFieldSet ReadBack(const std::string& path) {
    CWmaTagFile tagFile;
    EXPECT_TRUE(tagFile.Open(path.c_str()));
    return tagFile.Tags();
}

}  // namespace

TEST(WmaTagFile, TheModuleBesideTheProgramIsVersion9) {
    EXPECT_EQ(LoadWmaDecoder().value_or(0), 9);
    ASSERT_NE(WmaDecoder(), nullptr);
}

TEST(WmaTagFile, WritesAllNineAttributesThatMutagenReads) {
    TempDir dir;
    const std::string path = MakeWma(dir, "tags.wma");
    CWmaTagFile tagFile;
    ASSERT_TRUE(tagFile.Open(path.c_str()));
    EXPECT_EQ(tagFile.Kind(), OutputFormat::Wma);
    TagFieldSet& tags = tagFile.Tags();
    tags.title = "夜の放送";
    tags.artist = "アーティスト";
    tags.album = "アルバム Café 𠮷";  // beyond Shift-JIS, and beyond UTF-16's first plane
    tags.year = "2024";
    tags.genre = "JPop";
    tags.comment = "一行目\n二行目";
    tags.trackNumber = 5;
    tags.genreNumber = 146;
    ASSERT_TRUE(tagFile.Write());
    ASSERT_TRUE(tagFile.Close());

    const auto read = ReadTagsWithMutagen(path);
    EXPECT_EQ(read.at("Title"), "ASFUnicodeAttribute:夜の放送");
    EXPECT_EQ(read.at("Author"), "ASFUnicodeAttribute:アーティスト");
    EXPECT_EQ(read.at("WM/AlbumTitle"), "ASFUnicodeAttribute:アルバム Café 𠮷");
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
    EXPECT_EQ(back.album, "アルバム Café 𠮷");
    EXPECT_EQ(back.year, "2024");
    EXPECT_EQ(back.genre, "JPop");
    EXPECT_EQ(back.comment, "一行目\n二行目");
    EXPECT_EQ(back.trackNumber, 5);
    EXPECT_EQ(back.genreNumber, 146);
}

// A header without room (ffmpeg's) gets its attributes through a complete new file with room in a
// padding object; later attributes that fit go in place, the file keeping its size; ones that do
// not fit go through a new file again. The audio is the same throughout.
TEST(WmaTagFile, AttributesGoInPlaceWhenThePaddingHoldsThemElseThroughANewFile) {
    TempDir dir;
    const std::string path = MakeWma(dir, "room.wma");
    const auto audio = [&] { return RunProcess("ffmpeg -v error -i " + ShellQuote(path) + " -f md5 -").output; };
    const auto headerSize = [&] {
        uint64_t size = 0;
        memcpy(&size, ReadFileBytes(path).data() + 16, 8);
        return size;
    };
    const std::string original = audio();
    ASSERT_NE(original, "");
    const auto retitle = [&](const std::string& title) {
        CWmaTagFile tagFile;
        ASSERT_TRUE(tagFile.Open(path.c_str()));
        tagFile.Tags().title = title.c_str();
        ASSERT_TRUE(tagFile.Write());
        ASSERT_TRUE(tagFile.Close());
        EXPECT_EQ(ReadTagsWithMutagen(path).at("Title"), "ASFUnicodeAttribute:" + title);
        EXPECT_EQ(audio(), original);
        EXPECT_FALSE(PathExists(path + ".vctemp"));
        EXPECT_NE(HeaderObject(ReadFileBytes(path), "\x74\xD4\x06\x18"), std::string::npos) << "a padding object";
    };
    retitle("first");
    EXPECT_EQ(headerSize() % 4096, 0u);
    const size_t size = ReadFileBytes(path).size();
    const uint64_t header = headerSize();
    retitle("second, a little longer");
    EXPECT_EQ(ReadFileBytes(path).size(), size) << "in place";
    EXPECT_EQ(headerSize(), header);
    retitle(std::string(3000, 'T'));
    EXPECT_GT(headerSize(), header);
}

TEST(WmaTagFile, ReadsTextOthersWroteWithEveryCharacter) {
    TempDir dir;
    const std::string path = MakeWma(dir, "foreign.wma");
    ASSERT_TRUE(RunMutagen(path, "from mutagen.asf import ASF\n"
                                 "f = ASF(path)\n"
                                 "f['Title'] = ['カフェ Café']\n"
                                 "f['WM/GenreID'] = ['17 (Rock)']\n"
                                 "f.save()\n"));
    const TagFieldSet tags = ReadBack(path);
    EXPECT_EQ(tags.title, "カフェ Café");
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
        ASSERT_TRUE(tagFile.Open(path.c_str()));
        ASSERT_EQ(tagFile.Tags().trackNumber, -1);
        ASSERT_TRUE(tagFile.Write());
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
    ASSERT_TRUE(tagFile.Open(path.c_str()));
    EXPECT_FALSE(tagFile.Write());
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
        EXPECT_FALSE(tagFile.Open(path.c_str())) << name;
        EXPECT_FALSE(tagFile.IsOpen()) << name;
        EXPECT_EQ(wma->tagOpen(path.c_str()), 0) << name;
        EXPECT_EQ(wma->open(path.c_str(), 0, 0), 0) << name;
        EXPECT_EQ(ReadFileBytes(path), bytes) << name << " was left as it was";
    }
    CWmaTagFile missing;
    EXPECT_FALSE(missing.Open((dir / "missing.wma").c_str()));
    EXPECT_FALSE(PathExists(dir / "missing.wma"));
    EXPECT_FALSE(missing.AttachFile(std::make_unique<CFileStream>()));
}

TEST(WmaTagFile, HeadersThatWouldLeadTagLibPastTheirEndAreRefusedSoundOnesRead) {
    TempDir dir;
    const std::string path = dir / "tagged.wma";
    ASSERT_EQ(RunProcess("ffmpeg -v error -f lavfi -i sine=f=440:r=22050:d=1 -c:a wmav2 -b:a 32k "
                         "-metadata title=T -metadata artist=A -metadata album=B -y " + ShellQuote(path)).exitCode, 0);
    const std::string good = ReadFileBytes(path);
    const size_t description = HeaderObject(good, "\x33\x26\xB2\x75");
    const size_t extended = HeaderObject(good, "\x40\xA4\xD0\xD2");
    const size_t extension = HeaderObject(good, "\xB5\x03\xBF\x5F");
    ASSERT_NE(description, std::string::npos);
    ASSERT_NE(extended, std::string::npos);
    ASSERT_NE(extension, std::string::npos);
    const struct {
        const char* name;
        std::function<void(std::string&)> change;
        bool opens;
    } cases[] = {
        {"as written", [](std::string&) {}, true},
        {"more attributes than the header holds", [&](std::string& f) { PutLe(f, extended + 24, 0xFFFF, 2); }, false},
        {"a title longer than the header", [&](std::string& f) { PutLe(f, description + 24, 0xFFF0, 2); }, false},
        {"a header larger than the file", [&](std::string& f) { PutLe(f, 16, f.size() + 1, 8); }, false},
        {"an object smaller than its own head", [&](std::string& f) { PutLe(f, extended + 16, 10, 8); }, false},
        {"header extension data past the object",
         [&](std::string& f) { PutLe(f, extension + 24 + 18, f.size(), 4); }, false},
        {"cut inside the header", [](std::string& f) { f.resize(200); }, false},
    };
    const WmaDecoderFunctions* wma = WmaDecoder();
    ASSERT_NE(wma, nullptr);
    for (const auto& [name, change, opens] : cases) {
        SCOPED_TRACE(name);
        std::string bytes = good;
        change(bytes);
        WriteFileBytes(path, bytes);
        const int32_t handle = wma->tagOpen(path.c_str());
        EXPECT_EQ(handle != 0, opens);
        if (handle) {
            char title[WMA_TEXT_BUFFER] = {};
            EXPECT_EQ(wma->tagGetAttrb(handle, WMA_ATTRIBUTE_TEXT, reinterpret_cast<const uint16_t*>(u"Title"), title,
                                       sizeof title), 1);
            EXPECT_STREQ(title, "T");
            wma->tagClose(handle);
        }
    }
}

TEST(WmaTagFile, ATitleTooLongForItsLengthFieldIsCutAndItsNeighboursStayIntact) {
    TempDir dir;
    const std::string path = MakeWma(dir, "long.wma");
    std::string longTitle;
    for (int i = 0; i < 40000; ++i) longTitle += "あ";
    {
        CWmaTagFile tagFile;
        ASSERT_TRUE(tagFile.Open(path.c_str()));
        tagFile.Tags().title = longTitle;
        tagFile.Tags().artist = "アーティスト";
        tagFile.Tags().comment = "コメント";
        tagFile.Tags().album = "アルバム";
        ASSERT_TRUE(tagFile.Write());
        ASSERT_TRUE(tagFile.Close());
    }
    const auto read = ReadTagsWithMutagen(path);
    ASSERT_TRUE(read.count("Title"));
    // 32766 characters and the terminator fill the 16-bit byte count.
    EXPECT_TRUE(read.at("Title") == "ASFUnicodeAttribute:" + longTitle.substr(0, 32766 * 3)) << read.at("Title").size();
    EXPECT_EQ(read.at("Author"), "ASFUnicodeAttribute:アーティスト");
    EXPECT_EQ(read.at("Description"), "ASFUnicodeAttribute:コメント");
    EXPECT_EQ(read.at("WM/AlbumTitle"), "ASFUnicodeAttribute:アルバム");
    EXPECT_EQ(ProbeWithFfprobe(path).codec, "wmav2");

    // A character of two UTF-16 units across the cut goes whole, not half of it.
    const std::string pairPath = MakeWma(dir, "pair.wma");
    std::string pairTitle = longTitle.substr(0, 32765 * 3);
    for (int i = 0; i < 10; ++i) pairTitle += "𠮷";
    {
        CWmaTagFile tagFile;
        ASSERT_TRUE(tagFile.Open(pairPath.c_str()));
        tagFile.Tags().title = pairTitle;
        ASSERT_TRUE(tagFile.Write());
        ASSERT_TRUE(tagFile.Close());
    }
    const auto pairRead = ReadTagsWithMutagen(pairPath);
    ASSERT_TRUE(pairRead.count("Title"));
    EXPECT_TRUE(pairRead.at("Title") == "ASFUnicodeAttribute:" + longTitle.substr(0, 32765 * 3));
}
