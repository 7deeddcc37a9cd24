// CLevelMeter: one channel's vertical level meter, in tenths of a decibel, with its silence
// threshold mark and tick labels.
#pragma once

#include <QString>
#include <vector>

#include "app/monitor/MeterScale.h"
#include "ui/monitor/ColorButton.h"

class CLevelMeter : public CColorButton {
public:
    // `channel` ("L", "R") is also its accessible name; assistive tools read its level in dB.
    explicit CLevelMeter(const QString& channel, QWidget* parent = nullptr);

    // Shows `level` and returns the level shown before.
    int SetValue(int level);
    int Value() const { return m_value; }
    void SetScale(const MeterScale& scale);
    const MeterScale& Scale() const { return m_scale; }

protected:
    void Render(QPainter& painter, const QRect& rect) override;

private:
    // The meter as Render draws it for `value`.
    void Draw(QPainter& painter, const QRect& rect, int value);
    // The meter of `size` as Render draws it for `value`.
    QImage Layer(const QSize& size, int value);
    // `part` of that, drawn into `image` at `at`.
    void DrawPart(QImage& image, const QPoint& at, const QSize& size, int value, const QRect& part);

    int m_value = 0;
    MeterScale m_scale;
    // The meter drawn empty and drawn full, and the bar's first row and raised edge below for each
    // top drawn so far. A change of level copies its rows from them: nothing is drawn again ten
    // times a second.
    QImage m_empty, m_full;
    // The two rows of top t at rows 2t and 2t + 1: one picture, so one paint engine for them all.
    QImage m_edges;
    std::vector<bool> m_edgesDrawn;  // by the bar's top: whether its rows are in m_edges yet
};

// "-12.3 dB"
QString LevelText(int level);
