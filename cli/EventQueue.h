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
    // From now on a stop signal (the descriptor InstallStopSignals gave) wakes the reader too.
    void WatchStopSignals(int stopRequests) { m_stopRequests = stopRequests; }

    struct Batch {
        std::vector<RecordingEvent> events;  // in posting order
        bool stopRequested = false;
    };
    // Waits up to timeoutMs for something to arrive, then takes all of it.
    Batch Wait(int timeoutMs);

private:
    void Wake();

    std::mutex m_mutex;
    std::deque<RecordingEvent> m_events;
    // A self-pipe that wakes poll() for the events.
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    int m_stopRequests = -1;
};
