// Stop requests by signal: a flag and a self-pipe, one per process, as a handler reaches only globals.
#include "app/control/StopSignals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_stopRead = -1;
int g_stopWrite = -1;
volatile sig_atomic_t g_stopRequested = 0;

void OnStopSignal(int) {
    const int savedErrno = errno;
    g_stopRequested = 1;
    const char byte = 1;
    // A full pipe already holds a wake-up, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = write(g_stopWrite, &byte, 1);
    errno = savedErrno;
}

}  // namespace

void IgnoreWriteSignals() {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

int InstallStopSignals(bool hangUpStops) {
    if (g_stopRead < 0) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
        g_stopRead = fds[0];
        g_stopWrite = fds[1];
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    struct sigaction hangUp {};
    if (hangUpStops && sigaction(SIGHUP, nullptr, &hangUp) == 0 && hangUp.sa_handler != SIG_IGN)
        sigaction(SIGHUP, &action, nullptr);
    return g_stopRead;
}

bool TakeStopRequest() {
    char drain[64];
    while (g_stopRead >= 0 && read(g_stopRead, drain, sizeof drain) > 0) {
    }
    const bool requested = g_stopRequested != 0;
    g_stopRequested = 0;
    return requested;
}
