// The ID3v1 block: field widths, the track form and the genre byte.
#include "tags/Id3v1.h"

#include <gtest/gtest.h>

#include <string>

TEST(Id3v1, FieldsTrackAndGenre) {
    TagFieldSet tags;
    tags.title = std::string(40, 't');
    tags.year = "202412";
    tags.comment = "c";
    tags.trackNumber = 7;
    tags.genreNumber = 300;
    unsigned char block[kId3v1Size];
    BuildId3v1(block, tags, true);
    const std::string b(reinterpret_cast<char*>(block), kId3v1Size);
    EXPECT_EQ(b.substr(0, 3), "TAG");
    EXPECT_EQ(b.substr(3, 30), std::string(30, 't'));
    EXPECT_EQ(b.substr(33, 30), std::string(30, ' '));
    EXPECT_EQ(b.substr(93, 4), "2024");
    EXPECT_EQ(b.substr(97, 28), "c" + std::string(27, ' '));
    EXPECT_EQ(b.substr(125, 3), std::string("\0\7\xFA", 3));

    BuildId3v1(block, tags, false);
    EXPECT_EQ(block[125], ' ');
    EXPECT_EQ(block[126], ' ');
    tags.genreNumber = -1;
    BuildId3v1(block, tags, true);
    EXPECT_EQ(block[127], 250);

    tags.title = "録音";
    tags.genreNumber = 146;
    BuildId3v1(block, tags, true);
    TagFieldSet back;
    EXPECT_TRUE(ReadId3v1(block, back));
    EXPECT_EQ(back.title, "録音");
    EXPECT_EQ(back.comment, "c");
    EXPECT_EQ(back.trackNumber, 7);
    EXPECT_EQ(back.genre, "JPop");
}
