// The GUI-thread side of the monitor feed.
#include "ui/monitor/MonitorDisplays.h"

#include <QEvent>
#include <QWindow>

#include "ui/monitor/CoveredWindows.h"

namespace {

// The feed's buffers come every 100 or 200 ms; a few looks per period show each soon.
constexpr int kPollMs = 40;

}  // namespace

bool OnScreen(const QWidget& widget) {
    if (!widget.isVisible()) return false;
    const QWidget* window = widget.window();
    // A minimised window's widgets stay visible to Qt; an unmapped one is no longer exposed.
    return !window->isMinimized() && window->windowHandle() && window->windowHandle()->isExposed() &&
           !CCoveredWindows::Covered(*window);
}

CMonitorDisplays::CMonitorDisplays(CRingingFeed& feed, CLevelBar& levels, CMonitorBar& monitor)
    : m_feed(feed), m_levels(levels), m_monitor(monitor), m_bell(QSocketNotifier::Read) {
    m_feed.SetHistoryWidths(m_monitor.Total().width(), m_monitor.Track().width());
    if (m_feed.Bell() >= 0) m_bell.setSocket(m_feed.Bell());
    QObject::connect(&m_bell, &QSocketNotifier::activated, this, [this] { Refresh(); });
    m_poll.setInterval(kPollMs);
    QObject::connect(&m_poll, &QTimer::timeout, this, [this] { Refresh(); });
    for (QWidget* bar : {static_cast<QWidget*>(&m_levels), static_cast<QWidget*>(&m_monitor)})
        bar->installEventFilter(this);
    FollowVisibility();
}

void CMonitorDisplays::Refresh() {
    // Before the take: a buffer rung in after it wakes the next refresh.
    m_feed.Answer();
    m_feed.SetHistoryWidths(m_monitor.Total().width(), m_monitor.Track().width());
    const bool taken = m_feed.TakePicture(m_picture);
    if (taken) {
        // Only levels of a buffer not shown yet: a meter dropped to its bottom stays there.
        m_levelsBehind = m_levelsBehind || m_picture.buffers != m_shownBuffers;
        m_shownBuffers = m_picture.buffers;
        m_monitorBehind = true;
    }
    ShowPicture();
    if (taken && onPicture) onPicture();
}

void CMonitorDisplays::ShowPicture() {
    if (m_levelsBehind && OnScreen(m_levels)) {
        m_levelsBehind = false;
        m_levels.Left().SetValue(m_picture.leftLevel);
        m_levels.Right().SetValue(m_picture.rightLevel);
    }
    if (m_monitorBehind && OnScreen(m_monitor)) {
        m_monitorBehind = false;
        m_monitor.Scope().SetPicture(m_picture.scope);
        m_monitor.Total().SetPicture(m_picture.total);
        m_monitor.Track().SetPicture(m_picture.track);
    }
}

void CMonitorDisplays::RecordingStopped() {
    Refresh();
    ClearScope();
    m_levelsBehind = false;
    m_levels.DropToBottom();
}

void CMonitorDisplays::SetSilenceLevels(int left, int right) {
    Refresh();
    m_levelsBehind = false;  // the buffers so far give way to the new scale's bottom
    m_levels.SetSilenceLevels(left, right);
}

void CMonitorDisplays::ClearScope() {
    m_feed.ClearScope();
    // A bar shown later must not bring back what was cleared.
    m_picture.scope.hasWindow = false;
    m_picture.scope.validBytes = 0;
    m_monitor.Scope().Clear();
}

bool CMonitorDisplays::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == CCoveredWindows::kChanged) {
        FollowVisibility();
        return true;
    }
    switch (event->type()) {
    case QEvent::Paint:
        // Painted, so seen: the window's exposure may have come before it was watched, or
        // after the bar was shown.
        if (m_following && !(watched == &m_levels && m_levelsBehind) &&
            !(watched == &m_monitor && m_monitorBehind))
            break;
        [[fallthrough]];
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
    case QEvent::Expose:
        // A window made by this show is exposed later: watch it from now on.
        WatchWindows();
        // Once the event has been handled, so visibility and exposure are settled.
        if (!m_followQueued) {
            m_followQueued = true;
            QMetaObject::invokeMethod(this, [this] { FollowVisibility(); }, Qt::QueuedConnection);
        }
        break;
    default:
        break;
    }
    return false;
}

void CMonitorDisplays::WatchWindows() {
    // The bars' window (and so its native window) may be made or changed after they are.
    for (QWidget* bar : {static_cast<QWidget*>(&m_levels), static_cast<QWidget*>(&m_monitor)}) {
        QWidget* window = bar->window();
        if (window != bar) window->installEventFilter(this);
        if (!window->windowHandle()) continue;
        window->windowHandle()->installEventFilter(this);
        CCoveredWindows::Watch(*window);
    }
}

void CMonitorDisplays::FollowVisibility() {
    m_followQueued = false;
    WatchWindows();
    m_following = OnScreen(m_levels) || OnScreen(m_monitor);
    if (m_bell.isValid()) m_bell.setEnabled(m_following);
    else if (!m_following) m_poll.stop();
    else if (!m_poll.isActive()) m_poll.start();
    if (m_following) Refresh();
}
