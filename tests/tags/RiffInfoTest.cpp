// RIFF INFO lists: sub-chunk sizes and pad bytes, the IID3 block, reading back and hostile sizes.
#include "tags/RiffInfo.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace {

uint32_t Le32At(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
}

}  // namespace

TEST(RiffInfo, SubChunkSizesAndPadBytes) {
    TagFieldSet tags;
    tags.title = "abc";
    tags.artist = "abcd";
    tags.trackNumber = 0;
    const std::string list = BuildInfoList(tags);
    EXPECT_EQ(list.substr(0, 4), "LIST");
    EXPECT_EQ(list.substr(8, 4), "INFO");
    EXPECT_EQ(list.substr(12, 12), std::string("INAM\4\0\0\0abc\0", 12));
    EXPECT_EQ(list.substr(24, 14), std::string("IART\6\0\0\0abcd\0\0", 14));
    EXPECT_EQ(list.substr(38, 10), std::string("IPRD\2\0\0\0\0\0", 10));
    // INAM 12 + IART 14 + four empty texts of 10 + IID3 136.
    EXPECT_EQ(list.size(), 12u + 12 + 14 + 40 + 136);
    EXPECT_EQ(Le32At(list, 4), list.size() - 8);
    const size_t id3 = list.size() - 136;
    EXPECT_EQ(list.substr(id3, 11), std::string("IID3\x80\0\0\0TAG", 11));
    // Track 0 goes into ID3v1 of MP3 files, not into this block.
    EXPECT_EQ(list[id3 + 8 + 125], ' ');
}

TEST(RiffInfo, ReadsBackWhatItWrites) {
    TempDir dir;
    TagFieldSet tags;
    tags.title = "長時間録音";
    tags.artist = "a";
    tags.album = "b";
    tags.year = "2024";
    tags.comment = "c";
    tags.genre = "g";
    tags.trackNumber = 12;
    tags.genreNumber = 146;
    WriteFileBytes(dir / "l", BuildInfoList(tags));
    EXPECT_NE(ReadFileBytes(dir / "l").find("INAM\x10\0\0\0長時間録音" + std::string(1, '\0')), std::string::npos);
    CFileStream file;
    ASSERT_TRUE(file.Open((dir / "l").c_str(), CFileStream::kRead));
    TagFieldSet back;
    int64_t length = 0;
    ASSERT_TRUE(ReadInfoList(file, back, &length));
    EXPECT_EQ(length, static_cast<int64_t>(BuildInfoList(tags).size()));
    EXPECT_EQ(back.title, "長時間録音");
    EXPECT_EQ(back.year, "2024");
    EXPECT_EQ(back.trackNumber, 12);
    EXPECT_EQ(back.genreNumber, 146);
    EXPECT_EQ(back.genre, "JPop");  // the IID3 block's genre names the genre
}

TEST(RiffInfo, HugeSubChunkStopsTheRead) {
    TempDir dir;
    WriteFileBytes(dir / "l", std::string("LIST\x20\0\0\0INFOINAM\x01\0\x09\0x", 21));
    CFileStream file;
    ASSERT_TRUE(file.Open((dir / "l").c_str(), CFileStream::kRead));
    TagFieldSet tags;
    EXPECT_FALSE(ReadInfoList(file, tags));
    WriteFileBytes(dir / "m", "LIST\4\0\0\0JUNK");
    ASSERT_TRUE(file.Open((dir / "m").c_str(), CFileStream::kRead));
    EXPECT_FALSE(ReadInfoList(file, tags));
}
