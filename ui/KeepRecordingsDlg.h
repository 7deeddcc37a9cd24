// CKeepRecordingsDlg: how long recordings are kept and how much room is kept free.
#pragma once

#include <QDialog>

class QDoubleSpinBox;
class QSpinBox;

class CKeepRecordingsDlg : public QDialog {
    Q_OBJECT
public:
    CKeepRecordingsDlg(int keepDays, int keepFreeMb, QWidget* parent = nullptr);

    int KeepDays() const;
    int KeepFreeMb() const;

    // The controls, for the window's tests.
    QSpinBox* Days() const { return m_days; }
    QDoubleSpinBox* FreeRoom() const { return m_free; }

private:
    QSpinBox* m_days;
    QDoubleSpinBox* m_free;
};
