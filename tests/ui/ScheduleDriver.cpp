// Driving the schedule dialog and its form as a user does.
#include "tests/ui/ScheduleDriver.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "tests/ui/WindowRig.h"
#include "ui/DurationBox.h"
#include "ui/ScheduleDlg.h"
#include "ui/ScheduleEntryDlg.h"
#include "ui/bars/TimeField.h"

void Activate(QWidget& window) {
    window.show();
    // A menu that just closed gives the activation back to its own window a moment later.
    QTest::qWait(50);
    window.activateWindow();
    ASSERT_TRUE(WindowRig::WaitFor([&] { return QApplication::activeWindow() == &window; }, 3000));
}

bool TypeIntoForm(QDialog& dialog, const Typed& typed) {
    auto& form = dynamic_cast<CScheduleEntryDlg&>(dialog);
    Activate(form);
    WindowRig::TypeOver(form.Name(), typed.name);
    QTest::mouseClick(form.Repeat()->button(static_cast<int>(typed.repeat)), Qt::LeftButton);
    for (int day : typed.days) {
        form.Day(day)->setFocus();
        QTest::keyClick(form.Day(day), Qt::Key_Space);
    }
    if (typed.dayBefore) {
        form.Date()->setFocus();
        QTest::keyClick(form.Date(), Qt::Key_End);
        QTest::keyClick(form.Date(), Qt::Key_Down);
    }
    if (!typed.time.isEmpty()) WindowRig::TypeOver(form.StartTime(), typed.time);
    if (!typed.minutes.isEmpty()) WindowRig::TypeOver(form.Duration()->lineEdit(), typed.minutes);
    QTest::mouseClick(form.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    const bool accepted = form.result() == QDialog::Accepted;
    form.hide();
    return accepted;
}

CScheduleDlg& OpenByKeys(WindowRig& rig) {
    Activate(*rig.frame);
    QTest::keyClick(rig.frame.get(), Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(WindowRig::WaitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }));
    QTest::keyClick(QApplication::activePopupWidget(),
                    QKeySequence::mnemonic(rig.frame->Action(kCommandScheduler)->text())[0].key());
    EXPECT_TRUE(rig.frame->ScheduleDialog()) << "Alt+R, S opened no schedule";
    if (!rig.frame->ScheduleDialog()) rig.frame->Action(kCommandScheduler)->trigger();
    return *rig.frame->ScheduleDialog();
}

bool AddByKeys(WindowRig& rig, CScheduleDlg& dialog, const Typed& typed) {
    bool opened = false, accepted = false;
    const size_t told = rig.boxes.informed.size();
    rig.boxes.runDialog = [&](QDialog& form) {
        opened = true;
        return accepted = TypeIntoForm(form, typed);
    };
    Activate(dialog);
    QTest::keyClick(&dialog, QKeySequence::mnemonic(dialog.AddButton()->text())[0].key(), Qt::AltModifier);
    // A mnemonic presses its button as a click does, a moment later.
    EXPECT_TRUE(WindowRig::WaitFor([&] { return opened; }, 3000)) << "Alt+A opened no form";
    rig.boxes.runDialog = nullptr;
    if (opened && !accepted && rig.boxes.informed.size() > told)
        ADD_FAILURE() << "the form said: " << rig.boxes.informed.back().toStdString();
    return accepted;
}

QString Cell(CScheduleDlg& dialog, const std::string& name, int column) {
    for (int row = 0; row < dialog.Entries()->topLevelItemCount(); ++row)
        if (dialog.Entries()->topLevelItem(row)->text(CScheduleDlg::kNameColumn).toStdString() == name)
            return dialog.Entries()->topLevelItem(row)->text(column);
    return {};
}

