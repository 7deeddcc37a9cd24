// Process start times from /proc, so an id taken over by a later process is not mistaken for it.
#include "platform/ProcessIdentity.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

uint64_t StartTimeOf(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid));
    FILE* file = std::fopen(path, "re");
    if (!file) return 0;
    char text[1024];
    const size_t length = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[length] = '\0';
    // The command name is in parentheses and may itself hold spaces or ")": fields are counted
    // from the last ")". The start time is field 22; field 3 follows the name.
    const char* field = std::strrchr(text, ')');
    if (!field) return 0;
    for (int number = 2; number < 22 && field; ++number) field = std::strchr(field + 1, ' ');
    return field ? std::strtoull(field + 1, nullptr, 10) : 0;
}

}  // namespace

ProcessIdentity ThisProcess() { return {getpid(), StartTimeOf(getpid())}; }

bool IsRunning(const ProcessIdentity& process) {
    if (process.pid <= 0) return false;
    if (kill(process.pid, 0) != 0 && errno != EPERM) return false;
    if (process.startTime == 0) return true;
    const uint64_t now = StartTimeOf(process.pid);
    // Unreadable /proc: the process exists, so assume it is the one.
    return now == 0 || now == process.startTime;
}

std::string OwnerTag(const ProcessIdentity& process) {
    return std::to_string(process.pid) + "." + std::to_string(process.startTime);
}

size_t ParseOwnerTag(const char* text, ProcessIdentity& process) {
    int pid = 0;
    unsigned long long startTime = 0;
    int used = 0;
    if (std::sscanf(text, "%d.%llu%n", &pid, &startTime, &used) != 2 || pid <= 0) return 0;
    process = {pid, startTime};
    return static_cast<size_t>(used);
}
