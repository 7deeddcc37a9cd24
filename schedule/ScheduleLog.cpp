// The schedule's log: "<seconds since 1970> <local time>\t<outcome>\t<entry>\t<detail>" per line.
#include "schedule/ScheduleLog.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <unistd.h>

#include "foundation/PathUtils.h"
#include "schedule/TextFile.h"

namespace {

constexpr const char* kOutcomeWords[] = {"started", "recorded", "failed", "missed"};  // untranslated: stored words

std::string OneField(std::string text) {
    std::replace_if(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    return text;
}

}  // namespace

Result<void> AppendScheduleResult(const std::string& entryName, const ScheduleResult& result, const std::string& path) {
    std::tm local{};
    localtime_r(&result.time, &local);
    char when[64];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S %z", &local);
    const std::string line = std::to_string(static_cast<long long>(result.time)) + " " + when + "\t" +
                             kOutcomeWords[static_cast<int>(result.outcome)] + "\t" + OneField(entryName) + "\t" +
                             OneField(result.detail) + "\n";
    auto failure = [&](int error) {
        return SystemFailure(error, UserText("ScheduleLog", "スケジュールの記録 %1 に書けません: %2").Arg(path).ArgError(error));
    };
    if (!EnsureFolder(CCharString(std::filesystem::path(path).parent_path().string()))) return failure(errno);
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return failure(errno);
    // One write on an O_APPEND descriptor: lines of runs ending together do not mix.
    const ssize_t written = write(fd, line.data(), line.size());
    const int error = errno;
    close(fd);
    if (written != static_cast<ssize_t>(line.size())) return failure(written < 0 ? error : ENOSPC);
    return {};
}

std::map<std::string, ScheduleResult> LastScheduleResults(const std::string& path) {
    std::map<std::string, ScheduleResult> results;
    Result<std::optional<std::string>> text = ReadTextFile(path);
    if (!text || !*text) return results;
    std::istringstream lines(**text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string when, outcome, name, detail;
        if (!std::getline(fields, when, '\t') || !std::getline(fields, outcome, '\t') || !std::getline(fields, name, '\t'))
            continue;
        std::getline(fields, detail);
        const auto* word = std::find(std::begin(kOutcomeWords), std::end(kOutcomeWords), outcome);
        char* end = nullptr;
        const long long seconds = std::strtoll(when.c_str(), &end, 10);
        if (word == std::end(kOutcomeWords) || end == when.c_str()) continue;
        results[name] = ScheduleResult{static_cast<ScheduleOutcome>(word - std::begin(kOutcomeWords)),
                                       static_cast<std::time_t>(seconds), detail};
    }
    return results;
}

std::optional<ScheduleResult> LastScheduleResult(const std::string& entryName, const std::string& path) {
    const std::map<std::string, ScheduleResult> results = LastScheduleResults(path);
    const auto found = results.find(OneField(entryName));
    if (found == results.end()) return std::nullopt;
    return found->second;
}

UserText OutcomeText(ScheduleOutcome outcome) {
    switch (outcome) {
    case ScheduleOutcome::Started: return UserText("ScheduleLog", "開始 (終わりの記録なし)");
    case ScheduleOutcome::Recorded: return UserText("ScheduleLog", "録音済み");
    case ScheduleOutcome::Failed: return UserText("ScheduleLog", "失敗");
    case ScheduleOutcome::Missed: return UserText("ScheduleLog", "逃した");
    }
    return {};
}
