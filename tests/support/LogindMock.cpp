// Private bus and logind stand-in for the tests.
#include "tests/support/LogindMock.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <sys/wait.h>

#include "tests/support/Process.h"

extern char** environ;

namespace {

// The system python has dbusmock; a pyenv one earlier on PATH may not.
constexpr const char* kPython = "/usr/bin/python3";

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv, int stdoutFd,
            const std::string& stderrPath) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> envStrings(extraEnv);
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const std::string& extra : extraEnv)
            replaced = replaced || entry.compare(0, extra.find('=') + 1, extra, 0, extra.find('=') + 1) == 0;
        if (!replaced) envStrings.push_back(entry);
    }
    std::vector<char*> env;
    for (std::string& e : envStrings) env.push_back(e.data());
    env.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void Stop(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

bool Exited(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == pid; }

}  // namespace

DbusMock::DbusMock(const std::string& templateName, const std::string& busName, const std::string& templateParameters) {
    if (StartBus()) StartMock(templateName, busName, templateParameters);
}

DbusMock::~DbusMock() {
    Stop(m_mockPid);
    Stop(m_busPid);
}

bool DbusMock::StartBus() {
    WriteFileBytes(m_dir / "bus.conf",
                   "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:path=" + (m_dir / "bus") + "</listen>"
                   "<auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                   "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        m_error = "pipe failed";
        return false;
    }
    m_busPid = Spawn({"/usr/bin/dbus-daemon", "--config-file=" + (m_dir / "bus.conf"), "--nofork", "--print-address=1"},
                     {}, fds[1], m_dir / "bus.log");
    close(fds[1]);
    // The daemon prints its address once it listens; end of file means it gave up.
    std::string line;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') line += c;
    close(fds[0]);
    if (m_busPid < 0 || line.empty()) {
        m_error = "dbus-daemon did not start: " + ReadFileBytes(m_dir / "bus.log");
        return false;
    }
    m_address = line;
    return true;
}

bool DbusMock::StartMock(const std::string& templateName, const std::string& busName, const std::string& templateParameters) {
    const std::string busEnv = m_address;
    m_mockPid = Spawn({kPython, "-m", "dbusmock", "--template", templateName, "--logfile", m_dir / "calls.log",
                       "--parameters", templateParameters},
                      {"DBUS_SYSTEM_BUS_ADDRESS=" + busEnv, "DBUS_SESSION_BUS_ADDRESS=" + busEnv}, -1,
                      m_dir / "mock.log");
    const std::string query = "dbus-send --bus=" + ShellQuote(m_address) +
                              " --reply-timeout=2000 --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner"
                              " string:" + busName;
    // Generous: a loaded CI machine may take seconds to start python.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (m_mockPid > 0 && std::chrono::steady_clock::now() < deadline) {
        if (RunProcess(query).output.find("boolean true") != std::string::npos) return true;
        if (Exited(m_mockPid)) {
            m_mockPid = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    m_error = "the " + templateName + " mock did not come up: " + ReadFileBytes(m_dir / "mock.log");
    return false;
}

std::vector<std::string> DbusMock::Calls() const {
    std::vector<std::string> calls;
    std::istringstream log(ReadFileBytes(m_dir / "calls.log"));
    std::string line;
    while (std::getline(log, line)) {
        const size_t space = line.find(' ');  // after the time stamp
        if (space != std::string::npos) calls.push_back(line.substr(space + 1));
    }
    return calls;
}

std::string LogindMock::CallManager(const std::string& method) const {
    return RunProcess("dbus-send --bus=" + ShellQuote(address()) +
                      " --reply-timeout=10000 --print-reply --dest=org.freedesktop.login1 /org/freedesktop/login1"
                      " org.freedesktop.login1.Manager." + method)
        .output;
}

void DbusMock::StopBus() {
    Stop(m_mockPid);
    Stop(m_busPid);
}
