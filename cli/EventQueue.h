// CEventQueue: recording events and stop requests on their way to the recorder's main thread.
#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "app/control/RecordingControl.h"

class CEventQueue {
public:
    CEventQueue();
    ~CEventQueue();
    CEventQueue(const CEventQueue&) = delete;
    CEventQueue& operator=(const CEventQueue&) = delete;

    // Any thread, the capture thread included: holds a short mutex, never waits for the reader.
    void Post(const RecordingEvent& event);

    struct Batch {
        std::vector<RecordingEvent> events;  // in posting order
        bool stopRequested = false;
    };
    // Waits up to timeoutMs for something to arrive, then takes all of it.
    Batch Wait(int timeoutMs);

private:
    std::mutex m_mutex;
    std::deque<RecordingEvent> m_events;
};

// Installs SIGINT, SIGTERM and (unless ignored, as under nohup) SIGHUP handlers that only mark a
// stop request and wake the queue's reader (a handler may do nothing that is not
// async-signal-safe); the main loop then stops cleanly.
void InstallStopSignals();
