// The schedule's systemd units, written by us only and told apart from hand edits by a checksum.
#include "schedule/ScheduleUnits.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "schedule/TextFile.h"

extern char** environ;

namespace {

constexpr const char* kUnitPrefix = "velsona-schedule-";
constexpr const char* kChecksumMark = "# velsona-checksum ";  // untranslated: a unit file's own line

std::string Checksum(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    char hex[20];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

std::string Signed(const std::string& text) { return text + kChecksumMark + Checksum(text) + "\n"; }

// Whether a unit file is as we wrote it.
bool IsOurs(const std::string& text) {
    const size_t mark = text.rfind(kChecksumMark);
    return mark != std::string::npos && text.compare(mark, std::string::npos, kChecksumMark + Checksum(text.substr(0, mark)) + "\n") == 0;
}

// A word systemd reads as it stands: quoted, with its escapes, specifiers and variables doubled.
std::string UnitWord(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        if (c == '%' || c == '$') quoted += c;
        quoted += c;
    }
    return quoted + "\"";
}

// The output of systemctl --user with `arguments`, or a failure with what it said.
Result<std::string> Systemctl(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {"systemctl", "--user", "--no-ask-password"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::string command;
    for (const std::string& word : words) command += (command.empty() ? "" : " ") + word;
    auto failure = [&](UserText why) {
        return KindFailure(FailureKind::kSystem, UserText("ScheduleUnits", "「%1」が失敗しました: %2").Arg(command).Arg(std::move(why)));
    };
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) return failure(UserText("ScheduleUnits", "%1").ArgError(errno));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_adddup2(&actions, output[1], 2);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, "systemctl", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    std::string said;
    if (spawned == 0) {
        char buffer[4096];
        for (ssize_t got; (got = read(output[0], buffer, sizeof buffer)) != 0;) {
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) break;
            said.append(buffer, static_cast<size_t>(got));
        }
    }
    close(output[0]);
    if (spawned != 0) return failure(UserText("ScheduleUnits", "%1").ArgError(spawned));
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    while (!said.empty() && (said.back() == '\n' || said.back() == ' ')) said.pop_back();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return failure(said.empty() ? UserText("ScheduleUnits", "終了コード %1").Arg(WIFEXITED(status) ? WEXITSTATUS(status) : -1)
                                    : UserText::Verbatim(said));
    return said;
}

// Our unit files in the folder: file name → contents.
Result<std::map<std::string, std::string>> UnitFiles(const std::string& folder) {
    std::map<std::string, std::string> files;
    DIR* directory = opendir(folder.c_str());
    if (!directory) {
        if (errno == ENOENT) return files;
        return SystemFailure(errno, UserText("ScheduleUnits", "フォルダ %1 を読めません: %2").Arg(folder).ArgError(errno));
    }
    std::vector<std::string> names;
    while (const dirent* item = readdir(directory))
        if (std::strncmp(item->d_name, kUnitPrefix, std::strlen(kUnitPrefix)) == 0) names.emplace_back(item->d_name);
    closedir(directory);
    for (const std::string& name : names) {
        Result<std::optional<std::string>> text = ReadTextFile(folder + "/" + name);
        if (!text) return std::move(text).error();
        if (*text) files[name] = **text;
    }
    return files;
}

}  // namespace

std::string RecorderProgramPath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("velsona-rec") : (self.parent_path() / "velsona-rec").string();
}

CScheduleUnits::CScheduleUnits(std::string unitFolder, std::string recorderPath)
    : m_folder(std::move(unitFolder)), m_recorder(std::move(recorderPath)) {}

bool CScheduleUnits::UserManagerAvailable() { return Systemctl({"show", "--property=Version"}).has_value(); }

std::string CScheduleUnits::TimerText(const ScheduleEntry& entry) const {
    const std::string unit = UnitNameOf(entry.name);
    return Signed("# Made by Velsona from the schedule entry below; change the entry, not this file.\n"  // untranslated: unit file
                  "[Unit]\n"
                  "Description=Velsona schedule " + UnitWord(entry.name) + "\n"
                  "\n[Timer]\n"
                  "OnCalendar=" + CalendarExpression(entry) + "\n"
                  "AccuracySec=1s\n"
                  "# A start missed while the computer was off or asleep records the rest of its time.\n"
                  "Persistent=true\n"
                  "Unit=" + unit + ".service\n"
                  "\n[Install]\n"
                  "WantedBy=timers.target\n");
}

std::string CScheduleUnits::ServiceText(const ScheduleEntry& entry) const {
    return Signed("# Made by Velsona from the schedule entry below; change the entry, not this file.\n"  // untranslated: unit file
                  "[Unit]\n"
                  "Description=Velsona scheduled recording " + UnitWord(entry.name) + "\n"
                  "Documentation=man:velsona-rec(1)\n"
                  "After=pipewire-pulse.service pulseaudio.service\n"
                  "\n[Service]\n"
                  "Type=notify\n"
                  "NotifyAccess=main\n"
                  "ExecStart=" + UnitWord(m_recorder) + " --schedule-run " + UnitWord(entry.name) + "\n"
                  "# A hung capture is stopped and started again; the new run records what is left.\n"
                  "WatchdogSec=60\n"
                  "WatchdogSignal=SIGTERM\n"
                  "Restart=on-watchdog\n"
                  "RestartSec=5\n"
                  "TimeoutStopSec=120\n");
}

Result<void> CScheduleUnits::CheckUnits(const std::vector<ScheduleEntry>&) const {
    Result<std::map<std::string, std::string>> files = UnitFiles(m_folder);
    if (!files) return std::move(files).error();
    for (const auto& [name, text] : *files)
        if (!IsOurs(text))
            return KindFailure(FailureKind::kBadData,
                               UserText("ScheduleUnits", "%1 は手で書き換えられています。消すか、Velsona が書いたものに戻してください")
                                   .Arg(m_folder + "/" + name));
    return {};
}

Result<void> CScheduleUnits::Apply(const std::vector<ScheduleEntry>& entries) const {
    if (Result<void> checked = CheckUnits(entries); !checked) return checked;
    Result<std::map<std::string, std::string>> existing = UnitFiles(m_folder);
    if (!existing) return std::move(existing).error();
    std::map<std::string, std::string> wanted;
    for (const ScheduleEntry& entry : entries) {
        if (!entry.enabled) continue;
        const std::string unit = UnitNameOf(entry.name);
        wanted[unit + ".timer"] = TimerText(entry);
        wanted[unit + ".service"] = ServiceText(entry);
    }
    // Timers first, so a stopped recording is not started again meanwhile.
    for (const char* suffix : {".timer", ".service"})
        for (const auto& [name, text] : *existing) {
            if (wanted.count(name) || !name.ends_with(suffix)) continue;
            const bool timer = std::string(suffix) == ".timer";
            Result<std::string> stopped = timer ? Systemctl({"disable", "--now", name}) : Systemctl({"stop", name});
            // A unit the manager never loaded has nothing to stop.
            if (!stopped && stopped.error().message.SourceText().find("not loaded") == std::string::npos)
                return std::move(stopped).error();
            // The time it last fired outlives the unit file: a later entry of the same name would
            // start at once, for a run it takes to be missed. A timer that never fired has none.
            if (timer) static_cast<void>(Systemctl({"clean", "--what=state", name}));
            if (unlink((m_folder + "/" + name).c_str()) != 0 && errno != ENOENT)
                return SystemFailure(errno, UserText("ScheduleUnits", "%1 を消せません: %2").Arg(m_folder + "/" + name).ArgError(errno));
        }
    std::vector<std::string> restart = {"restart"};
    for (const auto& [name, text] : wanted) {
        const auto old = existing->find(name);
        if (old != existing->end() && old->second == text) continue;
        if (Result<void> written = WriteTextFileAtomically(m_folder + "/" + name, text); !written) return written;
        // A running timer takes its new calendar when started again.
        if (old != existing->end() && name.ends_with(".timer")) restart.push_back(name);
    }
    if (Result<std::string> reloaded = Systemctl({"daemon-reload"}); !reloaded) return std::move(reloaded).error();
    std::vector<std::string> enable = {"enable", "--now"};
    for (const auto& [name, text] : wanted)
        if (name.ends_with(".timer")) enable.push_back(name);
    if (enable.size() > 2)
        if (Result<std::string> enabled = Systemctl(enable); !enabled) return std::move(enabled).error();
    if (restart.size() > 1)
        if (Result<std::string> restarted = Systemctl(restart); !restarted) return std::move(restarted).error();
    return {};
}
