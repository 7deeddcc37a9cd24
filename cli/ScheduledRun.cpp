// The scheduled run's beginning and its report.
#include "cli/ScheduledRun.h"

#include "app/control/ActivityLog.h"
#include "app/language/Catalogue.h"
#include "app/settings/SchedulePaths.h"
#include "schedule/DesktopNotice.h"
#include "schedule/ScheduleStore.h"

Result<ScheduledRun> FindScheduledRun(const std::string& entryName, std::time_t now) {
    Result<std::vector<ScheduleEntry>> entries = LoadSchedule(ScheduleFilePath());
    if (!entries) return std::move(entries).error();
    const ScheduleEntry* entry = FindEntry(*entries, entryName);
    if (!entry)
        return KindFailure(FailureKind::kMissing, UserText("ScheduledRun", "スケジュール「%1」はありません").Arg(entryName));
    const std::optional<PlannedRun> planned = LatestRun(*entry, now);
    if (!planned)
        return KindFailure(FailureKind::kBadValue,
                           UserText("ScheduledRun", "スケジュール「%1」の開始時刻はまだです").Arg(entryName));
    return ScheduledRun{*entry, *planned};
}

void ReportScheduledRun(const std::string& entryName, ScheduleOutcome outcome, const UserText& reason, CActivityLog* log,
                        const std::function<void(const UserText&)>& warn) {
    const std::string detail = reason.empty() ? std::string() : SaidUtf8(reason);
    if (Result<void> kept = AppendScheduleResult(entryName, {outcome, std::time(nullptr), detail}, ScheduleLogPath()); !kept)
        warn(kept.error().message);
    UserText line;
    switch (outcome) {
    case ScheduleOutcome::Recorded: line = UserText("ScheduledRun", "スケジュール「%1」の録音が終わりました").Arg(entryName); break;
    case ScheduleOutcome::Missed: line = UserText("ScheduledRun", "スケジュール「%1」の録音はできませんでした").Arg(entryName); break;
    default: line = UserText("ScheduledRun", "スケジュール「%1」の録音に失敗しました").Arg(entryName); break;
    }
    const UserText full = reason.empty() ? line : UserText("ScheduledRun", "%1: %2").Arg(line).Arg(reason);
    if (log) log->Write(outcome == ScheduleOutcome::Recorded ? LogSeverity::Information : LogSeverity::Error, full);
    if (outcome == ScheduleOutcome::Recorded) return;
    // Nobody watched this run: the desktop, when there is one, is told.
    if (Result<void> sent = SendDesktopNotice(SaidUtf8(line), detail); !sent)
        warn(UserText("ScheduledRun", "注意: %1").Arg(sent.error().message));
}
