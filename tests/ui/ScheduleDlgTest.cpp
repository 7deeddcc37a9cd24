// The recording schedule dialog as a user works it: opened by keys beside the window, entries
// typed into its form, refused input told, a weekly entry's next starts as systemd finds them,
// and, without a user manager, an entry the window records itself.
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "tests/ui/ScheduleDriver.h"
#include "tests/ui/WindowRig.h"
#include "ui/DurationBox.h"
#include "ui/ScheduleDlg.h"
#include "ui/ScheduleEntryDlg.h"
#include "ui/bars/TimeField.h"

namespace {

class ScheduleDialogInLanguage : public testing::TestWithParam<Language> {};

// Fits a small screen, every control is named, the keys reach everything, Esc closes; the
// screenshots are for a person to look at.
TEST_P(ScheduleDialogInLanguage, FitsWorksFromTheKeyboardAndNamesEveryControl) {
    const WindowLanguage language(GetParam());
    ASSERT_TRUE(language.active());
    const std::string code = WindowLanguage::Code(GetParam());
    WindowRig rig;
    CScheduleDlg& dialog = OpenByKeys(rig);
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.isModal());
    EXPECT_TRUE(dialog.Note()->text().contains(GetParam() == Language::kEnglish ? "only while Velsona is open"
                                                                                : "Velsona を開いている間だけ"))
        << dialog.Note()->text().toStdString();

    ASSERT_TRUE(AddByKeys(rig, dialog, {"Radio 1", ScheduleRepeat::Weekly, {0, 2}, "07:30:00", "90"}));
    ASSERT_TRUE(AddByKeys(rig, dialog, {"News", ScheduleRepeat::Daily, {}, "19:00:00", "15"}));
    EXPECT_EQ(dialog.Entries()->topLevelItemCount(), 2);
    EXPECT_EQ(dialog.NextStarts()->count(), CScheduleDlg::kShownStarts);
    EXPECT_LE(dialog.frameGeometry().width(), 1024);
    EXPECT_LE(dialog.frameGeometry().height(), 600);
    WindowRig::Screenshot(dialog, ("schedule-dialog-" + code).c_str());

    int controls = 0;
    ExpectNamed(QAccessible::queryAccessibleInterface(&dialog), "schedule", controls);
    EXPECT_GE(controls, 7);
    int forms = 0;
    rig.boxes.runDialog = [&](QDialog& form) {
        ++forms;
        Activate(form);
        EXPECT_LE(form.frameGeometry().height(), 600);
        WindowRig::Screenshot(form, ("schedule-entry-" + code).c_str());
        int fields = 0;
        ExpectNamed(QAccessible::queryAccessibleInterface(&form), "entry", fields);
        EXPECT_GE(fields, 15);  // name, three repeats, date, seven days, time, duration, preset, action, run
        // The mnemonics reach the fields.
        QTest::keyClick(&form, Qt::Key_L, Qt::AltModifier);
        EXPECT_TRUE(static_cast<CScheduleEntryDlg&>(form).Duration()->isAncestorOf(QApplication::focusWidget()) ||
                    QApplication::focusWidget() == static_cast<CScheduleEntryDlg&>(form).Duration());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible());
        return false;
    };
    // The list first, then its commands, by Tab.
    Activate(dialog);
    dialog.Entries()->setFocus();
    QTest::keyClick(dialog.Entries(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.AddButton());
    dialog.Entries()->setFocus();
    QTest::keyClick(dialog.Entries(), Qt::Key_Home);
    QTest::keyClick(dialog.Entries(), Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(WindowRig::WaitFor([&] { return forms == 1; }, 3000));
    QTest::keyClick(dialog.Entries(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(rig.frame->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Languages, ScheduleDialogInLanguage, testing::Values(Language::kJapanese, Language::kEnglish),
                         [](const testing::TestParamInfo<Language>& info) {
                             return std::string(WindowLanguage::Code(info.param));
                         });

struct BadInput {
    const char* what;
    Typed typed;
    const char* told;  // part of the message
};

class ScheduleBadInput : public testing::TestWithParam<BadInput> {};

TEST_P(ScheduleBadInput, IsToldAndChangesNothing) {
    const BadInput& bad = GetParam();
    WindowRig rig;
    CScheduleDlg& dialog = OpenByKeys(rig);
    ASSERT_TRUE(AddByKeys(rig, dialog, {"Radio", ScheduleRepeat::Weekly, {4}, "07:30:00", "60"}));
    const std::string file = ReadFileBytes(rig.dir / "schedule.conf");
    rig.boxes.informed.clear();

    bool stayedOpen = false;
    rig.boxes.runDialog = [&](QDialog& form) {
        stayedOpen = !TypeIntoForm(form, bad.typed);
        return false;
    };
    dialog.AddButton()->click();
    EXPECT_TRUE(stayedOpen) << bad.what;
    ASSERT_EQ(rig.boxes.informed.size(), 1u) << bad.what;
    EXPECT_TRUE(rig.boxes.informed[0].contains(QString::fromUtf8(bad.told))) << rig.boxes.informed[0].toStdString();
    EXPECT_EQ(ReadFileBytes(rig.dir / "schedule.conf"), file) << bad.what;
    EXPECT_EQ(dialog.Entries()->topLevelItemCount(), 1);
    EXPECT_EQ(rig.frame->Schedule().Entries().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScheduleBadInput,
    testing::Values(BadInput{"no name", {"", ScheduleRepeat::Daily, {}, "08:00:00", "30"}, "名前がありません"},
                    BadInput{"duplicate name", {"Radio", ScheduleRepeat::Daily, {}, "08:00:00", "30"}, "「Radio」はもうあります"},
                    BadInput{"zero duration", {"Zero", ScheduleRepeat::Daily, {}, "08:00:00", "0"}, "録音時間の指定が不正です"},
                    BadInput{"weekly without a day", {"Days", ScheduleRepeat::Weekly, {}, "08:00:00", "30"}, "曜日が必要です"},
                    BadInput{"one-time start in the past", {"Past", ScheduleRepeat::Once, {}, "00:00:00", "30", true}, "もう過ぎています"},
                    BadInput{"no time of day", {"Time", ScheduleRepeat::Daily, {}, "25:00:00", "30"}, "開始時刻"}),
    [](const testing::TestParamInfo<BadInput>& info) { return "case" + std::to_string(info.index); });

// The next five starts the dialog shows are those systemd's calendar gives for the entry's
// timer expression.
TEST(ScheduleDialog, AWeeklyEntrysNextFiveStartsAreSystemdsCalendar) {
    WindowRig rig;
    CScheduleDlg& dialog = OpenByKeys(rig);
    ASSERT_TRUE(AddByKeys(rig, dialog, {"Weekly", ScheduleRepeat::Weekly, {0, 2, 6}, "07:30:15", "45"}));
    const ScheduleEntry* entry = FindEntry(rig.frame->Schedule().Entries(), "Weekly");
    ASSERT_TRUE(entry);
    ASSERT_EQ(dialog.NextStarts()->count(), 5);

    QProcess analyze;
    analyze.start(QStringLiteral("systemd-analyze"),
                  {QStringLiteral("calendar"), QStringLiteral("--iterations=5"), QString::fromStdString(CalendarExpression(*entry))});
    ASSERT_TRUE(analyze.waitForFinished(20000));
    const QString output = QString::fromUtf8(analyze.readAllStandardOutput());
    ASSERT_EQ(analyze.exitCode(), 0) << output.toStdString() << analyze.readAllStandardError().toStdString();
    // "Next elapse: Mon 2026-12-14 07:30:15 UTC", then "Iter. #2: …".
    const QRegularExpression start(QStringLiteral("(?:Next elapse|Iter\\. #\\d+): \\w+ (\\d{4})-(\\d\\d)-(\\d\\d) (\\d\\d:\\d\\d:\\d\\d)"));
    QStringList expected;
    for (auto match = start.globalMatch(output); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        expected << QStringLiteral("%1/%2/%3 %4").arg(m.captured(1), m.captured(2), m.captured(3), m.captured(4));
    }
    ASSERT_EQ(expected.size(), 5) << output.toStdString();
    QStringList shown;
    for (int row = 0; row < dialog.NextStarts()->count(); ++row) shown << dialog.NextStarts()->item(row)->text();
    EXPECT_EQ(shown, expected) << output.toStdString();
}

// Disabled by the list's check box (Space), the entry has no next start and stays in the file;
// removed after the question, it is gone.
TEST(ScheduleDialog, SpaceDisablesAndRemoveAsksFirst) {
    WindowRig rig;
    CScheduleDlg& dialog = OpenByKeys(rig);
    ASSERT_TRUE(AddByKeys(rig, dialog, {"Radio", ScheduleRepeat::Daily, {}, "07:30:00", "60"}));
    Activate(dialog);
    QTreeWidget* list = dialog.Entries();
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(0));
    QTest::keyClick(list, Qt::Key_Space);
    ASSERT_TRUE(WindowRig::WaitFor([&] { return !rig.frame->Schedule().Entries().at(0).enabled; }));
    EXPECT_EQ(list->topLevelItem(0)->checkState(CScheduleDlg::kNameColumn), Qt::Unchecked);
    EXPECT_EQ(dialog.NextStarts()->count(), 0);
    EXPECT_EQ(dialog.EnableButton()->text().remove('&'), QStringLiteral("有効にする(N)"));
    EXPECT_FALSE(rig.frame->CountingDown()) << "nothing enabled to arm";

    rig.boxes.answers = {BoxAnswer::No};
    Activate(dialog);
    QTest::keyClick(&dialog, Qt::Key_D, Qt::AltModifier);
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.boxes.asked.size() == 1; }, 3000));
    EXPECT_EQ(rig.frame->Schedule().Entries().size(), 1u);
    rig.boxes.answers = {BoxAnswer::Yes};
    QTest::keyClick(&dialog, Qt::Key_D, Qt::AltModifier);
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->Schedule().Entries().empty(); }, 3000));
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(rig.boxes.asked.size(), 2u);
}

// Without a systemd user manager the window counts down to the entry's start as the timer does,
// records it for its duration, shows the result, and waits for the next start.
TEST(ScheduleWindowRuns, TheWindowRecordsAnEntryWhileItIsOpen) {
    WindowRig rig;
    CScheduleDlg& dialog = OpenByKeys(rig);
    const QTime start = QTime::currentTime().addSecs(4);
    if (start < QTime(0, 0, 10)) GTEST_SKIP() << "the start would fall on the next day";
    ASSERT_TRUE(AddByKeys(rig, dialog, {"Soon", ScheduleRepeat::Daily, {}, start.toString(QStringLiteral("HH:mm:ss")), "0.05"}));
    ASSERT_TRUE(rig.frame->CountingDown());
    EXPECT_TRUE(rig.frame->Action(kCommandTimer)->isChecked()) << "armed as the timer arms";
    EXPECT_EQ(Cell(dialog, "Soon", CScheduleDlg::kResultColumn), QStringLiteral("まだありません"));

    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->Control().IsRecording(); }, 15000));
    ASSERT_TRUE(WindowRig::WaitFor([&] { return !rig.frame->Control().IsRecording(); }, 15000));
    ASSERT_FALSE(rig.RowNames().empty());
    EXPECT_TRUE(rig.boxes.informed.empty()) << rig.boxes.informed.front().toStdString();
    ASSERT_TRUE(WindowRig::WaitFor([&] { return Cell(dialog, "Soon", CScheduleDlg::kResultColumn).startsWith("録音済み"); }, 5000))
        << Cell(dialog, "Soon", CScheduleDlg::kResultColumn).toStdString();
    // Tomorrow's run is armed next.
    ASSERT_TRUE(WindowRig::WaitFor([&] { return rig.frame->CountingDown(); }, 5000));
    EXPECT_EQ(rig.frame->Control().schedule->startTime, QDateTime(QDate::currentDate().addDays(1), start).toSecsSinceEpoch());
    WindowRig::Screenshot(dialog, "schedule-window-run");
}

}  // namespace
