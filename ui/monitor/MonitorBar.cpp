// The monitor bar's layout.
#include "ui/monitor/MonitorBar.h"

#include <QCoreApplication>

namespace {

// Dialog units of the bar's 9-point Japanese face: 1.5 pixels each way.
QRect DuRect(int x, int y, int w, int h) {
    return QRect(x * 3 / 2, y * 3 / 2, w * 3 / 2, h * 3 / 2);
}

}  // namespace

CMonitorBar::CMonitorBar(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QCoreApplication::translate("CMonitorBar", "音声モニターバー"));
    m_total = new CWaveHistory(QCoreApplication::translate("CMonitorBar", "録音全体の波形"), this);
    m_total->setGeometry(DuRect(0, 1, 360, 18));
    m_scope = new CWaveScope(this);
    m_scope->setGeometry(DuRect(0, 20, 171, 25));
    m_track = new CWaveHistory(QCoreApplication::translate("CMonitorBar", "トラックの波形"), this);
    m_track->setGeometry(DuRect(173, 20, 187, 25));
    setFixedSize(sizeHint());
}

QSize CMonitorBar::sizeHint() const {
    return DuRect(0, 0, 360, 46).size();
}
