// Runs an external program (ffprobe, sox, mutagen …) for the tests and captures what it prints, or
// watches one it started; a process id that names no running process.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

struct ProcessResult {
    int exitCode = -1;  // -1 when it could not run or was killed by a signal
    std::string output;  // standard output; standard error is left on the test's own
};

// Runs `command` through /bin/sh.
ProcessResult RunProcess(const std::string& command);
// Quotes one argument for /bin/sh.
std::string ShellQuote(const std::string& argument);

// A program run without a shell while the test watches it: the test's environment plus
// `environment` ("NAME=value" entries override), its output into `outputFile`. Killed if the
// test leaves it running.
class BackgroundProcess {
public:
    BackgroundProcess() = default;
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    bool Start(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
               const std::string& outputFile);
    pid_t Pid() const { return m_pid; }
    // The exit code; -1 when it was killed by a signal or had to be killed after `limit`.
    int Wait(std::chrono::milliseconds limit);

private:
    pid_t m_pid = -1;
};

// The id of a process that has ended (until the system hands it out again).
pid_t EndedProcessId();
