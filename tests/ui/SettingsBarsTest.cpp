// The settings bars in the window: what the user sets in them is what gets recorded, a refused
// number stops the start, and the fields come back in the next window.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
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

}  // namespace
