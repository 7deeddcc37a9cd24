// The window where no encoder or comment module sits beside the program, as a copy of the build on
// a machine without them: a refused format never reaches a track, and Ogg tracks are shown whole.
#include <QComboBox>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "app/settings/SettingsStore.h"
#include "platform/CaptureBackend.h"
#include "schedule/CommandLine.h"
#include "tests/support/ResultValue.h"
#include "tests/support/TempDir.h"
#include "tests/ui/WindowRig.h"
#include "ui/bars/FileBar.h"
#include "ui/bars/OutputBar.h"

namespace {

struct MissingEncoder {
    const char* name;
    char key;  // picks the format in the list by its first letter, as a user does (from WAV, "W" is WMA)
    const char* module;
};

class MissingEncoderInTheWindow : public testing::TestWithParam<MissingEncoder> {};

TEST_P(MissingEncoderInTheWindow, IsRefusedOnceAndTheRecordingGoesOnInOggVorbis) {
    const MissingEncoder& c = GetParam();
    // In real time, so the choice falls inside the first track.
    WindowRig rig("tone=440hz/-12db");
    CMainFrame& frame = *rig.frame;
    auto* formats = qobject_cast<QComboBox*>(frame.OutputBar().Control(COutputBarModel::kFormatList));
    auto* fileName = qobject_cast<QComboBox*>(frame.FileBar().Control(CFileBarModel::kFileNameList));
    ASSERT_TRUE(formats && fileName);

    frame.Action(kCommandStart)->trigger();
    ASSERT_TRUE(rig.WaitForTrack(1));
    QTest::keyClick(formats, c.key);
    ASSERT_EQ(rig.boxes.informed.size(), 1u);
    EXPECT_TRUE(rig.boxes.informed[0].contains(QString::fromUtf8(c.module))) << rig.boxes.informed[0].toStdString();
    EXPECT_TRUE(rig.boxes.asked.empty());
    EXPECT_TRUE(formats->currentText().startsWith(QStringLiteral("OGG"))) << formats->currentText().toStdString();
    EXPECT_TRUE(fileName->currentText().endsWith(QStringLiteral(".ogg"))) << fileName->currentText().toStdString();
    WindowRig::Screenshot(frame, (std::string("missing-encoder-") + c.name).c_str());
    for (int track = 2; track <= 3; ++track) {
        frame.Action(kCommandSplit)->trigger();
        ASSERT_TRUE(rig.WaitForTrack(track));
    }
    EXPECT_TRUE(frame.Control().IsRecording());
    frame.Action(kCommandStop)->trigger();

    EXPECT_EQ(rig.boxes.informed.size(), 1u);
    const std::vector<RecordingItem> rows = frame.Items().Snapshot();
    ASSERT_EQ(rows.size(), 3u);
    const QAbstractItemModel& cells = *frame.List()->model();
    for (int row = 0; row < 3; ++row) {
        const std::string path = rows[row].path.str();
        const bool ogg = row > 0;
        EXPECT_TRUE(path.ends_with(ogg ? ".ogg" : ".wav")) << path;
        EXPECT_EQ(ReadFileBytes(path).substr(0, 4), ogg ? "OggS" : "RIFF") << path;
        // No reader opens an Ogg file here: the row keeps what its close knew.
        const std::string length = cells.index(row, kColumnLength).data().toString().toStdString();
        EXPECT_NE(length.find(" ["), std::string::npos) << path << ": " << length;
        EXPECT_FALSE(cells.index(row, kColumnTitle).data().toString().isEmpty()) << path;
    }
    // Neither Ogg track could take its comments; the one warning says which module and package.
    int commentWarnings = 0;
    for (const QString& warning : rig.boxes.warned)
        if (warning.contains(QStringLiteral("vorbisdec.so")) && warning.contains(QStringLiteral("libvorbisfile3")))
            ++commentWarnings;
    EXPECT_EQ(commentWarnings, 1) << (rig.boxes.warned.empty() ? "" : rig.boxes.warned[0].toStdString());
}

TEST_P(MissingEncoderInTheWindow, AStartNobodyWatchesAsksNothingAndSaysWhyInTheStatusBar) {
    const MissingEncoder& c = GetParam();
    TempDir dir;
    const CCharString settingsFile((dir / "settings.conf").c_str());
    RecordingSettings preset;
    preset.outputFolder = (dir / "rec").c_str();
    preset.outputFormat = c.key == 'M' ? OutputFormat::Mp3 : OutputFormat::Wma;
    preset.fileNameTemplate = c.key == 'M' ? "take-%TKN%.mp3" : "take-%TKN%.wma";
    ASSERT_TRUE(CSettingsStore(settingsFile).SaveSettings(kDefaultPresetName, preset));
    ScriptedBoxes boxes;
    CMainFrame::Options options;
    options.settingsFile = settingsFile;
    options.programFolder = QString::fromStdString(dir.path());
    CMainFrame frame(&boxes, options);
    frame.Control().backend = ValueOrFail(CreateCaptureBackend("signal:tone=440hz/-12db"));
    frame.show();
    frame.Start(ParseCommandLine({"/S", "NOW", "/T", "MS=0:30"}, std::time(nullptr)));

    ASSERT_TRUE(frame.Control().IsRecording());
    EXPECT_TRUE(boxes.asked.empty() && boxes.informed.empty());
    EXPECT_EQ(frame.Control().settings.outputFormat, OutputFormat::OggVorbis);
    EXPECT_EQ(frame.Control().settings.fileNameTemplate.str(), "take-%TKN%.ogg");
    EXPECT_TRUE(frame.PromptText().contains(QString::fromUtf8(c.module))) << frame.PromptText().toStdString();
    WindowRig::Screenshot(frame, (std::string("unattended-fall-back-") + c.name).c_str());
}

INSTANTIATE_TEST_SUITE_P(Formats, MissingEncoderInTheWindow,
                         testing::Values(MissingEncoder{"Mp3", 'M', "lame_enc.so"},
                                         MissingEncoder{"Wma", 'W', "WMAENC.so"}),
                         [](const testing::TestParamInfo<MissingEncoder>& info) { return info.param.name; });

}  // namespace
