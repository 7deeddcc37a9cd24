// The tag record's defaults and the genre table's edges.
#include "tags/TagFieldSet.h"

#include <gtest/gtest.h>

TEST(TagFieldSet, NewRecordHasNoNumbers) {
    TagFieldSet tags;
    EXPECT_EQ(tags.trackNumber, -1);
    EXPECT_EQ(tags.genreNumber, -1);
    EXPECT_TRUE(tags.title.IsEmpty());
}

TEST(TagFieldSet, GenreNames) {
    EXPECT_STREQ(GenreName(0), "Blues");
    EXPECT_STREQ(GenreName(12), "Other");
    EXPECT_STREQ(GenreName(146), "JPop");
    EXPECT_STREQ(GenreName(147), "Synthpop");
    EXPECT_STREQ(GenreName(148), "");
    EXPECT_STREQ(GenreName(200), "");
    EXPECT_STREQ(GenreName(247), "");
    EXPECT_STREQ(GenreName(248), "Heavy Rock(J)");
    EXPECT_STREQ(GenreName(255), "Anime(J)");
    EXPECT_STREQ(GenreName(256), "");
    EXPECT_STREQ(GenreName(-1), "");
}
