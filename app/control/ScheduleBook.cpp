// The recording schedule as the window edits it.
#include "app/control/ScheduleBook.h"

#include <algorithm>
#include <utility>

#include "schedule/ScheduleStore.h"


namespace {

constexpr int64_t kDay = 24 * 3600;

struct Span {
    std::time_t start, end;
};

// An entry's recordings that begin in [from, to): a week holds every pattern a repeating entry
// has, and a one-time entry's single start.
std::vector<Span> RunsBetween(const ScheduleEntry& entry, std::time_t from, std::time_t to) {
    std::vector<Span> runs;
    std::time_t after = from - 1;
    for (;;) {
        const std::vector<std::time_t> next = NextStarts(entry, after, 16);
        for (std::time_t start : next) {
            if (start >= to) return runs;
            runs.push_back({start, static_cast<std::time_t>(start + entry.durationSeconds)});
        }
        if (next.size() < 16) return runs;
        after = next.back();
    }
}

}  // namespace

CScheduleBook::CScheduleBook(std::unique_ptr<CScheduleUnits> units, std::function<bool(const std::string&)> presetExists,
                             ScheduleFiles files, Clock clock)
    : m_units(std::move(units)), m_presetExists(std::move(presetExists)), m_files(std::move(files)),
      m_clock(std::move(clock)) {}

CScheduleBook::~CScheduleBook() = default;

Result<void> CScheduleBook::Load() {
    Result<std::vector<ScheduleEntry>> entries = LoadSchedule(m_files.schedule);
    m_unreadable.reset();
    if (!entries) {
        m_entries.clear();
        m_unreadable = entries.error();
        return std::move(entries).error();
    }
    m_entries = *std::move(entries);
    return {};
}

UserText CScheduleBook::HowEntriesRun() const {
    if (!m_units)
        return UserText("ScheduleBook",
                        "systemd のユーザーマネージャーが動いていないため、スケジュールは Velsona を開いている間だけ実行されます。"
                        "開始時刻が来るとこのウィンドウが録音します。");
    return UserText("ScheduleBook",
                    "スケジュールは systemd のユーザータイマーが実行するので、Velsona を閉じていても録音します。"
                    "ログアウトしている間も録音するには、一度 loginctl enable-linger を実行してください（しないとログインしている間だけ実行されます）。"
                    "開始時刻にパソコンの電源が入っているか、その時刻に起動するよう設定されている必要があります。");
}

std::vector<std::time_t> CScheduleBook::UpcomingStarts(const ScheduleEntry& entry, size_t count) const {
    if (!entry.enabled) return {};
    return NextStarts(entry, m_clock(), count);
}

std::map<std::string, ScheduleResult> CScheduleBook::LastResults() const { return LastScheduleResults(m_files.log); }

Result<void> CScheduleBook::Check(const ScheduleEntry& entry, const std::string& replacing) const {
    std::vector<ScheduleEntry> others;
    for (const ScheduleEntry& other : m_entries)
        if (other.name != replacing) others.push_back(other);
    return CheckEntry(entry, others, m_presetExists, m_clock());
}

std::vector<std::string> CScheduleBook::Overlapping(const ScheduleEntry& entry, const std::string& replacing) const {
    std::vector<std::string> names;
    if (!entry.enabled || entry.durationSeconds <= 0) return names;
    // From a week before now (a run may still be going) to two weeks past the latest one-time
    // start: every weekly pattern meets every other in any two weeks.
    const std::time_t now = m_clock();
    const std::time_t from = now - 8 * kDay;
    std::time_t until = now;
    const auto reach = [&](const ScheduleEntry& one) {
        if (one.repeat == ScheduleRepeat::Once)
            for (std::time_t start : NextStarts(one, from, 1)) until = std::max(until, start);
    };
    reach(entry);
    for (const ScheduleEntry& other : m_entries)
        if (other.enabled) reach(other);
    until += 15 * kDay;
    const std::vector<Span> mine = RunsBetween(entry, from, until);
    for (const ScheduleEntry& other : m_entries) {
        if (other.name == replacing || other.name == entry.name || !other.enabled) continue;
        const std::vector<Span> theirs = RunsBetween(other, from, until);
        const bool meet = std::any_of(mine.begin(), mine.end(), [&](const Span& a) {
            return std::any_of(theirs.begin(), theirs.end(), [&](const Span& b) { return a.start < b.end && b.start < a.end; });
        });
        if (meet) names.push_back(other.name);
    }
    return names;
}

UserText CScheduleBook::OverlapWarning(const std::vector<std::string>& names) const {
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
    if (m_units)
        return UserText("ScheduleBook", "このスケジュールは「%1」と録音する時間が重なります。重なる間は二つの録音が同時に動きます。").Arg(list);
    return UserText("ScheduleBook",
                    "このスケジュールは「%1」と録音する時間が重なります。このウィンドウは一度に一つしか録音しないため、"
                    "後から始まるスケジュールは録音されません。")
        .Arg(list);
}

Result<void> CScheduleBook::Commit(std::vector<ScheduleEntry> entries) {
    if (m_unreadable) return *m_unreadable;
    if (m_units)
        if (Result<void> units = m_units->CheckUnits(entries); !units) return units;
    if (Result<void> saved = SaveSchedule(entries, m_files.schedule); !saved) return saved;
    if (m_units) {
        if (Result<void> applied = m_units->Apply(entries); !applied) {
            // The old schedule stands again, in the file and in the timers.
            (void)SaveSchedule(m_entries, m_files.schedule);
            (void)m_units->Apply(m_entries);
            return applied;
        }
    }
    m_entries = std::move(entries);
    return {};
}

Result<void> CScheduleBook::Put(const ScheduleEntry& entry, const std::string& replacing) {
    if (Result<void> checked = Check(entry, replacing); !checked) return checked;
    std::vector<ScheduleEntry> entries = m_entries;
    const auto old = std::find_if(entries.begin(), entries.end(),
                                  [&](const ScheduleEntry& e) { return !replacing.empty() && e.name == replacing; });
    if (old != entries.end()) *old = entry;
    else entries.push_back(entry);
    return Commit(std::move(entries));
}

Result<void> CScheduleBook::Remove(const std::string& name) {
    std::vector<ScheduleEntry> entries = m_entries;
    std::erase_if(entries, [&](const ScheduleEntry& e) { return e.name == name; });
    return Commit(std::move(entries));
}

Result<void> CScheduleBook::SetEnabled(const std::string& name, bool enabled) {
    const ScheduleEntry* found = FindEntry(m_entries, name);
    if (!found) return {};
    ScheduleEntry entry = *found;
    entry.enabled = enabled;
    return Put(entry, name);
}

std::optional<CScheduleBook::WindowRun> CScheduleBook::NextWindowRun(std::time_t after) const {
    std::optional<WindowRun> next;
    for (const ScheduleEntry& entry : m_entries) {
        if (!entry.enabled) continue;
        const std::vector<std::time_t> starts = NextStarts(entry, after, 1);
        if (!starts.empty() && (!next || starts.front() < next->start)) next = WindowRun{entry, starts.front()};
    }
    return next;
}

RecordingSchedule CScheduleBook::ScheduleOf(const WindowRun& run) {
    RecordingSchedule schedule;
    schedule.startMode = 1;
    schedule.startTime = run.start;
    schedule.endMode = 1;
    schedule.durationSeconds = run.entry.durationSeconds;
    schedule.endActionArmed = run.entry.endAction != EndAction::None;
    schedule.endAction = run.entry.endAction;
    return schedule;
}

Result<void> CScheduleBook::RecordResult(const std::string& name, ScheduleOutcome outcome, const std::string& detail) const {
    ScheduleResult result;
    result.outcome = outcome;
    result.time = m_clock();
    result.detail = detail;
    return AppendScheduleResult(name, result, m_files.log);
}
