// One run of the headless recorder.
#include "cli/HeadlessRecorder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

#include "app/control/ActivityLog.h"
#include "app/files/AudioFacts.h"
#include "app/control/CaptureChoice.h"
#include "app/files/FileNameTemplate.h"
#include "app/control/ModuleReport.h"
#include "app/language/Catalogue.h"
#include "app/settings/OutputFormats.h"
#include "app/control/RecordingCommands.h"
#include "app/control/RecordingControl.h"
#include "app/control/StartChecks.h"
#include "app/control/StopSignals.h"
#include "app/files/RecoveryReport.h"
#include "app/files/TrackRecovery.h"
#include "app/settings/SchedulePaths.h"
#include "cli/ScheduleCommands.h"
#include "platform/CaptureBackend.h"
#include "platform/Logind.h"
#include "platform/WaveFormats.h"
#include "schedule/RecordingSchedule.h"

#ifndef VELSONA_VERSION
#define VELSONA_VERSION "unknown"
#endif

namespace {

constexpr int kRefreshMs = 200;  // about five status refreshes a second

std::string Level(int tenths) {
    if (tenths <= -900) return "  -inf";  // untranslated: a number, minus infinity
    return CCharString::Formatted("%6.1f", tenths / 10.0).str();
}

// GCC 12 warns of an overlapping copy inside "text" + std::string&& once it is inlined at -O2:
// a known false positive (GCC bug 105329), silenced where it arises.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
// "44100/2/16 22050/1/8 …" for the formats a device accepts.
std::string DeviceFormats(uint32_t mask) {
    if ((mask & kAllWaveFormats) == kAllWaveFormats)
        return SaidUtf8(UserText("HeadlessRecorder", "任意のレート、モノラルまたはステレオ、8 または 16 ビット"));
    std::string text;
    for (const WaveFormatFlag& flag : kWaveFormatFlags)
        if (mask & flag.flag)
            text += (text.empty() ? "" : " ") + std::to_string(flag.sampleRate) + "/" + std::to_string(flag.channels) +
                    "/" + std::to_string(flag.bits);
    return text.empty() ? SaidUtf8(UserText("HeadlessRecorder", "使える形式がありません")) : text;
}
#pragma GCC diagnostic pop

// "2026-12-24 03:12:05", local time.
std::string ClockText(std::time_t time) {
    char text[32];
    std::tm fields{};
    localtime_r(&time, &fields);
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &fields);
    return text;
}

}  // namespace

CHeadlessRecorder::CHeadlessRecorder() : m_display(stdout) {}

CHeadlessRecorder::~CHeadlessRecorder() = default;

int CHeadlessRecorder::Run(const std::vector<std::string>& arguments) {
    const int status = Record(arguments);
    if (m_scheduled) ReportScheduledEnd(status);
    return status;
}

int CHeadlessRecorder::Refuse(const UserText& reason, int status) {
    m_display.Error(reason);
    if (m_failure.empty()) m_failure = reason;
    return status;
}

int CHeadlessRecorder::Record(const std::vector<std::string>& arguments) {
    UserText error;
    if (!ParseRecorderArguments(arguments, m_options, error)) {
        m_display.Error(error);
        return kExitUsage;
    }
    if (m_options.help) {
        std::fputs(SaidUtf8(RecorderUsage()).c_str(), stdout);
        return kExitOk;
    }
    if (m_options.version) {
        std::fputs(VersionText("velsona-rec", VELSONA_VERSION).c_str(), stdout);
        return kExitOk;
    }
    switch (m_options.scheduleCommand) {
    case ScheduleCommand::None: break;
    case ScheduleCommand::Run:
        if (const int refused = PrepareScheduledRun(); refused >= 0) return refused;
        break;
    default: return RunScheduleCommand(m_options, m_display);
    }
    // Recovery needs no capture device.
    if (!m_options.recover) {
        Result<std::unique_ptr<CCaptureBackend>> backend =
            m_options.capture ? CreateCaptureBackend(*m_options.capture) : CreateCaptureBackendFromEnvironment();
        if (!backend) {
            return Refuse(UserText("HeadlessRecorder", "音声入力の方式を使えません: %1").Arg(backend.error().message),
                          m_options.capture ? kExitUsage : kExitFailed);
        }
        m_backend = *std::move(backend);
        if (m_options.listDevices) return ListDevices() ? kExitOk : kExitFailed;
    }
    if (!m_scheduled) {
        m_commandLine = ParseCommandLine(m_options.scheduleWords, std::time(nullptr));
        if (!ReportIgnoredWords()) return kExitUsage;
    }
    m_presetName = m_commandLine.presetName.IsEmpty() ? CCharString(kDefaultPresetName) : m_commandLine.presetName;
    LoadReport report;
    m_store.LoadProfile(m_presetName, m_profile, &report);
    for (const UserText& problem : m_store.FileProblems()) m_display.Warn(problem);
    if (report.presetMissing && !m_options.createPreset) {
        return Refuse(UserText("HeadlessRecorder", "プリセット「%1」はありません (--create-preset を付けると既定値から作ります)")
                          .Arg(m_profile.presetName.str()),
                      kExitUsage);
    }
    for (const UserText& problem : report.problems) m_display.Warn(problem);
    // A preset made here keeps what this run used; the default preset keeps what it had.
    if (report.presetMissing) m_saveUnder = m_presetName;
    if (!ApplyRecorderOptions(m_options, m_profile.settings, error)) return Refuse(error, kExitUsage);
    RecordingSettings& settings = m_profile.settings;
    if (m_scheduled && m_scheduled->entry.keepDays >= 0) settings.keepDays = m_scheduled->entry.keepDays;
    if (m_scheduled && m_scheduled->entry.keepFreeMb >= 0) settings.keepFreeMb = m_scheduled->entry.keepFreeMb;
    if (settings.outputFolder.IsEmpty()) settings.outputFolder = DefaultOutputFolder();
    // What is printed, checked, recorded into and stored is the folder used.
    if (const UserText warning = OutputFolderWarning(settings.outputFolder); !warning.empty()) m_display.Warn(warning);
    settings.outputFolder = OutputFolderInUse(settings.outputFolder);
    if (const UserText warning = FileNameTemplateWarning(settings.fileNameTemplate); !warning.empty())
        m_display.Warn(warning);
    OpenLog();
    // Tracks a killed recorder left open are finished before anything new is recorded.
    RecoverLeftTracks(settings.outputFolder);
    if (m_options.recover) return kExitOk;
    // Nobody may be watching: a missing encoder changes the format, it never stops the run.
    if (const UserText fellBack = FallBackFromMissingEncoder(settings); !fellBack.empty()) {
        m_log->Write(LogSeverity::Warning, fellBack);
        if (!m_logToJournal) m_display.Warn(fellBack);
    }
    const StartReadiness readiness =
        CheckStart(*m_backend, settings, m_commandLine.scheduleArmed ? &m_commandLine.schedule : nullptr);
    if (!readiness.ready) return Refuse(readiness.ready.error().message, kExitFailed);
    const QualityEntry* row = QualityRow(settings.outputFormat, settings.qualityIndex);
    m_display.Print(UserText("HeadlessRecorder", "プリセット: %1、出力: %2、フォルダ: %3")
                        .Arg(PresetDisplayName(m_presetName))
                        .Arg(std::string(FormatName(settings.outputFormat)) + (row ? std::string(" ") + row->label : std::string()))
                        .Arg(settings.outputFolder.str()));
    m_display.Print(readiness.space ? readiness.space->summary : readiness.spaceNote);
    if (readiness.space && !readiness.space->warning.empty()) m_display.Error(readiness.space->warning);

    m_control =
        std::make_unique<CRecordingControl>(m_items, ReadAudioFileFacts, [this](const RecordingEvent& event) { m_events.Post(event); });
    m_control->settings = settings;
    m_control->backend = m_backend;
    m_control->log = m_log.get();
    m_commands = std::make_unique<CRecordingCommands>(*m_control, m_store, m_profile);
    PrepareSleepInhibitor();

    m_events.WatchStopSignals(InstallStopSignals(true));
    if (m_scheduled)
        m_log->Write(LogSeverity::Information,
                     UserText("HeadlessRecorder", "スケジュール「%1」が録音を始めます (予定 %2 から %3 まで、録音時間 %4)")
                         .Arg(m_scheduled->entry.name)
                         .Arg(ClockText(m_scheduled->planned.start))
                         .Arg(ClockText(m_scheduled->planned.end))
                         .Arg(FormatDuration(m_commandLine.schedule.durationSeconds)));
    bool started = Start();
    if (started && m_scheduled)
        if (Result<void> kept = AppendScheduleResult(m_scheduled->entry.name, {ScheduleOutcome::Started, std::time(nullptr), ""}, ScheduleLogPath());
            !kept)
            m_display.Warn(kept.error().message);
    const int status = started ? RecordUntilStop() : m_startStatus;
    Finish();
    return status == kExitOk && m_problem ? kExitFailed : status;
}

bool CHeadlessRecorder::ReportIgnoredWords() {
    bool badStart = false;
    for (const IgnoredWord& word : m_commandLine.ignored) {
        if (word.option == 'S') {
            // Starting at once is not what was asked for.
            badStart = true;
            m_display.Error(UserText("HeadlessRecorder", "%1 は開始時刻ではありません (%2)。録音を始めません")
                                .Arg(IgnoredWordGiven(word))
                                .Arg(IgnoredWordExpected(word)));
        } else {
            m_display.Warn(IgnoredWordWarning(word));
        }
    }
    return !badStart;
}

void CHeadlessRecorder::OpenLog() {
    m_log = OpenActivityLog("velsona-rec", [this](const UserText& problem) { m_display.Warn(problem); });
    m_logToJournal = StandardErrorIsJournal();
    if (!m_logToJournal) return;
    // sd-daemon(3)'s priority prefixes, so journalctl shows each entry's severity.
    m_log->echo = [](LogSeverity severity, const CCharString& text) {
        const int priority = severity == LogSeverity::Error ? 3 : severity == LogSeverity::Warning ? 4 : 6;
        std::fprintf(stderr, "<%d>%s\n", priority, text.c_str());
    };
}

bool CHeadlessRecorder::ListDevices() {
    std::printf("%s\n", SaidUtf8(UserText("HeadlessRecorder", "入力デバイス (%1):").Arg(m_backend->Name())).c_str());
    for (const CaptureDeviceInfo& device : m_backend->ListDevices())
        std::printf("%4d  %s  [%s]\n", device.id, device.name.c_str(), DeviceFormats(device.formats).c_str());
    return true;
}

void CHeadlessRecorder::RecoverLeftTracks(const CCharString& outputFolder) {
    for (const RecoveredTrack& track : ::RecoverLeftTracks(*m_log, outputFolder)) {
        if (RecoveredWhole(track))
            m_display.Print(RecoveryReport(track));
        else
            m_display.Error(RecoveryReport(track));
    }
}

void CHeadlessRecorder::PrepareSleepInhibitor() {
    m_logind = std::make_unique<CLogind>(CLogind::SystemBusAddress());
    m_inhibitor = std::make_unique<CSleepInhibitor>();
    // Asked once up front so that an unreachable logind is a note before the start, not a
    // surprise in the middle; the control takes the lock itself for each recording.
    const Result<void> probe =
        m_inhibitor->Acquire(*m_logind, SaidUtf8(UserText("HeadlessRecorder", "velsona-rec: 確認中")).c_str());
    if (!probe) {
        m_display.Print(UserText("HeadlessRecorder", "注意: スリープを止められません (%1)。録音中にマシンがサスペンドするかもしれません")
                            .Arg(probe.error().message));
        return;
    }
    m_inhibitor->Release();
    m_control->sleepInhibitor = m_inhibitor.get();
}

bool CHeadlessRecorder::Start() {
    Result<void> started;
    if (m_commandLine.scheduleArmed) {
        started = m_commands->StartBySchedule(m_commandLine.schedule);
        if (started && m_commands->IsCountingDown() && !WaitForStart()) {
            m_startStatus = kExitOk;
            return false;
        }
    } else {
        started = m_commands->StartCommand();
    }
    if (!started) {
        m_startStatus = Refuse(started.error().message, kExitFailed);
        return false;
    }
    return true;
}

bool CHeadlessRecorder::WaitForStart() {
    const std::string when = ClockText(m_control->schedule->startTime);
    m_display.Print(UserText("HeadlessRecorder", "%1 の録音開始を待っています (Ctrl+C で取り消します)").Arg(when));
    // Waiting is this service's intended state; a start timeout must not kill it before the start time.
    m_service.Ready(SaidUtf8(UserText("HeadlessRecorder", "%1 の録音開始を待っています").Arg(when)));
    for (;;) {
        m_service.Alive();
        if (m_events.Wait(CCountdown::kPeriodMs).stopRequested) {
            m_service.Stopping(SaidUtf8(UserText("HeadlessRecorder", "開始前に取り消しました")));
            m_commands->StopCommand();
            m_display.Print(UserText("HeadlessRecorder", "開始前に取り消しました。"));
            return false;
        }
        const CRecordingCommands::Tick tick = m_commands->OnCountdownTick();
        if (tick.start) {
            if (*tick.start) return true;
            m_startStatus = Refuse(tick.start->error().message, kExitFailed);
            return false;
        }
        m_display.ShowStatus(SaidUtf8(tick.title));
        if (m_service.StatusDue()) m_service.Status(SaidUtf8(tick.title));
    }
}

int CHeadlessRecorder::RecordUntilStop() {
    const UserText title = RecordingTitle(m_control->schedule ? &*m_control->schedule : nullptr);
    m_display.Print(UserText("HeadlessRecorder", "録音中: %1 (Ctrl+C で停止します)").Arg(title));
    m_service.Ready(SaidUtf8(UserText("HeadlessRecorder", "録音中: %1").Arg(title)));
    if (m_control->sleepInhibitor && !m_control->sleepInhibitor->IsHeld())
        m_display.Print(UserText("HeadlessRecorder", "注意: systemd-logind がスリープを止めるロックを認めませんでした"));
    while (m_control->IsRecording()) {
        const CEventQueue::Batch batch = m_events.Wait(kRefreshMs);
        if (batch.stopRequested && m_control->IsRecording()) {
            m_display.Print(UserText("HeadlessRecorder", "停止しています…"));
            m_service.Stopping(SaidUtf8(UserText("HeadlessRecorder", "停止しています")));
            m_commands->StopCommand();
        }
        for (const RecordingEvent& event : batch.events) HandleEvent(event);
        m_control->PollInput();
        PrintFinishedFiles();
        if (m_control->IsRecording()) ShowStatus();
    }
    // Stopping posts the last track's close and the stop itself on this thread.
    for (const RecordingEvent& event : m_events.Wait(0).events) HandleEvent(event);
    PrintFinishedFiles();
    const RecordingStatus status = m_control->Status();
    m_overruns = std::max(m_overruns, status.overruns);
    m_display.Print(UserText("HeadlessRecorder", "停止しました: トラック %1 個。").Arg(m_tracksDone));
    m_service.Stopping(SaidUtf8(UserText("HeadlessRecorder", "停止しました: トラック %1 個").Arg(m_tracksDone)));
    if (m_overruns > 0)
        m_display.Error(UserText("HeadlessRecorder", "取り込みの層で音声が %1 回欠けました (オーバーラン)").Arg(static_cast<long long>(m_overruns)));
    return kExitOk;
}

void CHeadlessRecorder::HandleEvent(const RecordingEvent& event) {
    // Asked before the control handles the event, which may stop the recording.
    const bool running = m_control->IsRunning(event);
    m_control->OnRecordingEvent(event);
    const EventReaction reaction = ReactionTo(event.code);
    if (reaction.runsEndAction) {
        if (running) m_endAction = m_control->TakeEndAction();
        m_display.Print(UserText("HeadlessRecorder", "録音時間に達しました。"));
    }
    if (reaction.lostAudio) {
        m_problem = true;
        TellProblem(event);
    }
    if (event.code == kRecordingCaptureEnded) m_display.Print(UserText("HeadlessRecorder", "入力が終わりました。"));
    if (reaction.endsRecording && running) m_control->StopRecording();
    if (event.code == kRecordingTrackClosed) {
        // Tracks are finished in the order they were opened, so the rows come finished in order.
        ++m_finishedRows;
    } else if (event.code == kRecordingInputWaiting) {
        m_waitingSince = ClockText(std::time(nullptr));
        m_lastAttempt.clear();
    } else if (event.code == kRecordingInputRetry) {
        // One a second: its reason shown in the status line, not printed line by line.
        m_lastAttempt = SaidUtf8(event.reason);
    } else if (event.code == kRecordingInputReturned) {
        // Under the journal the log's echo has told it.
        if (!m_logToJournal) m_display.Print(event.message);
    }
}

void CHeadlessRecorder::TellProblem(const RecordingEvent& event) {
    if (m_failure.empty()) m_failure = event.message;
    if (!m_logToJournal) m_display.Error(event.message);
}

void CHeadlessRecorder::ShowStatus() {
    const bool waitChanged = m_control->IsWaitingForInput() != m_statusWaiting;
    m_statusWaiting = m_control->IsWaitingForInput();
    if (m_statusWaiting) {
        const std::string waiting = SaidUtf8(UserText("HeadlessRecorder", "%1 から入力を待っています").Arg(m_waitingSince));
        m_display.ShowStatus("… " + waiting + (m_lastAttempt.empty() ? "" : "  " + m_lastAttempt), waitChanged);
        // Waiting on purpose: the watchdog must not take it for a hung capture.
        m_service.Alive();
        if (m_service.StatusDue()) m_service.Status(waiting);
        return;
    }
    const RecordingStatus status = m_control->Status();
    m_overruns = std::max(m_overruns, status.overruns);
    const std::string waitingForSound =
        m_control->IsWaitingForSound() ? SaidUtf8(UserText("HeadlessRecorder", "音を待っています")) + "  " : "";
    std::string line = std::string(m_control->IsPaused() ? "|| " : !waitingForSound.empty() ? "… " : "● ") +
                       waitingForSound + SaidUtf8(TrackPaneText(status)) + "  " +
                       SaidUtf8(TotalPaneText(status)) + "  L" + Level(status.leftLevel) + " R" +
                       Level(status.rightLevel) + " dB";
    if (status.overruns > 0)
        line += "  " + SaidUtf8(UserText("HeadlessRecorder", "オーバーラン %1").Arg(static_cast<long long>(status.overruns)));
    m_display.ShowStatus(line, waitChanged);
    m_service.BuffersArrived(status.buffers);
    if (m_service.StatusDue()) {
        // While waiting for sound no track is open.
        const CCharString track = waitingForSound.empty() ? m_items.CurrentFile() : CCharString();
        m_service.Status(waitingForSound + (track.IsEmpty() ? std::string() : track.str() + "  ") + SaidUtf8(TrackPaneText(status)) +
                         "  " + SaidUtf8(TotalPaneText(status)));
    }
}

void CHeadlessRecorder::PrintFinishedFiles() {
    const std::vector<RecordingItem> rows = m_items.Snapshot();
    // A row is printed once its track is finished: named, tagged and read back.
    for (; m_printedRows < rows.size() && m_printedRows < m_finishedRows; ++m_printedRows) {
        const RecordingItem& item = rows[m_printedRows];
        if (item.lengthMs < 0) {
            m_display.Print(UserText("HeadlessRecorder", "トラックのファイル: %1 (%2)").Arg(item.path.str()).Arg(ByteCountText(item.size)));
        } else {
            m_display.Print(UserText("HeadlessRecorder", "トラックのファイル: %1 (%2、%3)")
                                .Arg(item.path.str())
                                .Arg(ByteCountText(item.size))
                                .Arg(CCharString::Formatted("%lld:%02lld", static_cast<long long>(item.lengthMs / 60000),
                                                            static_cast<long long>(item.lengthMs / 1000 % 60))
                                         .str()));
        }
        ++m_tracksDone;
    }
}

void CHeadlessRecorder::Finish() {
    if (m_endAction != EndAction::None)
        m_display.Print(UserText("HeadlessRecorder", "終了時の動作: %1").Arg(EndActionName(m_endAction)));
    if (m_scheduled) {
        // A scheduled run leaves the presets as the window keeps them.
        if (Result<void> done = m_commands->RunEndAction(m_endAction, [] {}, *m_logind); !done) {
            m_problem = true;
            m_display.Error(done.error().message);
        }
        return;
    }
    // The program ends right after this anyway, so the close request has nothing left to do.
    const CRecordingCommands::Finish finish = m_commands->FinishRun(m_endAction, [] {}, *m_logind, m_saveUnder);
    if (!finish.saved) m_display.Error(finish.saved.error().message);
    if (!finish.endAction) {
        m_problem = true;
        m_display.Error(finish.endAction.error().message);
    }
}

int CHeadlessRecorder::PrepareScheduledRun() {
    if (!m_options.scheduleWords.empty())
        return Refuse(UserText("HeadlessRecorder", "--schedule-run はスケジュールの指定 (/S /T /E /P) を取りません"), kExitUsage);
    const std::time_t now = std::time(nullptr);
    Result<ScheduledRun> run = FindScheduledRun(m_options.scheduleName, now);
    if (!run) {
        const UserText reason = run.error().message;
        ReportScheduledRun(m_options.scheduleName, ScheduleOutcome::Failed, reason, nullptr,
                           [this](const UserText& problem) { m_display.Warn(problem); });
        m_display.Error(reason);
        return kExitFailed;
    }
    m_scheduled = *std::move(run);
    if (m_scheduled->planned.Missed(now)) {
        OpenLog();
        const UserText reason = UserText("HeadlessRecorder", "%1 の開始を逃し、終わりの %2 も過ぎたので何も録音しません")
                                    .Arg(ClockText(m_scheduled->planned.start))
                                    .Arg(ClockText(m_scheduled->planned.end));
        m_display.Print(reason);
        ReportScheduledRun(m_scheduled->entry.name, ScheduleOutcome::Missed, reason, m_log.get(),
                           [this](const UserText& problem) { m_display.Warn(problem); });
        m_scheduled.reset();  // told already
        // The service manager waits for readiness before it takes the end as intended.
        m_service.Ready(SaidUtf8(reason));
        m_service.Stopping(SaidUtf8(reason));
        return kExitOk;
    }
    // A start missed by part of its time records the rest, up to the planned end.
    m_commandLine = CommandLineOptions{};
    m_commandLine.scheduleArmed = true;
    m_commandLine.presetName = CCharString(m_scheduled->entry.preset);
    m_commandLine.schedule.endMode = 1;
    m_commandLine.schedule.durationSeconds = m_scheduled->planned.RemainingSeconds(now);
    m_commandLine.schedule.endActionArmed = m_scheduled->entry.endAction != EndAction::None;
    m_commandLine.schedule.endAction = m_scheduled->entry.endAction;
    return -1;
}

void CHeadlessRecorder::ReportScheduledEnd(int status) {
    if (!m_log) OpenLog();
    ScheduleOutcome outcome = ScheduleOutcome::Recorded;
    UserText reason = UserText("HeadlessRecorder", "トラック %1 個").Arg(m_tracksDone);
    if (status != kExitOk || m_problem || m_tracksDone == 0) {
        outcome = ScheduleOutcome::Failed;
        reason = !m_failure.empty() ? m_failure : UserText("HeadlessRecorder", "何も録音されませんでした");
    }
    ReportScheduledRun(m_scheduled->entry.name, outcome, reason, m_log.get(),
                       [this](const UserText& problem) { m_display.Warn(problem); });
}
