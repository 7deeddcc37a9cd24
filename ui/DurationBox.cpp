// The duration box of the timer and schedule dialogs.
#include "ui/DurationBox.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>

#include "app/language/Catalogue.h"
#include "schedule/RecordTimer.h"
#include "schedule/RecordingSchedule.h"

CDurationBox::CDurationBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    for (int minutes : kDurationChoicesMinutes) addItem(Said(FormatDuration(minutes * 60LL)), minutes);
    setCurrentIndex(-1);
    installEventFilter(this);
    lineEdit()->installEventFilter(this);
}

bool CDurationBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !isAncestorOf(QApplication::focusWidget())) NormaliseText();
    return QComboBox::eventFilter(watched, event);
}

void CDurationBox::NormaliseText() {
    const int entry = findText(currentText());
    if (entry >= 0) setEditText(QString::number(itemData(entry).toInt()));
}

Result<int64_t> CDurationBox::Seconds() {
    // The text of a picked entry counts as its minutes even when the focus never left the box.
    NormaliseText();
    return ParseDurationMinutes(CCharString(currentText().toUtf8().constData()));
}

void CDurationBox::SetSeconds(int64_t seconds) {
    setCurrentIndex(-1);
    setEditText(seconds % 60 == 0 ? QString::number(seconds / 60) : QString::number(seconds / 60.0, 'g', 10));
}
