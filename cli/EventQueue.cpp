// The recorder's event queue: a deque for the events and a self-pipe to wake poll().
#include "cli/EventQueue.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "app/control/StopSignals.h"

CEventQueue::CEventQueue() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        m_wakeRead = fds[0];
        m_wakeWrite = fds[1];
    }
}

CEventQueue::~CEventQueue() {
    close(m_wakeRead);
    close(m_wakeWrite);
}

void CEventQueue::Wake() {
    const char byte = 1;
    // A full pipe already holds a wake-up, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t written = write(m_wakeWrite, &byte, 1);
}

void CEventQueue::Post(const RecordingEvent& event) {
    {
        std::lock_guard lock(m_mutex);
        m_events.push_back(event);
    }
    Wake();
}

CEventQueue::Batch CEventQueue::Wait(int timeoutMs) {
    // A negative descriptor (no stop signals watched) is passed over by poll().
    pollfd wake[2] = {{m_wakeRead, POLLIN, 0}, {m_stopRequests, POLLIN, 0}};
    if (poll(wake, 2, timeoutMs) > 0) {
        char drain[64];
        while (read(m_wakeRead, drain, sizeof drain) > 0) {
        }
    }
    Batch batch;
    batch.stopRequested = TakeStopRequest();
    std::lock_guard lock(m_mutex);
    batch.events.assign(m_events.begin(), m_events.end());
    m_events.clear();
    return batch;
}
