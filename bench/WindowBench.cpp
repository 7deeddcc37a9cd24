// Prints what the window costs beside the headless recorder: both record the same PulseAudio
// monitor as WAV in real time, at the same time, the window (CMainFrame, in this process) on a
// private X server, velsona-rec as a child. For each phase (window visible, wholly covered by
// another window, minimised, unmapped) the CPU of both in percent of one core, and of the window's
// GUI thread alone, then the window's resident memory.
//
//   window_bench [seconds per phase, default 60]
//
// Needs Xvfb, pulseaudio and paplay. Without a window manager, "minimised" is the window's own
// showMinimized() (Qt's state; the X window stays mapped) and "unmapped" is hide(); a desktop's
// iconify both sets that state and unmaps.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/settings/SettingsStore.h"
#include "bench/PcmSignal.h"
#include "ui/MainFrame.h"
#include "ui/MessageBoxes.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Every question the window would ask goes to standard error, answered "Cancel".
class PrintedBoxes : public IMessageBoxes {
public:
    BoxAnswer Ask(const QString& text, BoxButtons) override {
        Print(text);
        return BoxAnswer::Cancel;
    }
    void Inform(const QString& text) override { Print(text); }
    void Warn(const QString& text) override { Print(text); }
    void Refuse(const QString& text) override { Print(text); }
    void About(const QString&, const QString& text) override { Print(text); }
    bool Run(QDialog&) override { return false; }
    QString ChooseFolder(const QString&) override { return {}; }

private:
    static void Print(const QString& text) { std::fprintf(stderr, "window: %s\n", qPrintable(text)); }
};

// A child process this benchmark started, ended by its id when the benchmark ends.
class Child {
public:
    // `outputFd`, when not negative, is handed to the child as descriptor 3.
    bool Start(const std::vector<std::string>& command, const std::string& log, int outputFd = -1) {
        std::vector<char*> argv;
        for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        if (outputFd >= 0) posix_spawn_file_actions_adddup2(&actions, outputFd, 3);
        const bool started = posix_spawnp(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        if (!started) m_pid = -1;
        return started;
    }
    ~Child() { Stop(); }
    void Stop() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGTERM);
        for (int i = 0; i < 400 && waitpid(m_pid, nullptr, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        if (waitpid(m_pid, nullptr, WNOHANG) == 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }
    pid_t Pid() const { return m_pid; }
    bool Running() const { return m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0; }

private:
    pid_t m_pid = -1;
};

// User and system CPU seconds so far of a process, or of one of its threads, from /proc.
double CpuSeconds(const std::string& statFile) {
    std::ifstream stat(statFile);
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t afterName = text.rfind(')');
    if (afterName == std::string::npos) return -1;
    // Fields 14 and 15 (utime, stime); the first after the name is field 3.
    std::vector<std::string> fields;
    size_t at = afterName + 2;
    while (fields.size() < 13 && at < text.size()) {
        const size_t space = text.find(' ', at);
        fields.push_back(text.substr(at, space - at));
        at = space == std::string::npos ? text.size() : space + 1;
    }
    if (fields.size() < 13) return -1;
    return (std::stod(fields[11]) + std::stod(fields[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double ProcessCpuSeconds(pid_t pid) {
    return CpuSeconds("/proc/" + std::to_string(pid) + "/stat");
}

long ResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

void RunEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool WaitUntil(const std::function<bool()>& done, int ms) {
    for (int waited = 0; waited < ms; waited += 50) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

// A private X server; its display number, or empty.
std::string StartXServer(Child& server, const std::string& log) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {};
    const bool started = server.Start({"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
                                      log, pipeFds[1]);
    close(pipeFds[1]);
    std::string display;
    char c;
    while (started && read(pipeFds[0], &c, 1) == 1 && c != '\n') display += c;
    close(pipeFds[0]);
    return display.empty() ? std::string() : ":" + display;
}

// A private PulseAudio server whose default source is the monitor of a null sink.
bool StartSoundServer(Child& server, const fs::path& dir) {
    const std::string socket = dir / "native";
    std::ofstream(dir / "server.pa") << "load-module module-native-protocol-unix auth-anonymous=1 socket=" << socket
                                     << "\nload-module module-null-sink sink_name=bench rate=44100 channels=2\n"
                                        "set-default-source bench.monitor\n";
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    if (!server.Start({"pulseaudio", "-n", "-F", dir / "server.pa", "--exit-idle-time=-1", "--daemonize=no",
                       "--use-pid-file=no", "--log-target=stderr"},
                      dir / "pulseaudio.log"))
        return false;
    return WaitUntil([] { return std::system("pactl info >/dev/null 2>&1") == 0; }, 60000);
}

// The bench signal with a level that changes from buffer to buffer, as music's does, so the
// meters move every time.
bool WriteInput(const std::string& path, int seconds) {
    std::vector<int16_t> pcm = MakeBenchSignal(seconds);
    for (size_t frame = 0; frame < pcm.size() / kBenchChannels; ++frame) {
        const double t = static_cast<double>(frame) / kBenchRate;
        const double gain = 0.15 + 0.85 * std::fabs(std::sin(2 * M_PI * 0.37 * t) * std::sin(2 * M_PI * 1.3 * t));
        for (int c = 0; c < kBenchChannels; ++c)
            pcm[frame * kBenchChannels + c] = static_cast<int16_t>(pcm[frame * kBenchChannels + c] * gain);
    }
    return WriteBenchWav(path, pcm);
}

struct Sample {
    double window, gui, recorder, xServer;
    std::chrono::steady_clock::time_point at;
};

Sample Now(const Child& recorder, const Child& xServer) {
    const std::string self = std::to_string(getpid());
    // The main thread is the GUI thread: what painting and the timers cost, apart from capture.
    return {ProcessCpuSeconds(getpid()), CpuSeconds("/proc/" + self + "/task/" + self + "/stat"),
            ProcessCpuSeconds(recorder.Pid()), ProcessCpuSeconds(xServer.Pid()), std::chrono::steady_clock::now()};
}

void PrintPhase(const char* name, const Sample& from, const Sample& to) {
    const double wall = std::chrono::duration<double>(to.at - from.at).count();
    const double window = 100 * (to.window - from.window) / wall;
    const double recorder = 100 * (to.recorder - from.recorder) / wall;
    std::printf("%-10s %4.0f s  window %5.2f %% (GUI thread %5.2f %%)  velsona-rec %5.2f %%  difference %+5.2f points"
                "  (X server %5.2f %%)\n",
                name, wall, window, 100 * (to.gui - from.gui) / wall, recorder, window - recorder,
                100 * (to.xServer - from.xServer) / wall);
    std::fflush(stdout);
}

// Runs both recordings and prints the figures; the exit status.
int Measure(int argc, char** argv, const fs::path& dir, int seconds) {
    const std::string programs = fs::read_symlink("/proc/self/exe").parent_path();
    Child xServer, soundServer, player, recorder;
    const std::string display = StartXServer(xServer, dir / "xvfb.log");
    if (display.empty()) {
        std::fprintf(stderr, "window_bench: Xvfb did not start\n");
        return 1;
    }
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (!StartSoundServer(soundServer, dir)) {
        std::fprintf(stderr, "window_bench: pulseaudio did not start\n");
        return 1;
    }
    if (!WriteInput(dir / "input.wav", 4 * seconds + 60) ||
        !player.Start({"paplay", "--device=bench", dir / "input.wav"}, dir / "paplay.log")) {
        std::fprintf(stderr, "window_bench: the input could not be played\n");
        return 1;
    }
    const fs::path windowFolder = dir / "window", recorderFolder = dir / "rec";
    fs::create_directories(windowFolder);
    fs::create_directories(recorderFolder);
    CSettingsStore store(CCharString(dir / "window.conf"));
    RecordingSettings settings = store.LoadSettings(kDefaultPresetName);
    settings.outputFolder = windowFolder.c_str();
    settings.outputFormat = OutputFormat::Wav;
    store.SaveSettings(kDefaultPresetName, settings);

    QApplication app(argc, argv);
    PrintedBoxes boxes;
    CMainFrame::Options options;
    options.settingsFile = CCharString(dir / "window.conf");
    options.makerSite = "";
    CMainFrame frame(&boxes, options);
    frame.show();
    frame.Start({});
    frame.Action(kCommandStart)->trigger();
    if (!recorder.Start({programs + "/velsona-rec", "--capture", "pulse", "--format", "wav", "--folder", recorderFolder},
                        dir / "velsona-rec.log") ||
        !frame.Control().IsRecording()) {
        std::fprintf(stderr, "window_bench: a recording did not start\n");
        return 1;
    }
    std::ifstream loadavg("/proc/loadavg");
    std::string load;
    std::getline(loadavg, load);
    std::printf("Both record the same PulseAudio monitor as WAV, %d s per phase; /proc/loadavg before: %s\n",
                seconds, load.c_str());
    RunEvents(5000);  // both settle: buffers, the first track, the window's first paint

    // Another window over the whole screen, above the recorder's.
    QWidget cover;
    cover.setGeometry(frame.screen()->geometry());
    const std::pair<const char*, std::function<void()>> phases[] = {
        {"visible", [&] { frame.showNormal(); }},
        {"covered", [&] { cover.show(); }},
        {"minimised", [&] {
             cover.hide();
             frame.showMinimized();
         }},
        {"unmapped", [&] { frame.hide(); }},
    };
    for (const auto& [name, enter] : phases) {
        enter();
        RunEvents(2000);
        const Sample from = Now(recorder, xServer);
        RunEvents(seconds * 1000);
        PrintPhase(name, from, Now(recorder, xServer));
    }
    const bool bothRan = recorder.Running() && frame.Control().IsRecording();
    std::printf("resident memory: window %ld KiB, velsona-rec %ld KiB\n", ResidentKiB(getpid()),
                ResidentKiB(recorder.Pid()));
    frame.Action(kCommandStop)->trigger();
    recorder.Stop();
    if (!bothRan) std::printf("a recording ended early: the figures do not compare\n");
    return bothRan ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: window_bench [seconds per phase]\n");
        return 2;
    }
    char pattern[] = "/tmp/velsona-window-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path dir = pattern;
    // Everything either program keeps per user goes into the private folder.
    for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "PULSE_RUNTIME_PATH", "PULSE_STATE_PATH", "XDG_CONFIG_HOME",
                             "XDG_STATE_HOME"})
        setenv(name, dir.c_str(), 1);
    unsetenv("VELSONA_CAPTURE");
    const int status = Measure(argc, argv, dir, seconds);
    if (status != 0) std::fprintf(stderr, "window_bench: the logs are in %s\n", dir.c_str());
    else fs::remove_all(dir);
    return status;
}
