// Runs an external program (ffprobe, sox, mutagen …) for the tests and captures what it prints;
// a process id that names no running process.
#pragma once

#include <string>
#include <sys/types.h>

struct ProcessResult {
    int exitCode = -1;  // -1 when it could not run or was killed by a signal
    std::string output;  // standard output; standard error is left on the test's own
};

// Runs `command` through /bin/sh.
ProcessResult RunProcess(const std::string& command);
// Quotes one argument for /bin/sh.
std::string ShellQuote(const std::string& argument);
// The id of a process that has ended (until the system hands it out again).
pid_t EndedProcessId();
