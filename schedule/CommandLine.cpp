// Command-line schedule parsing.
#include "schedule/CommandLine.h"

#include <string>

#include "schedule/ScheduleEntry.h"

namespace {

constexpr int kMaxNumbers = 6;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Reads text against a pattern in which "#" is a decimal number (blanks and a sign allowed
// before it), a blank matches any run of blanks and every other character itself. Returns
// how many numbers were read before the first mismatch, like sscanf, but without its
// undefined behaviour on numbers too large for an int: those saturate.
int ScanNumbers(const std::string& text, const char* pattern, long long numbers[kMaxNumbers]) {
    size_t at = 0;
    int count = 0;
    for (const char* p = pattern; *p; ++p) {
        if (*p == ' ') {
            while (at < text.size() && IsBlank(text[at])) ++at;
        } else if (*p == '#') {
            while (at < text.size() && IsBlank(text[at])) ++at;
            bool negative = false;
            if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
            if (at >= text.size() || text[at] < '0' || text[at] > '9') return count;
            long long value = 0;
            for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
                value = value > 1000000000LL ? value : value * 10 + (text[at] - '0');
            numbers[count++] = negative ? -value : value;
        } else if (at < text.size() && text[at] == *p) {
            ++at;
        } else {
            return count;
        }
    }
    return count;
}

std::string UpperAscii(const CCharString& text) {
    std::string upper = text.str();
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool InRange(long long value, long long low, long long high) { return value >= low && value <= high; }

// The local time for these fields, or -1 when they name no real moment (a 13th month,
// 25 o'clock, February 30).
std::time_t LocalTime(long long year, long long month, long long day, long long hour, long long minute,
                      long long second) {
    if (!InRange(year, 1970, 9999) || !InRange(month, 1, 12) || !InRange(day, 1, 31) || !InRange(hour, 0, 23) ||
        !InRange(minute, 0, 59) || !InRange(second, 0, 59))
        return -1;
    std::tm fields{};
    fields.tm_year = static_cast<int>(year - 1900);
    fields.tm_mon = static_cast<int>(month - 1);
    fields.tm_mday = static_cast<int>(day);
    fields.tm_hour = static_cast<int>(hour);
    fields.tm_min = static_cast<int>(minute);
    fields.tm_sec = static_cast<int>(second);
    fields.tm_isdst = -1;
    const std::time_t time = std::mktime(&fields);
    if (time == -1 || fields.tm_mday != day || fields.tm_mon != month - 1) return -1;
    return time;
}

std::tm LocalFields(std::time_t time) {
    std::tm fields{};
    localtime_r(&time, &fields);
    return fields;
}

// Each parser returns whether the value took effect.
bool ParseStart(const std::string& value, std::time_t now, CommandLineOptions& options) {
    if (value == "NOW") {
        options.scheduleArmed = true;
        options.schedule.startMode = 0;
        return true;
    }
    struct Form {
        const char* pattern;
        int count;
        bool hasDate;
    };
    static constexpr Form kForms[] = {
        {"YMDHMS=#/#/# #:#:#", 6, true},
        {"YMDHM=#/#/# #:#", 5, true},
        {"HMS=#:#:#", 3, false},
        {"HM=#:#", 2, false},
    };
    long long n[kMaxNumbers] = {};
    int count = 0;
    const Form* form = nullptr;
    for (const Form& f : kForms) {
        form = &f;
        count = ScanNumbers(value, f.pattern, n);
        if (count == f.count) break;
    }
    if (count < 2) return false;
    std::time_t start;
    if (form->hasDate) {
        const long long year = n[0] < 100 ? n[0] + 2000 : n[0];
        start = LocalTime(year, n[1], n[2], n[3], n[4], count > 5 ? n[5] : 0);
    } else {
        const std::tm current = LocalFields(now);
        const long long hour = n[0];
        // Late in the evening, an early-morning time means the coming night.
        const std::tm day = hour < 6 && current.tm_hour >= 20 ? LocalFields(now + 4 * 3600) : current;
        start = LocalTime(day.tm_year + 1900LL, day.tm_mon + 1LL, day.tm_mday, hour, n[1], count > 2 ? n[2] : 0);
    }
    if (start == -1) return false;
    options.scheduleArmed = true;
    options.schedule.startMode = 1;
    options.schedule.startTime = start;
    return true;
}

bool ParseDuration(const std::string& value, CommandLineOptions& options) {
    if (value.size() < 2) return false;
    long long n[kMaxNumbers] = {};
    long long seconds;
    if (ScanNumbers(value, "HMS=#:#:#", n) == 3)
        seconds = n[0] * 3600 + n[1] * 60 + n[2];
    else if (ScanNumbers(value, "MS=#:#", n) == 2)
        seconds = n[0] * 60 + n[1];
    else
        return false;
    // A duration that is already over would stop the recording at its first buffer.
    if (seconds <= 0) return false;
    options.scheduleArmed = true;
    options.schedule.endMode = 1;
    options.schedule.durationSeconds = seconds;
    return true;
}

bool ParseEndAction(const std::string& value, CommandLineOptions& options) {
    // "none" is a schedule entry's word; /E always names an action.
    const std::optional<EndAction> action = EndActionOfWord(value);
    if (!action || *action == EndAction::None) return false;
    options.scheduleArmed = true;
    options.schedule.endActionArmed = true;
    options.schedule.endAction = *action;
    return true;
}

// "/S", "/t" …: a slash and one letter. Anything longer (an absolute path, "/", "/10") is a word
// of its own, never read as the option its second character happens to name.
bool IsOptionWord(const CCharString& token) {
    const char letter = static_cast<char>(token.GetLength() == 2 && token.ByteAt(0) == '/' ? token.ByteAt(1) : 0);
    return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

}  // namespace

CommandLineOptions ParseCommandLine(const std::vector<CCharString>& tokens, std::time_t now) {
    CommandLineOptions options;
    char option = 0;
    bool optionHasValue = true;
    for (const CCharString& token : tokens) {
        if (IsOptionWord(token)) {
            if (!optionHasValue) options.ignored.push_back({option, CCharString()});
            option = UpperAscii(token).at(1);
            optionHasValue = false;
            continue;
        }
        optionHasValue = true;
        bool applied = false;
        switch (option) {
        case 'S': applied = ParseStart(UpperAscii(token), now, options); break;
        case 'T': applied = ParseDuration(UpperAscii(token), options); break;
        case 'E': applied = ParseEndAction(UpperAscii(token), options); break;
        case 'P': options.presetName = token; applied = true; break;
        default: break;
        }
        if (!applied) options.ignored.push_back({option, token});
    }
    if (!optionHasValue) options.ignored.push_back({option, CCharString()});
    return options;
}

UserText IgnoredWordGiven(const IgnoredWord& word) {
    // Appended piece by piece: GCC 12 takes "literal" + std::string&& for an overlapping copy.
    std::string option;
    if (word.option) option.append(1, '/').append(1, word.option);
    if (word.value.IsEmpty() && word.option) return UserText("CommandLine", "%1 (値がありません)").Arg(option);
    std::string given = option;
    if (!given.empty()) given.append(1, ' ');
    given.append(1, '"').append(word.value.str()).append(1, '"');
    return UserText::Verbatim(given);
}

UserText IgnoredWordExpected(const IgnoredWord& word) {
    switch (word.option) {
    case 'S': return UserText::Verbatim("NOW, HM=21:00, HMS=21:00:30, \"YMDHM=2026/12/24 21:00\"");  // untranslated: the forms typed
    case 'T': return UserText("CommandLine", "正の MS=90:00 または HMS=1:30:00");
    case 'E': return UserText("CommandLine", "exit、suspend、hibernate、shutdown のいずれか");
    case 'P': return UserText("CommandLine", "プリセット名");
    default: return UserText("CommandLine", "/S、/T、/E、/P とそれぞれの値");
    }
}

UserText IgnoredWordWarning(const IgnoredWord& word) {
    return UserText("CommandLine", "%1 は無視します (%2 を指定してください)")
        .Arg(IgnoredWordGiven(word))
        .Arg(IgnoredWordExpected(word));
}
