// The monitor feed's bell.
#include "ui/monitor/RingingFeed.h"

#include <sys/eventfd.h>
#include <unistd.h>

CRingingFeed::CRingingFeed() : m_bell(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

CRingingFeed::~CRingingFeed() {
    if (m_bell >= 0) close(m_bell);
}

void CRingingFeed::Answer() {
    eventfd_t rings;
    if (m_bell >= 0) eventfd_read(m_bell, &rings);
}

void CRingingFeed::OnBuffer(const MonitorBuffer& buffer) {
    CMonitorFeed::OnBuffer(buffer);
    // A full counter only fails the write: the bell is still rung.
    if (m_bell >= 0) eventfd_write(m_bell, 1);
}
