// CCharString: sharing, searching, slicing, formatting and the code-page conversions.
#include "foundation/CharString.h"

#include <cfloat>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Hex(std::string_view bytes) {
    std::string out;
    char buf[4];
    for (unsigned char c : bytes) {
        snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    if (!out.empty()) out.pop_back();
    return out;
}

const char* const kGenreText = "♪Velsona - オリジナルレコーディング";

}  // namespace

TEST(CharString, ChangingACopyLeavesTheOriginalAlone) {
    CCharString original("abc");
    CCharString copy = original;
    EXPECT_EQ(copy.c_str(), original.c_str()) << "a copy shares the buffer until it changes";
    copy += "def";
    EXPECT_STREQ(original.c_str(), "abc");
    EXPECT_STREQ(copy.c_str(), "abcdef");

    CCharString replaced = original;
    EXPECT_EQ(replaced.ReplaceAll("b", "X"), 1);
    CCharString trimmed("  x  ");
    CCharString trimmedCopy = trimmed;
    trimmedCopy.Trim();
    EXPECT_STREQ(original.c_str(), "abc");
    EXPECT_STREQ(replaced.c_str(), "aXc");
    EXPECT_STREQ(trimmed.c_str(), "  x  ");
    EXPECT_STREQ(trimmedCopy.c_str(), "x");
}

TEST(CharString, EmptyStringsReadAsEmptyText) {
    CCharString empty;
    EXPECT_STREQ(empty.c_str(), "");
    EXPECT_EQ(empty.GetLength(), 0);
    EXPECT_EQ(CCharString(nullptr).GetLength(), 0);
    EXPECT_EQ(empty.Compare(""), 0);
}

TEST(CharString, CompareOrdersBytesAsUnsigned) {
    CCharString a("abc");
    EXPECT_EQ(a.Compare("abc"), 0);
    EXPECT_EQ(a.Compare("abd"), -1);
    EXPECT_EQ(a.Compare("ab"), 1);
    EXPECT_EQ(a.Compare("ABC"), 1);
    EXPECT_EQ(a.Compare("ABC", true), 0);
    EXPECT_EQ(CCharString("\xE3\x81\x82").Compare("z"), 1) << "bytes above 0x7F sort after ASCII";
    EXPECT_TRUE(a == "abc");
}

TEST(CharString, FindNeverMatchesInsideAMultiByteCharacter) {
    // "あ" is E3 81 82, "い" is E3 81 84: the continuation bytes 81 82 must not match "\x81\x82".
    CCharString text("あい/x");
    EXPECT_EQ(text.Find("\x81\x82"), -1);
    EXPECT_EQ(text.Find("い"), 3);
    EXPECT_EQ(text.Find("/"), 6);
    EXPECT_EQ(text.Find("/", 1), 6) << "a start inside a character moves to the next character";
    EXPECT_EQ(text.Find("x", -1), -1);
    EXPECT_EQ(text.Find("x", 8), -1) << "start + needle beyond the length";
    EXPECT_EQ(text.Find("x", 7), 7);
    EXPECT_EQ(text.Find("q"), -1);
}

TEST(CharString, MidAndLeftStayInBounds) {
    CCharString text("abcde");
    EXPECT_STREQ(text.Mid(2, 100).c_str(), "cde");
    EXPECT_STREQ(text.Mid(6, 1).c_str(), "");
    EXPECT_STREQ(text.Mid(-1, 2).c_str(), "");
    EXPECT_STREQ(text.Mid(1).c_str(), "bcde");
    EXPECT_STREQ(text.Mid(5).c_str(), "");
    EXPECT_STREQ(text.Left(-1).c_str(), "");
    EXPECT_STREQ(text.Left(0).c_str(), "");
    EXPECT_STREQ(text.Left(5).c_str(), "abcde");
    EXPECT_STREQ(text.Left(6).c_str(), "");
}

TEST(CharString, ReplaceAllCountsAndScansPastEachReplacement) {
    CCharString text("%TKN%-%TKN%");
    EXPECT_EQ(text.ReplaceAll("%TKN%", "01"), 2);
    EXPECT_STREQ(text.c_str(), "01-01");

    CCharString growing("aa");
    EXPECT_EQ(growing.ReplaceAll("a", "aa"), 2) << "a replacement is not scanned again";
    EXPECT_STREQ(growing.c_str(), "aaaa");

    CCharString untouched("abc");
    const char* before = untouched.c_str();
    EXPECT_EQ(untouched.ReplaceAll("x", "y"), 0);
    EXPECT_EQ(untouched.c_str(), before);
}

TEST(CharString, TrimRemovesOnlyOuterWhiteSpace) {
    CCharString text("  a b \r\n");
    text.Trim();
    EXPECT_STREQ(text.c_str(), "a b");
    CCharString blank(" \t\r\n ");
    blank.Trim();
    EXPECT_TRUE(blank.IsEmpty());
    CCharString japanese("\tオリジナル　 ");  // the full-width space is not white space here
    japanese.Trim();
    EXPECT_STREQ(japanese.c_str(), "オリジナル　");
}

TEST(CharString, FormatSizesItsResultWhateverTheArguments) {
    CCharString s;
    s.Format("%d", 7);
    EXPECT_STREQ(s.c_str(), "7");
    s.Format("%03d", 7);
    EXPECT_STREQ(s.c_str(), "007");

    const std::string longText(100000, 'x');
    s.Format("[%s]", longText.c_str());
    EXPECT_EQ(s.GetLength(), 100002);

    s.Format("%f", 1e300);
    EXPECT_EQ(s.GetLength(), 308);  // 301 digits, the point and six decimals
    s.Format("%f", -DBL_MAX);
    EXPECT_EQ(s.GetLength(), 317);  // sign, 309 digits, the point and six decimals

    s.Format("%*d|%.*f", 5000, 1, 400, 0.5);
    EXPECT_EQ(s.GetLength(), 5000 + 1 + 402);
    EXPECT_EQ(s.c_str()[4999], '1');

    s.Format("%lld %s", static_cast<long long>(INT64_MIN), "");
    EXPECT_STREQ(s.c_str(), "-9223372036854775808 ");
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(CCharString::Formatted("%2d:%02d.%02d", 3, 4, 5).c_str(), " 3:04.05");
}

TEST(CharString, ConcatenationBuildsNewStrings) {
    CCharString a("ab");
    EXPECT_STREQ((a + "cd").c_str(), "abcd");
    EXPECT_STREQ(("x" + a).c_str(), "xab");
    EXPECT_STREQ((a + a).c_str(), "abab");
    a += a;
    EXPECT_STREQ(a.c_str(), "abab");
}

TEST(CharStringConversion, Utf8ToAndFromLocalKeepsValidText) {
    std::string utf8;
    EXPECT_TRUE(CCharString::ToUtf8("abc", utf8));
    EXPECT_EQ(Hex(utf8), "61 62 63");
    EXPECT_TRUE(CCharString::ToUtf8("\u3042", utf8));
    EXPECT_EQ(Hex(utf8), "E3 81 82");
    EXPECT_FALSE(CCharString::ToUtf8("", utf8));
    EXPECT_TRUE(utf8.empty());

    CCharString local;
    EXPECT_TRUE(CCharString::FromUtf8("\xE3\x81\x82", local));
    EXPECT_STREQ(local.c_str(), "あ");
    EXPECT_FALSE(CCharString::FromUtf8("", local));
}

TEST(CharStringConversion, CharactersOutsideTheBmpAreOneFourByteSequence) {
    const char* emoji = "\xF0\x9F\x8E\xB5";  // U+1F3B5 musical note
    std::string utf8;
    ASSERT_TRUE(CCharString::ToUtf8(emoji, utf8));
    EXPECT_EQ(Hex(utf8), "F0 9F 8E B5");

    const std::string utf16 = CCharString(emoji).ToUtf16(false);
    EXPECT_EQ(Hex(utf16), "3C D8 B5 DF");
    EXPECT_STREQ(CCharString::FromUtf16(utf16, false).c_str(), emoji) << "a surrogate pair joins into one character";
}

TEST(CharStringConversion, MalformedUtf8BecomesReplacementCharacters) {
    std::string utf8;
    ASSERT_TRUE(CCharString::ToUtf8("a\xFF" "b\xE3\x81", utf8));
    EXPECT_EQ(utf8, "a\uFFFDb\uFFFD\uFFFD");
    ASSERT_TRUE(CCharString::ToUtf8("\xED\xA0\x80", utf8)) << "an encoded surrogate is not a character";
    EXPECT_EQ(utf8, "\uFFFD\uFFFD\uFFFD");
    EXPECT_STREQ(CCharString::FromUtf16(std::string("\x00\xD8", 2), false).c_str(), "\uFFFD") << "a lone surrogate";
}

TEST(CharStringConversion, JapaneseRoundTripsThroughShiftJisAndUtf16) {
    for (const char* text : {kGenreText, "？", "：", "live：set／1", "ABC"}) {
        const CCharString original(text);
        EXPECT_STREQ(CCharString::FromCp932(original.ToCp932()).c_str(), text);
        EXPECT_STREQ(CCharString::FromUtf16(original.ToUtf16(false), false).c_str(), text);
        EXPECT_STREQ(CCharString::FromUtf16(original.ToUtf16(true), true).c_str(), text);
    }
    EXPECT_EQ(Hex(CCharString("あ").ToCp932()), "82 A0");
    EXPECT_EQ(Hex(CCharString("？：").ToCp932()), "81 48 81 46");
    EXPECT_EQ(Hex(CCharString("あ").ToUtf16(true)), "30 42");
    EXPECT_EQ(Hex(CCharString("あ").ToUtf16(false)), "42 30");
    EXPECT_STREQ(CCharString::FromCp932("\x82\xA0").c_str(), "あ");
}

TEST(CharStringConversion, ACharacterShiftJisCannotHoldIsReplacedNotFatal) {
    // The emoji and the Korean syllable have no CP932 code; the rest of the text survives.
    EXPECT_EQ(CCharString("a\xF0\x9F\x8E\xB5" "b한c").ToCp932(), "a?b?c");
    EXPECT_EQ(CCharString("a\xFF" "b").ToCp932(), "a?b");
    // A lead byte without its second byte, and an unassigned lead byte.
    EXPECT_STREQ(CCharString::FromCp932("a\x82").c_str(), "a\uFFFD");
    EXPECT_STREQ(CCharString::FromCp932("a\xA0z").c_str(), "a\uFFFDz");
}
