// CWaveScope: the two-panel oscilloscope of the newest captured block, left channel in the
// left half, right channel in the right half.
#pragma once

#include <QImage>
#include <QPolygon>

#include "app/monitor/MonitorFeed.h"
#include "ui/monitor/ColorButton.h"

class CWaveScope : public CColorButton {
public:
    explicit CWaveScope(QWidget* parent = nullptr);

    void SetPicture(const ScopePicture& picture);
    // Empty panels.
    void Clear();
    // Frames drawn in each panel now.
    int FramesPerPanel() const;

protected:
    void Render(QPainter& painter, const QRect& rect) override;

private:
    // Invalidates what the trace covered and covers now.
    void Retrace();
    // The panels' frames and centre lines, under the trace.
    void DrawBackdrop(QPainter& painter, const QRect& rect);

    ScopePicture m_picture;
    QRect m_traced;  // the rows of the trace in an image of m_tracedIn
    QSize m_tracedIn;
    QPolygon m_trace;
    QImage m_backdrop;  // drawn at each whole render: a new trace draws only itself and the labels
    int m_labelLine = 0;  // the labels' line height, measured then too
};
