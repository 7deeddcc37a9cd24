// CMonitorDisplays: brings the monitor feed's pictures to the level bar and the monitor bar.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>

#include "ui/monitor/LevelBar.h"
#include "ui/monitor/MonitorBar.h"
#include "ui/monitor/RingingFeed.h"

// Whether `widget` can be seen: shown, in a window that is neither minimised, unmapped nor
// wholly covered.
bool OnScreen(const QWidget& widget);

// GUI thread only. The feed's bell wakes it once per buffer, to take the newest picture: each
// display renders at most once per buffer, and Qt coalesces the paints. The bell is heard only
// while a bar can be seen, and a bar that cannot be seen is not given the pictures: a minimised
// window does nothing per buffer. The histories' data stays in the feed, so a bar shown again
// gets the whole of it at once.
class CMonitorDisplays : public QObject {
public:
    CMonitorDisplays(CRingingFeed& feed, CLevelBar& levels, CMonitorBar& monitor);

    // Takes the newest picture, if any, into the displays that can be seen (the bell calls it).
    void Refresh();
    // The recording (or a calibration's measuring) has stopped: empty scope, both meters at
    // their scale bottom; the histories keep their picture.
    void RecordingStopped();
    // New silence thresholds (settings, a preset, the calibration): rescaled meters. The scope
    // goes on showing the input, which the calibration asks the user to watch.
    void SetSilenceLevels(int left, int right);
    // Whether a new buffer is shown at once: some bar can be seen.
    bool Refreshing() const { return m_following; }

    // Called after a new picture was taken, with its paints still to come: what else changes
    // per buffer is best updated then, so that Qt paints it all in one pass.
    std::function<void()> onPicture;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // After a bar or its window was shown, hidden, minimised, restored, mapped or unmapped.
    void FollowVisibility();
    void WatchWindows();
    void ShowPicture();
    void ClearScope();

    CRingingFeed& m_feed;
    CLevelBar& m_levels;
    CMonitorBar& m_monitor;
    QSocketNotifier m_bell;
    QTimer m_poll;  // in the bell's place, when the feed has none
    bool m_following = false;
    MonitorPicture m_picture;
    uint64_t m_shownBuffers = 0;
    bool m_levelsBehind = false;   // the meters have not been given the newest levels
    bool m_monitorBehind = false;  // nor the three monitor displays the newest picture
    bool m_followQueued = false;
};
