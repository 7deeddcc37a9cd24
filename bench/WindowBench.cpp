// Prints what the window costs beside the headless recorder: both record the same PulseAudio
// monitor as WAV in real time, at the same time, the window (CMainFrame, in this process) on a
// private X server, velsona-rec as a child. For each phase (window visible, wholly covered by
// another window, minimised, unmapped) the CPU of both in percent of one core, of the window's
// GUI thread alone and of each one's PulseAudio threads, then the window's resident memory.
//
//   window_bench [seconds per phase, default 60]
//
// On a virtual machine the PulseAudio thread of whichever stream connected first to the monitor
// is at times charged several times what the other's is for the same work, for seconds to a
// minute (two velsona-rec side by side show it too): the extra time is spent in the kernel's
// poll, the thread's own work and wake-ups unchanged. So each phase is measured in slices, each
// program's stream connected first in every other one, and besides the whole phase's figures the
// median of the slices' differences is printed, which a spike in a few slices does not move.
//
// Needs Xvfb, pulseaudio and paplay. Without a window manager, "minimised" is the window's own
// showMinimized() (Qt's state; the X window stays mapped) and "unmapped" is hide(); a desktop's
// iconify both sets that state and unmaps.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/settings/SettingsStore.h"
#include "bench/CpuTime.h"
#include "bench/PcmSignal.h"
#include "ui/MainFrame.h"
#include "ui/MessageBoxes.h"
#include "ui/SocketPaints.h"

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

// The signal that ends the benchmark, told to its event loop through a pipe: the measuring stops,
// the children are stopped in order (the X server last, as the window needs it to the end), and
// the private folder (minutes of input and recordings) goes as after a whole run.
volatile sig_atomic_t g_ending = 0;
int g_endingPipe[2] = {-1, -1};
// The children running, so that a second signal, which ends the benchmark at once, ends them too:
// a recorder left behind would go on filling the disk.
volatile sig_atomic_t g_children[4];

void EndBenchmark(int signal) {
    if (g_ending) {
        for (volatile sig_atomic_t& pid : g_children)
            if (pid > 0) kill(pid, SIGTERM);
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    g_ending = signal;
    const char byte = 0;
    (void)!write(g_endingPipe[1], &byte, 1);
}

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
        Listed(started ? m_pid : 0);
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
        Listed(0);
        m_pid = -1;
    }
    pid_t Pid() const { return m_pid; }
    bool Running() const { return m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0; }

private:
    void Listed(pid_t pid) {
        if (m_slot < static_cast<int>(std::size(g_children))) g_children[m_slot] = pid;
    }

    static inline int s_children = 0;
    const int m_slot = s_children++;
    pid_t m_pid = -1;
};

double ChildCpuSeconds(pid_t pid) {
    clockid_t clock;
    return clock_getcpuclockid(pid, &clock) == 0 ? CpuSeconds(clock) : 0;
}

// The CPU seconds of a process's threads named `name`, from the scheduler's own count (exact,
// unlike the sampled user and system times).
double NamedThreadsCpuSeconds(pid_t pid, const std::string& name) {
    double seconds = 0;
    std::error_code error;
    for (const fs::directory_entry& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::string comm;
        std::getline(std::ifstream(task.path() / "comm"), comm);
        unsigned long long nanoseconds = 0;
        if (comm == name && std::ifstream(task.path() / "schedstat") >> nanoseconds) seconds += nanoseconds / 1e9;
    }
    return seconds;
}

long ResidentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// Until `ms` have passed or a signal ends the benchmark: a notifier, not a timer, so the window's
// thread wakes for nothing else.
void RunEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    QSocketNotifier ending(g_endingPipe[0], QSocketNotifier::Read);
    QObject::connect(&ending, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    if (!g_ending) loop.exec();
}

bool WaitUntil(const std::function<bool()>& done, int ms) {
    for (int waited = 0; waited < ms && !g_ending; waited += 50) {
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

constexpr const char* kPulseThread = "threaded-ml";

// CPU seconds so far.
struct Sample {
    double window, gui, windowPulse, recorder, recorderPulse, xServer;
    std::chrono::steady_clock::time_point at;
};

constexpr int kSlices = 6;  // per phase; even, so that each program's stream is first as often

// Sums of the differences between samples, over the slices of a phase.
struct Spent {
    double wall = 0, window = 0, gui = 0, windowPulse = 0, recorder = 0, recorderPulse = 0, xServer = 0;

    void Add(const Sample& from, const Sample& to) {
        wall += std::chrono::duration<double>(to.at - from.at).count();
        window += to.window - from.window;
        gui += to.gui - from.gui;
        windowPulse += to.windowPulse - from.windowPulse;
        recorder += to.recorder - from.recorder;
        recorderPulse += to.recorderPulse - from.recorderPulse;
        xServer += to.xServer - from.xServer;
    }
};

// Taken on the GUI thread, which is the main thread: what painting and the timers cost.
Sample Now(const Child& recorder, const Child& xServer) {
    return {ProcessCpuSeconds(),
            ThreadCpuSeconds(),
            NamedThreadsCpuSeconds(getpid(), kPulseThread),
            ChildCpuSeconds(recorder.Pid()),
            NamedThreadsCpuSeconds(recorder.Pid(), kPulseThread),
            ChildCpuSeconds(xServer.Pid()),
            std::chrono::steady_clock::now()};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// `spent`: the whole phase, the sum of its `slices`.
void PrintPhase(const char* name, const Spent& spent, const std::vector<Spent>& slices) {
    std::vector<double> differences, apartFromPulse;
    for (const Spent& slice : slices) {
        differences.push_back(100 * (slice.window - slice.recorder) / slice.wall);
        apartFromPulse.push_back(
            100 * ((slice.window - slice.windowPulse) - (slice.recorder - slice.recorderPulse)) / slice.wall);
    }
    const auto percent = [&spent](double seconds) { return 100 * seconds / spent.wall; };
    std::printf("%-10s %4.0f s  window %5.2f %% (GUI thread %5.2f %%, PulseAudio %5.2f %%)  velsona-rec %5.2f %% "
                "(PulseAudio %5.2f %%)  difference %+5.2f points, %+5.2f apart from PulseAudio  (X server %5.2f %%)\n"
                "           median of %zu slices: difference %+5.2f points, %+5.2f apart from PulseAudio\n",
                name, spent.wall, percent(spent.window), percent(spent.gui), percent(spent.windowPulse),
                percent(spent.recorder), percent(spent.recorderPulse), percent(spent.window - spent.recorder),
                percent((spent.window - spent.windowPulse) - (spent.recorder - spent.recorderPulse)),
                percent(spent.xServer), slices.size(), Median(differences), Median(apartFromPulse));
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
    // Each slice's restart and settling takes a few seconds more.
    if (!WriteInput(dir / "input.wav", 4 * (seconds + kSlices * 5) + 60) ||
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

    // As the program makes its connection.
    CSocketPaints socketPaints;
    QApplication app(argc, argv);
    socketPaints.Connected();
    PrintedBoxes boxes;
    CMainFrame::Options options;
    options.settingsFile = CCharString(dir / "window.conf");
    options.makerSite = "";
    CMainFrame frame(&boxes, options);
    frame.show();
    frame.Start({});
    const auto startRecorder = [&] {
        return recorder.Start({programs + "/velsona-rec", "--capture", "pulse", "--format", "wav", "--folder",
                               recorderFolder},
                              dir / "velsona-rec.log");
    };
    const auto startWindow = [&] {
        frame.Action(kCommandStart)->trigger();
        return frame.Control().IsRecording();
    };
    if (!startWindow() || !startRecorder()) {
        std::fprintf(stderr, "window_bench: a recording did not start\n");
        return 1;
    }
    // The one started again connects its stream after the other's.
    const std::pair<const char*, std::function<bool()>> restarts[] = {
        {"velsona-rec", [&] {
             recorder.Stop();
             return startRecorder();
         }},
        {"window", [&] {
             frame.Action(kCommandStop)->trigger();
             for (int waited = 0; frame.Control().IsRecording() && waited < 10000; waited += 100) RunEvents(100);
             // A start while the old recording still runs would connect nothing anew.
             return !frame.Control().IsRecording() && startWindow();
         }},
    };
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
        Spent spent;
        std::vector<Spent> slices(kSlices);
        for (int slice = 0; slice < kSlices; ++slice) {
            const auto& [restarted, restart] = restarts[slice % 2];
            if (!restart()) {
                std::fprintf(stderr, "window_bench: the %s recording did not start again\n", restarted);
                return 1;
            }
            RunEvents(2000);
            const Sample from = Now(recorder, xServer);
            RunEvents(seconds * 1000 / kSlices);
            if (g_ending) return 1;
            const Sample to = Now(recorder, xServer);
            spent.Add(from, to);
            slices[slice].Add(from, to);
            if (!recorder.Running() || !frame.Control().IsRecording()) {
                std::printf("a recording ended early: the figures do not compare\n");
                return 1;
            }
        }
        PrintPhase(name, spent, slices);
    }
    std::printf("resident memory: window %ld KiB, velsona-rec %ld KiB\n", ResidentKiB(getpid()),
                ResidentKiB(recorder.Pid()));
    frame.Action(kCommandStop)->trigger();
    recorder.Stop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: window_bench [seconds per phase]\n");
        return 2;
    }
    if (pipe2(g_endingPipe, O_CLOEXEC | O_NONBLOCK) != 0) return 1;
    char pattern[] = "/tmp/velsona-window-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path dir = pattern;
    // Everything either program keeps per user goes into the private folder.
    for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "PULSE_RUNTIME_PATH", "PULSE_STATE_PATH", "XDG_CONFIG_HOME",
                             "XDG_STATE_HOME"})
        setenv(name, dir.c_str(), 1);
    unsetenv("VELSONA_CAPTURE");
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) std::signal(signal, EndBenchmark);
    const int status = Measure(argc, argv, dir, seconds);
    if (status != 0 && !g_ending) {
        std::fprintf(stderr, "window_bench: the logs are in %s\n", dir.c_str());
        return status;
    }
    fs::remove_all(dir);
    // Ended by a signal, the benchmark says so as the signal's own ending would.
    if (g_ending) {
        std::signal(g_ending, SIG_DFL);
        std::raise(g_ending);
    }
    return status;
}
