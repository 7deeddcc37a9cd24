#include "foundation/UserText.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

struct Filling {
    const char* pattern;
    std::vector<std::string> arguments;
    const char* filled;
};

class FillPlaceholdersTest : public testing::TestWithParam<Filling> {};

TEST_P(FillPlaceholdersTest, FillsEachPlaceholderOnceInOnePass) {
    EXPECT_EQ(FillPlaceholders(GetParam().pattern, GetParam().arguments), GetParam().filled);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FillPlaceholdersTest,
    testing::Values(Filling{"%2 の %1", {"a", "b"}, "b の a"},
                    // An argument that holds a placeholder (a file named "%2.wav") is not filled again.
                    Filling{"%1 と %2", {"%2.wav", "x"}, "%2.wav と x"},
                    Filling{"%10/%1", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "ten"}, "ten/1"},
                    // A missing argument, a per cent sign and a file-name token stay as written.
                    Filling{"%3 %1", {"a"}, "%3 a"}, Filling{"100% %", {}, "100% %"},
                    Filling{"No%TKN% %1", {"x"}, "No%TKN% x"}, Filling{"%0 %", {"a"}, "%0 %"}));

TEST(UserText, SourceTextFillsNestedTextsAndTheSystemsReason) {
    const UserText text = UserText("Test", "%1 を作成できません: %2")
                              .Arg(UserText("Test", "フォルダ %1").Arg("/rec"))
                              .Arg(UserText("Test", "理由: %1").ArgError(ENOSPC));
    EXPECT_EQ(text.SourceText(), std::string("フォルダ /rec を作成できません: 理由: ") + std::strerror(ENOSPC));
    EXPECT_EQ(UserText::Verbatim("ALSA: no such device").SourceText(), "ALSA: no such device");
    EXPECT_TRUE(UserText().empty());
    EXPECT_FALSE(UserText::Verbatim("x").empty());
}

TEST(UserText, EqualsComparesEntryAndArgumentsNotAddresses) {
    const std::string context = "Test";
    EXPECT_EQ(UserText(context.c_str(), "%1 秒").Arg(5), UserText("Test", "%1 秒").Arg(5));
    EXPECT_NE(UserText("Test", "%1 秒").Arg(5), UserText("Test", "%1 秒").Arg(6));
    EXPECT_NE(UserText("Test", "%1 秒").Arg(UserText("Test", "a")), UserText("Test", "%1 秒").Arg("a"));
}

}  // namespace
