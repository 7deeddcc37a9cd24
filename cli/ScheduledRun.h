// A recording started by a schedule entry's timer: which planned run it is, and how its end is told.
#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "foundation/Result.h"
#include "schedule/ScheduleEntry.h"
#include "schedule/ScheduleLog.h"

class CActivityLog;

struct ScheduledRun {
    ScheduleEntry entry;
    PlannedRun planned;
};

// The entry named and its latest planned run; fails when the schedule cannot be read, has no
// such entry, or the entry has not started yet.
Result<ScheduledRun> FindScheduledRun(const std::string& entryName, std::time_t now);

// Tells how a run ended: in the schedule's log, in the activity log and, when it failed or
// missed its time, in a desktop notification. What cannot be told goes to `warn`.
void ReportScheduledRun(const std::string& entryName, ScheduleOutcome outcome, const UserText& reason, CActivityLog* log,
                        const std::function<void(const UserText&)>& warn);
