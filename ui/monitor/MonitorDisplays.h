// CMonitorDisplays: brings the monitor feed's pictures to the level bar and the monitor bar.
#pragma once

#include <QTimer>

#include "app/monitor/MonitorFeed.h"
#include "ui/monitor/LevelBar.h"
#include "ui/monitor/MonitorBar.h"

// GUI thread only. A timer takes the newest picture a few times per buffer period, so however
// many buffers arrive, each display renders at most once per tick and Qt coalesces the paints.
class CMonitorDisplays {
public:
    CMonitorDisplays(CMonitorFeed& feed, CLevelBar& levels, CMonitorBar& monitor);

    // Takes the newest picture, if any, into the displays (the timer calls it).
    void Refresh();
    // The recording (or a calibration's measuring) has stopped: empty scope, both meters at
    // their scale bottom; the histories keep their picture.
    void RecordingStopped();
    // New silence thresholds (settings, a preset, the calibration): rescaled meters. The scope
    // goes on showing the input, which the calibration asks the user to watch.
    void SetSilenceLevels(int left, int right);

private:
    void ClearScope();

    CMonitorFeed& m_feed;
    CLevelBar& m_levels;
    CMonitorBar& m_monitor;
    QTimer m_timer;
    MonitorPicture m_picture;
    uint64_t m_shownBuffers = 0;
};
