// The settings bars' rules without widgets: format switches and the encoder fall-back, the
// split method, the input formats a device offers, the file bar's lists and histories, refused
// numbers, and what a start, a closed track and a stop do to the bars, in a real recording too.
#include <condition_variable>
#include <deque>
#include <gtest/gtest.h>
#include <mutex>
#include <regex>
#include <thread>

#include "app/bars/BarSet.h"
#include "app/control/RecordingControl.h"
#include "app/settings/OutputFormats.h"
#include "audiofile/OggWriter.h"
#include "platform/WaveFormats.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Eventually.h"
#include "tests/support/ResultValue.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserLanguage.h"

namespace {

using Texts = std::vector<std::string>;

Texts Strings(const std::vector<CCharString>& texts) {
    Texts result;
    for (const CCharString& text : texts) result.push_back(text.str());
    return result;
}

Texts Strings(const std::vector<UserText>& texts) {
    Texts result;
    for (const UserText& text : texts) result.push_back(text.SourceText());
    return result;
}

// Remembers where a refused pull put the focus.
struct FocusView : CBarView {
    int focused = 0;
    void ReadControls() override {}
    void WriteControls() override {}
    void FocusControl(int id) override { focused = id; }
};

// The output bar beside its file bar, as the window wires them.
struct OutputRig {
    explicit OutputRig(bool mp3Present = true, bool wmaPresent = true) {
        output.fileBar = &file;
        output.prompts = &prompts;
        output.encoderAvailable = [=](OutputFormat format) {
            return format == OutputFormat::Mp3 ? mp3Present : format == OutputFormat::Wma ? wmaPresent : true;
        };
    }
    void Choose(OutputFormat format) {
        output.controls.formatSelection = format;
        output.OnFormatSelected();
    }
    void SetTemplate(const char* text) {
        file.fileNameTemplate = text;
        file.Push();
    }

    ScriptedPrompts prompts;
    CFileBarModel file;
    COutputBarModel output;
};

TEST(OutputBarModel, Mp3WithoutItsModuleFallsBackToOggVorbis) {
    OutputRig rig(false);
    rig.SetTemplate("%TDY%/No.%RCN%.wav");
    rig.Choose(OutputFormat::Mp3);
    EXPECT_EQ(rig.prompts.informed.size(), 1u);
    EXPECT_EQ(rig.output.controls.formatSelection, OutputFormat::OggVorbis);
    EXPECT_EQ(rig.output.formatInUse, OutputFormat::OggVorbis);
    EXPECT_TRUE(rig.output.controls.sliderVisible);
    EXPECT_EQ(rig.output.controls.sliderPosition, 40);
    EXPECT_EQ(rig.output.oggQuality, 40);
    EXPECT_EQ(rig.output.controls.qualityLabels.size(), 12u);
    EXPECT_EQ(rig.file.controls.fileName.text.str(), "%TDY%/No.%RCN%.ogg");
    EXPECT_EQ(rig.output.controls.groupCaption.SourceText().rfind("出力設定 (OGG:", 0), 0u);
}

struct MissingModule {
    OutputFormat format;
    const char* site;  // the build's; empty: no download is offered
    const char* query;
    const char* told;  // how the message begins
    const char* installHint;  // what this system needs
};

class MissingModuleTest : public ::testing::TestWithParam<MissingModule> {};

TEST_P(MissingModuleTest, OffersTheMakersDownloadOnlyWhereThereIsOneAndSaysWhatToInstallHere) {
    const MissingModule& missing = GetParam();
    OutputRig rig(false, false);
    rig.output.makerSite = missing.site;
    rig.prompts.answerYes = true;
    rig.Choose(missing.format);
    if (*missing.site) {
        EXPECT_EQ(rig.prompts.questions.size(), 1u);
        EXPECT_EQ(rig.prompts.pages, Texts{std::string(missing.site) + "/redirect/forward.php?" + missing.query});
    } else {
        EXPECT_TRUE(rig.prompts.questions.empty());
        EXPECT_TRUE(rig.prompts.pages.empty());
    }
    ASSERT_EQ(rig.prompts.informed.size(), 1u);
    // The Windows installers are named only beside the maker's download.
    EXPECT_EQ(rig.prompts.informed[0].find(".exe") != std::string::npos, *missing.site != 0);
    EXPECT_EQ(rig.prompts.informed[0].rfind(missing.told, 0), 0u) << rig.prompts.informed[0];
    EXPECT_NE(rig.prompts.informed[0].find(missing.installHint), std::string::npos);
    EXPECT_EQ(rig.output.controls.formatSelection, OutputFormat::OggVorbis);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, MissingModuleTest,
    ::testing::Values(
        MissingModule{OutputFormat::Mp3, "https://maker.example", "k=VLS&f=AP&i=JUMP&t=LAME", "lame_enc39?.exeを実行しインストールを行ってください\n", "libmp3lame0"},
        MissingModule{OutputFormat::Wma, "https://maker.example", "k=VLS&f=AP&i=DL&t=WMA8", "wmfdist8.exeを実行しインストールを行ってください\n", "WMAENC.so"},
        MissingModule{OutputFormat::Mp3, "", "", "MP3エンコードライブラリ「lame_enc.so」を読み込めません。", "sudo apt-get install libmp3lame0"},
        MissingModule{OutputFormat::Wma, "", "", "WMAエンコードライブラリ「WMAENC.so」「WMADEC9.so」を読み込めません。", "libavcodec59"}));

TEST(OutputBarModel, ChoosingAFormatGivesTheTemplateItsExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"rec/take.wav", "rec/take.mp3"},
        {"take.backup", "take.backup.mp3"},  // six letters are part of the name
        {"take", "take.mp3"},
        {"v1.2\\take", "v1.2\\take.mp3"},  // a dot in a folder is no extension
    };
    for (const auto& [before, after] : cases) {
        OutputRig rig;
        rig.SetTemplate(before);
        rig.Choose(OutputFormat::Mp3);
        EXPECT_EQ(rig.file.controls.fileName.text.str(), after) << before;
        EXPECT_EQ(rig.file.fileNameTemplate.str(), after) << before;
    }
}

TEST(OutputBarModel, SwitchingFormatsResetsQualityAndOggQuality) {
    OutputRig rig;
    const int bitrate = OggNominalBitrate(40, 44100, 2);
    const struct {
        OutputFormat format;
        int row;
        std::string caption;
        const char* extension;
    } steps[] = {
        {OutputFormat::OggVorbis, 2, "出力設定 (OGG:" + std::string(CCharString::Formatted("%3.1f", bitrate * 0.001).c_str()) + "kbps/44.1kHz/stereo)",
         ".ogg"},
        {OutputFormat::Mp3, 16, "出力設定 (MP3:128.0kbps/44.1kHz/stereo)", ".mp3"},
        {OutputFormat::Flac, 38, "出力設定 (FLAC:レベル5/44.1kHz/stereo)", ".flac"},
        {OutputFormat::Wma, 6, "出力設定 (WMA:", ".wma"},
        {OutputFormat::Wav, 2, "出力設定 (WAV:無圧縮/44.1kHz/stereo)", ".wav"},
        {OutputFormat::Opus, 5, "出力設定 (OPUS:64.0kbps/48.0kHz/stereo)", ".opus"},
    };
    for (const auto& step : steps) {
        // Whatever was chosen before, the new format starts from its defaults.
        rig.output.controls.qualitySelection = 0;
        rig.output.controls.sliderPosition = 90;
        rig.output.oggQuality = 90;
        rig.Choose(step.format);
        EXPECT_EQ(rig.output.controls.qualitySelection, step.row) << FormatName(step.format);
        EXPECT_EQ(rig.output.qualityIndex, step.row) << FormatName(step.format);
        EXPECT_EQ(rig.output.oggQuality, 40) << FormatName(step.format);
        EXPECT_EQ(rig.output.controls.sliderVisible, step.format == OutputFormat::OggVorbis);
        EXPECT_EQ(rig.output.controls.groupCaption.SourceText().rfind(step.caption, 0), 0u) << FormatName(step.format);
        EXPECT_TRUE(rig.file.fileNameTemplate.str().ends_with(step.extension)) << rig.file.fileNameTemplate.str();
    }
}

TEST(OutputBarModel, SplitMethodSetsLabelTimeAndPicker) {
    const struct {
        int method;
        const char* label;
        bool pickerShown;
        SplitTime time;
        bool clockOffered;  // "cut on the clock" can be chosen
    } cases[] = {{1, "分割時間：", true, {0, 30, 0, 0}, true}, {2, "無音時間：", true, {0, 0, 3, 0}, false}, {0, "", false, {}, false}};
    COutputBarModel output;
    output.Push();
    for (const auto& c : cases) {
        output.controls.splitSelection = c.method;
        output.OnSplitMethodSelected();
        EXPECT_EQ(output.splitMethod, c.method);
        EXPECT_EQ(output.controls.splitTimeLabel.SourceText(), c.label);
        EXPECT_EQ(output.controls.splitTimeVisible, c.pickerShown);
        EXPECT_EQ(output.splitTime.TotalSeconds(), c.time.TotalSeconds()) << c.method;
        EXPECT_EQ(output.controls.alignToClockOffered, c.clockOffered) << c.method;
    }
}

TEST(BarModels, AnEmptyNumberRefusesThePullAndTakesTheFocusBack) {
    ScriptedPrompts prompts;
    FocusView view;
    COutputBarModel output;
    CTagBarModel tags;
    for (CBarModel* bar : {static_cast<CBarModel*>(&output), static_cast<CBarModel*>(&tags)}) {
        bar->prompts = &prompts;
        bar->view = &view;
    }
    output.Push();
    output.controls.recordingNumberText = "";
    EXPECT_FALSE(output.Pull());
    EXPECT_EQ(view.focused, COutputBarModel::kRecordingNumber);

    tags.Push();
    tags.controls.yearText = "";
    tags.controls.artist = "New";
    EXPECT_FALSE(tags.Pull());
    EXPECT_EQ(view.focused, CTagBarModel::kYear);
    EXPECT_EQ(tags.year, 2005);  // kept
    EXPECT_EQ(tags.artist.str(), "New");
    EXPECT_EQ(prompts.informed, Texts(2, IntegerEntryMessage().SourceText()));
}

// A device with the given WAVE_FORMAT flags beside the default input.
std::vector<CaptureDeviceInfo> Devices(uint32_t flags) { return {{-1, "Mic", flags}, {0, "Line", flags}}; }

struct InputCase {
    const char* name;
    uint32_t flags;
    int storedRate;
    Texts texts;
    int selection;
    int rateAfter;
};

class InputFormatTest : public ::testing::TestWithParam<InputCase> {};

TEST_P(InputFormatTest, ListsSixteenBitFormatsAndSelectsTheStoredOne) {
    const InputCase& c = GetParam();
    CInputBarModel input(Devices(c.flags));
    input.deviceId = 0;
    input.sampleRate = c.storedRate;
    input.Start();
    EXPECT_EQ(Strings(input.controls.deviceNames), (Texts{"Mic (標準)", "Line"}));
    EXPECT_EQ(input.controls.deviceSelection, 1);
    EXPECT_EQ(Strings(input.controls.formatTexts), c.texts);
    EXPECT_EQ(input.controls.formatSelection, c.selection);
    EXPECT_EQ(input.sampleRate, c.rateAfter);
}

const uint32_t kCdAndDat = WaveFormatFlagFor(44100, 2, 16) | WaveFormatFlagFor(48000, 2, 16);
INSTANTIATE_TEST_SUITE_P(
    Devices, InputFormatTest,
    ::testing::Values(
        InputCase{"Stored", kCdAndDat, 44100, {"44.100 Hz / ステレオ / 16 bit", "48.000 Hz / ステレオ / 16 bit"}, 0, 44100},
        InputCase{"NotOffered", kCdAndDat, 22050, {"44.100 Hz / ステレオ / 16 bit", "48.000 Hz / ステレオ / 16 bit"}, 1, 48000},
        InputCase{"EightBitOnly", WaveFormatFlagFor(44100, 1, 8) | WaveFormatFlagFor(22050, 2, 8), 22050, {}, -1, 22050}),
    [](const auto& info) { return std::string(info.param.name); });

// What the bars say, in the user's language: the missing encoders' messages and questions, a
// refused split time and number, the output caption and the input lists. English holds no
// Japanese and keeps its arguments; Japanese holds no English sentence (the apt-get command
// line it quotes aside).
class BarMessagesTest : public ::testing::TestWithParam<Language> {};

TEST_P(BarMessagesTest, AreSaidInTheUsersLanguageWithTheirArguments) {
    UserLanguage language(GetParam());
    ASSERT_TRUE(language.active());
    std::vector<std::pair<std::string, std::string>> said;  // a text and an argument it must hold
    for (const OutputFormat format : {OutputFormat::Mp3, OutputFormat::Wma}) {
        for (const char* site : {"", "https://maker.example"}) {
            OutputRig rig(false, false);
            rig.output.makerSite = site;
            rig.prompts.answerYes = true;
            rig.Choose(format);
            ASSERT_EQ(rig.prompts.informed.size(), 1u);
            said.emplace_back(rig.prompts.informed[0], format == OutputFormat::Mp3 ? "libmp3lame0" : "WMADEC9.so");
            for (const std::string& question : rig.prompts.questions)
                said.emplace_back(question, format == OutputFormat::Mp3 ? "LAME_ENC.DLL" : "wmfdist8.exe");
        }
    }
    ScriptedPrompts prompts;
    FocusView view;
    COutputBarModel output;
    output.prompts = &prompts;
    output.view = &view;
    for (const OutputFormat format : {OutputFormat::Wav, OutputFormat::Flac, OutputFormat::OggVorbis}) {
        output.controls.formatSelection = format;
        output.OnFormatSelected();
        said.emplace_back(SaidUtf8(output.controls.groupCaption), "kHz");
    }
    for (const int method : {kSplitInterval, kSplitSilence}) {
        output.controls.splitSelection = method;
        output.OnSplitMethodSelected();
        said.emplace_back(SaidUtf8(output.controls.splitTimeLabel), "");
        output.controls.splitTimeReadable = false;
        EXPECT_FALSE(output.Pull());
        output.controls.splitTimeReadable = true;
    }
    output.controls.trackNumberText = "";
    EXPECT_FALSE(output.Pull());
    for (const std::string& message : prompts.informed) said.emplace_back(message, "");
    for (const std::string& message : prompts.refused) said.emplace_back(message, "00:30:00");
    ASSERT_EQ(prompts.informed.size(), 1u);
    ASSERT_EQ(prompts.refused.size(), 2u);
    CInputBarModel input(Devices(kCdAndDat));
    input.Start();
    said.emplace_back(SaidUtf8(input.controls.deviceNames.at(0)), "Mic");  // the default input
    for (const UserText& text : input.controls.formatTexts) said.emplace_back(SaidUtf8(text), "16 bit");

    const bool english = GetParam() == Language::kEnglish;
    for (const auto& [text, argument] : said) {
        if (english) {
            EXPECT_FALSE(HasJapanese(text)) << text;
        } else {
            const std::string prose = std::regex_replace(text, std::regex(R"(\(sudo [^)]*\))"), "");
            EXPECT_FALSE(HasEnglishSentence(prose)) << text;
        }
        EXPECT_NE(text.find(argument), std::string::npos) << text;
    }
    if (!english) {
        EXPECT_TRUE(prompts.refused[0].starts_with("分割時間の指定が不正です。\n時刻は「時:分:秒」")) << prompts.refused[0];
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, BarMessagesTest, testing::Values(Language::kJapanese, Language::kEnglish),
                         [](const testing::TestParamInfo<Language>& info) {
                             return info.param == Language::kEnglish ? "English" : "Japanese";
                         });

TEST(InputBarModel, AStoredDeviceThatIsGoneSelectsNothingAndKeepsTheValues) {
    CInputBarModel input(Devices(kAllWaveFormats));
    input.deviceId = 7;
    input.sampleRate = 22050;
    input.Start();
    EXPECT_EQ(input.controls.deviceSelection, -1);
    EXPECT_TRUE(input.controls.formatTexts.empty());
    EXPECT_TRUE(input.Pull());
    EXPECT_EQ(input.deviceId, 7);
    EXPECT_EQ(input.sampleRate, 22050);
}

TEST(InputBarModel, RefreshFollowsTheSelectedDeviceAndKeepsTheIdOfOneThatWentAway) {
    CInputBarModel input({{-1, "Mic", kAllWaveFormats}, {0, "Mic", kAllWaveFormats}, {1, "USB", kAllWaveFormats}});
    input.deviceId = 1;
    input.Start();
    ASSERT_EQ(input.controls.deviceSelection, 2);
    // A device plugged in before it moves it to id 2.
    input.Refresh({{-1, "Mic", kAllWaveFormats}, {0, "Mic", kAllWaveFormats}, {1, "Dock", kAllWaveFormats},
                   {2, "USB", kAllWaveFormats}});
    EXPECT_EQ(Strings(input.controls.deviceNames), (Texts{"Mic (標準)", "Mic", "Dock", "USB"}));
    EXPECT_EQ(input.controls.deviceSelection, 3);
    EXPECT_EQ(input.deviceId, 2);
    // Unplugged: nothing selected, the id stays for the next start to ask for.
    input.Refresh({{-1, "Mic", kAllWaveFormats}, {0, "Mic", kAllWaveFormats}, {1, "Dock", kAllWaveFormats}});
    EXPECT_EQ(input.controls.deviceSelection, -1);
    EXPECT_TRUE(input.controls.formatTexts.empty());
    EXPECT_EQ(input.deviceId, 2);
}

TEST(FileBarModel, AChosenHistoryEntryGetsTheFormatsExtension) {
    CFileBarModel file;
    file.controls.fileName.text = "%TDY%\\No.%RCN%.mp3";
    file.Pull();
    file.OnTemplateChosen("No.%RCN%-%TKN%");
    EXPECT_EQ(file.controls.fileName.text.str(), "No.%RCN%-%TKN%.mp3");
}

// The dialog gets the template without a format's extension and the extension comes back
// after it; a longer "extension" is part of the name.
TEST(FileBarModel, TheDialogEditsTheTemplateWithoutItsExtension) {
    const struct {
        const char* before;
        const char* shown;
        const char* after;
    } cases[] = {{"No.%RCN%-Track%TKN%.mp3", "No.%RCN%-Track%TKN%", "No.%RCN%-Track%TKN%%STM%.mp3"},
                 {"take.12345", "take.12345", "take.12345%STM%"}};
    for (const auto& c : cases) {
        CFileBarModel file;
        file.controls.fileName.text = c.before;
        std::string shown;
        file.EditTemplate([&](CCharString& text) {
            shown = text.str();
            text += "%STM%";
            return true;
        });
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(file.controls.fileName.text.str(), c.after);
        file.EditTemplate([](CCharString& text) {
            text = "ignored";
            return false;  // cancelled
        });
        EXPECT_EQ(file.fileNameTemplate.str(), c.after);
    }
}

// The folder is a path on this system, used as typed; only "\\" changes it, and then the field
// shows the folder used and the user is told.
TEST(FileBarModel, PullCleansTheNamesAndKeepsTheFolderAsTyped) {
    CFileBarModel file;
    file.controls.folder.text = "/home/u/rec:\"new?\"";
    file.controls.fileName.text = "%TDY%\\a:b";
    file.controls.preset.text = "live\\set";
    file.Pull();
    EXPECT_EQ(file.outputFolder.str(), "/home/u/rec:\"new?\"");
    EXPECT_TRUE(file.folderWarning.empty()) << file.folderWarning.SourceText();
    EXPECT_EQ(file.fileNameTemplate.str(), "%TDY%\\a：b");
    EXPECT_EQ(file.presetName.str(), "live￥set");

    file.controls.folder.text = "/home/u\\rec";
    file.Pull();
    EXPECT_EQ(file.outputFolder.str(), "/home/u/rec");
    EXPECT_EQ(file.controls.folder.text.str(), "/home/u/rec");
    EXPECT_NE(file.folderWarning.SourceText().find("/home/u/rec"), std::string::npos) << file.folderWarning.SourceText();
}

// A list box would select "/Records/old" for "/rec" and record there; only an equal item is selected.
TEST(FileBarModel, PushSelectsOnlyAnEqualItem) {
    CFileBarModel file;
    file.controls.folder.items.entries = {"/Records/old", "/rec"};
    file.outputFolder = "/re";
    file.Push();
    EXPECT_EQ(file.controls.folder.text.str(), "/re");
    EXPECT_EQ(file.controls.folder.items.selected, -1);
    file.outputFolder = "/rec";
    file.Push();
    EXPECT_EQ(file.controls.folder.items.selected, 1);
}

TEST(FileBarModel, BrowseStartsAtTheFolderAndPutsTheChoiceOnTop) {
    CFileBarModel file;
    file.controls.folder.items.entries = {"/a"};
    file.controls.folder.text = "/a";
    std::string start;
    file.Browse([&](const CCharString& from) -> std::optional<CCharString> {
        start = from.str();
        return std::nullopt;
    });
    EXPECT_EQ(start, "/a");
    EXPECT_EQ(file.controls.folder.items.entries.size(), 1u);
    file.Browse([](const CCharString&) { return std::optional<CCharString>("/b"); });
    EXPECT_EQ(Strings(file.controls.folder.items.entries), (Texts{"/b", "/a"}));
    EXPECT_EQ(file.outputFolder.str(), "/b");
}

// The bars around a recording control that is not recording: what the window does at a
// start, after a closed track and after the stop.
class BarSetTest : public ::testing::Test {
protected:
    BarSetTest() : store((dir / "VelsonaF.conf").c_str()), bars(store, Devices(kAllWaveFormats)),
                   control(items, nullptr, [](const RecordingEvent&) {}) {
        bars.SetPrompts(&prompts);
        bars.outputBar.encoderAvailable = [](OutputFormat) { return true; };
        bars.Start();
        bars.LoadProfile(kDefaultPresetName);
    }

    TempDir dir;
    CSettingsStore store;
    ScriptedPrompts prompts;
    CBarSet bars;
    CRecordingItemsModel items;
    CRecordingControl control;
};

TEST_F(BarSetTest, AnEmptyYearStopsTheStart) {
    bars.tagBar.controls.yearText = "";
    ProfileState profile;
    EXPECT_FALSE(bars.PrepareStart(control, profile));
    EXPECT_EQ(prompts.informed, Texts{IntegerEntryMessage().SourceText()});
    EXPECT_TRUE(profile.presets.entries.empty());  // nothing handed over
}

// What the start command does between PrepareStart and showing the histories again.
TEST_F(BarSetTest, StartPutsFolderAndTemplateAtTheTopOfTheirHistories) {
    bars.fileBar.controls.fileName.items.entries = {"A", "%tdy%\\no.%rcn%", "B"};
    bars.fileBar.controls.fileName.text = "%TDY%\\No.%RCN%.mp3";
    bars.fileBar.controls.folder.text = "/srv/rec";
    ProfileState profile;
    ASSERT_TRUE(bars.PrepareStart(control, profile));
    PushIntoHistories(profile);
    bars.TakeHistories(profile);
    EXPECT_EQ(Strings(bars.fileBar.controls.fileName.items.entries), (Texts{"%TDY%\\No.%RCN%", "A", "B"}));
    EXPECT_EQ(bars.fileBar.controls.fileName.text.str(), "%TDY%\\No.%RCN%.mp3");
    EXPECT_EQ(bars.fileBar.controls.folder.items.entries.front().str(), "/srv/rec");
    EXPECT_EQ(bars.fileBar.controls.folder.text.str(), "/srv/rec");

    // A longer "extension" is part of the name and goes into the history whole.
    bars.fileBar.controls.fileName.text = "take.12345";
    ASSERT_TRUE(bars.PrepareStart(control, profile));
    PushIntoHistories(profile);
    bars.TakeHistories(profile);
    EXPECT_EQ(bars.fileBar.controls.fileName.items.entries.front().str(), "take.12345");
}

TEST_F(BarSetTest, StartHandsOverSettingsAndNumbersAndEventsBringThemBack) {
    bars.outputBar.controls.trackNumberText = "5";
    bars.outputBar.controls.recordingNumberText = "12";
    bars.tagBar.controls.artist = "Before";
    ProfileState profile;
    ASSERT_TRUE(bars.PrepareStart(control, profile));
    bars.SetRecording(true);
    EXPECT_FALSE(bars.fileBar.controls.enabled);
    EXPECT_EQ(control.TrackNumber(), 5);
    EXPECT_EQ(control.settings.recordingNumber, 12);
    EXPECT_EQ(control.settings.tagArtist.str(), "Before");
    EXPECT_EQ(profile.settings.tagArtist.str(), "Before");
    EXPECT_EQ(profile.presets.entries, bars.fileBar.controls.preset.items.entries);

    // An artist typed during track 5 goes to the control at once, for the next track; track 5
    // closed and the control raised the number.
    bars.tagBar.controls.artist = "After";
    bars.OnBarsEdited(control);
    EXPECT_EQ(control.settings.tagArtist.str(), "After");
    control.SetTrackNumber(6);
    bars.OnTrackClosed(control);
    EXPECT_EQ(bars.outputBar.controls.trackNumberText.str(), "6");

    // A number typed in the bar goes to the control for the next track.
    bars.outputBar.controls.trackNumberText = "40";
    bars.OnTrackNumberEdited(control);
    EXPECT_EQ(control.TrackNumber(), 40);

    bars.OnRecordingStopped(control);
    EXPECT_TRUE(bars.fileBar.controls.enabled);
}

// Every stored setting, none at its default, loaded into the bars, pushed into their controls,
// pulled back and stored again: a setting the bars drop or swap comes back changed.
TEST_F(BarSetTest, EveryStoredSettingGoesThroughTheBarsAndBack) {
    const RecordingSettings defaults, sent{
        .outputFolder = (dir / "out").c_str(), .fileNameTemplate = "take%TKN%.mp3", .inputDevice = 0,
        .sampleRate = 22050, .channels = 1, .outputFormat = OutputFormat::Mp3,
        .qualityIndex = DefaultQualityIndex(OutputFormat::Mp3) + 1, .oggQuality = 70, .recordingNumber = 12,
        .splitMethod = kSplitSilence, .splitTime = {0, 1, 7, 0}, .silenceLeft = -300, .silenceRight = -310,
        .tagTitle = "T", .tagArtist = "A", .tagAlbum = "B", .tagComment = "C", .tagYear = 2019, .resumeInput = true,
        .skipSilence = true, .preRollSeconds = 4, .alignToClock = true, .loudnessTags = true, .keepDays = 45,
        .keepFreeMb = 2048};
    ASSERT_TRUE(store.SaveSettings("sent", sent));
    bars.LoadSettings("sent");
    ASSERT_TRUE(bars.SaveSettings("back"));
    const RecordingSettings back = store.LoadSettings("back");
    const auto same = [](const auto& a, const auto& b) {
        if constexpr (std::is_same_v<std::decay_t<decltype(a)>, SplitTime>) return a.TotalSeconds() == b.TotalSeconds();
        else return a == b;
    };
    for (const SettingField& field : kSettingFields)
        std::visit([&](auto member) {
            // The input bar offers 16-bit formats only, the default.
            if (std::string(field.key) != "IN_QUALITY_BIT") {
                EXPECT_FALSE(same(sent.*member, defaults.*member)) << field.key << " is sent at its default";
            }
            EXPECT_TRUE(same(back.*member, sent.*member)) << field.key;
        }, field.member);
}

TEST_F(BarSetTest, PresetsAreSavedSelectedAndDeleted) {
    bars.fileBar.controls.preset.text = "  live:set/1 ";
    bars.tagBar.controls.artist = "Live";
    bars.SavePreset();
    EXPECT_EQ(Strings(bars.fileBar.controls.preset.items.entries), (Texts{kDefaultPresetName, "live：set／1"}));
    EXPECT_EQ(bars.fileBar.controls.preset.text.str(), "live：set／1");
    bars.SavePreset();  // the same name again overwrites
    EXPECT_EQ(bars.fileBar.controls.preset.items.entries.size(), 2u);

    bars.fileBar.controls.preset.items.selected = 0;
    bars.SelectPreset();
    EXPECT_EQ(bars.tagBar.controls.artist.str(), "アーティスト");
    bars.fileBar.controls.preset.items.selected = 1;
    bars.SelectPreset();
    EXPECT_EQ(bars.tagBar.controls.artist.str(), "Live");

    bars.fileBar.controls.preset.text = kDefaultPresetName;
    bars.fileBar.controls.preset.items.selected = 0;
    bars.DeletePreset();
    EXPECT_EQ(prompts.informed, Texts{"(デフォルト設定) の録音プリセットは削除できません。"});

    bars.fileBar.controls.preset.text = "live：set／1";
    bars.fileBar.controls.preset.items.selected = 1;
    bars.DeletePreset();
    EXPECT_EQ(Strings(bars.fileBar.controls.preset.items.entries), (Texts{kDefaultPresetName}));
    EXPECT_EQ(bars.fileBar.controls.preset.text.str(), kDefaultPresetName);
    EXPECT_EQ(bars.tagBar.controls.artist.str(), "アーティスト");

    bars.fileBar.controls.preset.text = "   ";
    bars.SavePreset();
    EXPECT_EQ(prompts.informed.back(), "録音プリセットが未入力です。");
}

// A recording from the signal source with the bars handling the posted events as the window does.
TEST(BarsInARecording, EditsDuringATrackApplyFromTheNextTrackAndATypedNumberIsKept) {
    TempDir dir;
    CSettingsStore store((dir / "VelsonaF.conf").c_str());
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<RecordingEvent> events;
    CRecordingItemsModel items;
    CRecordingControl control(items, nullptr, [&](const RecordingEvent& event) {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(event);
        wake.notify_all();
    });
    control.backend = ValueOrFail(CreateCaptureBackend("signal:tone=440hz/-6db"));
    ASSERT_TRUE(control.backend);
    CBarSet bars(store, control.backend->ListDevices());
    bars.outputBar.encoderAvailable = [](OutputFormat) { return true; };
    bars.Start();
    bars.LoadProfile(kDefaultPresetName);
    bars.fileBar.controls.folder.text = dir.path().c_str();
    bars.fileBar.controls.fileName.text = "t%TKN%.wav";
    bars.tagBar.controls.artist = "A1";

    // Handles posted events until `last` arrives.
    auto pumpUntil = [&](int last) {
        while (true) {
            std::unique_lock<std::mutex> lock(mutex);
            if (!wake.wait_for(lock, std::chrono::seconds(30), [&] { return !events.empty(); })) return false;
            const RecordingEvent event = events.front();
            events.pop_front();
            lock.unlock();
            control.OnRecordingEvent(event);
            if (event.code == kRecordingTrackClosed) bars.OnTrackClosed(control);
            if (event.code == kRecordingStopped) bars.OnRecordingStopped(control);
            if (event.code == last) return true;
        }
    };
    // The open track has taken audio, so it is not dropped as empty.
    const auto audioInTrack = [&](int track) {
        return Eventually([&] { return control.Status().trackNumber == track && control.Status().trackTimeMs >= 100; });
    };

    ProfileState profile;
    ASSERT_TRUE(bars.PrepareStart(control, profile));
    const Result<void> started = control.StartRecording();
    ASSERT_TRUE(started) << started.error().message.SourceText();
    ASSERT_TRUE(audioInTrack(1));
    bars.tagBar.controls.artist = "A2";  // typed during track 1
    bars.OnBarsEdited(control);
    control.RequestSplit();
    ASSERT_TRUE(pumpUntil(kRecordingTrackClosed));
    EXPECT_EQ(bars.outputBar.controls.trackNumberText.str(), "2");
    ASSERT_TRUE(audioInTrack(2));
    bars.outputBar.controls.trackNumberText = "7";  // typed during track 2
    bars.OnTrackNumberEdited(control);
    control.RequestSplit();
    ASSERT_TRUE(pumpUntil(kRecordingTrackClosed));
    EXPECT_EQ(bars.outputBar.controls.trackNumberText.str(), "7");
    ASSERT_TRUE(audioInTrack(7));
    control.StopRecording();
    ASSERT_TRUE(pumpUntil(kRecordingStopped));
    EXPECT_EQ(bars.outputBar.controls.trackNumberText.str(), "1");
    EXPECT_EQ(bars.outputBar.controls.recordingNumberText.str(), "2");

    const std::pair<const char*, const char*> tracks[] = {{"t001.wav", "A1"}, {"t002.wav", "A2"}, {"t007.wav", "A2"}};
    for (const auto& [name, artist] : tracks) {
        const ProbedAudio probe = ProbeWithFfprobe(dir / name);
        ASSERT_TRUE(probe.ok) << name;
        EXPECT_EQ(probe.tags.count("artist") ? probe.tags.at("artist") : "", artist) << name;
    }
}

}  // namespace
