// The recorder's event queue: a deque for the events and a self-pipe to wake poll().
#include "cli/EventQueue.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// One queue per process: the signal handler can reach only globals.
int g_wakeRead = -1;
int g_wakeWrite = -1;
volatile sig_atomic_t g_stopRequested = 0;

void Wake() {
    const char byte = 1;
    // A full pipe already holds a wake-up, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = write(g_wakeWrite, &byte, 1);
}

void OnStopSignal(int) {
    const int savedErrno = errno;
    g_stopRequested = 1;
    Wake();
    errno = savedErrno;
}

}  // namespace

CEventQueue::CEventQueue() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        g_wakeRead = fds[0];
        g_wakeWrite = fds[1];
    }
}

CEventQueue::~CEventQueue() {
    close(g_wakeRead);
    close(g_wakeWrite);
    g_wakeRead = g_wakeWrite = -1;
}

void CEventQueue::Post(const RecordingEvent& event) {
    {
        std::lock_guard lock(m_mutex);
        m_events.push_back(event);
    }
    Wake();
}

CEventQueue::Batch CEventQueue::Wait(int timeoutMs) {
    pollfd wake{g_wakeRead, POLLIN, 0};
    if (poll(&wake, 1, timeoutMs) > 0) {
        char drain[64];
        while (read(g_wakeRead, drain, sizeof drain) > 0) {
        }
    }
    Batch batch;
    batch.stopRequested = g_stopRequested != 0;
    g_stopRequested = 0;
    std::lock_guard lock(m_mutex);
    batch.events.assign(m_events.begin(), m_events.end());
    m_events.clear();
    return batch;
}

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // An SSH logout hangs up: the recording ends like at Ctrl+C. Started under nohup (SIGHUP
    // ignored), the user asked for it to go on after the logout, so that stays.
    struct sigaction hangUp {};
    if (sigaction(SIGHUP, nullptr, &hangUp) == 0 && hangUp.sa_handler != SIG_IGN) sigaction(SIGHUP, &action, nullptr);
}
