// Driving the schedule dialog and its form as a user does: keys, clicks and typed text.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "schedule/ScheduleEntry.h"

class CScheduleDlg;
class QDialog;
class QWidget;
class WindowRig;

// What a user types into the form; empty fields are left as the form proposes.
struct Typed {
    QString name;
    ScheduleRepeat repeat = ScheduleRepeat::Weekly;
    std::vector<int> days;  // Monday 0
    QString time;           // hh:mm:ss
    QString minutes;
    bool dayBefore = false;  // the date one day back from the proposed one
};

void Activate(QWidget& window);
// Fills the form by keys and clicks and presses OK; true when it closed accepted.
bool TypeIntoForm(QDialog& dialog, const Typed& typed);
// Opens the schedule by keys: Alt+R, then its mnemonic S (録音停止 shares it, but is disabled
// while idle).
CScheduleDlg& OpenByKeys(WindowRig& rig);
// Adds an entry through Alt+A and the form.
bool AddByKeys(WindowRig& rig, CScheduleDlg& dialog, const Typed& typed);
// The text of an entry's column in the list; empty without the entry.
QString Cell(CScheduleDlg& dialog, const std::string& name, int column);
