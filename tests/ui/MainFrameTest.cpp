// The main window with the signal source: starting and stopping, the old rows, failures shown to
// the user, the list commands, the countdown, calibration, and a GUI thread that is held busy.
#include <QAction>
#include <QAccessible>
#include <QDir>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QTableView>
#include <QToolBar>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "app/files/RecordingItemsModel.h"
#include "app/files/TrackJournal.h"
#include "app/language/Catalogue.h"
#include "platform/SignalGenerator.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/LogindMock.h"
#include "tests/support/Process.h"
#include "tests/support/WavData.h"
#include "tests/ui/WindowRig.h"
#include "ui/bars/TagBar.h"
#include "ui/monitor/LevelBar.h"
#include "ui/monitor/LevelMeter.h"
#include "ui/monitor/MonitorBar.h"
#include "ui/monitor/WaveHistory.h"

namespace {

using namespace std::chrono_literals;

const QString kOldRows = QStringLiteral("以前の録音アイテムが残っています、リストをクリアしますか？");

// Records one short track by hand: start, wait for audio, stop.
void RecordTrack(WindowRig& rig) {
    rig.frame->Action(kCommandStart)->trigger();
    ASSERT_TRUE(rig.frame->Control().IsRecording());
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->Control().Status().totalTimeMs >= 300; }));
    rig.frame->Action(kCommandStop)->trigger();
}

bool NoUnfinishedNames(const std::vector<std::string>& names) {
    for (const std::string& name : names)
        if (name.find("？") != std::string::npos) return false;
    return !names.empty();
}

TEST(Recording, OldRowsAreKeptOnNoAndClearedOnYes) {
    WindowRig rig;
    RecordTrack(rig);
    ASSERT_EQ(rig.frame->Items().Count(), 1);
    EXPECT_EQ(rig.frame->List()->model()->rowCount(), 1);

    rig.boxes.answers = {BoxAnswer::No};
    RecordTrack(rig);
    EXPECT_EQ(rig.boxes.asked, std::vector<QString>{kOldRows});
    EXPECT_EQ(rig.frame->Items().Count(), 2);
    // The second recording got the next recording number; both files keep their final names.
    const std::vector<std::string> names = rig.RowNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(names[0].starts_with("No.01-Track001(")) << names[0];
    EXPECT_TRUE(names[1].starts_with("No.02-Track001(")) << names[1];
    EXPECT_TRUE(NoUnfinishedNames(names));

    rig.boxes.answers = {BoxAnswer::Yes};
    rig.frame->Action(kCommandStart)->trigger();
    EXPECT_EQ(rig.boxes.asked.size(), 2u);
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->List()->model()->rowCount() == 1; }));
    EXPECT_EQ(rig.frame->Items().Item(0)->lengthMs, -1);  // the new recording's own row
    rig.frame->Action(kCommandStop)->trigger();
}

// What a user hovering a row is told, and what a screen reader says of its length cell: a track
// that clipped is marked and its tooltip gives the count and the first clip; a clean one neither.
TEST(Recording, ARowTellsWhetherItsTrackClipped) {
    struct Case {
        const char* signal;
        const char* tip;  // in the tooltip
        bool marked;
    };
    // A 441 Hz sine at full scale clips on its crests from 25 frames in (0.566 ms).
    for (const Case& c : {Case{"tone=441hz/0db,fast", "クリップ", true}, Case{"tone=440hz/-12db,fast", "クリップなし", false}}) {
        SCOPED_TRACE(c.signal);
        WindowRig rig(c.signal);
        RecordTrack(rig);
        QTableView* list = rig.frame->List();
        const QModelIndex cell = list->model()->index(0, kColumnLength);
        ASSERT_TRUE(WindowRig::WaitFor([&] { return cell.isValid() && cell.data(Qt::ToolTipRole).isValid(); }));
        list->scrollTo(cell);
        const QRect box = list->visualRect(cell);
        QHelpEvent hover(QEvent::ToolTip, box.center(), list->viewport()->mapToGlobal(box.center()));
        QCoreApplication::sendEvent(list->viewport(), &hover);
        const QString tip = QToolTip::text();
        EXPECT_TRUE(tip.startsWith(QStringLiteral("ピーク "))) << tip.toStdString();
        EXPECT_TRUE(tip.contains(QString::fromUtf8(c.tip))) << tip.toStdString();
        EXPECT_EQ(tip.contains(QStringLiteral("（最初は 0.000 秒）")), c.marked) << tip.toStdString();
        QToolTip::hideText();

        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
        ASSERT_TRUE(table && table->tableInterface());
        QAccessibleInterface* lengthCell = table->tableInterface()->cellAt(0, kColumnLength);
        ASSERT_TRUE(lengthCell);
        EXPECT_EQ(lengthCell->text(QAccessible::Description), c.marked ? QStringLiteral("クリップしています") : QString());
        EXPECT_EQ(cell.data(Qt::DecorationRole).isValid(), c.marked);
        if (c.marked) WindowRig::Screenshot(*rig.frame, "clipped-row");
    }
}

TEST(Recording, AFailedStartSaysSoAndLeavesTheWindowIdle) {
    WindowRig rig;
    // A file where the output folder should be: nothing can be created under it.
    WriteFileBytes(rig.folder(), "not a folder");
    RecordingSchedule schedule;
    schedule.endMode = 1;
    schedule.durationSeconds = 60;
    rig.frame->StartBySchedule(schedule);
    ASSERT_EQ(rig.boxes.informed.size(), 1u);
    // The Part's message, then why.
    EXPECT_TRUE(rig.boxes.informed[0].startsWith(QStringLiteral("録音開始に失敗しました、設定など再確認してください。 (")))
        << rig.boxes.informed[0].toStdString();
    EXPECT_GT(rig.boxes.informed[0].size(), 30);
    EXPECT_FALSE(rig.frame->Control().IsRecording());
    EXPECT_FALSE(rig.frame->Control().schedule.has_value());
    EXPECT_TRUE(rig.frame->Action(kCommandStart)->isEnabled());
    EXPECT_FALSE(rig.frame->Action(kCommandStop)->isEnabled());
    EXPECT_EQ(rig.frame->windowTitle(), Said(ProgramTitle()));
}

// A finite input comes to its end: the recording stops, and the user learns why.
TEST(Recording, AnInputThatEndsIsShownAndStopsTheRecording) {
    WindowRig rig("tone=1000hz/-6db/1s,fast");
    rig.frame->Action(kCommandStart)->trigger();
    ASSERT_TRUE(WindowRig::WaitFor([&] { return !rig.frame->Control().IsRecording(); }));
    ASSERT_EQ(rig.boxes.warned.size(), 1u);
    EXPECT_EQ(rig.frame->PromptText(), rig.boxes.warned[0]);
    EXPECT_TRUE(rig.frame->Action(kCommandStart)->isEnabled());
    ASSERT_TRUE(WindowRig::WaitFor([&] { return NoUnfinishedNames(rig.RowNames()); }));
}

TEST(Recording, AFullDiskEndsTheRecordingAndTheTrackLeftWithoutItsEndingIsWarnedOfToo) {
    WindowRig rig("tone=440hz/-6db/1s,loop,fast");
    ScopedFileSizeLimit limit(300000);
    ASSERT_TRUE(limit.Active());
    rig.frame->Action(kCommandStart)->trigger();
    const bool told = WindowRig::WaitFor([&] { return !rig.frame->Control().IsRecording() && rig.boxes.warned.size() >= 2; });
    limit.Lift();
    ASSERT_TRUE(told) << rig.boxes.warned.size() << " warnings";
    ASSERT_EQ(rig.boxes.warned.size(), 2u);
    const std::vector<std::string> rows = rig.RowNames();
    ASSERT_EQ(rows.size(), 1u);
    // The stop delivers the closing track's events before the failure's own warning is shown.
    const auto shown = [&](const char* text) {
        return std::count_if(rig.boxes.warned.begin(), rig.boxes.warned.end(),
                             [&](const QString& warning) { return warning.contains(QString::fromUtf8(text)); });
    };
    EXPECT_EQ(shown("書き込みに失敗"), 1);
    EXPECT_EQ(shown("タグを書き込めませんでした"), 1);
    EXPECT_EQ(shown(rows[0].c_str()), 1) << "the unfinished track's warning names it under its final name";
    EXPECT_TRUE(rig.frame->PromptText().contains(QStringLiteral("書き込みに失敗"))) << "the cause stays in the status line";
}

// Timed recordings with an armed end action, against the logind stand-in on a private bus.
class EndActions : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(logind.error(), "");
        setenv("DBUS_SYSTEM_BUS_ADDRESS", logind.address().c_str(), 1);
    }
    void TearDown() override { setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/velsona-tests-no-bus", 1); }
    bool LogindWasAsked(const std::string& method) const {
        const std::vector<std::string> calls = logind.Calls();
        return std::any_of(calls.begin(), calls.end(),
                           [&](const std::string& call) { return call.rfind(method + " ", 0) == 0; });
    }
    static RecordingSchedule Timed(int64_t seconds, EndAction action) {
        RecordingSchedule schedule;
        schedule.endMode = 1;
        schedule.durationSeconds = seconds;
        schedule.endActionArmed = true;
        schedule.endAction = action;
        return schedule;
    }

    LogindMock logind;
};

TEST_F(EndActions, TitleOfATimedRecordingAndAStopByHandThatNeverRunsTheAction) {
    {
        WindowRig rig("tone=440hz/-12db/1s,silence=500ms,loop");
        rig.frame->StartBySchedule(Timed(5400, EndAction::PowerOff));
        ASSERT_TRUE(rig.frame->Control().IsRecording());
        EXPECT_EQ(rig.frame->windowTitle(),
                  Said(ProgramTitle()) + QStringLiteral(" － ■録音時間: 1 時間30分（終了時: ＰＣ電源断）"));
        ASSERT_TRUE(rig.WaitForTrack(1));
        rig.frame->Action(kCommandStop)->trigger();
        // Time for an end action that should not run to show itself.
        QTest::qWait(300);
        EXPECT_TRUE(rig.frame->isVisible());
        EXPECT_EQ(rig.frame->windowTitle(), Said(ProgramTitle()));
    }
    EXPECT_FALSE(LogindWasAsked("PowerOff"));
}

// Standby at the end of the duration: asked of logind, and the window closes.
TEST_F(EndActions, TheEndOfTheDurationRunsTheArmedAction) {
    {
        WindowRig rig("tone=440hz/-12db/1s,silence=500ms,loop,fast");
        rig.frame->StartBySchedule(Timed(2, EndAction::Standby));
        ASSERT_TRUE(WindowRig::WaitFor([&] { return !rig.frame->isVisible(); }));
        EXPECT_TRUE(rig.boxes.warned.empty());
        EXPECT_EQ(rig.frame->Items().Item(0)->lengthMs, 2000);
    }
    EXPECT_TRUE(LogindWasAsked("Suspend"));
}

// /S NOW /T MS=0:03 /E exit: records three seconds, lists its tracks by their final names,
// saves the settings and closes by itself.
TEST(Recording, ACommandLineScheduleRecordsAndClosesTheWindow) {
    WindowRig rig("tone=440hz/-12db/1s,silence=500ms,loop",
                  ParseCommandLine({"/S", "NOW", "/T", "MS=0:03", "/E", "exit"}, std::time(nullptr)));
    ASSERT_TRUE(rig.frame->Control().IsRecording());
    ASSERT_TRUE(WindowRig::WaitFor([&] { return !rig.frame->isVisible(); }, 30000));
    const std::vector<std::string> names = rig.RowNames();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], "No.01-Track001(0：03).wav");
    EXPECT_TRUE(PathExists(rig.folder() + "/" + names[0]));
    EXPECT_EQ(rig.frame->Items().Item(0)->lengthMs, 3000);
    // Closing saved the raised recording number under the default preset.
    EXPECT_EQ(CSettingsStore(CCharString(rig.dir / "settings.conf")).LoadSettings(kDefaultPresetName).recordingNumber, 2);
}

// A track a killed recorder left is finished when the window opens, and the user is told its
// new name; with nothing left behind nothing is said.
TEST(Recording, TheWindowFinishesWhatAKilledRecorderLeftAndSaysSo) {
    TempDir music;
    const std::string provisional = music / "Take？.wav";
    ASSERT_EQ(RunProcess("sox -n -r 44100 -c 2 -b 16 " + ShellQuote(provisional) + " synth 1 sine 440").exitCode, 0);
    JournalEntry entry;
    entry.path = provisional.c_str();
    entry.outputFolder = music.path().c_str();
    entry.fileNameTemplate = "Take%TKN%";
    entry.startClock = {2026, 12, 8, 21, 0, 0, 0};
    ASSERT_TRUE(CTrackJournal(TrackJournalFolder(), {EndedProcessId(), 1}).Add(entry));
    {
        WindowRig rig;
        const std::string recovered = music / "Take001.recovered.wav";
        ASSERT_EQ(rig.boxes.warned.size(), 1u);
        EXPECT_TRUE(rig.boxes.warned[0].contains(QString::fromStdString(recovered)))
            << rig.boxes.warned[0].toStdString();
        EXPECT_TRUE(PathExists(recovered));
        EXPECT_FALSE(PathExists(provisional));
    }
    WindowRig again;
    EXPECT_TRUE(again.boxes.warned.empty());
}

TEST(Countdown, TheTitleBlinksOffOnEveryTenthTick) {
    const std::time_t now = 1'800'000'000;
    WindowRig rig("silence,fast", {}, [now] { return now; });
    RecordingSchedule schedule;
    schedule.startMode = 1;
    schedule.startTime = now + 3725;
    rig.frame->StartBySchedule(schedule);
    const QString plain = Said(ProgramTitle());
    for (int tick = 0; tick <= 20; ++tick) {
        rig.frame->OnCountdownTimer();
        const QString title = rig.frame->windowTitle();
        if (tick % 10 == 0) EXPECT_EQ(title, plain) << tick;
        else EXPECT_TRUE(title.endsWith(QStringLiteral("]まで[01時間02分05秒] "))) << tick << title.toStdString();
    }
    EXPECT_FALSE(rig.frame->Control().IsRecording());
    rig.frame->Action(kCommandTimer)->trigger();  // its dialog, cancelled, disarms
    EXPECT_FALSE(rig.frame->CountingDown());
    EXPECT_FALSE(rig.frame->Control().schedule.has_value());
}

// Three finished rows: the first and third are selected.
class ListCommands : public testing::Test {
protected:
    void SetUp() override {
        rig.frame->Action(kCommandStart)->trigger();
        // Every track gets audio before it ends: a track that got none is not kept.
        for (int rows = 1; rows <= 3; ++rows) {
            // The status names the track its time belongs to: just after a split it may still be the last one's.
            ASSERT_TRUE(WindowRig::WaitFor([&] {
                const auto status = rig.frame->Control().Status();
                return status.trackNumber == rows && status.trackTimeMs >= 200;
            }));
            if (rows == 3) break;
            rig.frame->Action(kCommandSplit)->trigger();
            ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->Items().Count() == rows + 1; }));
        }
        rig.frame->Action(kCommandStop)->trigger();
        ASSERT_EQ(rig.frame->Items().Count(), 3);
        for (int row = 0; row < 3; ++row) paths.push_back(rig.frame->Items().Item(row)->path.str());
        // The desktop's data folder, where the trash lives.
        QDir().mkpath(QString::fromStdString(rig.dir / "data"));
        if (const char* data = getenv("XDG_DATA_HOME")) m_programData = data;
        setenv("XDG_DATA_HOME", (rig.dir / "data").c_str(), 1);
    }
    void TearDown() override { setenv("XDG_DATA_HOME", m_programData.c_str(), 1); }
    std::string m_programData;  // the test program's own, which every other test uses
    void SelectFirstAndThird() {
        QItemSelectionModel* selection = rig.frame->List()->selectionModel();
        for (int row : {0, 2})
            selection->select(rig.frame->List()->model()->index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    bool InTrash(const std::string& path) const {
        return PathExists(rig.dir / "data/Trash/files/" + path.substr(path.rfind('/') + 1));
    }

    WindowRig rig{"tone=440hz/-12db/200ms,silence=100ms,loop,fast"};
    std::vector<std::string> paths;
};

TEST_F(ListCommands, RemoveSelectedRowsKeepsTheFiles) {
    SelectFirstAndThird();
    rig.frame->Action(kCommandRemoveFromList)->trigger();
    EXPECT_TRUE(rig.boxes.asked.empty());
    ASSERT_EQ(rig.frame->List()->model()->rowCount(), 1);
    EXPECT_EQ(rig.frame->Items().Item(0)->path.str(), paths[1]);
    for (const std::string& path : paths) EXPECT_TRUE(PathExists(path)) << path;
}

TEST_F(ListCommands, RemoveWithoutSelectionAsksFirst) {
    rig.boxes.answers = {BoxAnswer::No, BoxAnswer::Yes};
    rig.frame->Action(kCommandRemoveFromList)->trigger();
    EXPECT_EQ(rig.frame->Items().Count(), 3);
    rig.frame->Action(kCommandRemoveFromList)->trigger();
    EXPECT_EQ(rig.frame->List()->model()->rowCount(), 0);
    EXPECT_EQ(rig.boxes.asked.size(), 2u);
    EXPECT_EQ(rig.boxes.asked[0], QStringLiteral("アイテムが選択されていません。\nすべてのアイテムを除外しますか？"));
    for (const std::string& path : paths) EXPECT_TRUE(PathExists(path)) << path;
}

TEST_F(ListCommands, DeleteSelectedMovesTheirFilesToTheTrash) {
    SelectFirstAndThird();
    rig.boxes.answers = {BoxAnswer::Yes};
    rig.frame->Action(kCommandDeleteFiles)->trigger();
    ASSERT_EQ(rig.boxes.asked.size(), 1u);
    EXPECT_TRUE(rig.boxes.asked[0].startsWith(QStringLiteral("※※　！注意！　※※")));
    ASSERT_EQ(rig.frame->List()->model()->rowCount(), 1);
    EXPECT_EQ(rig.frame->Items().Item(0)->path.str(), paths[1]);
    for (int row : {0, 2}) {
        EXPECT_FALSE(PathExists(paths[row])) << paths[row];
        EXPECT_TRUE(InTrash(paths[row])) << paths[row];
    }
    EXPECT_TRUE(PathExists(paths[1]));
}

TEST_F(ListCommands, DeleteWithoutSelection) {
    // No to the first question: nothing happens and nothing more is asked.
    rig.boxes.answers = {BoxAnswer::No};
    rig.frame->Action(kCommandDeleteFiles)->trigger();
    EXPECT_EQ(rig.boxes.asked.size(), 1u);
    EXPECT_EQ(rig.frame->Items().Count(), 3);
    // Yes, then No to the warning: still nothing.
    rig.boxes.answers = {BoxAnswer::Yes, BoxAnswer::No};
    rig.frame->Action(kCommandDeleteFiles)->trigger();
    EXPECT_EQ(rig.frame->Items().Count(), 3);
    rig.boxes.answers = {BoxAnswer::Yes, BoxAnswer::Yes};
    rig.frame->Action(kCommandDeleteFiles)->trigger();
    EXPECT_EQ(rig.boxes.asked.size(), 5u);
    EXPECT_EQ(rig.frame->List()->model()->rowCount(), 0);
    for (const std::string& path : paths) EXPECT_TRUE(InTrash(path) && !PathExists(path)) << path;
}

// Calibration walked through its dialogs with a -20 dBFS tone: No asks again, and Yes takes the
// levels the question showed as the thresholds; an idle window records nothing meanwhile.
TEST(Calibration, TheDialogsTakeTheLevelsTheQuestionShows) {
    WindowRig rig("tone=1000hz/-20db");
    rig.boxes.onAsk = [&](const QString& text, BoxButtons buttons) {
        if (buttons == BoxButtons::OkCancel) {
            // The question is answered once the meters have seen the tone.
            WindowRig::WaitFor([&] { return rig.frame->Control().Status().leftLevel > -900; }, 5000);
        } else if (rig.boxes.asked.size() == 4) {
            auto box = QuestionBox(text, buttons, rig.frame.get());
            box->show();
            WindowRig::Screenshot(*box, "calibration-question");
        }
    };
    rig.boxes.answers = {BoxAnswer::Ok, BoxAnswer::No, BoxAnswer::Ok, BoxAnswer::Yes};
    rig.frame->Action(kCommandCalibrate)->trigger();
    ASSERT_EQ(rig.boxes.asked.size(), 4u);
    EXPECT_TRUE(rig.boxes.asked[0].startsWith(QStringLiteral("左のボリュームメーターを目安に"))) << rig.boxes.asked[0].toStdString();
    const RecordingSettings& settings = rig.frame->Control().settings;
    EXPECT_NEAR(settings.silenceLeft, -200, 2);
    EXPECT_NEAR(settings.silenceRight, -200, 2);
    EXPECT_TRUE(rig.boxes.asked.back().startsWith(QStringLiteral("左： -20.0 dB / 右： -20.0 dB")) ||
                rig.boxes.asked.back().startsWith(QStringLiteral("左： -19.9 dB")))
        << rig.boxes.asked.back().toStdString();
    EXPECT_EQ(rig.frame->Bars().silenceLeft, settings.silenceLeft) << "stored with the preset";
    EXPECT_FALSE(rig.frame->Control().IsRecording());
    EXPECT_FALSE(QDir(QString::fromStdString(rig.folder())).exists() &&
                 !QDir(QString::fromStdString(rig.folder())).isEmpty());
}

// A calibration after a recording adds what it measures to the recording's whole picture, as
// the track history and the scope show it too, rather than starting that picture anew.
TEST(Calibration, AddsToTheLastRecordingsWholePicture) {
    WindowRig rig("tone=1000hz/-20db/1s,silence=1s,loop");
    rig.frame->Action(kCommandStart)->trigger();
    const CWaveHistory& total = rig.frame->MonitorBar().Total();
    ASSERT_TRUE(WindowRig::WaitFor([&] { return total.Picture().position >= 6; }));
    rig.frame->Action(kCommandStop)->trigger();
    const HistoryPicture recorded = total.Picture();
    rig.boxes.onAsk = [&](const QString&, BoxButtons buttons) {
        if (buttons == BoxButtons::OkCancel)
            WindowRig::WaitFor([&] { return total.Picture().position > recorded.position; }, 5000);
    };
    rig.boxes.answers = {BoxAnswer::Ok, BoxAnswer::Cancel};
    rig.frame->Action(kCommandCalibrate)->trigger();
    const HistoryPicture after = total.Picture();
    EXPECT_GT(after.position, recorded.position);
    EXPECT_EQ(after.msPerColumn, recorded.msPerColumn);
    ASSERT_GE(after.extremes.size(), static_cast<size_t>(recorded.position));
    EXPECT_TRUE(std::equal(recorded.extremes.begin(), recorded.extremes.begin() + recorded.position, after.extremes.begin()))
        << "the recording's columns are kept";
}

// The oscilloscope shows the input while the calibration's questions are open, idle and while
// recording (and goes on afterwards while recording); only the output bar is read, so an emptied
// release year does not stop the calibration.
class CalibrationScope : public testing::TestWithParam<bool> {};

TEST_P(CalibrationScope, ShowsTheInputWhileTheQuestionsAreOpen) {
    const bool recording = GetParam();
    WindowRig rig("tone=1000hz/-20db");
    if (recording) {
        rig.frame->Action(kCommandStart)->trigger();
        ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->Control().Status().totalTimeMs >= 300; }));
    }
    WindowRig::TypeOver(rig.frame->TagBar().Control(CTagBarModel::kYear), QString());
    const CWaveScope& scope = rig.frame->MonitorBar().Scope();
    std::vector<bool> traced;
    rig.boxes.onAsk = [&](const QString&, BoxButtons) {
        traced.push_back(WindowRig::WaitFor([&] { return scope.FramesPerPanel() > 0; }, 5000));
    };
    rig.boxes.answers = {BoxAnswer::Ok, BoxAnswer::No, BoxAnswer::Ok, BoxAnswer::Yes};
    rig.frame->Action(kCommandCalibrate)->trigger();
    EXPECT_EQ(traced, std::vector<bool>(4, true));
    EXPECT_TRUE(rig.boxes.informed.empty()) << rig.boxes.informed.front().toStdString();
    EXPECT_NEAR(rig.frame->Control().settings.silenceLeft, -200, 2);
    if (recording) {
        EXPECT_TRUE(WindowRig::WaitFor([&] { return scope.FramesPerPanel() > 0; }, 5000));
        rig.frame->Action(kCommandStop)->trigger();
    } else {
        EXPECT_EQ(scope.FramesPerPanel(), 0) << "the measuring has ended";
    }
}

INSTANTIATE_TEST_SUITE_P(Window, CalibrationScope, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Recording" : "Idle"; });

// The audio thread never waits for the window: with the GUI thread held for 2 s in the middle
// of a real-time recording, no buffer is lost and the file holds the signal without a gap.
TEST(Recording, AWindowThreadHeldBusyLosesNoAudio) {
    const std::string signal = "tone=440hz/-12db/1s,silence=500ms,loop";
    WindowRig rig(signal);
    rig.frame->Action(kCommandStart)->trigger();
    ASSERT_TRUE(rig.frame->Control().IsRecording());
    ASSERT_TRUE(rig.WaitForTrack(1));
    std::this_thread::sleep_for(2s);
    // The recording went on through the block, and the window catches up.
    EXPECT_TRUE(WindowRig::WaitFor([&] { return rig.frame->Control().Status().totalTimeMs >= 2500; }));
    const RecordingStatus status = rig.frame->Control().Status();
    EXPECT_EQ(status.overruns, 0u);
    rig.frame->Action(kCommandStop)->trigger();
    ASSERT_EQ(rig.frame->Items().Count(), 1);
    const RecordingItem item = *rig.frame->Items().Item(0);
    const int64_t totalMs = rig.frame->Control().Status().totalTimeMs;
    EXPECT_EQ(item.lengthMs, totalMs);

    const Result<SignalSpec> spec = ParseSignalSpec(signal);
    ASSERT_TRUE(spec) << spec.error().message.SourceText();
    CSignalGenerator generator;
    const Result<void> opened = generator.Open(*spec, 44100, 2, 16);
    ASSERT_TRUE(opened) << opened.error().message.SourceText();
    std::string expected(static_cast<size_t>(totalMs) * 441 / 10 * 4, '\0');
    generator.Generate(expected.data(), expected.size() / 4);
    const std::string written = WavPcm(item.path.str());
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected) << "the recorded audio differs from the signal";
}

TEST(Screenshots, IdleAndRecordingWithRows) {
    // A steady tone: the meters show it whenever the picture is taken.
    WindowRig rig("tone=440hz/-12db");
    WindowRig::Screenshot(*rig.frame, "idle");
    EXPECT_EQ(rig.frame->PromptText(), QStringLiteral("操作待ち"));
    rig.frame->Action(kCommandStart)->trigger();
    for (int track = 1; track <= 2; ++track) {
        ASSERT_TRUE(rig.WaitForTrack(track));
        rig.frame->Action(kCommandSplit)->trigger();
    }
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->List()->model()->rowCount() == 3; }));
    // The meters show the tone in the picture.
    ASSERT_TRUE(rig.WaitForTrack(3));
    EXPECT_TRUE(WindowRig::WaitFor([&] { return rig.frame->LevelBar().Left().Value() > rig.frame->LevelBar().Left().Scale().bottom; }));
    rig.frame->List()->selectRow(1);
    EXPECT_TRUE(rig.frame->TrackPaneText().startsWith(QStringLiteral("トラック(3)時間 0:0")))
        << rig.frame->TrackPaneText().toStdString();
    WindowRig::Screenshot(*rig.frame, "recording");
    rig.frame->Action(kCommandStop)->trigger();
}

}  // namespace
