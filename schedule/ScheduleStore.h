// The schedule's file: every entry in one readable text file, the only place entries live
// (app/settings/SchedulePaths.h says where).
#pragma once

#include <string>
#include <vector>

#include "foundation/Result.h"
#include "schedule/ScheduleEntry.h"

// No file is an empty schedule. A file that is not a schedule (a folder, garbage, an entry cut
// short) fails with the line and what is wrong, and gives nothing.
Result<std::vector<ScheduleEntry>> LoadSchedule(const std::string& path);
// Written whole to a temporary file beside it, synced and renamed over it, so a crash leaves
// the old or the new schedule; makes the folder when missing.
Result<void> SaveSchedule(const std::vector<ScheduleEntry>& entries, const std::string& path);
