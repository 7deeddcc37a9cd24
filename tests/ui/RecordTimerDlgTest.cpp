// The recording timer dialog: the proposed start, the duration box and its rules, the end action;
// times typed into it and into the output bar's split time.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "tests/support/LocalClock.h"
#include "ui/RecordTimerDlg.h"
#include "ui/bars/OutputBar.h"
#include "ui/bars/TimeField.h"
#include "tests/ui/WindowRig.h"

namespace {

struct Proposal {
    int hour, minute, second;
    const char* date;
    const char* time;
};

class ProposedStart : public testing::TestWithParam<Proposal> {};

TEST_P(ProposedStart, IsTheNextFullOrHalfHourHalfAnHourAhead) {
    const Proposal& p = GetParam();
    ScriptedBoxes boxes;
    CRecordTimerDlg dialog(boxes, LocalAt(2026, 12, 8, p.hour, p.minute, p.second));
    EXPECT_EQ(dialog.StartDate()->date().toString(QStringLiteral("yyyy-MM-dd")).toStdString(), p.date);
    EXPECT_EQ(dialog.StartTime()->time().toString(QStringLiteral("HH:mm:ss")).toStdString(), p.time);
    // A fresh dialog: start at once, stop by hand, no action, five minutes.
    EXPECT_EQ(dialog.StartChoice()->checkedId(), 0);
    EXPECT_EQ(dialog.EndChoice()->checkedId(), 0);
    EXPECT_FALSE(dialog.ActionWanted()->isChecked());
    EXPECT_EQ(dialog.Duration()->currentText(), QStringLiteral("5"));
}

INSTANTIATE_TEST_SUITE_P(Clock, ProposedStart,
                         testing::Values(Proposal{14, 10, 25, "2026-12-08", "14:30:00"},
                                         Proposal{14, 35, 0, "2026-12-08", "15:00:00"},
                                         Proposal{23, 40, 0, "2026-12-09", "00:00:00"}));

class TimerDialog : public testing::Test {
protected:
    // Chooses to stop after `minutes` (typed) and presses 開始; the schedule when accepted.
    std::optional<RecordingSchedule> Accept(const QString& minutes) {
        dialog.EndChoice()->button(1)->setChecked(true);
        dialog.Duration()->setEditText(minutes);
        dialog.accept();
        if (dialog.result() != QDialog::Accepted) return std::nullopt;
        return dialog.Schedule();
    }

    ScriptedBoxes boxes;
    CRecordTimerDlg dialog{boxes, LocalAt(2026, 12, 8, 14, 10, 25)};
};

TEST_F(TimerDialog, DurationEntriesReadAsDurationsAndBecomeMinutesOnFocusOut) {
    QComboBox* box = dialog.Duration();
    ASSERT_EQ(box->count(), 21);
    EXPECT_EQ(box->itemText(0), QStringLiteral("3 分00 秒"));
    EXPECT_EQ(box->itemText(7), QStringLiteral("1 時間"));
    EXPECT_EQ(box->itemText(8), QStringLiteral("1 時間30分"));
    EXPECT_EQ(box->itemText(20), QStringLiteral("24 時間"));
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    box->setFocus();
    box->setCurrentIndex(8);
    EXPECT_EQ(box->currentText(), QStringLiteral("1 時間30分"));
    dialog.ActionWanted()->setFocus();
    EXPECT_EQ(box->currentText(), QStringLiteral("90"));
    WindowRig::Screenshot(dialog, "timer-dialog");
}

struct DurationCase {
    const char* text;
    int64_t seconds;  // 0: refused
};

class DurationText : public TimerDialog, public testing::WithParamInterface<DurationCase> {};

TEST_P(DurationText, IsReadAsDecimalMinutes) {
    const DurationCase& c = GetParam();
    const std::optional<RecordingSchedule> schedule = Accept(QString::fromUtf8(c.text));
    if (c.seconds == 0) {
        EXPECT_FALSE(schedule);
        EXPECT_EQ(boxes.informed, std::vector<QString>{QStringLiteral("録音時間の指定が不正です")});
        return;
    }
    ASSERT_TRUE(schedule);
    EXPECT_EQ(schedule->durationSeconds, c.seconds);
    EXPECT_EQ(schedule->endMode, 1);
    EXPECT_TRUE(boxes.informed.empty());
}

INSTANTIATE_TEST_SUITE_P(Texts, DurationText,
                         testing::Values(DurationCase{"1.5", 90}, DurationCase{"90", 5400}, DurationCase{"0", 0},
                                         DurationCase{"-2", 0}, DurationCase{"abc", 0},
                                         DurationCase{"1 時間30分", 5400}));

TEST_F(TimerDialog, TheEndActionIsArmedOnlyWithADuration) {
    dialog.ActionWanted()->setChecked(true);
    dialog.Action()->setCurrentIndex(3);
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.Schedule().endActionArmed);
    EXPECT_EQ(dialog.Schedule().endAction, EndAction::None);

    CRecordTimerDlg timed(boxes, LocalAt(2026, 12, 8, 14, 10, 25));
    timed.StartChoice()->button(1)->setChecked(true);
    timed.EndChoice()->button(1)->setChecked(true);
    timed.ActionWanted()->setChecked(true);
    timed.Action()->setCurrentIndex(1);
    timed.accept();
    ASSERT_EQ(timed.result(), QDialog::Accepted);
    const RecordingSchedule& schedule = timed.Schedule();
    EXPECT_EQ(schedule.startMode, 1);
    EXPECT_EQ(schedule.startTime, LocalAt(2026, 12, 8, 14, 30, 0));
    EXPECT_EQ(schedule.durationSeconds, 300);
    EXPECT_TRUE(schedule.endActionArmed);
    EXPECT_EQ(schedule.endAction, EndAction::Standby);
}

// Keys typed into a time field as a person types them, and what the field's owner makes of them.
struct TypedTime {
    bool splitTime;  // the output bar's 分割時間, else the timer dialog's 開始時刻
    bool overAll;  // Ctrl+A first, else Home: the keys start in the hours
    const char* keys;
    const char* taken;  // the time that comes out; null when the field's owner refuses it
};

class TypedTimes : public testing::TestWithParam<TypedTime> {
protected:
    static void Type(QAbstractSpinBox* field, const TypedTime& c) {
        field->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return field->hasFocus(); }));
        if (c.overAll) QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        else QTest::keyClick(field, Qt::Key_Home);
        QTest::keyClicks(field, QString::fromLatin1(c.keys));
    }
};

TEST_P(TypedTimes, ComeOutAsTypedOrAreRefusedNeverWrapped) {
    const TypedTime& c = GetParam();
    std::optional<QString> taken;  // empty: refused
    QAbstractSpinBox* field = nullptr;
    QString refusal;
    std::vector<QString> informed, refused;
    if (c.splitTime) {
        WindowRig rig;
        rig.frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(rig.frame.get()));
        COutputBar& bar = rig.frame->OutputBar();
        auto* method = qobject_cast<QComboBox*>(bar.Control(COutputBarModel::kSplitMethodList));
        method->setFocus();
        QTest::keyClick(method, Qt::Key_Down);  // 手動で分割 → 一定時間で分割
        ASSERT_EQ(method->currentIndex(), 1);
        field = qobject_cast<QAbstractSpinBox*>(bar.Control(COutputBarModel::kSplitTime));
        Type(field, c);
        rig.frame->Action(kCommandStart)->trigger();
        if (rig.frame->Control().IsRecording()) {
            const SplitTime& split = rig.frame->Control().settings.splitTime;
            taken = QTime(split.hours, split.minutes, split.seconds).toString(QStringLiteral("HH:mm:ss"));
            rig.frame->Action(kCommandStop)->trigger();
        }
        EXPECT_EQ(field->text(), QString::fromLatin1(c.keys));  // as typed, refused or not
        informed = rig.boxes.informed;
        refused = rig.boxes.refused;
        refusal = QStringLiteral("分割時間の指定が不正です");
    } else {
        ScriptedBoxes boxes;
        CRecordTimerDlg dialog(boxes, LocalAt(2026, 12, 8, 14, 10, 25));
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QTest::mouseClick(dialog.StartChoice()->button(1), Qt::LeftButton);
        field = dialog.StartTime();
        Type(field, c);
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        if (dialog.result() == QDialog::Accepted)
            taken = QDateTime::fromSecsSinceEpoch(dialog.Schedule().startTime).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        EXPECT_EQ(field->text(), QString::fromLatin1(c.keys));
        informed = boxes.informed;
        refused = boxes.refused;
        refusal = QStringLiteral("開始時刻の指定が不正です");
    }
    if (c.taken) {
        EXPECT_EQ(taken.value_or(QStringLiteral("refused")).toStdString(),
                  (c.splitTime ? std::string() : std::string("2026-12-08 ")) + c.taken);
        EXPECT_TRUE(informed.empty() && refused.empty());
    } else {
        EXPECT_FALSE(taken) << taken->toStdString();
        // A warning that says what a valid time looks like.
        EXPECT_TRUE(informed.empty());
        ASSERT_EQ(refused.size(), 1u);
        EXPECT_TRUE(refused[0].startsWith(refusal + QStringLiteral("。\n時刻は「時:分:秒」の形で 00:00:00 から 23:59:59 まで")))
            << refused[0].toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TypedTimes,
    testing::Values(TypedTime{false, true, "09:15:00", "09:15:00"}, TypedTime{false, false, "13:44:55", "13:44:55"},
                    TypedTime{false, true, "24:00:00", nullptr}, TypedTime{true, true, "01:02:03", "01:02:03"},
                    TypedTime{true, false, "00:45:00", "00:45:00"}, TypedTime{true, true, "99:99:99", nullptr}));

// The timer command runs the dialog and arms what it gives.
TEST(TimerCommand, ArmsTheCountdownForALaterStart) {
    WindowRig rig;
    rig.boxes.runDialog = [](QDialog& dialog) {
        auto& timer = static_cast<CRecordTimerDlg&>(dialog);
        timer.StartChoice()->button(1)->setChecked(true);
        timer.accept();
        return dialog.result() == QDialog::Accepted;
    };
    rig.frame->Action(kCommandTimer)->trigger();
    EXPECT_TRUE(rig.frame->CountingDown());
    EXPECT_TRUE(rig.frame->Action(kCommandTimer)->isChecked());
    EXPECT_FALSE(rig.frame->Control().IsRecording());
}

}  // namespace
