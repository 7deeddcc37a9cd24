// The file formats' texts in each language: real failures (in English no Japanese, in Japanese no
// English sentence, in both the file or module they are about) and the quality lists' labels.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "app/language/Catalogue.h"
#include "audiofile/LameLibrary.h"
#include "audiofile/OggReader.h"
#include "audiofile/FormatTable.h"
#include "audiofile/WavReader.h"
#include "audiofile/WavWriter.h"
#include "tags/TagFieldSet.h"
#include "tests/support/SmallFileSystem.h"
#include "tests/support/TestPcm.h"
#include "tests/support/UserLanguage.h"

namespace {

struct Said {
    Failure failure;
    std::string named;  // what the text must name: a path, a module
};

struct FailureCase {
    const char* name;
    std::function<Said(const std::string& folder)> fail;
};

Said OpenWav(const std::string& path, const std::string& bytes) {
    WriteFileBytes(path, bytes);
    CWavReader reader;
    const Result<void> opened = reader.Open(path.c_str());
    EXPECT_FALSE(opened);
    return {opened ? Failure{} : opened.error(), path};
}

const FailureCase kCases[] = {
    {"DamagedWavHeader",
     [](const std::string& folder) {
         return OpenWav(folder + "/damaged.wav", std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x55\0", 22));
     }},
    {"TruncatedOggPage",
     [](const std::string& folder) {
         const std::string path = folder + "/cut.ogg";
         WriteFileBytes(path, std::string("OggS\0\x02", 6) + std::string(20, '\0'));
         COggReader reader;
         const Result<void> opened = reader.Open(path.c_str());
         EXPECT_FALSE(opened);
         return Said{opened ? Failure{} : opened.error(), path};
     }},
    {"TagsOfAVanishedTrack",
     [](const std::string& folder) {
         // The file goes while it is recorded: the audio stays whole, its tags have nowhere to go.
         const std::string path = folder + "/gone.wav";
         TagFieldSet tags;
         tags.title = "消えたトラック";
         CWavWriter writer;
         writer.SetTags(&tags);
         EXPECT_TRUE(writer.Open(path.c_str()));
         EXPECT_TRUE(writer.SetFormat(16, 44100, 2, 16, -1, -1));
         EXPECT_TRUE(writer.Begin());
         const std::vector<int16_t> pcm = MakePcm(4410, 2);
         EXPECT_TRUE(writer.Write(pcm.data(), static_cast<int>(pcm.size() * 2)));
         EXPECT_EQ(std::remove(path.c_str()), 0);
         Result<void> ended = writer.End();
         static_cast<void>(writer.Close());
         EXPECT_FALSE(ended);
         if (!ended) {
             EXPECT_EQ(ended.error().error, ENOENT);
         }
         return Said{ended ? Failure{} : std::move(ended).error(), path};
     }},
    {"MissingLameModule",
     [](const std::string&) {
         CLameLibrary lame;
         const Result<void> loaded = lame.Load("no_such_lame_enc");
         EXPECT_FALSE(loaded);
         return Said{loaded ? Failure{} : loaded.error(), "no_such_lame_enc"};
     }},
    {"FullDisk",
     [](const std::string&) {
         SmallFileSystem disk(256 << 10);
         if (!disk.Mounted()) return Said{};
         CWavWriter writer;
         EXPECT_TRUE(writer.Open((disk / "full.wav").c_str()));
         EXPECT_TRUE(writer.SetFormat(16, 44100, 2, 16, -1, -1));
         EXPECT_TRUE(writer.Begin());
         EXPECT_TRUE(disk.Fill());
         const std::vector<int16_t> pcm = MakePcm(44100, 2);
         Result<void> written;
         for (int i = 0; i < 10 && written; ++i) written = writer.Write(pcm.data(), static_cast<int>(pcm.size() * 2));
         if (written) written = writer.End();
         static_cast<void>(writer.Close());
         EXPECT_FALSE(written);
         if (!written) {
             EXPECT_EQ(written.error().error, ENOSPC);
         }
         // The system's own words for it, in the language the locale gives.
         return Said{written ? Failure{} : std::move(written).error(), std::strerror(ENOSPC)};
     }},
};

// Test names and failures show the case and the language rather than their bytes.
void PrintTo(const FailureCase& failureCase, std::ostream* out) { *out << failureCase.name; }

class FailureText : public testing::TestWithParam<std::tuple<FailureCase, Language>> {};

TEST_P(FailureText, IsSaidInTheUserLanguageNamingItsSubject) {
    const auto& [failureCase, language] = GetParam();
    UserLanguage user(language);
    ASSERT_TRUE(user.active());
    TempDir dir;
    const Said said = failureCase.fail(dir.path());
    if (said.failure.message.empty() && said.named.empty()) GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    ASSERT_FALSE(said.failure.message.empty());
    const std::string text = SaidUtf8(said.failure.message);
    RecordProperty("said", text);
    EXPECT_NE(text.find(said.named), std::string::npos) << text;
    if (language == Language::kEnglish) {
        EXPECT_FALSE(HasJapanese(text)) << text;
    } else {
        EXPECT_FALSE(HasEnglishSentence(text)) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, FailureText,
                         testing::Combine(testing::ValuesIn(kCases),
                                          testing::Values(Language::kEnglish, Language::kJapanese)),
                         [](const testing::TestParamInfo<FailureText::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == Language::kEnglish ? "English" : "Japanese");
                         });

// The words come apart from the numbers and back without a change, for every row.
TEST(QualityLabel, EveryRowReadsAsStoredWithItsWordsFromTheCatalogue) {
    for (const FormatRow& row : FormatRows()) {
        const QualityTable table = row.qualities;
        for (int i = 0; i < table.count; ++i) {
            const UserText label = QualityLabel(table.rows[i]);
            EXPECT_NE(label.Source(), nullptr) << table.rows[i].label;
            EXPECT_EQ(label.SourceText(), table.rows[i].label);
        }
    }
}

}  // namespace
