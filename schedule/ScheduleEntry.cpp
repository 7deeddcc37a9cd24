// Schedule entries: their checks, the text of their start, their calendar and their starts.
#include "schedule/ScheduleEntry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <strings.h>

namespace {

constexpr const char* kDayWords[7] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};  // untranslated: stored words
constexpr const char* kCalendarDays[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};  // untranslated: systemd's words

UserText DayName(int day) {
    switch (day) {
    case 0: return UserText("ScheduleEntry", "月");
    case 1: return UserText("ScheduleEntry", "火");
    case 2: return UserText("ScheduleEntry", "水");
    case 3: return UserText("ScheduleEntry", "木");
    case 4: return UserText("ScheduleEntry", "金");
    case 5: return UserText("ScheduleEntry", "土");
    default: return UserText("ScheduleEntry", "日");
    }
}

constexpr struct {
    const char* word;
    EndAction action;
} kEndActionWords[] = {{"none", EndAction::None},
                       {"exit", EndAction::ExitApplication},
                       {"suspend", EndAction::Standby},
                       {"hibernate", EndAction::Hibernate},
                       {"shutdown", EndAction::PowerOff}};

bool ValidDate(int year, int month, int day) {
    if (year < 1970 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    timegm(&fields);
    return fields.tm_mday == day && fields.tm_mon == month - 1;
}

// Days since 1970-01-01 of a civil date, and back; the calendar walks days without the clock's jumps.
int64_t DayNumber(int year, int month, int day) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    return timegm(&fields) / 86400;
}
std::tm DateOfDay(int64_t dayNumber) {
    const std::time_t midnight = static_cast<std::time_t>(dayNumber * 86400);
    std::tm fields{};
    gmtime_r(&midnight, &fields);
    return fields;
}

// The local time of day on that date, or nullopt when the clock skips it (as systemd does).
std::optional<std::time_t> LocalTimeOn(const std::tm& date, int second) {
    std::tm fields{};
    fields.tm_year = date.tm_year;
    fields.tm_mon = date.tm_mon;
    fields.tm_mday = date.tm_mday;
    fields.tm_hour = second / 3600;
    fields.tm_min = second / 60 % 60;
    fields.tm_sec = second % 60;
    fields.tm_isdst = -1;
    std::tm normalised = fields;
    const std::time_t time = mktime(&normalised);
    if (time == -1 || normalised.tm_mday != fields.tm_mday || normalised.tm_hour != fields.tm_hour ||
        normalised.tm_min != fields.tm_min || normalised.tm_sec != fields.tm_sec)
        return std::nullopt;
    return time;
}

bool StartsOn(const ScheduleEntry& entry, const std::tm& date) {
    switch (entry.repeat) {
    case ScheduleRepeat::Once:
        return date.tm_year + 1900 == entry.year && date.tm_mon + 1 == entry.month && date.tm_mday == entry.day;
    case ScheduleRepeat::Daily: return true;
    case ScheduleRepeat::Weekly: return entry.weekdays & (1 << ((date.tm_wday + 6) % 7));
    }
    return false;
}

std::string TimeOfDay(int second, bool alwaysSeconds) {
    char text[16];
    if (second % 60 != 0 || alwaysSeconds)
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", second / 3600, second / 60 % 60, second % 60);
    else
        std::snprintf(text, sizeof text, "%02d:%02d", second / 3600, second / 60 % 60);
    return text;
}

bool ParseTimeOfDay(const std::string& text, int& second) {
    int hour = 0, minute = 0, sec = 0, used = 0;
    const int count = std::sscanf(text.c_str(), "%2d:%2d%n:%2d%n", &hour, &minute, &used, &sec, &used);
    if (count < 2 || static_cast<size_t>(used) != text.size() || hour > 23 || minute > 59 || sec > 59 || hour < 0 ||
        minute < 0 || sec < 0)
        return false;
    second = hour * 3600 + minute * 60 + sec;
    return true;
}

bool ParseDays(const std::string& text, uint8_t& days) {
    days = 0;
    std::stringstream words(text);
    for (std::string word; std::getline(words, word, ',');) {
        const auto* found = std::find_if(std::begin(kDayWords), std::end(kDayWords),
                                         [&](const char* day) { return strcasecmp(day, word.c_str()) == 0; });
        if (found == std::end(kDayWords)) return false;
        days |= 1 << (found - std::begin(kDayWords));
    }
    return days != 0;
}

}  // namespace

Result<void> CheckEntry(const ScheduleEntry& entry, const std::vector<ScheduleEntry>& others,
                        const std::function<bool(const std::string&)>& presetExists, std::time_t now) {
    auto bad = [](UserText text) { return KindFailure(FailureKind::kBadValue, std::move(text)); };
    if (entry.name.find_first_not_of(" \t") == std::string::npos) return bad(UserText("ScheduleEntry", "スケジュールに名前がありません"));
    if (entry.name.front() == ' ' || entry.name.back() == ' ')
        return bad(UserText("ScheduleEntry", "スケジュールの名前の前後に空白は使えません"));
    if (std::any_of(entry.name.begin(), entry.name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
        return bad(UserText("ScheduleEntry", "スケジュールの名前に制御文字は使えません"));
    for (const ScheduleEntry& other : others)
        if (other.name == entry.name || UnitNameOf(other.name) == UnitNameOf(entry.name))
            return bad(UserText("ScheduleEntry", "スケジュール「%1」はもうあります").Arg(other.name));
    if (!presetExists(entry.preset))
        return bad(UserText("ScheduleEntry", "プリセット「%1」はありません").Arg(entry.preset));
    if (entry.durationSeconds <= 0 || entry.durationSeconds > kLongestScheduledDuration)
        return bad(UserText("ScheduleEntry", "録音時間は 1 秒から 7 日までです"));
    if (entry.startSecond < 0 || entry.startSecond >= 86400) return bad(UserText("ScheduleEntry", "開始時刻が不正です"));
    if (!EndActionWord(entry.endAction)) return bad(UserText("ScheduleEntry", "終了時の動作が不正です"));
    switch (entry.repeat) {
    case ScheduleRepeat::Weekly:
        if ((entry.weekdays & 0x7f) == 0) return bad(UserText("ScheduleEntry", "毎週のスケジュールには曜日が必要です"));
        break;
    case ScheduleRepeat::Once: {
        if (!ValidDate(entry.year, entry.month, entry.day)) return bad(UserText("ScheduleEntry", "開始日が不正です"));
        const std::vector<std::time_t> start = NextStarts(entry, now, 1);
        if (entry.enabled && start.empty())
            return bad(UserText("ScheduleEntry", "開始日時 %1 はもう過ぎています").Arg(WhenText(entry).substr(5)));
        break;
    }
    case ScheduleRepeat::Daily: break;
    }
    return {};
}

std::string WhenText(const ScheduleEntry& entry) {
    switch (entry.repeat) {
    case ScheduleRepeat::Once: {
        char date[32];
        std::snprintf(date, sizeof date, "once %04d-%02d-%02d ", entry.year, entry.month, entry.day);
        return date + TimeOfDay(entry.startSecond, false);
    }
    case ScheduleRepeat::Daily: return "daily " + TimeOfDay(entry.startSecond, false);
    case ScheduleRepeat::Weekly: break;
    }
    std::string days;
    for (int day = 0; day < 7; ++day)
        if (entry.weekdays & (1 << day)) {
            if (!days.empty()) days += ',';
            days += kDayWords[day];
        }
    return "weekly " + days + " " + TimeOfDay(entry.startSecond, false);
}

Result<void> ParseWhen(const std::string& text, ScheduleEntry& entry) {
    std::stringstream words(text);
    std::string kind, first, second, rest;
    words >> kind >> first >> second >> rest;
    ScheduleEntry parsed = entry;
    bool good = rest.empty();
    if (strcasecmp(kind.c_str(), "once") == 0) {
        parsed.repeat = ScheduleRepeat::Once;
        int used = 0;
        good = good && std::sscanf(first.c_str(), "%4d-%2d-%2d%n", &parsed.year, &parsed.month, &parsed.day, &used) == 3 &&
               static_cast<size_t>(used) == first.size() && ValidDate(parsed.year, parsed.month, parsed.day) &&
               ParseTimeOfDay(second, parsed.startSecond);
    } else if (strcasecmp(kind.c_str(), "daily") == 0) {
        parsed.repeat = ScheduleRepeat::Daily;
        good = good && second.empty() && ParseTimeOfDay(first, parsed.startSecond);
    } else if (strcasecmp(kind.c_str(), "weekly") == 0) {
        parsed.repeat = ScheduleRepeat::Weekly;
        good = good && ParseDays(first, parsed.weekdays) && ParseTimeOfDay(second, parsed.startSecond);
    } else {
        good = false;
    }
    if (!good)
        return KindFailure(FailureKind::kBadValue,
                           UserText("ScheduleEntry", "「%1」は開始の指定ではありません (%2)")
                               .Arg(text)
                               .Arg("once 2026-12-24 21:00, daily 6:30, weekly sun,tue 21:00"));  // untranslated: the forms typed
    entry = parsed;
    return {};
}

UserText DescribeWhen(const ScheduleEntry& entry) {
    const std::string time = TimeOfDay(entry.startSecond, false);
    switch (entry.repeat) {
    case ScheduleRepeat::Once: {
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", entry.year, entry.month, entry.day);
        return UserText("ScheduleEntry", "1 回 %1 %2").Arg(date).Arg(time);
    }
    case ScheduleRepeat::Daily: return UserText("ScheduleEntry", "毎日 %1").Arg(time);
    case ScheduleRepeat::Weekly: break;
    }
    UserText days;
    for (int day = 0; day < 7; ++day) {
        if (!(entry.weekdays & (1 << day))) continue;
        days = days.empty() ? DayName(day) : UserText("ScheduleEntry", "%1・%2").Arg(std::move(days)).Arg(DayName(day));
    }
    return UserText("ScheduleEntry", "毎週 %1 %2").Arg(std::move(days)).Arg(time);
}

const char* EndActionWord(EndAction action) {
    for (const auto& entry : kEndActionWords)
        if (entry.action == action) return entry.word;
    return nullptr;
}

std::optional<EndAction> EndActionOfWord(const std::string& word) {
    for (const auto& entry : kEndActionWords)
        if (strcasecmp(entry.word, word.c_str()) == 0) return entry.action;
    return std::nullopt;
}

std::string CalendarExpression(const ScheduleEntry& entry) {
    const std::string time = TimeOfDay(entry.startSecond, true);
    switch (entry.repeat) {
    case ScheduleRepeat::Once: {
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", entry.year, entry.month, entry.day);
        return std::string(date) + " " + time;
    }
    case ScheduleRepeat::Daily: return "*-*-* " + time;
    case ScheduleRepeat::Weekly: break;
    }
    std::string days;
    for (int day = 0; day < 7; ++day)
        if (entry.weekdays & (1 << day)) {
            if (!days.empty()) days += ',';
            days += kCalendarDays[day];
        }
    return days + " *-*-* " + time;
}

std::vector<std::time_t> NextStarts(const ScheduleEntry& entry, std::time_t after, size_t count) {
    std::vector<std::time_t> starts;
    if (entry.repeat == ScheduleRepeat::Weekly && (entry.weekdays & 0x7f) == 0) return starts;
    std::tm today{};
    localtime_r(&after, &today);
    int64_t day = DayNumber(today.tm_year + 1900, today.tm_mon + 1, today.tm_mday);
    if (entry.repeat == ScheduleRepeat::Once) {
        if (!ValidDate(entry.year, entry.month, entry.day)) return starts;
        day = std::max(day, DayNumber(entry.year, entry.month, entry.day));
    }
    // A week and a day past the wanted count covers any weekday pattern; a once entry looks at one day.
    const int64_t lastDay = entry.repeat == ScheduleRepeat::Once ? day : day + 8 * static_cast<int64_t>(count) + 8;
    for (; starts.size() < count && day <= lastDay; ++day) {
        const std::tm date = DateOfDay(day);
        if (!StartsOn(entry, date)) continue;
        if (const std::optional<std::time_t> start = LocalTimeOn(date, entry.startSecond); start && *start > after)
            starts.push_back(*start);
    }
    return starts;
}

std::optional<PlannedRun> LatestRun(const ScheduleEntry& entry, std::time_t now) {
    if (entry.repeat == ScheduleRepeat::Once) {
        if (!ValidDate(entry.year, entry.month, entry.day)) return std::nullopt;
        std::tm date{};
        date.tm_year = entry.year - 1900;
        date.tm_mon = entry.month - 1;
        date.tm_mday = entry.day;
        const std::optional<std::time_t> start = LocalTimeOn(date, entry.startSecond);
        if (!start || *start > now) return std::nullopt;
        return PlannedRun{*start, *start + entry.durationSeconds};
    }
    // Starts come at least once a week; looking back a little more than that finds the latest.
    const std::vector<std::time_t> starts = NextStarts(entry, now - 9 * 24 * 3600, 64);
    std::optional<PlannedRun> run;
    for (std::time_t start : starts) {
        if (start > now) break;
        run = PlannedRun{start, start + entry.durationSeconds};
    }
    return run;
}

std::string UnitNameOf(const std::string& entryName) {
    uint32_t hash = 2166136261u;  // FNV-1a
    for (unsigned char c : entryName) hash = (hash ^ c) * 16777619u;
    std::string slug;
    for (unsigned char c : entryName) {
        if (slug.size() >= 24) break;
        if (std::isalnum(c) && c < 0x80)
            slug += static_cast<char>(std::tolower(c));
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
    }
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x", hash);
    return "velsona-schedule-" + slug + (slug.empty() || slug.back() == '-' ? "" : "-") + suffix;
}

const ScheduleEntry* FindEntry(const std::vector<ScheduleEntry>& entries, const std::string& name) {
    for (const ScheduleEntry& entry : entries)
        if (entry.name == name) return &entry;
    return nullptr;
}
