// The settings bars in the window: what the user sets in them is what gets recorded, edits during
// a recording reach the next track, a refused number or a nameless template stops the start, and
// the fields come back in the next window.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

#include "tests/support/AudioProbe.h"
#include "tests/ui/WindowRig.h"
#include "ui/bars/FileBar.h"
#include "ui/bars/InputBar.h"
#include "ui/bars/OutputBar.h"
#include "ui/bars/TagBar.h"

namespace {

template <typename T>
T* Get(const CBarWidget& bar, int id) {
    T* control = qobject_cast<T*>(bar.Control(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

void Choose(QComboBox* list, const QString& text) {
    const int index = list->findText(text, Qt::MatchContains);
    ASSERT_GE(index, 0) << text.toStdString();
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void Type(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    emit edit->textEdited(text);
}

const QString kTitle = QStringLiteral("夕方の録音");

TEST(SettingsBars, WhatEachBarHoldsIsRecorded) {
    WindowRig rig;
    CMainFrame& frame = *rig.frame;
    Choose(Get<QComboBox>(frame.InputBar(), CInputBarModel::kFormatList), QStringLiteral("22.050 Hz / モノラル"));
    Choose(Get<QComboBox>(frame.OutputBar(), COutputBarModel::kFormatList), QStringLiteral("Ogg"));
    Get<QComboBox>(frame.FileBar(), CFileBarModel::kFileNameList)->setEditText(QStringLiteral("Evening-%TKN%.ogg"));
    Type(Get<QLineEdit>(frame.TagBar(), CTagBarModel::kTitle), kTitle);

    frame.Action(kCommandStart)->trigger();
    ASSERT_TRUE(frame.Control().IsRecording());
    ASSERT_TRUE(WindowRig::WaitFor([&] { return frame.Control().Status().totalTimeMs >= 500; }));
    frame.Action(kCommandStop)->trigger();

    ASSERT_EQ(frame.Items().Count(), 1);
    const std::string path = frame.Items().Item(0)->path.str();
    EXPECT_EQ(path, rig.folder() + "/Evening-001.ogg");
    const ProbedAudio probed = ProbeWithFfprobe(path);
    ASSERT_TRUE(probed.ok) << path;
    EXPECT_EQ(probed.codec, "vorbis");
    // The file has the quality row's format; the input bar's is what the device was opened with.
    EXPECT_EQ(frame.Control().settings.sampleRate, 22050);
    EXPECT_EQ(frame.Control().settings.channels, 1);
    EXPECT_EQ(probed.tags.count("title") ? probed.tags.at("title") : "", kTitle.toStdString());
    // The start put the template into the file bar's history.
    EXPECT_GE(Get<QComboBox>(frame.FileBar(), CFileBarModel::kFileNameList)->findText(QStringLiteral("Evening-%TKN%")), 0);
}

TEST(SettingsBars, AnEmptyYearRefusesTheStart) {
    WindowRig rig;
    QLineEdit* year = Get<QLineEdit>(rig.frame->TagBar(), CTagBarModel::kYear);
    Type(year, QString());
    rig.frame->activateWindow();
    rig.frame->Action(kCommandStart)->trigger();
    EXPECT_FALSE(rig.frame->Control().IsRecording());
    EXPECT_EQ(rig.boxes.informed, std::vector<QString>{QStringLiteral("整数を入力してください。")});
    EXPECT_TRUE(WindowRig::WaitFor([&] { return year->hasFocus(); }, 2000));
    EXPECT_EQ(rig.frame->Items().Count(), 0);
    EXPECT_TRUE(rig.frame->Action(kCommandStart)->isEnabled());
}

// A template that names no file would record hidden files such as "<folder>/.wav".
class NamelessTemplate : public testing::TestWithParam<const char*> {};

TEST_P(NamelessTemplate, IsRefusedBeforeTheStart) {
    WindowRig rig;
    QComboBox* fileName = Get<QComboBox>(rig.frame->FileBar(), CFileBarModel::kFileNameList);
    WindowRig::TypeOver(fileName->lineEdit(), QString::fromUtf8(GetParam()));
    rig.frame->Action(kCommandStart)->trigger();
    EXPECT_FALSE(rig.frame->Control().IsRecording());
    ASSERT_EQ(rig.boxes.informed.size(), 1u);
    EXPECT_TRUE(rig.boxes.informed[0].contains(QStringLiteral("保存ファイル名が空か、拡張子だけです。")))
        << rig.boxes.informed[0].toStdString();
    EXPECT_EQ(rig.frame->Items().Count(), 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(rig.folder()))) << "nothing is created before the refusal";
}

INSTANTIATE_TEST_SUITE_P(Templates, NamelessTemplate, testing::Values("", ".wav", "%TDY%/.mp3", "  "));

// What the user changes while the first track is recorded reaches the second track whole, and
// after the stop every row shows its finished file.
struct EditCase {
    const char* name;
    std::function<void(WindowRig&)> edit;
    const char* secondName;  // how the second track's file name starts
    const char* secondExtension;
    const char* secondCodec;  // as ffprobe names it
    bool otherFolder;         // the second track went into the folder chosen from the menu
    int nextRecordingNumber;  // the bar's 収録No after the stop
};

class EditsDuringARecording : public testing::TestWithParam<EditCase> {};

TEST_P(EditsDuringARecording, ReachTheNextTrackAndEveryRowShowsItsFinishedFile) {
    const EditCase& c = GetParam();
    // In real time, so the edits fall inside the first track.
    WindowRig rig("tone=440hz/-12db");
    CMainFrame& frame = *rig.frame;
    frame.Action(kCommandStart)->trigger();
    ASSERT_TRUE(rig.WaitForTrack(1));
    c.edit(rig);
    frame.Action(kCommandSplit)->trigger();
    ASSERT_TRUE(rig.WaitForTrack(2));
    frame.Action(kCommandStop)->trigger();

    const std::vector<RecordingItem> rows = frame.Items().Snapshot();
    ASSERT_EQ(rows.size(), 2u);
    struct Expected {
        std::string start, extension, codec;
    };
    const std::string second = (c.otherFolder ? rig.dir / "other" : rig.folder()) + "/" + c.secondName;
    const Expected expected[] = {{rig.folder() + "/No.01-Track001(", ".wav", "pcm_s16le"},
                                 {second, c.secondExtension, c.secondCodec}};
    const QAbstractItemModel& cells = *frame.List()->model();
    for (int row = 0; row < 2; ++row) {
        const std::string path = rows[row].path.str();
        EXPECT_TRUE(path.starts_with(expected[row].start) && path.ends_with(expected[row].extension)) << path;
        EXPECT_EQ(path.find("？"), std::string::npos) << path;
        EXPECT_EQ(ProbeWithFfprobe(path).codec, expected[row].codec) << path;
        const auto cell = [&](int column) { return cells.index(row, column).data().toString().toStdString(); };
        EXPECT_TRUE(cell(2).ends_with(" KB") && !cell(2).starts_with("0 ")) << cell(2);
        EXPECT_NE(cell(3).find(" ["), std::string::npos) << "length and date: " << cell(3);
        EXPECT_TRUE(cell(4).starts_with("タイトルNo00" + std::to_string(row + 1))) << cell(4);
        EXPECT_FALSE(cell(6).empty()) << "quality";
    }
    EXPECT_EQ(Get<QSpinBox>(frame.OutputBar(), COutputBarModel::kRecordingNumber)->value(), c.nextRecordingNumber);
}

void ChooseFormat(WindowRig& rig, char initial) {
    // The list's keyboard search, as a user picks an entry by its first letter (from WAV, "W"
    // goes on to WMA).
    QTest::keyClick(Get<QComboBox>(rig.frame->OutputBar(), COutputBarModel::kFormatList), initial);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EditsDuringARecording,
    testing::Values(
        EditCase{"Mp3", [](WindowRig& rig) { ChooseFormat(rig, 'M'); }, "No.01-Track002(", ".mp3", "mp3", false, 2},
        EditCase{"Wma", [](WindowRig& rig) { ChooseFormat(rig, 'W'); }, "No.01-Track002(", ".wma", "wmav2", false, 2},
        EditCase{"Flac", [](WindowRig& rig) { ChooseFormat(rig, 'F'); }, "No.01-Track002(", ".flac", "flac", false, 2},
        EditCase{"RecordingNumber",
                 [](WindowRig& rig) {
                     WindowRig::TypeOver(Get<QSpinBox>(rig.frame->OutputBar(), COutputBarModel::kRecordingNumber),
                                         QStringLiteral("50"));
                 },
                 "No.50-Track002(", ".wav", "pcm_s16le", false, 51},
        // The field does not stop the numbers at four digits.
        EditCase{"RecordingNumberPastFourDigits",
                 [](WindowRig& rig) {
                     WindowRig::TypeOver(Get<QSpinBox>(rig.frame->OutputBar(), COutputBarModel::kRecordingNumber),
                                         QStringLiteral("9999"));
                 },
                 "No.9999-Track002(", ".wav", "pcm_s16le", false, 10000},
        EditCase{"FolderFromTheMenu",
                 [](WindowRig& rig) {
                     rig.boxes.chosenFolder = QString::fromStdString(rig.dir / "other");
                     rig.frame->Action(kCommandSetFolder)->trigger();
                 },
                 "No.01-Track002(", ".wav", "pcm_s16le", true, 2}),
    [](const testing::TestParamInfo<EditCase>& info) { return info.param.name; });

TEST(SettingsBars, FieldsComeBackInTheNextWindow) {
    WindowRig rig;
    Choose(Get<QComboBox>(rig.frame->OutputBar(), COutputBarModel::kFormatList), QStringLiteral("MP3"));
    Get<QSpinBox>(rig.frame->OutputBar(), COutputBarModel::kRecordingNumber)->setValue(7);
    Type(Get<QLineEdit>(rig.frame->TagBar(), CTagBarModel::kArtist), QStringLiteral("合唱団"));
    Type(Get<QLineEdit>(rig.frame->TagBar(), CTagBarModel::kYear), QStringLiteral("1999"));
    Get<QComboBox>(rig.frame->FileBar(), CFileBarModel::kFolderList)->setEditText(QString::fromStdString(rig.dir / "other"));
    Choose(Get<QComboBox>(rig.frame->InputBar(), CInputBarModel::kFormatList), QStringLiteral("22.050 Hz / モノラル"));
    ASSERT_TRUE(rig.frame->close());

    CMainFrame::Options options;
    options.settingsFile = CCharString(rig.dir / "settings.conf");
    options.programFolder = QString::fromStdString(rig.dir.path());
    ScriptedBoxes boxes;
    CMainFrame next(&boxes, options);
    next.Start({});
    EXPECT_EQ(Get<QComboBox>(next.OutputBar(), COutputBarModel::kFormatList)->currentText().left(3), QStringLiteral("MP3"));
    EXPECT_EQ(Get<QSpinBox>(next.OutputBar(), COutputBarModel::kRecordingNumber)->value(), 7);
    EXPECT_EQ(Get<QLineEdit>(next.TagBar(), CTagBarModel::kArtist)->text(), QStringLiteral("合唱団"));
    EXPECT_EQ(Get<QLineEdit>(next.TagBar(), CTagBarModel::kYear)->text(), QStringLiteral("1999"));
    EXPECT_EQ(Get<QComboBox>(next.FileBar(), CFileBarModel::kFolderList)->currentText().toStdString(), rig.dir / "other");
    EXPECT_EQ(next.Control().settings.channels, 1);
    EXPECT_EQ(next.Control().settings.sampleRate, 22050);
    EXPECT_TRUE(boxes.informed.empty() && boxes.warned.empty());
}

// "Record only while there is sound" beside the silence split, from the keyboard: greyed out with
// another split method, Alt+K and Alt+J with it; the recording then says in the status bar that it
// waits for sound.
TEST(SettingsBars, OnlyWhileThereIsSoundByKeysAndTheWaitInTheStatusBar) {
    WindowRig rig("tone=1000hz/-6db/1s,silence=60s");
    CMainFrame& frame = *rig.frame;
    auto* skip = Get<QCheckBox>(frame.OutputBar(), COutputBarModel::kSkipSilence);
    auto* preRoll = Get<QSpinBox>(frame.OutputBar(), COutputBarModel::kPreRoll);
    EXPECT_FALSE(skip->isEnabled()) << "the manual split has no silence length";
    EXPECT_EQ(skip->accessibleName(), QStringLiteral("音のあるときだけ録音"));
    EXPECT_EQ(preRoll->accessibleName(), QStringLiteral("プリロール"));
    Choose(Get<QComboBox>(frame.OutputBar(), COutputBarModel::kSplitMethodList), QStringLiteral("無音区間で分割"));
    ASSERT_TRUE(skip->isEnabled());
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(&frame, Qt::Key_K, Qt::AltModifier);
    // A mnemonic clicks as a button does, after showing it pressed.
    EXPECT_TRUE(WindowRig::WaitFor([&] { return skip->isChecked(); }, 2000));
    QTest::keyClick(&frame, Qt::Key_J, Qt::AltModifier);
    EXPECT_TRUE(preRoll->hasFocus());
    WindowRig::TypeOver(preRoll, QStringLiteral("3"));

    frame.Action(kCommandStart)->trigger();
    ASSERT_TRUE(WindowRig::WaitFor([&] { return frame.Control().IsWaitingForSound(); }));
    EXPECT_TRUE(WindowRig::WaitFor([&] { return frame.PromptText().startsWith(QStringLiteral("音を待っています")); }, 2000))
        << frame.PromptText().toStdString();
    WindowRig::Screenshot(frame, "waiting-for-sound");
    frame.Action(kCommandStop)->trigger();
    EXPECT_EQ(frame.Items().Count(), 1);
    EXPECT_EQ(frame.Control().settings.preRollSeconds, 3);
}

// Loudness tags from the tag bar: Alt+D ticks the box and the recording's settings take it.
TEST(SettingsBars, LoudnessTagsByTheirMnemonic) {
    WindowRig rig("tone=1000hz/-6db/1s");
    CMainFrame& frame = *rig.frame;
    auto* loudness = Get<QCheckBox>(frame.TagBar(), CTagBarModel::kLoudnessTags);
    EXPECT_EQ(loudness->accessibleName(), QStringLiteral("ラウドネスタグ"));
    EXPECT_FALSE(loudness->isChecked());
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(&frame, Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(WindowRig::WaitFor([&] { return frame.Control().settings.loudnessTags; }, 2000));
    EXPECT_TRUE(loudness->isChecked());
    WindowRig::Screenshot(frame, "loudness-tags");
    QTest::mouseClick(loudness, Qt::LeftButton);
    EXPECT_TRUE(WindowRig::WaitFor([&] { return !frame.Control().settings.loudnessTags; }, 2000));
}

}  // namespace
