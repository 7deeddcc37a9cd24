// CColorButton: the colours, font, off-screen image and 3-D edges shared by the owner-drawn
// meters and monitor displays; ShadeColors.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include "ui/monitor/StaticLabels.h"

class QPainter;

struct ShadedColors {
    QColor dark;   // each byte × k / 256
    QColor light;  // each byte × 256 / k, at most 255
};
ShadedColors ShadeColors(const QColor& colour, int k);

// A 1-pixel edge along the border of `rect`.
void DrawEdge(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight);
// The sunken frame of the displays: ShadeColors of the button face with k = 50, dark at the top
// and left.
void DrawSunkenFrame(QPainter& painter, const QRect& rect);

class CColorButton : public QWidget {
public:
    explicit CColorButton(QWidget* parent = nullptr);

    QColor background{0, 18, 40};
    QColor foreground{90, 160, 200};
    QColor grid{22, 66, 96};
    QColor text{200, 200, 200};
    QColor mark{255, 0, 0};

    // The picture as last rendered, its changed part rendered again first. The control's size,
    // or 300 × 300 while it has none.
    const QImage& Image();

protected:
    QSize ImageSize() const;
    // Something shown changed, everywhere or in `area`: that part is rendered again before the
    // next paint, which Qt coalesces and leaves out while the control cannot be seen.
    void Invalidate();
    void Invalidate(const QRect& area);
    // Renders the whole of `rect`; the painter is clipped to the part that changed, and what lies
    // outside it (text above all) need not be drawn: Drawn tells. Unclipped after Invalidate()
    // or a new size: anything may have changed.
    virtual void Render(QPainter& painter, const QRect& rect) = 0;
    // A label as QPainter::drawText draws it, without laying it out again each render.
    void DrawLabel(QPainter& painter, const QRect& rect, int alignment, const QString& label) {
        m_labels.Draw(painter, rect, alignment, label);
    }
    // Drawn on the control over the copied image, never into it.
    virtual void PaintOver(QPainter&) {}
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    CStaticLabels m_labels;
    static constexpr QRect kEverything{0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    QRect m_dirty = kEverything;  // empty: the image is up to date
};

// Whether `area` reaches into the part `painter` renders.
bool Drawn(const QPainter& painter, const QRect& area);
