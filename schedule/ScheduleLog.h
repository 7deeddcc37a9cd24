// The schedule's own log: one line per scheduled run's outcome, from which the window and
// velsona-rec --schedule-list tell each entry's last result (app/settings/SchedulePaths.h says where).
#pragma once

#include <ctime>
#include <map>
#include <optional>
#include <string>

#include "foundation/Result.h"
#include "foundation/UserText.h"

enum class ScheduleOutcome {
    Started,   // running, or ended without a word (killed)
    Recorded,
    Failed,
    Missed,    // its planned end had passed when it could start
};

struct ScheduleResult {
    ScheduleOutcome outcome = ScheduleOutcome::Started;
    std::time_t time = 0;
    std::string detail;  // the reason, as said when written; may be empty
};

// One line, appended by one write under the file's lock; the folder is made when missing.
Result<void> AppendScheduleResult(const std::string& entryName, const ScheduleResult& result,
                                  const std::string& path);
// The last result of every entry named in the log; lines that do not read are passed over.
std::map<std::string, ScheduleResult> LastScheduleResults(const std::string& path);
std::optional<ScheduleResult> LastScheduleResult(const std::string& entryName, const std::string& path);

// "録音済み", "失敗", "逃した", "開始".
UserText OutcomeText(ScheduleOutcome outcome);
