// Which commands the window offers, and which it shows checked, while idle, recording, paused and
// armed for a scheduled start; what the commands ask of the desktop, and what they do where the
// desktop opens nothing.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QStandardPaths>
#include <QStatusTipEvent>
#include <QTextBrowser>
#include <QToolBar>
#include <gtest/gtest.h>
#include <optional>

#include "tests/ui/WindowRig.h"
#include "ui/ManualWindow.h"
#include "ui/ScheduleDlg.h"

namespace {

enum State { kIdle, kRecording, kPaused, kArmed, kStateCount };
constexpr const char* kStateNames[] = {"idle", "recording", "paused", "armed"};

// 'e' enabled, '-' disabled, 'c' enabled and checked, 's' enabled where the build names the
// maker's site (hidden, and so disabled, otherwise); one letter per state in the order above.
struct Expected {
    Command id;
    const char* states;
};
constexpr Expected kTable[] = {
    {kCommandOpenFolder, "eeee"},     {kCommandSetFolder, "eeee"},   {kCommandExit, "eeee"},
    {kCommandStart, "e--e"},          {kCommandTimer, "e--c"},       {kCommandStop, "-ee-"},
    {kCommandSplit, "-ee-"},          {kCommandPause, "-ec-"},       {kCommandRemoveFromList, "e--e"},
    {kCommandDeleteFiles, "e--e"},    {kCommandCalibrate, "eeee"},   {kCommandMixer, "eeee"},
    {kCommandScheduler, "e--e"},      {kCommandToolBar, "cccc"},     {kCommandFileBar, "cccc"},
    {kCommandInputBar, "cccc"},       {kCommandOutputBar, "cccc"},   {kCommandTagBar, "cccc"},
    {kCommandMonitorBar, "cccc"},     {kCommandLevelBar, "cccc"},    {kCommandStatusBar, "cccc"},
    {kCommandHelp, "eeee"},           {kCommandUpdatePage, "ssss"},  {kCommandOnlineManual, "ssss"},
    {kCommandAbout, "eeee"},          {kCommandLog, "eeee"},
    {kCommandResumeInput, "eeee"},    {kCommandKeepRecordings, "eeee"},
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
        EXPECT_EQ(action->isEnabled(), want == 's' ? *kMakerSite != 0 : want != '-') << expected.id << " " << kStateNames[state];
        EXPECT_EQ(action->isChecked(), want == 'c') << expected.id << " " << kStateNames[state];
    }
}

INSTANTIATE_TEST_SUITE_P(EachState, CommandStates, testing::Values(kIdle, kRecording, kPaused, kArmed),
                         [](const testing::TestParamInfo<State>& info) { return kStateNames[info.param]; });

// Hiding a bar from the View menu hides it and clears the check; the schedule command opens
// its dialog beside the window, the same one each time.
TEST(ViewAndScheduler, BarsFollowTheirEntriesAndTheScheduleOpensBesideTheWindow) {
    WindowRig rig;
    for (Command id : {kCommandToolBar, kCommandFileBar, kCommandLevelBar, kCommandStatusBar}) {
        rig.frame->Action(id)->trigger();
        EXPECT_FALSE(rig.frame->Action(id)->isChecked()) << id;
        rig.frame->Action(id)->trigger();
        EXPECT_TRUE(rig.frame->Action(id)->isChecked()) << id;
    }
    rig.frame->Action(kCommandFileBar)->trigger();
    EXPECT_TRUE(rig.frame->BarPlace(kCommandFileBar)->isHidden());

    rig.frame->Action(kCommandScheduler)->trigger();
    QDialog* schedule = rig.frame->ScheduleDialog();
    ASSERT_TRUE(schedule && schedule->isVisible());
    EXPECT_FALSE(schedule->isModal());
    schedule->close();
    rig.frame->Action(kCommandScheduler)->trigger();
    EXPECT_EQ(rig.frame->ScheduleDialog(), schedule);
    EXPECT_TRUE(schedule->isVisible());
    // The recording stays in reach while it is open.
    rig.frame->Action(kCommandStart)->trigger();
    EXPECT_TRUE(rig.frame->Control().IsRecording());
    rig.frame->Action(kCommandStop)->trigger();
}

// What the desktop is asked to open: a recorded file on double-click (the manual beside the
// program opens in a window of its own, or a message without it), the mixer or a message when it
// is missing, and the about box.
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
    EXPECT_EQ(rig.boxes.informed, std::vector<QString>{QStringLiteral("マニュアル（Velsona.html）が見つかりません。")});
    WriteFileBytes(rig.dir / "Velsona.html", "<html></html>");
    rig.frame->Action(kCommandHelp)->trigger();
    EXPECT_EQ(rig.opened.size(), 1u) << "the manual opens in the program's own window, never in a browser";
    ASSERT_TRUE(rig.frame->ManualWindow());
    EXPECT_TRUE(rig.frame->ManualWindow()->isVisible());

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
    // Their licences ask for their notice in a binary build.
    for (const char* library : {"<br>libFLAC 1.", "<br>libopusenc 0."})
        EXPECT_TRUE(rig.boxes.informed.back().contains(QLatin1String(library))) << library;

    // Hovering a command shows its prompt; leaving it shows the idle text again.
    rig.frame->Action(kCommandStart)->showStatusText(rig.frame.get());
    EXPECT_EQ(rig.frame->PromptText(), QStringLiteral("録音を開始します"));
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(rig.frame.get(), &leave);
    EXPECT_EQ(rig.frame->PromptText(), QStringLiteral("操作待ち"));
}

// A desktop where nothing opens files or pages: no launcher on the PATH, no browser named. The
// window goes through the desktop's real handler, not the rig's recorder.
class NothingOpensFiles : public testing::Test {
protected:
    void SetUp() override {
        rig.frame->openUrl = rig.desktopHandler;
        ASSERT_TRUE(rig.frame->openUrl);
        m_path = qgetenv("PATH");
        qputenv("PATH", QByteArray((rig.dir / "no-programs").c_str()));
        for (const char* name : {"BROWSER", "DEFAULT_BROWSER"}) qunsetenv(name);
        rig.frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(rig.frame.get()));
    }
    void TearDown() override { qputenv("PATH", m_path); }
    // Opens a menu by its Alt key and takes its item by the item's mnemonic.
    void ChooseFromMenu(Qt::Key menuKey, Qt::Key itemKey) {
        QTest::keyClick(rig.frame.get(), menuKey, Qt::AltModifier);
        QWidget* menu = QApplication::activePopupWidget();
        ASSERT_TRUE(menu);
        QTest::keyClick(menu, itemKey);
    }

    WindowRig rig;

private:
    QByteArray m_path;
};

// The manual of the user's language, or the other one where only that lies beside the program.
struct ManualCase {
    Language language;
    std::vector<const char*> present;
    const char* opened;
    const char* title;
    const char* heading;
};

void PrintTo(const ManualCase& manual, std::ostream* out) {
    *out << WindowLanguage::Code(manual.language) << " opens " << manual.opened;
}

class ManualInLanguage : public NothingOpensFiles, public testing::WithParamInterface<ManualCase> {
protected:
    // The language's locale is built while programs can still be found.
    void SetUp() override {
        m_language.emplace(GetParam().language);
        ASSERT_TRUE(m_language->active());
        NothingOpensFiles::SetUp();
    }
    void TearDown() override {
        NothingOpensFiles::TearDown();
        m_language.reset();
    }

private:
    std::optional<WindowLanguage> m_language;
};

TEST_P(ManualInLanguage, F1ShowsTheManualInAWindowOfItsOwn) {
    // The manuals the build puts beside the programs.
    for (const char* name : GetParam().present)
        ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name),
                                QString::fromStdString(rig.dir / name)));
    QTest::keyClick(rig.frame.get(), Qt::Key_F1);
    EXPECT_TRUE(rig.boxes.informed.empty());
    auto* browser = rig.frame->findChild<QTextBrowser*>();
    ASSERT_TRUE(browser);
    ASSERT_TRUE(browser->window()->isVisible());
    EXPECT_EQ(browser->window()->windowTitle(), QString::fromUtf8(GetParam().title));
    EXPECT_TRUE(browser->toPlainText().contains(QString::fromUtf8(GetParam().heading)));
    // The file itself, so the page's links lead within the manual.
    EXPECT_EQ(browser->source(), QUrl::fromLocalFile(QString::fromStdString(rig.dir / GetParam().opened)));
    WindowRig::Screenshot(*browser->window(), ("manual-window-" + std::string(GetParam().opened)).c_str());
    // Asked again, the same window comes back rather than a second one.
    browser->window()->close();
    QTest::keyClick(rig.frame.get(), Qt::Key_F1);
    EXPECT_EQ(rig.frame->findChildren<QTextBrowser*>().size(), 1);
    EXPECT_TRUE(browser->window()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Languages, ManualInLanguage,
    testing::Values(ManualCase{Language::kJapanese, {"Velsona.html", "Velsona.en.html"}, "Velsona.html",
                               "Velsona マニュアル", "トラックの分割"},
                    ManualCase{Language::kEnglish, {"Velsona.html", "Velsona.en.html"}, "Velsona.en.html",
                               "Velsona Manual", "Splitting tracks"},
                    ManualCase{Language::kEnglish, {"Velsona.html"}, "Velsona.html", "Velsona マニュアル",
                               "トラックの分割"}),
    [](const testing::TestParamInfo<ManualCase>& info) {
        return std::string(WindowLanguage::Code(info.param.language)) + (info.param.present.size() == 1 ? "_only_ja" : "");
    });

TEST_F(NothingOpensFiles, OpeningTheFolderSaysWhyNothingOpened) {
    ChooseFromMenu(Qt::Key_F, Qt::Key_O);
    ASSERT_EQ(rig.boxes.informed.size(), 1u);
    EXPECT_TRUE(rig.boxes.informed[0].startsWith(QStringLiteral("出力先フォルダ「%1」を開けませんでした。")
                                                     .arg(QString::fromStdString(rig.folder()))))
        << rig.boxes.informed[0].toStdString();
    // The folder is there for the user to open some other way.
    EXPECT_TRUE(QFileInfo(QString::fromStdString(rig.folder())).isDir());
}

// The maker's pages are offered only by a build that names the maker's site.
TEST(MakerSite, ItsPagesAreOfferedOnlyWhereTheBuildNamesIt) {
    WindowRig rig;
    QStringList helpItems;
    for (QAction* item : rig.frame->menuBar()->actions().last()->menu()->actions())
        if (item->isVisible() && !item->isSeparator()) helpItems << item->text();
    EXPECT_EQ(helpItems, (QStringList{QStringLiteral("ヘルプファイルを開く(&H)"), QStringLiteral("バージョン情報(&A)...")}));

    CMainFrame::Options options;
    options.settingsFile = CCharString(rig.dir / "other.conf");
    options.makerSite = "https://maker.example/";
    CMainFrame withSite(&rig.boxes, options);
    withSite.openUrl = [&](const QUrl& url) {
        rig.opened.push_back(url);
        return true;
    };
    ASSERT_TRUE(withSite.Action(kCommandUpdatePage)->isVisible());
    withSite.Action(kCommandUpdatePage)->trigger();
    withSite.Action(kCommandOnlineManual)->trigger();
    EXPECT_EQ(rig.opened, (std::vector<QUrl>{QUrl("https://maker.example/redirect/forward.php?k=VLS&f=AP&i=HP"),
                                             QUrl("https://maker.example/redirect/forward.php?k=VLS&f=AP&i=JUMP&t=HELP")}));
}

}  // namespace
