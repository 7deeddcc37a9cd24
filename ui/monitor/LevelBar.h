// CLevelBar: the narrow bar at the window's left with the unit caption and the left and right
// level meters.
#pragma once

#include <QWidget>

#include "ui/monitor/LevelMeter.h"

class QLabel;

class CLevelBar : public QWidget {
public:
    explicit CLevelBar(QWidget* parent = nullptr);

    CLevelMeter& Left() { return *m_left; }
    CLevelMeter& Right() { return *m_right; }
    // Both meters run from the lower threshold to 0 dB, each with its own threshold's mark, and
    // show their scale bottom.
    void SetSilenceLevels(int left, int right);
    // After a stop: both meters at their scale bottom.
    void DropToBottom();

    QSize sizeHint() const override;

protected:
    // The meters take the bar's height less 35 pixels, their captions sit 20 pixels above the foot.
    void resizeEvent(QResizeEvent* event) override;

private:
    CLevelMeter* m_left;
    CLevelMeter* m_right;
    QLabel* m_leftCaption;
    QLabel* m_rightCaption;
};
