// The schedule's file: a block per entry, "[name]" then "key = value" lines.
#include "schedule/ScheduleStore.h"

#include <cstdlib>
#include <sstream>

#include "schedule/TextFile.h"

namespace {

constexpr const char* kHeader =  // untranslated: the file's own comment, for whoever opens it
    "# Velsona's recording schedule: one block per entry. Kept by the window's schedule dialog\n"
    "# and velsona-rec --schedule-*, which also make the systemd user timers from it.\n";

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

Failure FileProblem(const std::string& path, size_t line, UserText what) {
    return KindFailure(FailureKind::kBadData, UserText("ScheduleStore", "スケジュールのファイル %1 の %2 行目: %3")
                                                  .Arg(path)
                                                  .Arg(static_cast<long long>(line))
                                                  .Arg(std::move(what)));
}

// Text a person wrote: UTF-8 without NULs (a binary file, or another encoding, is not a schedule).
bool IsUtf8Text(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead == 0 ? 0 : lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return false;
        i += length;
    }
    return true;
}

bool ParseSeconds(const std::string& text, int64_t& seconds) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 12) return false;
    seconds = std::strtoll(text.c_str(), nullptr, 10);
    return true;
}

// One entry's block as read so far.
struct Block {
    ScheduleEntry entry;
    size_t line = 0;
    bool preset = false, when = false, duration = false;
};

Result<void> CheckBlock(const Block& block, const std::string& path) {
    const char* missing = !block.preset ? "preset" : !block.when ? "when" : !block.duration ? "duration" : nullptr;  // untranslated: keys
    if (missing)
        return FileProblem(path, block.line,
                           UserText("ScheduleStore", "「%1」に %2 がありません").Arg(block.entry.name).Arg(missing));
    return {};
}

Result<void> ReadValue(Block& block, const std::string& key, const std::string& value, const std::string& path, size_t line) {
    ScheduleEntry& entry = block.entry;
    if (key == "preset") {
        entry.preset = value;
        block.preset = true;
    } else if (key == "when") {
        if (Result<void> parsed = ParseWhen(value, entry); !parsed) return FileProblem(path, line, parsed.error().message);
        block.when = true;
    } else if (key == "duration") {
        if (!ParseSeconds(value, entry.durationSeconds) || entry.durationSeconds <= 0 ||
            entry.durationSeconds > kLongestScheduledDuration)
            return FileProblem(path, line, UserText("ScheduleStore", "録音時間 %1 は 1 から 604800 までの秒数ではありません").Arg(value));
        block.duration = true;
    } else if (key == "end-action") {
        const std::optional<EndAction> action = EndActionOfWord(value);
        if (!action) return FileProblem(path, line, UserText("ScheduleStore", "終了時の動作「%1」はありません").Arg(value));
        entry.endAction = *action;
    } else if (key == "enabled") {
        if (value != "yes" && value != "no")
            return FileProblem(path, line, UserText("ScheduleStore", "enabled は yes か no です"));
        entry.enabled = value == "yes";
    } else if (key == "keep-days" || key == "keep-free-mb") {
        int64_t number = 0;
        if (!ParseSeconds(value, number) || number > (key == "keep-days" ? 36500 : 1 << 30))
            return FileProblem(path, line, UserText("ScheduleStore", "%1 の値「%2」は正しくありません").Arg(key).Arg(value));
        (key == "keep-days" ? entry.keepDays : entry.keepFreeMb) = static_cast<int>(number);
    } else {
        return FileProblem(path, line, UserText("ScheduleStore", "「%1」は知らない項目です").Arg(key));
    }
    return {};
}

}  // namespace

Result<std::vector<ScheduleEntry>> LoadSchedule(const std::string& path) {
    Result<std::optional<std::string>> text = ReadTextFile(path);
    if (!text) return std::move(text).error();
    std::vector<ScheduleEntry> entries;
    if (!*text) return entries;
    if (!IsUtf8Text(**text))
        return KindFailure(FailureKind::kBadData, UserText("ScheduleStore", "%1 はスケジュールのファイルではありません").Arg(path));
    std::optional<Block> block;
    auto finishBlock = [&]() -> Result<void> {
        if (!block) return {};
        if (Result<void> complete = CheckBlock(*block, path); !complete) return complete;
        if (FindEntry(entries, block->entry.name))
            return FileProblem(path, block->line, UserText("ScheduleStore", "スケジュール「%1」が二つあります").Arg(block->entry.name));
        entries.push_back(block->entry);
        return {};
    };
    std::istringstream lines(**text);
    size_t number = 0;
    for (std::string raw; std::getline(lines, raw);) {
        ++number;
        const std::string line = Trimmed(raw);
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']' && line.size() > 2) {
            if (Result<void> finished = finishBlock(); !finished) return std::move(finished).error();
            block.emplace();
            block->entry.name = line.substr(1, line.size() - 2);
            block->line = number;
            continue;
        }
        const size_t equals = line.find('=');
        if (!block || equals == std::string::npos)
            return FileProblem(path, number, UserText("ScheduleStore", "「[名前]」か「項目 = 値」の行ではありません"));
        if (Result<void> read = ReadValue(*block, Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)), path, number);
            !read)
            return std::move(read).error();
    }
    if (Result<void> finished = finishBlock(); !finished) return std::move(finished).error();
    return entries;
}

Result<void> SaveSchedule(const std::vector<ScheduleEntry>& entries, const std::string& path) {
    std::ostringstream text;
    text << kHeader;
    for (const ScheduleEntry& entry : entries) {
        text << "\n[" << entry.name << "]\n"
             << "preset = " << entry.preset << "\n"
             << "when = " << WhenText(entry) << "\n"
             << "duration = " << entry.durationSeconds << "\n"
             << "end-action = " << EndActionWord(entry.endAction) << "\n"
             << "enabled = " << (entry.enabled ? "yes" : "no") << "\n";
        if (entry.keepDays >= 0) text << "keep-days = " << entry.keepDays << "\n";
        if (entry.keepFreeMb >= 0) text << "keep-free-mb = " << entry.keepFreeMb << "\n";
    }
    return WriteTextFileAtomically(path, text.str());
}
