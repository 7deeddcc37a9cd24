#include "app/language/Catalogue.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserLanguage.h"

namespace {

struct Environment {
    std::map<std::string, std::string> variables;
    Language expected;
};

class LanguageFromEnvironmentTest : public testing::TestWithParam<Environment> {};

TEST_P(LanguageFromEnvironmentTest, ReadsTheLocaleAsGettextDoes) {
    const auto& variables = GetParam().variables;
    const auto lookup = [&](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found == variables.end() ? nullptr : found->second.c_str();
    };
    EXPECT_EQ(LanguageFromEnvironment(lookup), GetParam().expected);
}

constexpr Language kJa = Language::kJapanese;
constexpr Language kEn = Language::kEnglish;

INSTANTIATE_TEST_SUITE_P(
    Locales, LanguageFromEnvironmentTest,
    testing::Values(Environment{{{"LANG", "ja_JP.UTF-8"}}, kJa}, Environment{{{"LANG", "en_US.UTF-8"}}, kEn},
                    Environment{{{"LANG", "fr_FR.UTF-8"}}, kEn}, Environment{{}, kEn},
                    // LC_ALL over LC_MESSAGES over LANG; an empty one does not count.
                    Environment{{{"LC_ALL", "ja_JP.UTF-8"}, {"LANG", "en_GB.UTF-8"}}, kJa},
                    Environment{{{"LC_ALL", ""}, {"LC_MESSAGES", "en_US.UTF-8"}, {"LANG", "ja_JP.UTF-8"}}, kEn},
                    // LANGUAGE's first language we have wins, unless the locale is C.
                    Environment{{{"LANGUAGE", "fr:ja:en"}, {"LANG", "en_US.UTF-8"}}, kJa},
                    Environment{{{"LANGUAGE", "en_GB"}, {"LANG", "ja_JP.UTF-8"}}, kEn},
                    Environment{{{"LANGUAGE", "fr"}, {"LANG", "ja_JP.UTF-8"}}, kJa},
                    Environment{{{"LANGUAGE", "ja"}, {"LANG", "C.UTF-8"}}, kEn},
                    Environment{{{"LANGUAGE", "ja"}, {"LC_ALL", "POSIX"}}, kEn}));

// A translation of two entries, built by lrelease as the build builds ours.
std::string TranslationFolder(const TempDir& folder) {
    std::ofstream(folder.path() + "/velsona_en.ts") << R"(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context><name>Test</name>
<message><source>%1 を作成できません: %2</source><translation>cannot create %1: %2</translation></message>
<message><source>フォルダ %1 (%2)</source><translation>the folder %1 (%2)</translation></message>
</context>
</TS>
)";
    const ProcessResult built = RunProcess(std::string(VELSONA_LRELEASE) + " -silent " + folder.path() +
                                           "/velsona_en.ts -qm " + folder.path() + "/velsona_en.qm 2>&1");
    EXPECT_EQ(built.exitCode, 0) << built.output;
    return folder.path();
}

TEST(Catalogue, SaysNestedTextsAndTheSystemsReasonInOneLanguage) {
    TempDir folder;
    const std::string translations = TranslationFolder(folder);
    {
        UserLanguage english(Language::kEnglish);
        ASSERT_TRUE(UseLanguage(Language::kEnglish, translations));
        const UserText text = UserText("Test", "%1 を作成できません: %2")
                                  .Arg(UserText("Test", "フォルダ %1 (%2)").Arg("/rec/%2").Arg(7))
                                  .Arg(UserText("Test", "フォルダ %1 (%2)").Arg("x").ArgError(ENOSPC));
        EXPECT_EQ(SaidUtf8(text), "cannot create the folder /rec/%2 (7): the folder x (No space left on device)");
        EXPECT_EQ(Said(UserText::Verbatim("ALSA: 無い")), QStringLiteral("ALSA: 無い"));
        // An entry the translation lacks is said in the source language rather than not at all.
        EXPECT_EQ(SaidUtf8(UserText("Test", "未訳 %1").Arg(1)), "未訳 1");
    }
    UserLanguage japanese(Language::kJapanese);
    const std::string said = SaidUtf8(UserText("Test", "%1 を作成できません: %2").Arg("/rec").ArgError(ENOSPC));
    EXPECT_EQ(said, std::string("/rec を作成できません: ") + std::strerror(ENOSPC));
    EXPECT_TRUE(HasJapanese(std::strerror(ENOSPC))) << "libc-l10n gives strerror its Japanese";
}

TEST(Catalogue, AMissingTranslationFailsAndTheTextsStayJapanese) {
    TempDir empty;
    const Result<void> used = UseLanguage(Language::kEnglish, empty.path());
    ASSERT_FALSE(used);
    EXPECT_EQ(used.error().kind, FailureKind::kMissing);
    EXPECT_NE(SaidUtf8(used.error().message).find(empty.path()), std::string::npos);
    EXPECT_EQ(SaidUtf8(UserText("Test", "%1 を作成できません: %2").Arg("a").Arg("b")), "a を作成できません: b");
    EXPECT_TRUE(TranslationsFolder(empty.path()).empty());
    (void)UseLanguage(Language::kJapanese, {});
}

}  // namespace
