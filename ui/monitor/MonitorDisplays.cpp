// The GUI-thread side of the monitor feed.
#include "ui/monitor/MonitorDisplays.h"

CMonitorDisplays::CMonitorDisplays(CMonitorFeed& feed, CLevelBar& levels, CMonitorBar& monitor)
    : m_feed(feed), m_levels(levels), m_monitor(monitor) {
    m_feed.SetHistoryWidths(m_monitor.Total().width(), m_monitor.Track().width());
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Refresh(); });
    m_timer.start(40);
}

void CMonitorDisplays::Refresh() {
    m_feed.SetHistoryWidths(m_monitor.Total().width(), m_monitor.Track().width());
    if (!m_feed.TakePicture(m_picture)) return;
    // Only levels of a buffer not shown yet: a meter dropped to its bottom stays there.
    if (m_picture.buffers != m_shownBuffers) {
        m_shownBuffers = m_picture.buffers;
        m_levels.Left().SetValue(m_picture.leftLevel);
        m_levels.Right().SetValue(m_picture.rightLevel);
    }
    m_monitor.Scope().SetPicture(m_picture.scope);
    m_monitor.Total().SetPicture(m_picture.total);
    m_monitor.Track().SetPicture(m_picture.track);
}

void CMonitorDisplays::RecordingStopped() {
    Refresh();
    ClearScope();
    m_levels.DropToBottom();
}

void CMonitorDisplays::SetSilenceLevels(int left, int right) {
    Refresh();
    m_levels.SetSilenceLevels(left, right);
}

void CMonitorDisplays::ClearScope() {
    m_feed.ClearScope();
    m_monitor.Scope().Clear();
}
