// The schedule with a real, private systemd user manager: an entry typed into the dialog becomes
// a timer that systemctl lists with the start the dialog shows; it fires, velsona-rec records it
// and the dialog shows the result; removed in the dialog, its units are gone.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>
#include <gtest/gtest.h>

#include "app/control/CaptureChoice.h"
#include "tests/support/UserManager.h"
#include "tests/ui/ScheduleDriver.h"
#include "tests/ui/WindowRig.h"
#include "ui/ScheduleDlg.h"

extern PrivateUserManager* g_userManager;

namespace {

// The line of `systemctl --user list-timers --all` that names the unit; empty without one.
std::string TimerLine(const std::string& unit) {
    const std::string listing = g_userManager->Systemctl("list-timers --all").output;
    const size_t found = listing.find(unit);
    if (found == std::string::npos) return {};
    const size_t begin = listing.rfind('\n', found);
    return listing.substr(begin == std::string::npos ? 0 : begin + 1, listing.find('\n', found) - (begin + 1));
}

TEST(ScheduleTimers, AnEntryTypedIntoTheDialogRunsAsAUserTimerUntilRemoved) {
    ASSERT_TRUE(g_userManager);
    ASSERT_EQ(g_userManager->error(), "");
    WindowRig rig("tone=440hz/-12db/1s,silence=500ms,loop,fast", {}, [] { return std::time(nullptr); }, true);
    // velsona-rec, started by the manager, records the user's default preset from a signal
    // into the rig's folder, and logs into this program's state folder.
    RecordingSettings settings = CSettingsStore().LoadSettings(kDefaultPresetName);
    settings.outputFolder = rig.folder().c_str();
    settings.fileNameTemplate = "Scheduled%TKN%";
    ASSERT_TRUE(CSettingsStore().SaveSettings(kDefaultPresetName, settings));
    ASSERT_TRUE(g_userManager->SetEnvironment({std::string(kCaptureBackendVariable) + "=signal:tone=440hz/-12db/1s,loop,fast",
                                               std::string("XDG_STATE_HOME=") + std::getenv("XDG_STATE_HOME"),
                                               std::string("XDG_DATA_HOME=") + std::getenv("XDG_DATA_HOME")}));

    CScheduleDlg& dialog = OpenByKeys(rig);
    EXPECT_TRUE(dialog.Note()->text().contains("loginctl enable-linger")) << dialog.Note()->text().toStdString();
    const QDateTime start = QDateTime::currentDateTime().addSecs(10);
    if (start.date() != QDate::currentDate()) GTEST_SKIP() << "the start would fall on the next day";
    ASSERT_TRUE(AddByKeys(rig, dialog, {"Morning news", ScheduleRepeat::Daily, {}, start.toString("HH:mm:ss"), "0.05"}));
    const std::string unit = UnitNameOf("Morning news");
    const std::string startText = start.toString("yyyy-MM-dd HH:mm:ss").toStdString();
    EXPECT_NE(TimerLine(unit + ".timer").find(startText), std::string::npos)
        << startText << " in\n" << g_userManager->Systemctl("list-timers --all").output;
    EXPECT_EQ(Cell(dialog, "Morning news", CScheduleDlg::kNextColumn).toStdString(),
              start.toString("yyyy/MM/dd HH:mm:ss").toStdString());
    EXPECT_FALSE(rig.frame->CountingDown()) << "the timer runs it, not the window";

    ASSERT_TRUE(WindowRig::WaitFor(
        [&] { return Cell(dialog, "Morning news", CScheduleDlg::kResultColumn).startsWith("録音済み"); }, 60000))
        << Cell(dialog, "Morning news", CScheduleDlg::kResultColumn).toStdString() << "\n"
        << g_userManager->Systemctl("status " + unit + ".service").output;
    EXPECT_FALSE(QDir(QString::fromStdString(rig.folder())).entryList({"Scheduled*"}, QDir::Files).isEmpty());
    WindowRig::Screenshot(dialog, "schedule-timer-recorded");

    rig.boxes.answers = {BoxAnswer::Yes};
    Activate(dialog);
    dialog.Entries()->setFocus();
    QTest::keyClick(&dialog, Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(WindowRig::WaitFor([&] { return rig.frame->Schedule().Entries().empty(); }, 5000));
    const std::string units = g_userManager->ConfigHome() + "/systemd/user/";
    EXPECT_FALSE(QFile::exists(QString::fromStdString(units + unit + ".timer")));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(units + unit + ".service")));
    EXPECT_EQ(TimerLine(unit + ".timer"), "");
}

}  // namespace
