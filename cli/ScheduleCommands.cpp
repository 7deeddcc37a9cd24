// The schedule's commands of velsona-rec.
#include "cli/ScheduleCommands.h"

#include <algorithm>

#include <ctime>
#include <memory>

#include "app/language/Catalogue.h"
#include "app/settings/SchedulePaths.h"
#include "app/settings/SettingsStore.h"
#include "cli/HeadlessRecorder.h"
#include "schedule/CommandLine.h"
#include "schedule/RecordingSchedule.h"
#include "schedule/ScheduleLog.h"
#include "schedule/ScheduleStore.h"
#include "schedule/ScheduleUnits.h"

namespace {

std::string LocalClockText(std::time_t time) {
    std::tm fields{};
    localtime_r(&time, &fields);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %Z", &fields);
    return text;
}

UserText EndActionText(EndAction action) {
    return action == EndAction::None ? UserText("ScheduleCommands", "なし") : EndActionName(action);
}

void List(const std::vector<ScheduleEntry>& entries, CProgressDisplay& display) {
    if (entries.empty()) {
        display.Print(UserText("ScheduleCommands", "スケジュールはありません。"));
        return;
    }
    const std::map<std::string, ScheduleResult> results = LastScheduleResults(ScheduleLogPath());
    const std::time_t now = std::time(nullptr);
    for (const ScheduleEntry& entry : entries) {
        display.Print(UserText("ScheduleCommands", "%1 (%2)")
                          .Arg(entry.name)
                          .Arg(entry.enabled ? UserText("ScheduleCommands", "有効") : UserText("ScheduleCommands", "無効")));
        display.Print(UserText("ScheduleCommands", "  開始: %1 (%2)、録音時間: %3、プリセット: %4、終了時の動作: %5")
                          .Arg(DescribeWhen(entry))
                          .Arg(WhenText(entry))
                          .Arg(FormatDuration(entry.durationSeconds))
                          .Arg(PresetDisplayName(CCharString(entry.preset)))
                          .Arg(EndActionText(entry.endAction)));
        if (entry.enabled) {
            const std::vector<std::time_t> starts = NextStarts(entry, now, 5);
            if (starts.empty()) display.Print(UserText("ScheduleCommands", "  次の開始: なし"));
            for (std::time_t start : starts)
                display.Print(UserText("ScheduleCommands", "  次の開始: %1").Arg(LocalClockText(start)));
        }
        if (const auto found = results.find(entry.name); found != results.end()) {
            const ScheduleResult& result = found->second;
            UserText line = UserText("ScheduleCommands", "  前回: %1 (%2)").Arg(OutcomeText(result.outcome)).Arg(LocalClockText(result.time));
            if (!result.detail.empty()) line = UserText("ScheduleCommands", "%1: %2").Arg(std::move(line)).Arg(result.detail);
            display.Print(line);
        }
    }
}

// The entry --schedule-add describes, or why it is not one.
Result<ScheduleEntry> EntryToAdd(const RecorderOptions& options) {
    auto bad = [](UserText text) { return KindFailure(FailureKind::kBadValue, std::move(text)); };
    const CommandLineOptions words = ParseCommandLine(options.scheduleWords, std::time(nullptr));
    ScheduleEntry entry;
    entry.name = options.scheduleName;
    entry.preset = words.presetName.IsEmpty() ? kDefaultPresetName : PresetNameOf(words.presetName).str();
    if (!options.scheduleWhen)
        return bad(UserText("ScheduleCommands", "--schedule-add には --when が必要です (--help を参照)"));
    if (Result<void> when = ParseWhen(*options.scheduleWhen, entry); !when) return std::move(when).error();
    for (const IgnoredWord& ignored : words.ignored) {
        if (ignored.option == 'T') return bad(UserText("ScheduleCommands", "--duration の値は MS=60:00 または HMS=1:00:00 の形で、1 秒から 7 日までです"));
        if (ignored.option == 'E') return bad(UserText("ScheduleCommands", "--end-action は exit、suspend、hibernate、shutdown のいずれかです"));
        return bad(UserText("ScheduleCommands", "「%1」は --schedule-add には使えません").Arg(ignored.value.str()));
    }
    // Keeping recordings is the entry's own: one preset may serve a logger and a one-off.
    const bool keepsOnly = std::all_of(options.overridden.begin(), options.overridden.end(), [](const SettingField* field) {
        return field->member == SettingField::Member(&RecordingSettings::keepDays) ||
               field->member == SettingField::Member(&RecordingSettings::keepFreeMb);
    });
    if (words.schedule.startMode != 0 || !keepsOnly || options.capture)
        return bad(UserText("ScheduleCommands", "--schedule-add が取るのは --when、--preset、--duration、--end-action、--keep-days、--keep-free だけです。録音の設定はプリセットに保存してください"));
    if (options.Overrides(&RecordingSettings::keepDays)) entry.keepDays = options.values.keepDays;
    if (options.Overrides(&RecordingSettings::keepFreeMb)) entry.keepFreeMb = options.values.keepFreeMb;
    if (!words.schedule.StopsAfterDuration())
        return bad(UserText("ScheduleCommands", "--schedule-add には --duration が必要です (例: --duration MS=60:00)"));
    entry.durationSeconds = words.schedule.durationSeconds;
    if (words.schedule.endActionArmed) entry.endAction = words.schedule.endAction;
    return entry;
}

}  // namespace

std::function<bool(const std::string&)> StoredPresetTest() {
    auto store = std::make_shared<CSettingsStore>();
    return [store](const std::string& name) {
        return name == kDefaultPresetName || store->PresetExists(CCharString(name));
    };
}

int RunScheduleCommand(const RecorderOptions& options, CProgressDisplay& display) {
    Result<std::vector<ScheduleEntry>> loaded = LoadSchedule(ScheduleFilePath());
    if (!loaded) {
        display.Error(loaded.error().message);
        return kExitFailed;
    }
    std::vector<ScheduleEntry> entries = *std::move(loaded);
    if (options.scheduleCommand == ScheduleCommand::List) {
        List(entries, display);
        return kExitOk;
    }

    const std::time_t now = std::time(nullptr);
    std::vector<ScheduleEntry> changed = entries;
    auto found = std::find_if(changed.begin(), changed.end(), [&](const ScheduleEntry& entry) { return entry.name == options.scheduleName; });
    if (options.scheduleCommand != ScheduleCommand::Add && found == changed.end()) {
        display.Error(UserText("ScheduleCommands", "スケジュール「%1」はありません (--schedule-list を参照)").Arg(options.scheduleName));
        return kExitUsage;
    }
    UserText done;
    switch (options.scheduleCommand) {
    case ScheduleCommand::Add: {
        Result<ScheduleEntry> entry = EntryToAdd(options);
        Result<void> checked = entry ? CheckEntry(*entry, entries, StoredPresetTest(), now) : Result<void>(entry.error());
        if (!checked) {
            display.Error(checked.error().message);
            return kExitUsage;
        }
        changed.push_back(*entry);
        done = UserText("ScheduleCommands", "スケジュール「%1」を加えました。").Arg(entry->name);
        break;
    }
    case ScheduleCommand::Remove:
        changed.erase(found);
        done = UserText("ScheduleCommands", "スケジュール「%1」を消しました。").Arg(options.scheduleName);
        break;
    case ScheduleCommand::Enable: {
        found->enabled = true;
        std::vector<ScheduleEntry> others = entries;
        others.erase(others.begin() + (found - changed.begin()));
        if (Result<void> checked = CheckEntry(*found, others, StoredPresetTest(), now); !checked) {
            display.Error(checked.error().message);
            return kExitUsage;
        }
        done = UserText("ScheduleCommands", "スケジュール「%1」を有効にしました。").Arg(options.scheduleName);
        break;
    }
    case ScheduleCommand::Disable:
        found->enabled = false;
        done = UserText("ScheduleCommands", "スケジュール「%1」を無効にしました。").Arg(options.scheduleName);
        break;
    default: return kExitUsage;
    }

    const CScheduleUnits units(UserUnitFolder(), RecorderProgramPath());
    const bool manager = CScheduleUnits::UserManagerAvailable();
    // A hand-edited unit is the user's: nothing is changed until he has dealt with it.
    if (Result<void> checked = units.CheckUnits(changed); manager && !checked) {
        display.Error(checked.error().message);
        return kExitFailed;
    }
    if (Result<void> saved = SaveSchedule(changed, ScheduleFilePath()); !saved) {
        display.Error(saved.error().message);
        return kExitFailed;
    }
    if (!manager) {
        display.Print(done);
        display.Warn(UserText("ScheduleCommands", "systemd のユーザーマネージャーがありません。スケジュールは Velsona のウィンドウが開いている間だけ動きます"));
        return kExitOk;
    }
    if (Result<void> applied = units.Apply(changed); !applied) {
        display.Error(UserText("ScheduleCommands", "スケジュールは保存しましたが、systemd のタイマーを合わせられません: %1").Arg(applied.error().message));
        return kExitFailed;
    }
    display.Print(done);
    return kExitOk;
}
