// CMonitorBar: the band with the whole-recording history above, the oscilloscope and the
// current track's history below.
#pragma once

#include <QWidget>

#include "ui/monitor/WaveHistory.h"
#include "ui/monitor/WaveScope.h"

class CMonitorBar : public QWidget {
public:
    explicit CMonitorBar(QWidget* parent = nullptr);

    CWaveHistory& Total() { return *m_total; }
    CWaveScope& Scope() { return *m_scope; }
    CWaveHistory& Track() { return *m_track; }

    QSize sizeHint() const override;

private:
    CWaveHistory* m_total;
    CWaveScope* m_scope;
    CWaveHistory* m_track;
};
