// The shared base of the owner-drawn meters and monitor displays.
#include "ui/monitor/ColorButton.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>

ShadedColors ShadeColors(const QColor& colour, int k) {
    const auto dark = [k](int byte) { return byte * k / 256; };
    const auto light = [k](int byte) { return std::min(255, byte * 256 / k); };
    return {QColor(dark(colour.red()), dark(colour.green()), dark(colour.blue())),
            QColor(light(colour.red()), light(colour.green()), light(colour.blue()))};
}

void DrawEdge(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight) {
    if (rect.width() < 1 || rect.height() < 1) return;
    painter.setPen(topLeft);
    painter.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
    painter.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom());
    painter.setPen(bottomRight);
    painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
}

void DrawSunkenFrame(QPainter& painter, const QRect& rect) {
    const ShadedColors shade = ShadeColors(QApplication::palette().color(QPalette::Button), 50);
    DrawEdge(painter, rect, shade.dark, shade.light);
}

CColorButton::CColorButton(QWidget* parent) : QWidget(parent) {
    // The image covers every pixel: nothing to erase, nothing to flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Arial at 7 points; weight 100 asks for a thin face Arial does not have, and the face
    // drawn for it is the regular one, so ask for that (a thin fallback face is unreadable).
    QFont labels(QStringLiteral("Arial"));
    labels.setStyleHint(QFont::SansSerif);
    labels.setPointSize(7);
    setFont(labels);
}

bool Drawn(const QPainter& painter, const QRect& area) {
    return !painter.hasClipping() || painter.clipBoundingRect().toAlignedRect().intersects(area);
}

QSize CColorButton::ImageSize() const {
    return width() > 0 && height() > 0 ? size() : QSize(300, 300);
}

const QImage& CColorButton::Image() {
    const QSize size = ImageSize();
    if (m_image.size() != size) {
        m_image = QImage(size, QImage::Format_RGB32);
        m_dirty = kEverything;
    }
    // Changes that together cover the image are still changes: a clip tells Render it need not
    // draw its pictures of the unchanged anew.
    const bool whole = m_dirty == kEverything;
    m_dirty &= m_image.rect();
    if (!m_dirty.isEmpty()) {
        QPainter painter(&m_image);
        painter.setFont(font());
        if (!whole) painter.setClipRect(m_dirty);
        Render(painter, m_image.rect());
        m_dirty = QRect();
    }
    return m_image;
}

void CColorButton::Invalidate() {
    m_dirty = kEverything;
    update();
}

void CColorButton::Invalidate(const QRect& area) {
    m_dirty |= area;
    update(area);
}

void CColorButton::paintEvent(QPaintEvent* event) {
    const QImage& image = Image();
    QPainter painter(this);
    // Only what the window system asked for: one changed column of a history is one column.
    painter.drawImage(event->rect(), image, event->rect());
    PaintOver(painter);
}
