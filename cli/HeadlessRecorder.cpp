// One run of the headless recorder.
#include "cli/HeadlessRecorder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

#include "app/AudioFacts.h"
#include "app/FileNameTemplate.h"
#include "app/RecordingControl.h"
#include "cli/OutputFormats.h"
#include "foundation/PathUtils.h"
#include "platform/CaptureBackend.h"
#include "platform/DiskSpace.h"
#include "platform/Logind.h"
#include "platform/WaveFormats.h"
#include "schedule/Countdown.h"
#include "schedule/RecordingSchedule.h"

#ifndef VELSONA_VERSION
#define VELSONA_VERSION "unknown"
#endif

namespace {

constexpr int kRefreshMs = 200;  // about five status refreshes a second
constexpr double kLowSpaceHours = 1.0;
constexpr const char* kStartFailedMessage = "録音開始に失敗しました、設定など再確認してください。";

std::string Level(int tenths) {
    if (tenths <= -900) return "  -inf";
    char text[16];
    std::snprintf(text, sizeof text, "%6.1f", tenths / 10.0);
    return text;
}

std::string Bytes(uint64_t bytes) {
    char text[32];
    if (bytes >= 1000000000ULL) std::snprintf(text, sizeof text, "%.1f GB", bytes / 1e9);
    else if (bytes >= 1000000ULL) std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
    else std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
    return text;
}

// "44100/2/16 22050/1/8 …" for the formats a device accepts.
std::string DeviceFormats(uint32_t mask) {
    if ((mask & kAllWaveFormats) == kAllWaveFormats) return "any rate, mono or stereo, 8 or 16 bit";
    std::string text;
    for (const WaveFormatFlag& flag : kWaveFormatFlags)
        if (mask & flag.flag)
            text += (text.empty() ? "" : " ") + std::to_string(flag.sampleRate) + "/" + std::to_string(flag.channels) +
                    "/" + std::to_string(flag.bits);
    return text.empty() ? "no usable format" : text;
}

bool IsProblem(int event) {
    return event == kRecordingWriteFailed || event == kRecordingSplitFailed || event == kRecordingCaptureFailed;
}

}  // namespace

CHeadlessRecorder::CHeadlessRecorder() : m_display(stdout) {}

CHeadlessRecorder::~CHeadlessRecorder() = default;

int CHeadlessRecorder::Run(const std::vector<std::string>& arguments) {
    std::string error;
    if (!ParseRecorderArguments(arguments, m_options, error)) {
        m_display.Error(error);
        return kExitUsage;
    }
    if (m_options.help) {
        std::fputs(RecorderUsage(), stdout);
        return kExitOk;
    }
    if (m_options.version) {
        std::printf("velsona-rec %s\n", VELSONA_VERSION);
        return kExitOk;
    }
    m_backend = m_options.capture ? CreateCaptureBackend(*m_options.capture, error)
                                  : CreateCaptureBackendFromEnvironment(error);
    if (!m_backend) {
        m_display.Error("no capture backend: " + error);
        return m_options.capture ? kExitUsage : kExitFailed;
    }
    if (m_options.listDevices) return ListDevices() ? kExitOk : kExitFailed;

    m_commandLine = ParseCommandLine(m_options.scheduleWords, std::time(nullptr));
    if (!ReportIgnoredWords()) return kExitUsage;
    const CCharString preset = m_commandLine.presetName.IsEmpty() ? CCharString(kDefaultPresetName)
                                                                  : m_commandLine.presetName;
    m_store.LoadProfile(preset, m_profile);
    if (!ApplyRecorderOptions(m_options, m_profile.settings, error)) {
        m_display.Error(error);
        return kExitUsage;
    }
    RecordingSettings& settings = m_profile.settings;
    if (settings.outputFolder.IsEmpty()) settings.outputFolder = DefaultOutputFolder();
    if (const CCharString warning = FileNameTemplateWarning(settings.fileNameTemplate); !warning.IsEmpty())
        m_display.Error("warning: " + warning.str());
    if (!OutputFormatAvailable(settings.outputFormat, error)) {
        m_display.Error(error);
        return kExitFailed;
    }
    if (!CheckDevice() || !CheckFolder()) return kExitFailed;
    const QualityEntry* row =
        QualityTableFor(static_cast<OutputFormat>(settings.outputFormat)).Row(settings.qualityIndex);
    m_display.Print("Preset: " + preset.str() + "; output: " + FormatName(settings.outputFormat) +
                    (row ? std::string(" ") + row->label : std::string()) +
                    "; folder: " + settings.outputFolder.str());
    ReportDiskSpace();

    m_control =
        std::make_unique<CRecordingControl>(m_items, ReadAudioFileFacts, [this](int event) { m_events.Post(event); });
    m_control->settings = settings;
    m_control->backend = m_backend;
    if (m_commandLine.scheduleArmed) m_control->schedule = m_commandLine.schedule;
    PrepareSleepInhibitor();

    InstallStopSignals();
    const int status = WaitForStart() ? Record() : kExitOk;
    SaveDefaultPreset();
    RunEndAction();
    return status == kExitOk && m_problem ? kExitFailed : status;
}

bool CHeadlessRecorder::ReportIgnoredWords() {
    bool badStart = false;
    for (const IgnoredWord& word : m_commandLine.ignored) {
        const std::string option = word.option ? std::string("/") + word.option : std::string();
        const std::string value = "\"" + word.value.str() + "\"";
        const std::string given = word.value.IsEmpty() ? (word.option ? option + " without a value" : "\"/\"")
                                                       : (word.option ? option + " " + value : value);
        const char* expected = word.option == 'S'   ? "NOW, HM=21:00, HMS=21:00:30, \"YMDHM=2026/12/24 21:00\""
                             : word.option == 'T' ? "a positive MS=90:00 or HMS=1:30:00"
                             : word.option == 'E' ? "exit, suspend, hibernate or shutdown"
                             : word.option == 'P' ? "a preset name"
                                                  : "/S, /T, /E or /P, each followed by its value";
        if (word.option == 'S') {
            // Starting at once is not what was asked for.
            badStart = true;
            m_display.Error(given + " is not a start time (" + expected + "); not starting");
        } else {
            m_display.Error("warning: " + given + " is ignored (expected " + expected + ")");
        }
    }
    return !badStart;
}

bool CHeadlessRecorder::ListDevices() {
    std::printf("Input devices (%s):\n", m_backend->Name());
    for (const CaptureDeviceInfo& device : m_backend->ListDevices())
        std::printf("%4d  %s  [%s]\n", device.id, device.name.c_str(), DeviceFormats(device.formats).c_str());
    return true;
}

bool CHeadlessRecorder::CheckDevice() {
    const RecordingSettings& settings = m_profile.settings;
    for (const CaptureDeviceInfo& device : m_backend->ListDevices()) {
        if (device.id != settings.inputDevice) continue;
        if (device.formats & WaveFormatFlagFor(settings.sampleRate, settings.channels, settings.bitsPerSample))
            return true;
        m_display.Error("input device " + std::to_string(device.id) + " (" + device.name + ") cannot capture " +
                        std::to_string(settings.sampleRate) + " Hz, " + std::to_string(settings.channels) +
                        " channel(s), " + std::to_string(settings.bitsPerSample) + " bit");
        return false;
    }
    m_display.Error("there is no input device " + std::to_string(settings.inputDevice) + " on " + m_backend->Name() +
                    " (see velsona-rec --list-devices)");
    return false;
}

bool CHeadlessRecorder::CheckFolder() {
    const CCharString& folder = m_profile.settings.outputFolder;
    if (!EnsureFolder(folder)) {
        m_display.Error("cannot create the output folder " + folder.str());
        return false;
    }
    // Creating a file is the only test that also holds for root, read-only mounts and ACLs.
    std::string probe = NormalizeSeparators(folder).str();
    if (probe.back() != '/') probe += '/';
    probe += ".velsona-rec-XXXXXX";
    const int fd = mkstemp(probe.data());
    if (fd < 0) {
        m_display.Error("cannot write into the output folder " + folder.str() + ": " + std::strerror(errno));
        return false;
    }
    close(fd);
    unlink(probe.c_str());
    return true;
}

void CHeadlessRecorder::ReportDiskSpace() {
    const RecordingSettings& settings = m_profile.settings;
    DiskSpace space;
    if (!QueryDiskSpace(settings.outputFolder, space)) {
        m_display.Print("note: the free space of " + settings.outputFolder.str() + " cannot be measured");
        return;
    }
    const double bytesPerSecond = OutputBytesPerSecond(settings);
    const double hours = HoursAtByteRate(space.freeBytes, bytesPerSecond);
    char line[160];
    std::snprintf(line, sizeof line, "Free space: %s, about %.1f hours at %.0f kbit/s", Bytes(space.freeBytes).c_str(),
                  hours, bytesPerSecond * 8 / 1000);
    m_display.Print(line);
    const bool timed = m_commandLine.scheduleArmed && m_commandLine.schedule.StopsAfterDuration();
    const double wantedHours = timed ? m_commandLine.schedule.durationSeconds / 3600.0 : kLowSpaceHours;
    if (hours >= 0 && hours < wantedHours) {
        std::snprintf(line, sizeof line, "warning: the output folder holds only %.2f hours of this recording", hours);
        m_display.Error(line);
    }
}

void CHeadlessRecorder::PrepareSleepInhibitor() {
    m_logind = std::make_unique<CLogind>(CLogind::SystemBusAddress());
    m_inhibitor = std::make_unique<CSleepInhibitor>();
    // Asked once up front so that an unreachable logind is a note before the start, not a
    // surprise in the middle; the control takes the lock itself for each recording.
    const LogindResult probe = m_inhibitor->Acquire(*m_logind, "velsona-rec: checking");
    if (!probe.Ok()) {
        m_display.Print("note: no sleep inhibitor (" + probe.detail.str() +
                        "); the machine may suspend during the recording");
        return;
    }
    m_inhibitor->Release();
    m_control->sleepInhibitor = m_inhibitor.get();
}

bool CHeadlessRecorder::WaitForStart() {
    if (!m_control->schedule || m_control->schedule->startMode != 1) return true;
    const std::time_t startTime = m_control->schedule->startTime;
    char when[32];
    std::tm fields{};
    localtime_r(&startTime, &fields);
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &fields);
    m_display.Print(std::string("Waiting to start at ") + when + " (Ctrl+C cancels)");
    CCountdown countdown([] { return std::time(nullptr); });
    for (;;) {
        if (m_events.Wait(CCountdown::kPeriodMs).stopRequested) {
            m_display.Print("Cancelled before the start.");
            return false;
        }
        const CCountdown::Tick tick = countdown.OnTick(startTime);
        if (tick.startNow) return true;
        m_display.ShowStatus(tick.title.str());
    }
}

int CHeadlessRecorder::Record() {
    if (!m_control->StartRecording()) {
        const CCharString problem = m_control->LastProblem();
        m_display.Error(std::string(kStartFailedMessage) + (problem.IsEmpty() ? "" : " (" + problem.str() + ")"));
        return kExitFailed;
    }
    m_display.Print(std::string("Recording: ") + RecordingTitle(m_control->schedule ? &*m_control->schedule : nullptr).str() +
                    " (Ctrl+C stops)");
    if (m_control->sleepInhibitor && !m_control->sleepInhibitor->IsHeld())
        m_display.Print("note: systemd-logind did not grant the sleep inhibitor lock");
    while (m_control->IsRecording()) {
        const CEventQueue::Batch batch = m_events.Wait(kRefreshMs);
        if (batch.stopRequested && m_control->IsRecording()) {
            m_display.Print("Stopping…");
            m_control->StopRecording();
        }
        for (int event : batch.events) HandleEvent(event);
        PrintFinishedFiles();
        if (m_control->IsRecording()) ShowStatus();
    }
    // Stopping posts the last track's close and the stop itself on this thread.
    for (int event : m_events.Wait(0).events) HandleEvent(event);
    PrintFinishedFiles();
    const RecordingStatus status = m_control->Status();
    m_overruns = std::max(m_overruns, status.overruns);
    m_display.Print("Stopped: " + std::to_string(m_tracksDone) + " track(s).");
    if (m_overruns > 0)
        m_display.Error("the capture layer dropped audio " + std::to_string(m_overruns) + " time(s) (overruns)");
    return kExitOk;
}

void CHeadlessRecorder::HandleEvent(int event) {
    m_control->OnRecordingEvent(event);
    if (event == kRecordingDurationReached) {
        m_endAction = m_control->TakeEndAction();
        m_display.Print("The duration is reached.");
    } else if (IsProblem(event)) {
        m_problem = true;
        m_display.Error(m_control->LastProblem().str());
        // Unattended, a recording that can no longer write must end rather than run on empty.
        if (m_control->IsRecording()) m_control->StopRecording();
    } else if (event == kRecordingCaptureEnded) {
        m_display.Print("The input came to its end.");
        if (m_control->IsRecording()) m_control->StopRecording();
    }
}

void CHeadlessRecorder::ShowStatus() {
    const RecordingStatus status = m_control->Status();
    m_overruns = std::max(m_overruns, status.overruns);
    std::string line = std::string(m_control->IsPaused() ? "|| " : "● ") + m_control->TrackPaneText().str() + "  " +
                       m_control->TotalPaneText().str() + "  L" + Level(status.leftLevel) + " R" +
                       Level(status.rightLevel) + " dB";
    if (status.overruns > 0) line += "  overruns " + std::to_string(status.overruns);
    m_display.ShowStatus(line);
}

void CHeadlessRecorder::PrintFinishedFiles() {
    const std::vector<RecordingItem> rows = m_items.Snapshot();
    // The row being recorded is the last one; it is printed once its track has closed.
    const size_t recording = m_control->IsRecording() ? static_cast<size_t>(m_items.CurrentRow()) : rows.size();
    for (; m_printedRows < rows.size() && m_printedRows != recording; ++m_printedRows) {
        const RecordingItem& item = rows[m_printedRows];
        char length[48] = "";
        if (item.lengthMs >= 0)
            std::snprintf(length, sizeof length, ", %lld:%02lld", static_cast<long long>(item.lengthMs / 60000),
                          static_cast<long long>(item.lengthMs / 1000 % 60));
        m_display.Print("Track file: " + item.path.str() + " (" + Bytes(item.size) + length + ")");
        ++m_tracksDone;
    }
}

void CHeadlessRecorder::RunEndAction() {
    if (m_endAction == EndAction::None) return;
    // The lock would hold off the very suspend the user asked for.
    if (m_inhibitor) m_inhibitor->Release();
    m_display.Print(std::string("End action: ") + EndActionName(m_endAction));
    // The program ends right after this anyway, so the close request has nothing left to do.
    const LogindResult result = DoEndAction(m_endAction, [] {}, *m_logind);
    if (!result.Ok()) {
        m_problem = true;
        m_display.Error(std::string("the end action \"") + EndActionName(m_endAction) +
                        "\" was not carried out: " + result.detail.str());
    }
}

void CHeadlessRecorder::SaveDefaultPreset() {
    m_profile.settings = m_control->settings;
    if (!m_store.SaveProfile(kDefaultPresetName, m_profile))
        m_display.Error("the settings could not be saved to " + m_store.FilePath().str());
}
