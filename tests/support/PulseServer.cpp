// The private PulseAudio server for capture tests.
#include "tests/support/PulseServer.h"

#include "tests/support/Process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

PulseTestServer::~PulseTestServer() { Stop(); }

bool PulseTestServer::Start(std::string& error) {
    const std::string socket = m_dir / "native";
    WriteFileBytes(m_dir / "server.pa",
                   "load-module module-native-protocol-unix auth-anonymous=1 socket=" + socket + "\n" +
                       "load-module module-null-sink sink_name=" + kSink +
                       " rate=44100 channels=2 format=s16le sink_properties=device.description=" +
                       kSinkDescription + "\n");
    // Everything the server would keep per user goes into the private folder.
    for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "PULSE_RUNTIME_PATH", "PULSE_STATE_PATH", "XDG_CONFIG_HOME"})
        setenv(name, m_dir.path().c_str(), 1);
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);

    const std::string log = m_dir / "server.log";
    const std::string config = m_dir / "server.pa";
    std::vector<std::string> args{"pulseaudio", "-n", "-F", config, "--exit-idle-time=-1", "--disallow-exit",
                                  "--daemonize=no", "--system=false", "--use-pid-file=no", "--log-target=stderr"};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int spawned = posix_spawnp(&m_pid, "pulseaudio", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        m_pid = -1;
        error = "cannot run pulseaudio";
        return false;
    }
    // Generous: two cores may be busy with other builds.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        if (RunProcess("pactl info >/dev/null 2>&1").exitCode == 0) return true;
        if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    error = "the PulseAudio test server did not come up:\n" + ReadFileBytes(log);
    Stop();
    return false;
}

void PulseTestServer::Stop() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    for (int i = 0; i < 200 && waitpid(m_pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    if (waitpid(m_pid, nullptr, WNOHANG) == 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    m_pid = -1;
}
