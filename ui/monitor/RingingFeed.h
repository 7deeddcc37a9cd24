// CRingingFeed: the monitor feed that tells the GUI thread of each buffer it took in.
#pragma once

#include "app/monitor/MonitorFeed.h"

// The displays wake once per buffer instead of polling for pictures. The bell is an eventfd:
// ringing it neither blocks nor allocates, as the audio thread requires, and rings not yet
// answered add up to one wake.
class CRingingFeed : public CMonitorFeed {
public:
    CRingingFeed();
    ~CRingingFeed() override;

    // Readable while rung and not answered; -1 if the system gave no eventfd.
    int Bell() const { return m_bell; }
    // GUI thread: quiets the bell.
    void Answer();

    // Audio thread.
    void OnBuffer(const MonitorBuffer& buffer) override;

private:
    int m_bell;
};
