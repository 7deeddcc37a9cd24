// CMonitorObserver: what the meters and monitor displays are fed with, on the audio thread.
#pragma once

#include "recording/PcmFormat.h"

// One captured buffer as the displays see it: before the pause test, so meters and scope keep
// moving while paused.
struct MonitorBuffer {
    const char* data = nullptr;  // 16-bit interleaved PCM in the capture format
    int bytes = 0;
    PcmFormat format;
    int leftLevel = -903;  // tenths of a decibel
    int rightLevel = -903;
    bool paused = false;
};

// Called on the audio thread: must not block, wait for the GUI thread or allocate.
class CMonitorObserver {
public:
    virtual ~CMonitorObserver() = default;
    virtual void OnRecordingStart(const PcmFormat& format) = 0;
    virtual void OnTrackOpen(const PcmFormat& format) = 0;
    virtual void OnBuffer(const MonitorBuffer& buffer) = 0;
};
