// CRecordTimerDlg: the recording timer dialog ("録音タイマー設定"): start time, duration, end action.
#pragma once

#include <QDialog>
#include <ctime>

#include "schedule/RecordingSchedule.h"
#include "ui/DurationBox.h"

class IMessageBoxes;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class CTimeField;

class CRecordTimerDlg : public QDialog {
    Q_OBJECT
public:
    // Every opening proposes afresh from `now`; earlier choices are not remembered.
    CRecordTimerDlg(IMessageBoxes& boxes, std::time_t now, QWidget* parent = nullptr);

    // Valid after the dialog was accepted.
    const RecordingSchedule& Schedule() const { return m_schedule; }

    // The controls, for the window's tests and for screen readers' names.
    QButtonGroup* StartChoice() const { return m_start; }
    QButtonGroup* EndChoice() const { return m_end; }
    QDateEdit* StartDate() const { return m_date; }
    CTimeField* StartTime() const { return m_time; }
    QComboBox* Duration() const { return m_duration; }
    QCheckBox* ActionWanted() const { return m_actionWanted; }
    QComboBox* Action() const { return m_action; }

    void accept() override;

private:
    IMessageBoxes& m_boxes;
    RecordingSchedule m_schedule;
    QButtonGroup* m_start;
    QButtonGroup* m_end;
    QDateEdit* m_date;
    CTimeField* m_time;
    CDurationBox* m_duration;
    QCheckBox* m_actionWanted;
    QComboBox* m_action;
};
