// Telling whether the process that left a file behind still runs, despite process id reuse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

struct ProcessIdentity {
    pid_t pid = 0;
    // The kernel's start time of the process (clock ticks after boot); 0 when not known.
    uint64_t startTime = 0;
};

ProcessIdentity ThisProcess();
// True while that very process runs: same id and, when known, the same start time. A process
// we may not signal still counts as running.
bool IsRunning(const ProcessIdentity& process);

// "<pid>.<start time>": how a file's name says which process owns it.
std::string OwnerTag(const ProcessIdentity& process);
// Reads an owner tag at the start of `text`: the characters it took, 0 when there is none.
size_t ParseOwnerTag(const char* text, ProcessIdentity& process);
