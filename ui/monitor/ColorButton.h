// CColorButton: the colours, font, off-screen image and 3-D edges shared by the owner-drawn
// meters and monitor displays; ShadeColors.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

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

    // The picture as last rendered, rendered again first when something changed. The control's
    // size, or 300 × 300 while it has none.
    const QImage& Image();

protected:
    // Something shown changed: render again before the next paint, which Qt coalesces.
    void Invalidate();
    virtual void Render(QPainter& painter, const QRect& rect) = 0;
    // Drawn on the control over the copied image, never into it.
    virtual void PaintOver(QPainter&) {}
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    bool m_dirty = true;
};
