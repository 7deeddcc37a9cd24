// The private systemd user manager of the schedule's tests.
#include "tests/support/UserManager.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

bool WriteProcFile(const char* path, const std::string& text) {
    const int fd = open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return written;
}

}  // namespace

PrivateUserManager::PrivateUserManager() {
    if (!EnterNamespace()) return;
    const std::string runtime = "/run/user/" + std::to_string(getuid());
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
    mkdir(ConfigHome().c_str(), 0700);
    // A session bus of the machine must not be reached from here.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    const char* systemd = access("/lib/systemd/systemd", X_OK) == 0 ? "/lib/systemd/systemd" : "/usr/lib/systemd/systemd";
    if (!m_manager.Start({systemd, "--user"}, {"XDG_DATA_HOME=" + DataHome()}, m_dir / "manager.log")) {
        m_error = "systemd --user did not start";
        return;
    }
    const std::string socket = runtime + "/systemd/private";
    for (int i = 0; i < 200 && access(socket.c_str(), F_OK) != 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const ProcessResult answer = Systemctl("is-system-running --wait");
    if (answer.output.find("running") == std::string::npos && answer.output.find("degraded") == std::string::npos)
        m_error = "systemd --user does not answer: " + answer.output + ReadFileBytes(m_dir / "manager.log");
}

PrivateUserManager::~PrivateUserManager() {
    if (m_manager.Pid() > 0) {
        kill(m_manager.Pid(), SIGTERM);
        m_manager.Wait(std::chrono::seconds(30));
    }
}

bool PrivateUserManager::EnterNamespace() {
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (uid == 0) {
        if (unshare(CLONE_NEWNS) != 0) {
            m_error = std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
            return false;
        }
    } else if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 || !WriteProcFile("/proc/self/setgroups", "deny") ||
               !WriteProcFile("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1") ||
               !WriteProcFile("/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1")) {
        m_error = std::string("a user and mount namespace: ") + std::strerror(errno);
        return false;
    }
    const std::string runtime = "/run/user/" + std::to_string(uid);
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", "/run", "tmpfs", MS_NOSUID | MS_NODEV, "mode=755") != 0 || mkdir("/run/systemd", 0755) != 0 ||
        mkdir("/run/systemd/system", 0755) != 0 || mkdir("/run/user", 0755) != 0 || mkdir(runtime.c_str(), 0700) != 0) {
        m_error = std::string("a private /run: ") + std::strerror(errno);
        return false;
    }
    return true;
}

ProcessResult PrivateUserManager::Systemctl(const std::string& words) const {
    return RunProcess("systemctl --user --no-pager " + words + " 2>&1");
}

bool PrivateUserManager::SetEnvironment(const std::vector<std::string>& variables) const {
    std::string words = "set-environment";
    for (const std::string& variable : variables) {
        const size_t equals = variable.find('=');
        setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
        words += " " + ShellQuote(variable);
    }
    return Systemctl(words).exitCode == 0;
}
