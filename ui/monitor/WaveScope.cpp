// The oscilloscope's drawing.
#include "ui/monitor/WaveScope.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>

namespace {

// Positive samples go up.
int TraceY(int sample, int innerTop, int halfHeight) {
    return innerTop + halfHeight - halfHeight * sample / 32700;
}

}  // namespace

CWaveScope::CWaveScope(QWidget* parent) : CColorButton(parent) {
    setAccessibleName(QCoreApplication::translate("CWaveScope", "オシロスコープ"));
}

void CWaveScope::SetPicture(const ScopePicture& picture) {
    m_picture = picture;
    Retrace();
}

void CWaveScope::Clear() {
    m_picture.hasWindow = false;
    m_picture.validBytes = 0;
    Retrace();
}

void CWaveScope::Retrace() {
    // The rows the old and the new traces cover; a quiet input changes a thin band about the centre.
    const QSize size = ImageSize();
    const int halfH = (size.height() - 2) / 2;
    const int count = FramesPerPanel();
    int top = size.height(), bottom = -1;
    for (int i = 0; i < count; ++i)
        for (bool right : {false, true}) {
            const int16_t sample = right ? ScopeRightSample(m_picture.data.data(), m_picture.format, i)
                                         : ScopeLeftSample(m_picture.data.data(), m_picture.format, i);
            const int y = TraceY(sample, 1, halfH);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    const QRect rows = bottom >= top ? QRect(0, top, size.width(), bottom - top + 1) : QRect();
    if (size == m_tracedIn) Invalidate(rows | m_traced);
    else Invalidate();
    m_traced = rows;
    m_tracedIn = size;
}

int CWaveScope::FramesPerPanel() const {
    if (!m_picture.hasWindow) return 0;
    const int innerWidth = (width() > 0 ? width() : 300) - 2;
    return ScopeFramesPerPanel(m_picture.format, m_picture.validBytes, innerWidth);
}

void CWaveScope::DrawBackdrop(QPainter& painter, const QRect& rect) {
    const QRect inner = rect.adjusted(1, 1, -1, -1);
    painter.fillRect(inner, background);
    const int halfH = inner.height() / 2;
    const int halfW = inner.width() / 2;
    painter.setPen(grid);
    painter.drawLine(inner.left(), halfH, inner.right(), halfH);
    DrawSunkenFrame(painter, QRect(rect.left(), rect.top(), halfW, rect.height()));
    DrawSunkenFrame(painter, QRect(halfW, rect.top(), rect.width() - halfW, rect.height()));
}

void CWaveScope::Render(QPainter& painter, const QRect& rect) {
    // Rendered whole: the size, the colours or the font may have changed.
    if (!painter.hasClipping() || m_backdrop.size() != rect.size()) {
        m_backdrop = QImage(rect.size(), QImage::Format_RGB32);
        QPainter backdrop(&m_backdrop);
        DrawBackdrop(backdrop, m_backdrop.rect());
        m_labelLine = painter.fontMetrics().height();
    }
    painter.drawImage(rect.topLeft(), m_backdrop);
    const QRect inner = rect.adjusted(1, 1, -1, -1);
    const int halfH = inner.height() / 2;
    const int halfW = inner.width() / 2;
    const int count = FramesPerPanel();
    if (count > 0) {
        const char* data = m_picture.data.data();
        painter.setPen(foreground);
        for (bool right : {false, true}) {
            m_trace.resize(count);
            const int x = inner.left() + (right ? halfW : 0);
            for (int i = 0; i < count; ++i) {
                const int16_t sample = right ? ScopeRightSample(data, m_picture.format, i)
                                             : ScopeLeftSample(data, m_picture.format, i);
                m_trace[i] = QPoint(x + i, TraceY(sample, inner.top(), halfH));
            }
            painter.drawPolyline(m_trace);
        }
    }
    const QRect labels(inner.left() + 1, rect.top(), inner.width(), inner.bottom() - 1 - rect.top());
    // The labels' line, and a pixel around it for antialiasing.
    if (!Drawn(painter, QRect(rect.left(), labels.bottom() - m_labelLine - 1, rect.width(), m_labelLine + 3))) return;
    painter.setPen(text);
    DrawLabel(painter, labels, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("LEFT"));
    DrawLabel(painter, labels.translated(halfW, 0), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("RIGHT"));
}
