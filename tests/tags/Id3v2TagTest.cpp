// ID3v2 tags: frame payloads, sizes, the versions and oddities read, what is written back.
#include "tags/Id3v2Tag.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace {

std::string Be32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * (3 - i)));
    return s;
}

std::string Syncsafe(uint32_t v) {
    std::string s(4, '\0');
    EncodeSyncsafe(v, reinterpret_cast<unsigned char*>(s.data()));
    return s;
}

std::string Tag(int major, int flags, const std::string& body) {
    return std::string("ID3") + char(major) + '\0' + char(flags) + Syncsafe(body.size()) + body;
}

std::string Frame3(const char* id, const std::string& payload) { return id + Be32(payload.size()) + std::string(2, '\0') + payload; }
std::string Frame2(const char* id, const std::string& payload) {
    return id + Be32(payload.size()).substr(1) + payload;
}

// Reads `bytes` as a tag, then returns what WriteTag makes of it.
std::string RoundTrip(const TempDir& dir, const std::string& bytes, CId3v2Tag& tag) {
    WriteFileBytes(dir / "in", bytes);
    CFileStream in;
    EXPECT_TRUE(in.Open((dir / "in").c_str(), CFileStream::kRead));
    EXPECT_TRUE(tag.ReadTag(in));
    CFileStream out;
    EXPECT_TRUE(out.Open((dir / "out").c_str(), CFileStream::kWrite));
    EXPECT_TRUE(tag.WriteTag(out));
    out.Close();
    return ReadFileBytes(dir / "out");
}

}  // namespace

TEST(Id3v2Tag, PayloadsAndSizesOfANewTag) {
    CId3v2Tag tag;
    EXPECT_EQ(tag.SetFrameText("TIT2", "").value_or(0), 2);
    EXPECT_EQ(tag.SetFrameText("COMM", "abc").value_or(0), 9);
    EXPECT_EQ(tag.frames[1]->payload, std::string("\0jpn\0abc\0", 9));
    EXPECT_EQ(tag.frames[0]->payload, std::string(2, '\0'));
    ASSERT_TRUE(tag.SetFrameText("TPE1", "x"));
    ASSERT_TRUE(tag.SetFrameText("TIT2", "title"));  // replaces, keeps its place
    ASSERT_EQ(tag.frames.size(), 3u);
    EXPECT_EQ(tag.GetFrameText("TIT2"), "title");
    EXPECT_EQ(tag.GetFrameText("TALB", "none"), "none");
    const std::string bytes = tag.Render();
    const size_t frames = (7 + 10) + (9 + 10) + (3 + 10);
    EXPECT_EQ(bytes.substr(0, 10), std::string("ID3\3\0\0", 6) + Syncsafe(2048 + frames));
    EXPECT_EQ(bytes.size(), 10 + frames + 2048);
    EXPECT_EQ(bytes.substr(10, 10), "TIT2" + Be32(7) + std::string(2, '\0'));
    EXPECT_EQ(Syncsafe(200), std::string("\0\0\1\x48", 4));
}

TEST(Id3v2Tag, TextEncodings) {
    CId3v2Tag tag;
    tag.textEncoding = 1;
    EXPECT_EQ(tag.SetFrameText("TIT2", "ab").value_or(0), 1 + 2 + 4 + 2);
    EXPECT_EQ(tag.frames[0]->payload, std::string("\1\xFF\xFE" "a\0b\0\0\0", 9));
    // The default keeps plain text byte for byte and writes any other as UTF-16.
    tag.textEncoding = 0;
    ASSERT_TRUE(tag.SetFrameText("TPE1", "録音"));
    EXPECT_EQ(tag.frames[1]->payload, std::string("\1\xFF\xFE\x32\x93\xF3\x97\0\0", 9));
    ASSERT_TRUE(tag.SetFrameText("COMM", "Plain"));
    EXPECT_EQ(tag.frames[2]->payload, std::string("\0jpn\0Plain\0", 11));
    ASSERT_TRUE(tag.SetFrameText("TPE1", "x"));
    EXPECT_EQ(tag.frames[1]->payload, std::string("\0x\0", 3));

    TempDir dir;
    CId3v2Tag read;
    const std::string body = Frame3("TIT2", std::string("\2\xFE\xFF\0a\0b", 7)) + Frame3("TPE1", "\3\xE9\x8C\xB2") +
                             Frame3("TALB", std::string("\0\x98\x5E", 3)) +
                             Frame3("COMM", std::string("\1eng\xFF\xFE" "d\0\0\0\xFF\xFEx\0", 14));
    RoundTrip(dir, Tag(3, 0, body), read);
    EXPECT_EQ(read.GetFrameText("TIT2"), "ab");
    EXPECT_EQ(read.GetFrameText("TPE1"), "録");
    EXPECT_EQ(read.GetFrameText("TALB"), "録");
    EXPECT_EQ(read.GetFrameText("COMM"), "x");
    EXPECT_EQ(read.textEncoding, 1);  // from the last frame
}

TEST(Id3v2Tag, Version2IsMappedAndWrittenAsVersion3) {
    TempDir dir;
    const std::string body = Frame2("TT2", std::string("\0Song", 5)) + Frame2("TP1", std::string("\0Band", 5)) +
                             Frame2("XYZ", "??") + Frame2("TAL", std::string("\0Lost", 5));
    CId3v2Tag tag;
    const std::string out = RoundTrip(dir, Tag(2, 0, body), tag);
    ASSERT_EQ(tag.frames.size(), 2u);  // the unknown id ends the parse
    EXPECT_EQ(tag.GetFrameText("TPE1"), "Band");
    EXPECT_EQ(out[3], 3);
    EXPECT_EQ(out.substr(10, 15), "TIT2" + Be32(5) + std::string(2, '\0') + std::string("\0Song", 5));
    EXPECT_EQ(out.substr(25, 4), "TPE1");
}

TEST(Id3v2Tag, UnsynchronisationAndExtendedHeaderAreRemoved) {
    TempDir dir;
    // PRIV carries FF E0 and FF 00, which unsynchronisation writes as FF 00 E0 and FF 00 00.
    const std::string priv = Frame3("PRIV", std::string("\xFF\xE0\xFF\0z", 5));
    std::string unsynced;
    for (size_t i = 0; i < priv.size(); ++i) {
        unsynced += priv[i];
        if (static_cast<unsigned char>(priv[i]) == 0xFF) unsynced += '\0';
    }
    const std::string extended = Be32(6) + std::string(6, '\0');
    CId3v2Tag tag;
    const std::string out = RoundTrip(dir, Tag(3, 0xC0, extended + unsynced + Frame3("TIT2", std::string("\0T", 2))), tag);
    EXPECT_TRUE(tag.unsynchronised);
    ASSERT_EQ(tag.frames.size(), 2u);
    EXPECT_EQ(tag.frames[0]->payload, std::string("\xFF\xE0\xFF\0z", 5));
    EXPECT_EQ(tag.GetFrameText("TIT2"), "T");
    EXPECT_EQ(out[5], 0);  // no flags written
    EXPECT_EQ(out.substr(10, priv.size()), priv);
}

TEST(Id3v2Tag, Version4FramesAndOpaqueFramesAreCarried) {
    TempDir dir;
    const std::string apic = "APIC" + Syncsafe(200) + std::string("\0\x01", 2) + std::string(200, '\x81');
    const std::string body = apic + "TIT2" + Syncsafe(4) + std::string(2, '\0') + "\3abc" + std::string(30, '\0');
    CId3v2Tag tag;
    const std::string out = RoundTrip(dir, Tag(4, 0, body), tag);
    EXPECT_EQ(tag.version, 4);
    EXPECT_EQ(tag.paddingSize, 30);
    EXPECT_EQ(tag.GetFrameText("TIT2"), "abc");
    EXPECT_EQ(out, Tag(4, 0, body));
}

TEST(Id3v2Tag, LyingSizesEndTheParseOrFailTheRead) {
    TempDir dir;
    WriteFileBytes(dir / "short", Tag(3, 0, Frame3("TIT2", "\0x")).substr(0, 15));
    CFileStream file;
    ASSERT_TRUE(file.Open((dir / "short").c_str(), CFileStream::kRead));
    CId3v2Tag tag;
    EXPECT_FALSE(tag.ReadTag(file));

    // A frame claiming more than the tag holds ends the parse; what came before stays.
    const std::string body = Frame3("TIT2", std::string("\0a", 2)) + "TPE1" + Be32(0xFFFFFFF0) + std::string(2, '\0');
    CId3v2Tag lying;
    RoundTrip(dir, Tag(3, 0, body), lying);
    EXPECT_EQ(lying.frames.size(), 1u);
    EXPECT_EQ(lying.paddingSize, 10);
}
