// The hours:minutes:seconds field of the timer dialog and the output bar.
#include "ui/bars/TimeField.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <algorithm>

namespace {

constexpr int kPartLimits[] = {23, 59, 59};

// The three parts of "hh:mm:ss"; false while one is unfinished or out of its range.
bool ReadParts(const QString& text, int (&parts)[3]) {
    if (text.size() != 8) return false;
    for (int part = 0; part < 3; ++part) {
        bool number = false;
        parts[part] = text.mid(part * 3, 2).toInt(&number);
        if (!number || !text[part * 3].isDigit() || !text[part * 3 + 1].isDigit() || parts[part] > kPartLimits[part])
            return false;
    }
    return true;
}

}  // namespace

CTimeField::CTimeField(QWidget* parent) : QAbstractSpinBox(parent) {
    lineEdit()->setInputMask(QStringLiteral("99:99:99"));
    lineEdit()->setText(QStringLiteral("00:00:00"));
    m_last = QTime(0, 0);
    connect(lineEdit(), &QLineEdit::textChanged, this, &CTimeField::OnTextChanged);
}

QTime CTimeField::time() const {
    int parts[3];
    if (!ReadParts(lineEdit()->displayText(), parts)) return {};
    return QTime(parts[0], parts[1], parts[2]);
}

void CTimeField::setTime(const QTime& time) {
    // untranslated: a time format
    if (time.isValid()) lineEdit()->setText(time.toString(QStringLiteral("HH:mm:ss")));
}

QValidator::State CTimeField::validate(QString& input, int&) const {
    int parts[3];
    // Kept, not refused: the user sees what was typed and its owner says why it is no time.
    return ReadParts(input, parts) ? QValidator::Acceptable : QValidator::Intermediate;
}

void CTimeField::OnTextChanged() {
    const QTime now = time();
    QPalette colours = palette();
    colours.setColor(QPalette::Text, now.isValid() ? QPalette().color(QPalette::Text) : QColor(Qt::red));
    lineEdit()->setPalette(colours);
    if (!now.isValid() || now == m_last) return;
    m_last = now;
    emit timeChanged(now);
}

void CTimeField::stepBy(int steps) {
    int parts[3];
    if (!ReadParts(lineEdit()->displayText(), parts)) return;
    const int cursor = lineEdit()->cursorPosition();
    const int part = std::min(cursor / 3, 2);
    parts[part] = std::clamp(parts[part] + steps, 0, kPartLimits[part]);
    setTime(QTime(parts[0], parts[1], parts[2]));
    lineEdit()->setSelection(part * 3, 2);
}

QAbstractSpinBox::StepEnabled CTimeField::stepEnabled() const {
    return time().isValid() ? (StepUpEnabled | StepDownEnabled) : StepNone;
}

QSize CTimeField::sizeHint() const {
    ensurePolished();
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize text(lineEdit()->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 8,
                     lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, this);
}

QSize CTimeField::minimumSizeHint() const { return sizeHint(); }
