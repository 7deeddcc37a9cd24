// CScheduleBook: the recording schedule as the window shows and edits it: each entry's next
// starts and last result, the checks and the overlap warning of an edit, and who runs the
// entries (systemd's user timers, or the window itself while it is open).
#pragma once

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/settings/SchedulePaths.h"
#include "foundation/Result.h"
#include "foundation/UserText.h"
#include "schedule/RecordingSchedule.h"
#include "schedule/ScheduleEntry.h"
#include "schedule/ScheduleLog.h"
#include "schedule/ScheduleUnits.h"

// Where the schedule and its log lie.
struct ScheduleFiles {
    std::string schedule = ScheduleFilePath();
    std::string log = ScheduleLogPath();
};

class CScheduleBook {
public:
    using Clock = std::function<std::time_t()>;
    // `units` null: no user manager answers, so the window runs the entries while it is open.
    // `presetExists` answers for a stored preset's name.
    CScheduleBook(std::unique_ptr<CScheduleUnits> units, std::function<bool(const std::string&)> presetExists,
                  ScheduleFiles files = {}, Clock clock = [] { return std::time(nullptr); });
    ~CScheduleBook();

    // Reads the schedule file; a file that does not read leaves the book empty and says why, and
    // every change fails the same way until it reads, so a hand-made mistake is never overwritten.
    Result<void> Load();
    const std::vector<ScheduleEntry>& Entries() const { return m_entries; }
    bool RunByTimers() const { return m_units != nullptr; }
    // How the entries run, for the dialog to say.
    UserText HowEntriesRun() const;

    // The next `count` starts of an entry from now; none for a disabled one.
    std::vector<std::time_t> UpcomingStarts(const ScheduleEntry& entry, size_t count) const;
    // Each entry's last result as the schedule's log tells it, read afresh.
    std::map<std::string, ScheduleResult> LastResults() const;

    // Why `entry` cannot be kept in place of the entry named `replacing` (empty: a new one).
    Result<void> Check(const ScheduleEntry& entry, const std::string& replacing) const;
    // The enabled entries, other than `replacing`, whose recordings would run at the same time
    // as one of `entry`'s; none when `entry` is disabled.
    std::vector<std::string> Overlapping(const ScheduleEntry& entry, const std::string& replacing) const;
    UserText OverlapWarning(const std::vector<std::string>& names) const;

    // Each change is checked, written to the schedule file and given to the timers; when any
    // step fails the file, the timers and the book are left as they were.
    Result<void> Put(const ScheduleEntry& entry, const std::string& replacing);
    Result<void> Remove(const std::string& name);
    Result<void> SetEnabled(const std::string& name, bool enabled);

    // Without timers: the run the window arms next, the earliest start after `after` of the
    // enabled entries.
    struct WindowRun {
        ScheduleEntry entry;
        std::time_t start = 0;
    };
    std::optional<WindowRun> NextWindowRun(std::time_t after) const;
    // The schedule the window arms for that run: a start time, the entry's duration and action.
    static RecordingSchedule ScheduleOf(const WindowRun& run);
    // A window run's outcome, for the dialog's last result and velsona-rec's list.
    Result<void> RecordResult(const std::string& name, ScheduleOutcome outcome, const std::string& detail = {}) const;

private:
    Result<void> Commit(std::vector<ScheduleEntry> entries);

    std::unique_ptr<CScheduleUnits> m_units;
    std::function<bool(const std::string&)> m_presetExists;
    ScheduleFiles m_files;
    Clock m_clock;
    std::vector<ScheduleEntry> m_entries;
    std::optional<Failure> m_unreadable;  // why the file did not read
};
