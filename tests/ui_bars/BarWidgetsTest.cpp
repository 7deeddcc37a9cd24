// The bars' widgets on the offscreen platform: their texts and fit in both languages with
// screenshots, the default preset's shown name, names, the Return key, number ranges, the
// disabled file bar, the file-name dialog, the settings round trip through the widgets, and a
// PulseAudio device plugged in while the bar is open.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <climits>
#include <gtest/gtest.h>

#include "platform/PulseCapture.h"
#include "platform/WaveFormats.h"
#include "tests/support/PulseServer.h"
#include "tests/support/Process.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserLanguage.h"
#include "ui/bars/FileBar.h"
#include "ui/bars/FileNameDlg.h"
#include "ui/bars/InputBar.h"
#include "ui/bars/OutputBar.h"
#include "ui/bars/TagBar.h"
#include "ui/bars/TimeField.h"
#include "ui/monitor/LevelBar.h"
#include "ui/monitor/MonitorBar.h"

namespace {

const std::vector<CaptureDeviceInfo> kDevices = {{-1, "内蔵マイク", kAllWaveFormats}, {0, "内蔵マイク", kAllWaveFormats},
                                                  {1, "USB Audio", kAllWaveFormats}};

// Runs the event loop until `done` holds or `ms` pass.
bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
    for (int waited = 0; !done(); waited += 20) {
        if (waited > ms) return false;
        QTest::qWait(20);
    }
    return true;
}

template <typename T>
T* Get(const CBarWidget& bar, int id) {
    T* control = qobject_cast<T*>(bar.Control(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

void Activate(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

QStringList Items(const QComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    return items;
}

// The four bars over one store in a private settings folder, as the window holds them, or over
// the settings file given.
struct Window {
    explicit Window(const std::vector<CaptureDeviceInfo>& devices = kDevices, const std::string& settingsFile = {})
        : store(settingsFile.empty() ? std::make_unique<CSettingsStore>()
                                     : std::make_unique<CSettingsStore>(CCharString(settingsFile))),
          bars(*store, devices),
          fileBar(bars),
          inputBar(bars.inputBar),
          outputBar(bars.outputBar),
          tagBar(bars.tagBar) {
        bars.SetPrompts(&prompts);
        bars.outputBar.encoderAvailable = [](OutputFormat) { return true; };
        bars.Start();
        bars.LoadProfile(kDefaultPresetName);
    }

    std::unique_ptr<CSettingsStore> store;
    ScriptedPrompts prompts;
    CBarSet bars;
    CFileBar fileBar;
    CInputBar inputBar;
    COutputBar outputBar;
    CTagBar tagBar;
};

class BarWidgetsTest : public ::testing::Test {
protected:
    BarWidgetsTest() {
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        setenv("HOME", dir.path().c_str(), 1);
    }
    TempDir dir;
};

// Every text a person reads or a screen reader speaks: the widget's own and its items.
QStringList ShownTexts(const QWidget* widget) {
    QStringList texts{widget->accessibleName(), widget->accessibleDescription(), widget->toolTip(), widget->windowTitle()};
    if (auto* label = qobject_cast<const QLabel*>(widget)) texts << label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) texts << button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) texts << group->title();
    if (auto* list = qobject_cast<const QComboBox*>(widget)) texts << Items(list);
    // A field's content is the user's (a folder, a tag template); its hint is ours.
    if (auto* edit = qobject_cast<const QLineEdit*>(widget)) texts << edit->placeholderText();
    return texts;
}

// Each bar, the monitor displays and the file-name dialog in the user's language: English
// without a Japanese character, Japanese without an English sentence; each fits a 1024×600
// screen beside the level bar with no label or button cut; screenshots named with the language.
class BarsInTheUsersLanguage : public BarWidgetsTest, public testing::WithParamInterface<Language> {};

TEST_P(BarsInTheUsersLanguage, SpeakItFitAndAreShot) {
    UserLanguage language(GetParam());
    ASSERT_TRUE(language.active());
    InstallTranslators(*QCoreApplication::instance());
    const bool english = GetParam() == Language::kEnglish;
    // Device names are the sound server's, shown as they come: these are no sentence in either language.
    // Qt keeps the first test's settings folder for the process: a file of this test's own.
    Window w({{-1, "HDA Intel", kAllWaveFormats}, {0, "HDA Intel", kAllWaveFormats}, {1, "USB Audio", kAllWaveFormats}},
             dir / "settings.conf");
    // The texts that change with a choice: the split time's label and the Ogg Vorbis caption.
    Activate(Get<QComboBox>(w.outputBar, COutputBarModel::kFormatList), 2);
    Activate(Get<QComboBox>(w.outputBar, COutputBarModel::kSplitMethodList), 2);
    CFileNameDlg dialog("%TDY%/No.%RCN%-Track%TKN%", w.prompts);
    CLevelBar levels;
    CMonitorBar monitor;
    const int room = 1024 - levels.sizeHint().width();
    const QString folder = VELSONA_SCREENSHOTS;
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::pair<QWidget*, const char*> shown[] = {
        {&w.fileBar, "file_bar"}, {&w.inputBar, "input_bar"}, {&w.outputBar, "output_bar"}, {&w.tagBar, "tag_bar"},
        {&monitor, "monitor_bar"}, {&levels, "level_bar"}, {&dialog, "file_name_dialog"}};
    for (const auto& [widget, name] : shown) {
        SCOPED_TRACE(name);
        widget->resize(widget->sizeHint());
        widget->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
        EXPECT_LE(widget->width(), widget == &dialog ? 1024 : room);
        EXPECT_LE(widget->height(), 600);
        QList<QWidget*> all = widget->findChildren<QWidget*>();
        all.push_back(widget);
        for (const QWidget* child : all) {
            for (const QString& text : ShownTexts(child)) {
                const std::string said = text.toStdString();
                EXPECT_FALSE(english ? HasJapanese(said) : HasEnglishSentence(said)) << said;
            }
            // A screen reader speaks the label's words without its colon.
            EXPECT_FALSE(child->accessibleName().endsWith(u':') || child->accessibleName().endsWith(QChar(0xFF1A)))
                << child->accessibleName().toStdString();
            const bool labelled = qobject_cast<const QLabel*>(child) || qobject_cast<const QAbstractButton*>(child);
            if (labelled && child->isVisible()) {
                EXPECT_GE(child->width(), child->sizeHint().width()) << ShownTexts(child).join(" ").toStdString();
            }
        }
        EXPECT_TRUE(widget->grab().save(folder + "/" + name + (english ? "-en" : "-ja") + ".png"));
    }
    // The other tokens' explanation, which the dialog shows in a box.
    QTest::mouseClick(dialog.TokenButton(""), Qt::LeftButton);
    ASSERT_EQ(w.prompts.informed.size(), 1u);
    EXPECT_FALSE(english ? HasJapanese(w.prompts.informed[0]) : HasEnglishSentence(w.prompts.informed[0]))
        << w.prompts.informed[0];
}

INSTANTIATE_TEST_SUITE_P(Languages, BarsInTheUsersLanguage, testing::Values(Language::kJapanese, Language::kEnglish),
                         [](const testing::TestParamInfo<Language>& info) {
                             return info.param == Language::kEnglish ? "English" : "Japanese";
                         });

// The default preset keeps its stored name while the list shows it in English: choosing it
// loads it, and deleting it is refused as the stored default's deletion is.
TEST_F(BarWidgetsTest, TheDefaultPresetIsShownInEnglishAndStoredUnderItsName) {
    UserLanguage language(Language::kEnglish);
    ASSERT_TRUE(language.active());
    InstallTranslators(*QCoreApplication::instance());
    Window w(kDevices, dir / "settings.conf");
    QComboBox* presets = Get<QComboBox>(w.fileBar, CFileBarModel::kPresetList);
    EXPECT_EQ(Items(presets).join("|").toStdString(), "(Default settings)");
    EXPECT_EQ(presets->currentText().toStdString(), "(Default settings)");
    Get<QLineEdit>(w.tagBar, CTagBarModel::kArtist)->setText("changed");
    Activate(presets, 0);
    EXPECT_EQ(w.bars.fileBar.presetName.str(), kDefaultPresetName);
    EXPECT_NE(Get<QLineEdit>(w.tagBar, CTagBarModel::kArtist)->text(), "changed");
    QTest::mouseClick(Get<QPushButton>(w.fileBar, CFileBarModel::kDeletePreset), Qt::LeftButton);
    EXPECT_EQ(w.prompts.informed.size(), 1u);
    EXPECT_EQ(Items(presets).join("|").toStdString(), "(Default settings)");
}

TEST_F(BarWidgetsTest, ControlsAreNamedAfterTheirLabels) {
    Window w;
    const std::tuple<const CBarWidget*, int, const char*> names[] = {
        {&w.fileBar, CFileBarModel::kFolderList, "出力先フォルダ"},
        {&w.fileBar, CFileBarModel::kPresetList, "録音プリセット"},
        {&w.fileBar, CFileBarModel::kEdit, "編集"},
        {&w.inputBar, CInputBarModel::kDeviceList, "入力デバイス"},
        {&w.outputBar, COutputBarModel::kTrackNumber, "ﾄﾗｯｸNo"},
        {&w.tagBar, CTagBarModel::kYear, "リリース年"},
    };
    for (const auto& [bar, id, name] : names) {
        ASSERT_NE(bar->Control(id), nullptr) << id;
        EXPECT_EQ(bar->Control(id)->accessibleName().toStdString(), name);
    }
    EXPECT_EQ(Get<QComboBox>(w.inputBar, CInputBarModel::kDeviceList)->itemText(0).toStdString(), "内蔵マイク (標準)");
}

TEST_F(BarWidgetsTest, ReturnMovesTheFocusOnAndTriggersNothing) {
    Window w;
    w.tagBar.show();
    w.fileBar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.tagBar));
    for (const auto& [bar, id] : {std::pair<CBarWidget*, int>{&w.tagBar, CTagBarModel::kTitle},
                                  {&w.fileBar, CFileBarModel::kPresetList}}) {
        bar->activateWindow();
        QWidget* control = bar->Control(id);
        control->setFocus();
        ASSERT_TRUE(WaitFor([&] { return control->hasFocus(); }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(control->hasFocus()) << id;
        EXPECT_TRUE(bar->isAncestorOf(QApplication::focusWidget())) << id;
    }
    EXPECT_TRUE(w.prompts.informed.empty());
    EXPECT_EQ(w.bars.fileBar.controls.preset.items.entries.size(), 1u);  // no preset saved
}

// From 1 up, past four digits as far as the settings keep a number.
TEST_F(BarWidgetsTest, NumberBoxesStartAtOneAndGoOnPastFourDigits) {
    Window w;
    for (int id : {COutputBarModel::kRecordingNumber, COutputBarModel::kTrackNumber}) {
        QSpinBox* box = Get<QSpinBox>(w.outputBar, id);
        box->setValue(1);
        box->stepDown();
        EXPECT_EQ(box->value(), 1);
        box->setValue(9999);
        box->stepUp();
        EXPECT_EQ(box->value(), 10000);
        box->setValue(INT_MAX);
        EXPECT_EQ(box->value(), INT_MAX - 1);
        box->setValue(0);
        EXPECT_EQ(box->value(), 1);
    }
}

TEST_F(BarWidgetsTest, PresetButtonsSaveSelectAndDelete) {
    Window w;
    QComboBox* presets = Get<QComboBox>(w.fileBar, CFileBarModel::kPresetList);
    QLineEdit* artist = Get<QLineEdit>(w.tagBar, CTagBarModel::kArtist);
    presets->setEditText("夜");
    artist->setText("夜の歌手");
    QTest::mouseClick(Get<QPushButton>(w.fileBar, CFileBarModel::kSavePreset), Qt::LeftButton);
    EXPECT_EQ(Items(presets), (QStringList{kDefaultPresetName, "夜"}));

    Activate(presets, 0);
    EXPECT_EQ(artist->text(), "アーティスト");
    // A name typed over the first entry is that name, not the first entry.
    presets->setEditText("夜");
    QTest::mouseClick(Get<QPushButton>(w.fileBar, CFileBarModel::kDeletePreset), Qt::LeftButton);
    EXPECT_TRUE(w.prompts.informed.empty());
    EXPECT_EQ(Items(presets), QStringList{kDefaultPresetName});
    EXPECT_EQ(presets->currentText(), kDefaultPresetName);
}

TEST_F(BarWidgetsTest, TheFileBarDoesNotRespondWhileRecording) {
    Window w;
    w.fileBar.show();
    w.bars.SetRecording(true);
    EXPECT_FALSE(w.fileBar.isEnabled());
    w.bars.fileBar.controls.preset.text = "new";
    QPushButton* save = Get<QPushButton>(w.fileBar, CFileBarModel::kSavePreset);
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(Items(Get<QComboBox>(w.fileBar, CFileBarModel::kPresetList)), QStringList{kDefaultPresetName});
    w.bars.SetRecording(false);
    EXPECT_TRUE(w.fileBar.isEnabled());
}

TEST_F(BarWidgetsTest, TokenButtonsSelectATokenThatIsThereAndInsertOneThatIsNot) {
    ScriptedPrompts prompts;
    CFileNameDlg dialog("No.%RCN%-Track%TKN%", prompts);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QLineEdit* edit = dialog.Edit();
    ASSERT_TRUE(WaitFor([&] { return edit->hasFocus(); }));
    QTest::qWait(20);
    EXPECT_EQ(edit->cursorPosition(), edit->text().size());
    EXPECT_FALSE(edit->hasSelectedText());
    QTest::mouseClick(dialog.TokenButton("%TKN%"), Qt::LeftButton);
    EXPECT_EQ(edit->text(), "No.%RCN%-Track%TKN%");
    EXPECT_EQ(edit->selectedText(), "%TKN%");
    edit->end(false);
    QTest::mouseClick(dialog.TokenButton("%STM%"), Qt::LeftButton);
    EXPECT_EQ(edit->text(), "No.%RCN%-Track%TKN%%STM%");
    // The selection is replaced, as one undoable edit.
    edit->setSelection(0, 3);
    QTest::mouseClick(dialog.TokenButton("%TDY%"), Qt::LeftButton);
    EXPECT_EQ(edit->text(), "%TDY%%RCN%-Track%TKN%%STM%");
    edit->undo();
    EXPECT_EQ(edit->text(), "No.%RCN%-Track%TKN%%STM%");
    EXPECT_EQ(dialog.TokenButton("%TKN2%"), nullptr);
    QTest::mouseClick(dialog.TokenButton(""), Qt::LeftButton);
    ASSERT_EQ(prompts.informed.size(), 1u);
    EXPECT_EQ(prompts.informed[0].rfind("※以下の %組込み文字% も利用可能です。", 0), 0u);
}

// Opus, typed into the format list as a person picks it, gets its rows, caption and extension.
TEST_F(BarWidgetsTest, OpusTypedIntoTheFormatListGetsItsRowsCaptionAndExtension) {
    Window w;
    Get<QComboBox>(w.fileBar, CFileBarModel::kFileNameList)->setEditText("%TDY%/講義.wav");
    QComboBox* formats = Get<QComboBox>(w.outputBar, COutputBarModel::kFormatList);
    formats->setFocus();
    QTest::keyClicks(formats, "OP");
    EXPECT_EQ(formats->currentText(), "OPUS (OggOpus)");
    EXPECT_EQ(w.bars.outputBar.outputFormat, OutputFormat::Opus);
    EXPECT_EQ(Get<QComboBox>(w.outputBar, COutputBarModel::kQualityList)->currentText(), "64k bps / 48.0 kHz / Stereo");
    EXPECT_EQ(w.bars.outputBar.controls.groupCaption.SourceText(), "出力設定 (OPUS:64.0kbps/48.0kHz/stereo)");
    EXPECT_FALSE(Get<QSlider>(w.outputBar, COutputBarModel::kOggSlider)->isVisibleTo(&w.outputBar));
    EXPECT_EQ(Get<QComboBox>(w.fileBar, CFileBarModel::kFileNameList)->currentText(), "%TDY%/講義.opus");
}

// Every field changed in the widgets, saved as the window does when it closes, and found
// again by a new window.
TEST_F(BarWidgetsTest, EveryFieldComesBackAfterARestart) {
    {
        Window w;
        Get<QComboBox>(w.fileBar, CFileBarModel::kFolderList)->setEditText("/srv/ラジオ");
        Get<QComboBox>(w.fileBar, CFileBarModel::kFileNameList)->setEditText("%TDY%/朝.wav");
        Activate(Get<QComboBox>(w.inputBar, CInputBarModel::kDeviceList), 2);
        Activate(Get<QComboBox>(w.inputBar, CInputBarModel::kFormatList), 1);
        Activate(Get<QComboBox>(w.outputBar, COutputBarModel::kFormatList), 2);
        Activate(Get<QComboBox>(w.outputBar, COutputBarModel::kQualityList), 5);
        Get<QSlider>(w.outputBar, COutputBarModel::kOggSlider)->setValue(65);
        Get<QSpinBox>(w.outputBar, COutputBarModel::kRecordingNumber)->setValue(12);
        Activate(Get<QComboBox>(w.outputBar, COutputBarModel::kSplitMethodList), 2);
        Get<CTimeField>(w.outputBar, COutputBarModel::kSplitTime)->setTime(QTime(0, 0, 7));
        const std::pair<int, const char*> tags[] = {{CTagBarModel::kTitle, "題%TKN%"}, {CTagBarModel::kArtist, "歌手"},
                                                    {CTagBarModel::kAlbum, "盤"}, {CTagBarModel::kComment, "注"},
                                                    {CTagBarModel::kYear, "1999"}};
        for (const auto& [id, text] : tags) Get<QLineEdit>(w.tagBar, id)->setText(text);
        ASSERT_TRUE(w.bars.SaveProfile(kDefaultPresetName));
    }
    Window w;
    EXPECT_EQ(Get<QComboBox>(w.fileBar, CFileBarModel::kFolderList)->currentText(), "/srv/ラジオ");
    // The template follows the Ogg Vorbis format chosen before.
    EXPECT_EQ(Get<QComboBox>(w.fileBar, CFileBarModel::kFileNameList)->currentText(), "%TDY%/朝.ogg");
    EXPECT_EQ(Items(Get<QComboBox>(w.fileBar, CFileBarModel::kFileNameList)), QStringList{"%TDY%/朝"});
    EXPECT_EQ(Get<QComboBox>(w.inputBar, CInputBarModel::kDeviceList)->currentIndex(), 2);
    EXPECT_EQ(Get<QComboBox>(w.inputBar, CInputBarModel::kFormatList)->currentText(), "11.025 Hz / ステレオ / 16 bit");
    EXPECT_EQ(Get<QComboBox>(w.outputBar, COutputBarModel::kFormatList)->currentIndex(), 2);
    EXPECT_EQ(Get<QComboBox>(w.outputBar, COutputBarModel::kQualityList)->currentIndex(), 5);
    EXPECT_EQ(Get<QSlider>(w.outputBar, COutputBarModel::kOggSlider)->value(), 65);
    EXPECT_TRUE(Get<QSlider>(w.outputBar, COutputBarModel::kOggSlider)->isVisibleTo(&w.outputBar));
    EXPECT_EQ(Get<QSpinBox>(w.outputBar, COutputBarModel::kRecordingNumber)->value(), 12);
    EXPECT_EQ(Get<QComboBox>(w.outputBar, COutputBarModel::kSplitMethodList)->currentIndex(), 2);
    EXPECT_EQ(Get<CTimeField>(w.outputBar, COutputBarModel::kSplitTime)->time(), QTime(0, 0, 7));
    EXPECT_EQ(Get<QLineEdit>(w.tagBar, CTagBarModel::kTitle)->text(), "題%TKN%");
    EXPECT_EQ(Get<QLineEdit>(w.tagBar, CTagBarModel::kArtist)->text(), "歌手");
    EXPECT_EQ(Get<QLineEdit>(w.tagBar, CTagBarModel::kAlbum)->text(), "盤");
    EXPECT_EQ(Get<QLineEdit>(w.tagBar, CTagBarModel::kComment)->text(), "注");
    EXPECT_EQ(Get<QLineEdit>(w.tagBar, CTagBarModel::kYear)->text(), "1999");
}

TEST(InputBarWidget, APulseAudioDevicePluggedInAppearsWithoutARestart) {
    PulseTestServer server;
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    auto backend = std::make_shared<CPulseCaptureBackend>();
    CInputBarModel model(backend->ListDevices());
    CInputBar bar(model);
    model.Start();
    ASSERT_TRUE(bar.WatchDevices(backend));
    QComboBox* devices = Get<QComboBox>(bar, CInputBarModel::kDeviceList);
    const QString plugged = "Monitor of PluggedMic";
    ASSERT_FALSE(Items(devices).contains(plugged));

    const ProcessResult load =
        RunProcess("pactl load-module module-null-sink sink_name=plugged sink_properties=device.description=PluggedMic");
    ASSERT_EQ(load.exitCode, 0);
    EXPECT_TRUE(WaitFor([&] { return Items(devices).contains(plugged); })) << Items(devices).join(", ").toStdString();

    ASSERT_EQ(RunProcess("pactl unload-module " + load.output).exitCode, 0);
    EXPECT_TRUE(WaitFor([&] { return !Items(devices).contains(plugged); }));
}

}  // namespace
