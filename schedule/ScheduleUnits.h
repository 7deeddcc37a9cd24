// CScheduleUnits: the schedule's entries as systemd user timers and services.
#pragma once

#include <string>
#include <vector>

#include "foundation/Result.h"
#include "schedule/ScheduleEntry.h"

// velsona-rec beside the running program.
std::string RecorderProgramPath();

class CScheduleUnits {
public:
    // unitFolder: the user's systemd units (app/settings/SchedulePaths.h); recorderPath: the
    // velsona-rec the services run.
    CScheduleUnits(std::string unitFolder, std::string recorderPath);

    // Whether a systemd user manager answers (systemctl --user). Without one the window runs the
    // entries itself while it is open.
    static bool UserManagerAvailable();

    // Fails, naming the file, when a unit of ours was edited by hand or a file of another
    // program has a unit's name; touches nothing.
    Result<void> CheckUnits(const std::vector<ScheduleEntry>& entries) const;
    // Makes the units match the entries: a timer and a service for each enabled entry (written
    // atomically, then reloaded, enabled and started), and the units of entries disabled or gone
    // stopped, disabled and removed. Runs CheckUnits first and changes nothing when it fails.
    Result<void> Apply(const std::vector<ScheduleEntry>& entries) const;

    // What is written for an entry (the tests read it; a hand edit is told by comparing).
    std::string TimerText(const ScheduleEntry& entry) const;
    std::string ServiceText(const ScheduleEntry& entry) const;
    const std::string& Folder() const { return m_folder; }

private:
    std::string m_folder;
    std::string m_recorder;
};
