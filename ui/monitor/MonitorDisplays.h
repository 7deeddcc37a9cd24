// CMonitorDisplays: brings the monitor feed's pictures to the level bar and the monitor bar.
#pragma once

#include <QObject>
#include <QTimer>

#include "app/monitor/MonitorFeed.h"
#include "ui/monitor/LevelBar.h"
#include "ui/monitor/MonitorBar.h"

// Whether `widget` can be seen: shown, in a window that is neither minimised, unmapped nor
// wholly covered.
bool OnScreen(const QWidget& widget);

// GUI thread only. A timer takes the newest picture a few times per buffer period, so however
// many buffers arrive, each display renders at most once per tick and Qt coalesces the paints.
// The timer runs only while a bar can be seen, and a bar that cannot be seen is not given the
// pictures: a minimised window does nothing per buffer. The histories' data stays in the feed,
// so a bar shown again gets the whole of it at once.
class CMonitorDisplays : public QObject {
public:
    CMonitorDisplays(CMonitorFeed& feed, CLevelBar& levels, CMonitorBar& monitor);

    // Takes the newest picture, if any, into the displays that can be seen (the timer calls it).
    void Refresh();
    // The recording (or a calibration's measuring) has stopped: empty scope, both meters at
    // their scale bottom; the histories keep their picture.
    void RecordingStopped();
    // New silence thresholds (settings, a preset, the calibration): rescaled meters. The scope
    // goes on showing the input, which the calibration asks the user to watch.
    void SetSilenceLevels(int left, int right);
    bool Refreshing() const { return m_timer.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // After a bar or its window was shown, hidden, minimised, restored, mapped or unmapped.
    void FollowVisibility();
    void WatchWindows();
    void ShowPicture();
    void ClearScope();

    CMonitorFeed& m_feed;
    CLevelBar& m_levels;
    CMonitorBar& m_monitor;
    QTimer m_timer;
    MonitorPicture m_picture;
    uint64_t m_shownBuffers = 0;
    bool m_levelsBehind = false;   // the meters have not been given the newest levels
    bool m_monitorBehind = false;  // nor the three monitor displays the newest picture
    bool m_followQueued = false;
};
