// The commands both front ends share: the pre-start checks and the space estimate, the countdown
// to a scheduled start, the start and stop commands, and the end of a run.
#include "app/control/RecordingCommands.h"

#include <gtest/gtest.h>

#include <optional>

#include "app/control/StartChecks.h"
#include "platform/CaptureBackend.h"
#include "platform/Logind.h"
#include "tests/support/ResultValue.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserLanguage.h"

namespace {

class RecordingCommands : public ::testing::Test {
protected:
    RecordingCommands()
        : store((dir / "VelsonaF.conf").c_str()),
          control(items, nullptr, [](const RecordingEvent&) {}),
          commands(control, store, profile, [this] { return now; }) {
        control.backend = ValueOrFail(CreateCaptureBackend("signal:tone=440hz/-6db/1s,loop"));
        EXPECT_TRUE(control.backend);
        control.settings.outputFolder = (dir / "rec").c_str();
        control.settings.fileNameTemplate = "sub/Track%TKN%.wav";
    }

    TempDir dir;
    std::time_t now = 1'800'000'000;
    CSettingsStore store;
    ProfileState profile;
    CRecordingItemsModel items;
    CRecordingControl control;
    CRecordingCommands commands;
};

TEST_F(RecordingCommands, CountdownBlinksThenStartsAtTheStartTime) {
    RecordingSchedule schedule;
    schedule.startMode = 1;
    schedule.startTime = now + 60;
    ASSERT_TRUE(commands.StartBySchedule(schedule));
    EXPECT_TRUE(commands.IsCountingDown());
    EXPECT_FALSE(control.IsRecording());
    // Tick 0 shows the plain title, the next ones the time left.
    EXPECT_EQ(commands.OnCountdownTick().title, ProgramTitle());
    const CRecordingCommands::Tick waiting = commands.OnCountdownTick();
    EXPECT_FALSE(waiting.start);
    EXPECT_NE(waiting.title.SourceText().find("]まで[01分00秒] "), std::string::npos) << waiting.title.SourceText();

    now += 60;
    const CRecordingCommands::Tick due = commands.OnCountdownTick();
    EXPECT_TRUE(due.start && *due.start);
    EXPECT_TRUE(control.IsRecording());
    EXPECT_FALSE(commands.IsCountingDown());
    EXPECT_FALSE(commands.OnCountdownTick().start) << "no second start";
    commands.StopCommand();
    EXPECT_FALSE(control.IsRecording());
    EXPECT_FALSE(control.schedule);
}

TEST_F(RecordingCommands, AStartThatFailsSaysSoAndLeavesNoSchedule) {
    control.backend = ValueOrFail(CreateCaptureBackend("signal:file=" + dir / "missing.wav"));
    ASSERT_TRUE(control.backend);
    RecordingSchedule timed;
    timed.endMode = 1;
    timed.durationSeconds = 60;
    const Result<void> atOnce = commands.StartBySchedule(timed);
    ASSERT_FALSE(atOnce);
    EXPECT_TRUE(atOnce.error().message.SourceText().starts_with(StartFailedMessage().SourceText())) << atOnce.error().message.SourceText();
    EXPECT_FALSE(control.schedule);

    RecordingSchedule later;
    later.startMode = 1;
    later.startTime = now - 1;  // already past: the first tick starts
    ASSERT_TRUE(commands.StartBySchedule(later));
    const CRecordingCommands::Tick tick = commands.OnCountdownTick();
    ASSERT_TRUE(tick.start);
    ASSERT_FALSE(*tick.start);
    EXPECT_TRUE(tick.start->error().message.SourceText().starts_with(StartFailedMessage().SourceText())) << tick.start->error().message.SourceText();
    EXPECT_FALSE(control.schedule);
    EXPECT_FALSE(commands.IsCountingDown());
}

// The box an English user gets is one English sentence with the reason inside, not the
// Japanese sentence with an English reason glued on.
TEST_F(RecordingCommands, AFailedStartIsSaidAsOneMessageInTheUsersLanguage) {
    WriteFileBytes(dir / "rec", "a file where the folder should be");
    const Result<void> started = commands.StartCommand();
    ASSERT_FALSE(started);
    UserLanguage english(Language::kEnglish);
    ASSERT_TRUE(english.active());
    const std::string said = SaidUtf8(started.error().message);
    EXPECT_TRUE(said.starts_with("The recording could not start; please check the settings. (")) << said;
    EXPECT_NE(said.find(dir / "rec"), std::string::npos) << "the reason names the folder: " << said;
    EXPECT_FALSE(HasJapanese(said)) << said;
}

TEST_F(RecordingCommands, StartCommandPushesTheHistoriesAndDropsTheSchedule) {
    profile.templates.entries = {"older"};
    control.schedule = RecordingSchedule();
    ASSERT_TRUE(commands.StartCommand());
    EXPECT_TRUE(control.IsRecording());
    EXPECT_FALSE(control.schedule);
    ASSERT_EQ(profile.templates.entries.size(), 2u);
    EXPECT_EQ(profile.templates.entries[0], "sub/Track%TKN%") << "stored without the format's extension";
    ASSERT_FALSE(profile.folders.entries.empty());
    EXPECT_EQ(profile.folders.entries[0], control.settings.outputFolder);
    commands.StopCommand();
}

TEST_F(RecordingCommands, StopDisarmsTheEndActionOfALaterDurationEvent) {
    RecordingSchedule timed;
    timed.endMode = 1;
    timed.durationSeconds = 3600;
    timed.endActionArmed = true;
    timed.endAction = EndAction::PowerOff;
    ASSERT_TRUE(commands.StartBySchedule(timed));
    commands.StopCommand();
    // The duration's event was already on its way when the user stopped.
    RecordingEvent late;
    late.code = kRecordingDurationReached;
    late.recording = control.RecordingId();
    control.OnRecordingEvent(late);
    EXPECT_EQ(control.TakeEndAction(), EndAction::None);
}

TEST_F(RecordingCommands, FinishRunSavesTheDefaultPresetBeforeTheEndAction) {
    control.settings.outputFormat = OutputFormat::OggVorbis;
    control.settings.recordingNumber = 7;
    CLogind logind("unix:path=" + CCharString((dir / "no-bus").c_str()));
    std::optional<OutputFormat> savedFormatAtClose;
    const CRecordingCommands::Finish finish = commands.FinishRun(
        EndAction::ExitApplication,
        [&] { savedFormatAtClose = CSettingsStore((dir / "VelsonaF.conf").c_str()).LoadSettings(kDefaultPresetName).outputFormat; },
        logind);
    EXPECT_TRUE(finish.saved) << finish.saved.error().message.SourceText();
    EXPECT_TRUE(finish.endAction) << finish.endAction.error().message.SourceText();
    EXPECT_EQ(savedFormatAtClose, OutputFormat::OggVorbis);
    EXPECT_EQ(store.LoadSettings(kDefaultPresetName).recordingNumber, 7);

    // Power off goes through logind; an unreachable one is a failure with its reason.
    const Result<void> refused = commands.RunEndAction(EndAction::PowerOff, [] {}, logind);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().message.SourceText().find("ＰＣ電源断"), std::string::npos) << refused.error().message.SourceText();
}

struct CheckCase {
    const char* what;
    int device;
    const char* folder;  // below the test's folder
    const char* expected;  // empty: the checks pass
};

TEST_F(RecordingCommands, ChecksBeforeStartRefuseWhatCannotWork) {
    WriteFileBytes(dir / "plain-file", "x");
    const CheckCase cases[] = {
        {"all fine", -1, "rec", ""},
        {"missing device", 3, "rec", "signal に入力デバイス 3 はありません"},
        {"folder under a file", -1, "plain-file/rec", "plain-file/rec を作成できません"},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSettings settings = control.settings;
        settings.inputDevice = c.device;
        settings.outputFolder = (dir / c.folder).c_str();
        const StartReadiness readiness = CheckStart(*control.backend, settings, nullptr);
        EXPECT_EQ(readiness.ready.has_value(), *c.expected == '\0');
        // The free space only of a folder that passed.
        EXPECT_EQ(readiness.space.has_value(), readiness.ready.has_value());
        const std::string message = readiness.ready ? "" : readiness.ready.error().message.SourceText();
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    }
}

TEST_F(RecordingCommands, SpaceEstimateWarnsForATimedRecordingThatCannotFit) {
    RecordingSettings settings = control.settings;
    settings.outputFolder = dir.path().c_str();
    const auto space = [&](const RecordingSettings& s, const RecordingSchedule* schedule) {
        return CheckStart(*control.backend, s, schedule).space.value();  // throws, failing the test, when missing
    };
    const SpaceEstimate open = space(settings, nullptr);
    EXPECT_EQ(open.bytesPerSecond, 176400);  // WAV, 44.1 kHz stereo 16 bit
    EXPECT_NE(open.summary.SourceText().find("1411 kbit/s"), std::string::npos) << open.summary.SourceText();

    RecordingSchedule endless;
    endless.endMode = 1;
    endless.durationSeconds = int64_t{1} << 40;
    EXPECT_NE(space(settings, &endless).warning.SourceText().find("時間分の空きしかありません"), std::string::npos);

    // FLAC's row value is a compression level, not a bitrate: the estimate is a share of the PCM size.
    RecordingSettings flacSettings = settings;
    flacSettings.outputFormat = OutputFormat::Flac;
    flacSettings.qualityIndex = DefaultQualityIndex(flacSettings.outputFormat);
    const SpaceEstimate flac = space(flacSettings, nullptr);
    EXPECT_GT(flac.bytesPerSecond, 176400 * 0.4);
    EXPECT_LT(flac.bytesPerSecond, 176400);

    // A rate that is not known gives no hours at all, never "about -1.0 hours at 0 kbit/s".
    settings.qualityIndex = 99;
    const SpaceEstimate unknown = space(settings, nullptr);
    EXPECT_EQ(unknown.summary.SourceText().find("時間"), std::string::npos) << unknown.summary.SourceText();
    EXPECT_TRUE(unknown.warning.empty());
}

}  // namespace
