// Which commands the window offers, and which it shows checked, while idle, recording, paused and
// armed for a scheduled start; what the commands ask of the desktop.
#include <QAction>
#include <QFileInfo>
#include <QTableView>
#include <QTest>
#include <QStandardPaths>
#include <QStatusTipEvent>
#include <QToolBar>
#include <gtest/gtest.h>

#include "tests/ui/WindowRig.h"

namespace {

enum State { kIdle, kRecording, kPaused, kArmed, kStateCount };
constexpr const char* kStateNames[] = {"idle", "recording", "paused", "armed"};

// 'e' enabled, '-' disabled, 'c' enabled and checked; one letter per state in the order above.
struct Expected {
    Command id;
    const char* states;
};
constexpr Expected kTable[] = {
    {kCommandOpenFolder, "eeee"},     {kCommandSetFolder, "eeee"},   {kCommandExit, "eeee"},
    {kCommandStart, "e--e"},          {kCommandTimer, "e--c"},       {kCommandStop, "-ee-"},
    {kCommandSplit, "-ee-"},          {kCommandPause, "-ec-"},       {kCommandRemoveFromList, "e--e"},
    {kCommandDeleteFiles, "e--e"},    {kCommandCalibrate, "eeee"},   {kCommandMixer, "eeee"},
    {kCommandScheduler, "----"},      {kCommandToolBar, "cccc"},     {kCommandFileBar, "cccc"},
    {kCommandInputBar, "cccc"},       {kCommandOutputBar, "cccc"},   {kCommandTagBar, "cccc"},
    {kCommandMonitorBar, "cccc"},     {kCommandLevelBar, "cccc"},    {kCommandStatusBar, "cccc"},
    {kCommandHelp, "eeee"},           {kCommandUpdatePage, "eeee"},  {kCommandOnlineManual, "eeee"},
    {kCommandAbout, "eeee"},
};

class CommandStates : public testing::TestWithParam<State> {};

TEST_P(CommandStates, FollowTheRules) {
    const State state = GetParam();
    WindowRig rig("tone=440hz/-12db/1s,silence=500ms,loop");
    if (state == kRecording || state == kPaused) rig.frame->Action(kCommandStart)->trigger();
    if (state == kPaused) rig.frame->Action(kCommandPause)->trigger();
    if (state == kArmed) {
        RecordingSchedule schedule;
        schedule.startMode = 1;
        schedule.startTime = std::time(nullptr) + 3600;
        rig.frame->StartBySchedule(schedule);
        ASSERT_TRUE(rig.frame->CountingDown());
    }
    ASSERT_EQ(rig.frame->Control().IsRecording(), state == kRecording || state == kPaused);
    // Every command of the table, and no other.
    ASSERT_EQ(std::size(kTable), AllCommands().size());
    for (const Expected& expected : kTable) {
        const QAction* action = rig.frame->Action(expected.id);
        const char want = expected.states[state];
        EXPECT_EQ(action->isEnabled(), want != '-') << expected.id << " " << kStateNames[state];
        EXPECT_EQ(action->isChecked(), want == 'c') << expected.id << " " << kStateNames[state];
    }
}

INSTANTIATE_TEST_SUITE_P(EachState, CommandStates, testing::Values(kIdle, kRecording, kPaused, kArmed),
                         [](const testing::TestParamInfo<State>& info) { return kStateNames[info.param]; });

// Hiding a bar from the View menu hides it and clears the check; Tarnwel beside the program
// enables its command.
TEST(ViewAndScheduler, BarsFollowTheirEntriesAndTarnwelEnablesItsCommand) {
    WindowRig rig;
    for (Command id : {kCommandToolBar, kCommandFileBar, kCommandLevelBar, kCommandStatusBar}) {
        rig.frame->Action(id)->trigger();
        EXPECT_FALSE(rig.frame->Action(id)->isChecked()) << id;
        rig.frame->Action(id)->trigger();
        EXPECT_TRUE(rig.frame->Action(id)->isChecked()) << id;
    }
    rig.frame->Action(kCommandFileBar)->trigger();
    EXPECT_TRUE(rig.frame->BarPlace(kCommandFileBar)->isHidden());

    WriteFileBytes(rig.dir / "Tarnwel", "#!/bin/sh\n");
    CMainFrame::Options options;
    options.settingsFile = CCharString(rig.dir / "other.conf");
    options.programFolder = QString::fromStdString(rig.dir.path());
    CMainFrame withScheduler(&rig.boxes, options);
    QStringList started;
    withScheduler.startProgram = [&](const QString& program, const QStringList&) {
        started << program;
        return true;
    };
    ASSERT_TRUE(withScheduler.Action(kCommandScheduler)->isEnabled());
    withScheduler.Action(kCommandScheduler)->trigger();
    EXPECT_EQ(started, QStringList{QString::fromStdString(rig.dir / "Tarnwel")});
}

// What the desktop is asked to open: a recorded file on double-click, the manual beside the
// program (or the missing-help message without it), the mixer or a message when it is missing, and
// the about box.
TEST(DesktopCommands, OpenFilesTheManualAndTheMixer) {
    WindowRig rig;
    rig.frame->Action(kCommandStart)->trigger();
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->Control().Status().totalTimeMs >= 200; }));
    rig.frame->Action(kCommandStop)->trigger();
    QTableView* list = rig.frame->List();
    const QRect cell = list->visualRect(list->model()->index(0, 2));
    // A double click is a click followed by a second press within the double-click time.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(rig.opened.size(), 1u);
    EXPECT_EQ(rig.opened[0].toLocalFile().toStdString(), rig.frame->Items().Item(0)->path.str());

    rig.frame->Action(kCommandHelp)->trigger();
    EXPECT_EQ(rig.boxes.informed, std::vector<QString>{QStringLiteral("HTML Help システムがインストールされていません")});
    WriteFileBytes(rig.dir / "Velsona.html", "<html></html>");
    rig.frame->Action(kCommandHelp)->trigger();
    ASSERT_EQ(rig.opened.size(), 2u);
    EXPECT_EQ(rig.opened[1].toLocalFile().toStdString(), rig.dir / "Velsona.html");

    // The test machine has no pavucontrol; a desktop with it gets it started on the inputs tab.
    QStringList started;
    rig.frame->startProgram = [&](const QString& program, const QStringList& arguments) {
        started << program << arguments;
        return true;
    };
    rig.frame->Action(kCommandMixer)->trigger();
    if (QStandardPaths::findExecutable(QStringLiteral("pavucontrol")).isEmpty()) {
        EXPECT_TRUE(started.isEmpty());
        ASSERT_EQ(rig.boxes.informed.size(), 2u);
        EXPECT_TRUE(rig.boxes.informed[1].contains(QStringLiteral("pavucontrol")));
    } else {
        EXPECT_EQ(started.value(1), QStringLiteral("--tab=4"));
    }

    // The about box names the module files a recording uses, here those beside the program.
    rig.frame->Action(kCommandAbout)->trigger();
    const QString beside = QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/lame_enc.so")).canonicalFilePath();
    ASSERT_FALSE(beside.isEmpty());
    EXPECT_TRUE(rig.boxes.informed.back().contains(QStringLiteral("lame_enc.so: ") + beside)) << rig.boxes.informed.back().toStdString();

    // Hovering a command shows its prompt; leaving it shows the idle text again.
    rig.frame->Action(kCommandStart)->showStatusText(rig.frame.get());
    EXPECT_EQ(rig.frame->PromptText(), QStringLiteral("録音を開始します"));
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(rig.frame.get(), &leave);
    EXPECT_EQ(rig.frame->PromptText(), QStringLiteral("操作待ち"));
}

}  // namespace
