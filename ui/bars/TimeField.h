// CTimeField: an hours:minutes:seconds field that keeps what is typed.
#pragma once

#include <QAbstractSpinBox>
#include <QTime>

// Digits overwrite in place and ":" moves on to the next part, so "09:15:00" typed over the
// whole field reads 09:15:00. A time that does not exist (25:00:00, 99:99:99) or an unfinished
// one stays as typed, shown in red, and reads as no time, for its owner to refuse. The arrow
// keys step the part under the cursor within its range.
class CTimeField : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit CTimeField(QWidget* parent = nullptr);

    // Not valid while the field holds no time of day.
    QTime time() const;
    // An invalid time leaves the field as it is.
    void setTime(const QTime& time);

    QValidator::State validate(QString& input, int& pos) const override;
    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The field came to hold a time other than the last one it held.
    void timeChanged(const QTime& time);

protected:
    StepEnabled stepEnabled() const override;

private:
    void OnTextChanged();

    QTime m_last;
};
