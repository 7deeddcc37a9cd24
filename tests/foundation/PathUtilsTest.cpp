// Path splitting, folder creation, file-name sanitising, number texts and command-line words.
#include "foundation/PathUtils.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <optional>
#include <sys/stat.h>

#include "tests/support/GermanLocale.h"
#include "tests/support/TempDir.h"

TEST(PathUtils, SplitsPathsAtEitherSeparator) {
    EXPECT_STREQ(FolderOf("/music/rec/a.wav").c_str(), "/music/rec/");
    EXPECT_STREQ(FolderOf("rec\\a.wav").c_str(), "rec\\");
    EXPECT_STREQ(FolderOf("a.wav").c_str(), "");
    EXPECT_STREQ(FileNameOf("/music/rec/a.wav").c_str(), "a.wav");
    EXPECT_STREQ(FileNameOf("/music/rec/").c_str(), "");
    EXPECT_STREQ(FileNameOf("a.wav").c_str(), "a.wav");
    EXPECT_STREQ(FileNameOf("日本/録音.wav").c_str(), "録音.wav");
}

TEST(PathUtils, ExtensionsBelongToTheFileNameOnly) {
    EXPECT_STREQ(ExtensionOf("/a/b.c/name").c_str(), "");
    EXPECT_STREQ(ExtensionOf("/a/b.c/name.tar.gz").c_str(), ".gz");
    EXPECT_STREQ(ReplaceExtension("/a/b.c/name", ".wav").c_str(), "/a/b.c/name.wav");
    EXPECT_STREQ(ReplaceExtension("/a/rec.tmp", ".mp3").c_str(), "/a/rec.mp3");
    EXPECT_TRUE(EndsWithChar("/a/", '/'));
    EXPECT_FALSE(EndsWithChar("/a", '/'));
    EXPECT_FALSE(EndsWithChar("", '/'));
}

TEST(PathUtils, SanitizeKeepsOrReplacesSeparators) {
    EXPECT_STREQ(SanitizeFileName("a/b\\c:d", false, false).c_str(), "a／b￥c：d");
    EXPECT_STREQ(SanitizeFileName("/home/u/rec:1?.wav", true, false).c_str(), "/home/u/rec：1？.wav");
    EXPECT_STREQ(SanitizeFileName("C:\\rec\\a:b", true, true).c_str(), "C:\\rec\\a：b");
    EXPECT_STREQ(SanitizeFileName("/home/a:b", true, true).c_str(), "/home/a：b");
    EXPECT_STREQ(SanitizeFileName("a\tb;c|d*e\"f<g>h", true, true).c_str(), "a\u3000b；c｜d＊e”f＜g＞h");
    EXPECT_STREQ(SanitizeFileName("live:set/1", false, false).c_str(), "live：set／1");
}

TEST(PathUtils, EnsureFolderCreatesEveryLevel) {
    TempDir dir;
    EXPECT_TRUE(EnsureFolder(CCharString((dir / "a/b/c/").c_str())));
    struct stat st {};
    ASSERT_EQ(stat((dir / "a/b/c").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_TRUE(EnsureFolder(CCharString((dir / "a\\b\\d").c_str()))) << "a backslash separates too";
    EXPECT_TRUE(PathExists(dir / "a/b/d"));
    EXPECT_TRUE(EnsureFolder(CCharString(dir.path().c_str()))) << "an existing folder";
}

TEST(PathUtils, EnsureFolderStopsAtAFileInThePathAndLeavesNothingItMade) {
    TempDir dir;
    WriteFileBytes(dir / "file", "x");
    // errno says why, for the message that follows.
    errno = 0;
    EXPECT_FALSE(EnsureFolder(CCharString((dir / "file").c_str())));
    EXPECT_EQ(errno, ENOTDIR);
    EXPECT_FALSE(EnsureFolder(CCharString((dir / "file/sub/deeper").c_str())));
    EXPECT_EQ(errno, ENOTDIR);
    EXPECT_FALSE(PathExists(dir / "file/sub"));
    EXPECT_EQ(ReadFileBytes(dir / "file"), "x");
    // Two levels can be made, the third is too long a name: the two go again.
    EXPECT_FALSE(EnsureFolder(CCharString((dir / "made/too/" + std::string(300, 'x')).c_str())));
    EXPECT_EQ(errno, ENAMETOOLONG);
    EXPECT_FALSE(PathExists(dir / "made"));
}

// The same texts and numbers under the C locale and under the German one a desktop may set.
class NumberTexts : public ::testing::TestWithParam<bool> {};

TEST_P(NumberTexts, AreTheSameInEveryLocale) {
    std::optional<GermanLocale> german;
    if (GetParam()) german.emplace();
    EXPECT_STREQ(GroupDigits(0).c_str(), "0");
    EXPECT_STREQ(GroupDigits(999).c_str(), "999");
    EXPECT_STREQ(GroupDigits(1000).c_str(), "1,000");
    EXPECT_STREQ(GroupDigits(1234567).c_str(), "1,234,567");
    EXPECT_STREQ(FormatDecimal(2.999, 2).c_str(), "3.00");
    EXPECT_STREQ(FormatDecimal(1234.5, 2).c_str(), "1,234.50");
    EXPECT_STREQ(FormatDecimal(999.999, 2).c_str(), "1,000.00");
    EXPECT_STREQ(FormatDecimal(20.0, 2).c_str(), "20.00");
    EXPECT_STREQ(FormatDecimal(1234.5, 0).c_str(), "1,234");
    EXPECT_EQ(CCharString::Formatted("%.1f|%2.1f", 30.5, -6.0), "30.5|-6.0");

    double value = 0;
    const char* text = " 1.5min";
    EXPECT_STREQ(ParseDecimal(text, value), "min");
    EXPECT_EQ(value, 1.5);
    EXPECT_STREQ(ParseDecimal("-6db", value), "db");
    EXPECT_EQ(value, -6);
    EXPECT_STREQ(ParseDecimal("1,5", value), ",5") << "a comma ends the number";
    EXPECT_EQ(ParseDecimal("db", value), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberTexts, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "German" : "C"; });
