// CScheduleEntryDlg: the form of one schedule entry: name, when it repeats, its start, how long
// it records, with which preset and what follows.
#pragma once

#include <QDialog>
#include <ctime>
#include <functional>
#include <vector>

#include "foundation/Result.h"
#include "schedule/ScheduleEntry.h"

class IMessageBoxes;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class CDurationBox;
class CTimeField;

class CScheduleEntryDlg : public QDialog {
    Q_OBJECT
public:
    // `keep` takes the entry when OK is pressed; its failure is told and the form stays open.
    // `presets` are the stored presets' names. A new entry proposes the timer's next half hour.
    CScheduleEntryDlg(const ScheduleEntry& entry, bool isNew, const std::vector<std::string>& presets, std::time_t now,
                      IMessageBoxes& boxes, std::function<Result<void>(const ScheduleEntry&)> keep,
                      QWidget* parent = nullptr);

    // The form's controls, for the tests.
    QLineEdit* Name() const { return m_name; }
    QButtonGroup* Repeat() const { return m_repeat; }
    QDateEdit* Date() const { return m_date; }
    QCheckBox* Day(int mondayFirst) const { return m_days[mondayFirst]; }
    CTimeField* StartTime() const { return m_time; }
    CDurationBox* Duration() const { return m_duration; }
    QComboBox* Action() const { return m_action; }

    void accept() override;

private:
    // The date only for a one-time entry, the days only for a weekly one.
    void ShowRepeat();
    // The entry as the form holds it; fails when a field holds no value.
    Result<ScheduleEntry> Entry();

    IMessageBoxes& m_boxes;
    std::function<Result<void>(const ScheduleEntry&)> m_keep;
    QLineEdit* m_name;
    QButtonGroup* m_repeat;
    QDateEdit* m_date;
    QCheckBox* m_days[7];
    CTimeField* m_time;
    CDurationBox* m_duration;
    QComboBox* m_preset;
    QComboBox* m_action;
    QCheckBox* m_enabled;
    // Set from velsona-rec only; the form keeps them as they were.
    int m_keepDays;
    int m_keepFreeMb;
};
