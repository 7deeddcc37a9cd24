// CWaveHistory: a waveform history (the whole recording, or the current track): one column of
// extremes and averages per slice of time, time marks, and the mark of the column being filled.
#pragma once

#include <QString>

#include "app/monitor/MonitorFeed.h"
#include "ui/monitor/ColorButton.h"

class CWaveHistory : public CColorButton {
public:
    explicit CWaveHistory(const QString& name, QWidget* parent = nullptr);

    void SetPicture(const HistoryPicture& picture);
    const HistoryPicture& Picture() const { return m_picture; }
    // Blank space each side of the columns; 0 while the history has no column time.
    int Margin() const;
    // The position mark's x, or -1 when none is drawn.
    int MarkX() const;

protected:
    void Render(QPainter& painter, const QRect& rect) override;
    void PaintOver(QPainter& painter) override;

private:
    int64_t Columns() const;
    HistoryPicture m_picture;
    // The time marks' labels, made for a span of m_labelledSpan.
    QString m_timeLabels[3];
    int64_t m_labelledSpan = -1;
};
