// External programs for the tests.
#include "tests/support/Process.h"

#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

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

pid_t EndedProcessId() {
    const pid_t pid = fork();
    if (pid == 0) _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}
