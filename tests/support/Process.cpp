// External programs for the tests.
#include "tests/support/Process.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

ProcessResult RunProcess(const std::string& command) {
    ProcessResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    if (status != -1 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

std::string ShellQuote(const std::string& argument) {
    std::string quoted = "'";
    for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

BackgroundProcess::~BackgroundProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

bool BackgroundProcess::Start(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                              const std::string& outputFile) {
    std::vector<std::string> entries(environment);
    for (char** entry = environ; *entry; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        const size_t length = equals ? static_cast<size_t>(equals - *entry) + 1 : std::strlen(*entry);
        bool overridden = false;
        for (const std::string& own : environment) overridden |= own.compare(0, length, *entry, length) == 0;
        if (!overridden) entries.emplace_back(*entry);
    }
    std::vector<char*> argv, envp;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : entries) envp.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    const int error = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) m_pid = -1;
    return error == 0;
}

int BackgroundProcess::Wait(std::chrono::milliseconds limit) {
    if (m_pid <= 0) return -1;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (waitpid(m_pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
            m_pid = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t EndedProcessId() {
    const pid_t pid = fork();
    if (pid == 0) _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}
