// ScheduleEntry: one recording that repeats (or happens once) at a set time; its checks, its
// calendar and its starts.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Result.h"
#include "foundation/UserText.h"
#include "schedule/EndAction.h"

enum class ScheduleRepeat { Once, Daily, Weekly };

// Weekday bits in the calendar's order, Monday first, as systemd writes them.
enum ScheduleWeekday : uint8_t {
    kMonday = 1 << 0,
    kTuesday = 1 << 1,
    kWednesday = 1 << 2,
    kThursday = 1 << 3,
    kFriday = 1 << 4,
    kSaturday = 1 << 5,
    kSunday = 1 << 6,
};

inline constexpr int64_t kLongestScheduledDuration = 7 * 24 * 3600;

struct ScheduleEntry {
    std::string name;    // unique; no control characters
    std::string preset;  // a stored preset's name as stored ("(デフォルト設定)" for the default)
    ScheduleRepeat repeat = ScheduleRepeat::Weekly;
    int year = 0, month = 0, day = 0;  // Once: the local date
    uint8_t weekdays = 0;              // Weekly: ScheduleWeekday bits
    int startSecond = 0;               // local time of day, seconds after midnight
    int64_t durationSeconds = 0;
    EndAction endAction = EndAction::None;
    bool enabled = true;
    // Keeping recordings for this entry's runs, over its preset's: days kept and megabytes kept
    // free (0: off); -1 leaves the preset's.
    int keepDays = -1;
    int keepFreeMb = -1;

    bool operator==(const ScheduleEntry&) const = default;
};

// Why an entry cannot be kept, or nothing. `others` are the rest of the list (without this
// entry's old version); presetExists answers for a stored preset name. The start of an enabled
// one-time entry must lie after `now`.
Result<void> CheckEntry(const ScheduleEntry& entry, const std::vector<ScheduleEntry>& others,
                        const std::function<bool(const std::string&)>& presetExists, std::time_t now);

// The start as stored and typed on velsona-rec's command line: "once 2026-12-24 21:00:00",
// "daily 21:00", "weekly sun,tue 21:00:30". Seconds are optional when read and written only
// when not 0.
std::string WhenText(const ScheduleEntry& entry);
// Sets repeat, date, weekdays and startSecond of `entry` from such a text; fails with what
// the text should look like.
Result<void> ParseWhen(const std::string& text, ScheduleEntry& entry);
// The start as a person reads it: "毎週 日・火 21:00", "毎日 6:30", "1 回 2026-12-24 21:00".
UserText DescribeWhen(const ScheduleEntry& entry);

// The end action's word on the command line and in the file ("none", "exit", "suspend",
// "hibernate", "shutdown"), and back; nullopt for another word.
const char* EndActionWord(EndAction action);
std::optional<EndAction> EndActionOfWord(const std::string& word);

// systemd's OnCalendar= for the entry, in local time: "Sun,Tue *-*-* 21:00:00".
std::string CalendarExpression(const ScheduleEntry& entry);

// The next `count` starts strictly after `after`, as systemd's calendar finds them: a start
// time that a clock change skips is skipped that day.
std::vector<std::time_t> NextStarts(const ScheduleEntry& entry, std::time_t after, size_t count);

// The run a start at or before `now` asks for: the latest such start and its planned end.
// nullopt when the entry has never started (a one-time entry still ahead). When `now` is past
// the end, the start was missed entirely.
struct PlannedRun {
    std::time_t start = 0;
    std::time_t end = 0;
    bool Missed(std::time_t now) const { return now >= end; }
    int64_t RemainingSeconds(std::time_t now) const { return end > now ? end - now : 0; }
};
std::optional<PlannedRun> LatestRun(const ScheduleEntry& entry, std::time_t now);

// The entry's systemd unit name without its suffix: "velsona-schedule-" followed by the
// name's letters and digits and a hash of the whole name, so any name gives a valid, short name.
std::string UnitNameOf(const std::string& entryName);

// The entry named `name`, or null.
const ScheduleEntry* FindEntry(const std::vector<ScheduleEntry>& entries, const std::string& name);
