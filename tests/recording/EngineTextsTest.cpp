// Real failures of the engine's layers said in both languages: in English not a Japanese
// character and the argument named, in Japanese not an English sentence (the system's part said
// by strerror under the ja_JP locale).
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

#include "app/language/Catalogue.h"
#include "platform/CaptureBackend.h"
#include "platform/DiskSpace.h"
#include "platform/Logind.h"
#include "platform/RuntimeModule.h"
#include "recording/RecorderSession.h"
#include "recording/WaveInDevice.h"
#include "schedule/RecordTimer.h"
#include "schedule/RecordingSchedule.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserLanguage.h"

namespace {

struct Provoked {
    UserText text;
    std::string argument;  // what the text must name; empty when it names nothing
};

struct Scenario {
    const char* name;
    std::function<Provoked(const TempDir& dir)> provoke;
};
void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

UserText Why(const Result<void>& result) { return result ? UserText() : result.error().message; }

const Scenario kScenarios[] = {
    {"FolderThatCannotBeCreated",
     [](const TempDir& dir) {
         WriteFileBytes(dir / "file", "x");
         CRecorderSession session;
         session.backend = *CreateCaptureBackend("signal:tone=440hz,fast");
         session.writtenPath = (dir / "file/sub/track.wav").c_str();
         return Provoked{Why(session.Start()), dir / "file/sub/track.wav"};
     }},
    {"MissingCaptureDevice",
     [](const TempDir&) {
         CWaveInDevice device;
         device.SetBackend(*CreateCaptureBackend("alsa"));
         return Provoked{Why(device.Open(999)), "999"};
     }},
    {"UnknownCaptureBackend",
     [](const TempDir&) {
         const auto created = CreateCaptureBackend("velsona_nowhere");
         return Provoked{created ? UserText() : created.error().message, "velsona_nowhere"};
     }},
    {"ModuleThatIsNotThere",
     [](const TempDir&) {
         CRuntimeModule module;
         return Provoked{Why(module.Load("velsona_no_such_module")), "velsona_no_such_module"};
     }},
    {"ReserveInAMissingFolder",
     [](const TempDir& dir) {
         CDiskReserve reserve;
         return Provoked{Why(reserve.Hold((dir / "missing").c_str(), 4096)), dir / "missing"};
     }},
    {"LogindWithoutABus",
     [](const TempDir&) {
         CLogind logind("velsona-no-bus");
         return Provoked{Why(logind.Request(PowerRequest::PowerOff)), "velsona-no-bus"};
     }},
    {"BadDuration",
     [](const TempDir&) {
         const Result<int64_t> minutes = ParseDurationMinutes("abc");
         return Provoked{minutes ? UserText() : minutes.error().message, ""};
     }},
    {"TitleWithDurationAndEndAction",
     [](const TempDir&) {
         RecordingSchedule schedule;
         schedule.endMode = 1;
         schedule.durationSeconds = 5400;
         schedule.endActionArmed = true;
         schedule.endAction = EndAction::Hibernate;
         return Provoked{RecordingTitle(&schedule), "30"};
     }},
};

class EngineTexts : public testing::TestWithParam<Scenario> {};

// Provoked under the user's locale, as in the programs, which set it before anything can fail:
// a library's own words (dlerror) come in that locale too.
TEST_P(EngineTexts, AreSaidWhollyInTheUsersLanguage) {
    for (const Language language : {Language::kEnglish, Language::kJapanese}) {
        UserLanguage user(language);
        ASSERT_TRUE(user.active());
        TempDir dir;
        const Provoked provoked = GetParam().provoke(dir);
        ASSERT_FALSE(provoked.text.empty()) << "nothing to say: the failure did not happen";
        const std::string said = SaidUtf8(provoked.text);
        if (language == Language::kEnglish)
            EXPECT_FALSE(HasJapanese(said)) << said;
        else
            EXPECT_FALSE(HasEnglishSentence(said)) << said;
        EXPECT_NE(said.find(provoked.argument), std::string::npos) << said;
    }
}

INSTANTIATE_TEST_SUITE_P(Failures, EngineTexts, testing::ValuesIn(kScenarios),
                         [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

}  // namespace
