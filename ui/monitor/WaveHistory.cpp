// The waveform history's drawing.
#include "ui/monitor/WaveHistory.h"

#include <QPainter>
#include <algorithm>

#include "app/monitor/HistoryColumns.h"

namespace {

// From y0 up to but not including y1, as the platform's lines run: a column of zeros draws no
// pixel on the centre line.
void VerticalLine(QPainter& painter, int x, int y0, int y1) {
    if (y0 == y1) return;
    painter.drawLine(x, y0, x, y1 > y0 ? y1 - 1 : y1 + 1);
}

// A maximum is drawn below the centre line, a minimum above: the picture is the same either way.
int ValueY(int value, int mid) {
    return mid + mid * value / 32700;
}

}  // namespace

CWaveHistory::CWaveHistory(const QString& name, QWidget* parent) : CColorButton(parent) {
    setAccessibleName(name);
}

void CWaveHistory::SetPicture(const HistoryPicture& picture) {
    const bool sameLayout = picture.msPerColumn == m_picture.msPerColumn && picture.span == m_picture.span &&
                            picture.extremes.size() == m_picture.extremes.size() &&
                            picture.averages.size() == m_picture.averages.size();
    const int oldMark = MarkX();
    // Usually one new column; a halving or a new history changes them all.
    int64_t first = -1, last = -1;
    if (sameLayout) {
        for (size_t v = 0; v < picture.extremes.size(); ++v)
            if (picture.extremes[v] != m_picture.extremes[v] || picture.averages[v] != m_picture.averages[v]) {
                if (first < 0) first = static_cast<int64_t>(v / 2);
                last = static_cast<int64_t>(v / 2);
            }
    }
    m_picture = picture;
    if (!sameLayout) {
        Invalidate();
        return;
    }
    const int height = ImageSize().height();
    if (first >= 0) Invalidate(QRect(Margin() + static_cast<int>(first), 0, static_cast<int>(last - first + 1), height));
    // The mark is drawn over the image: moving it repaints, renders nothing.
    if (MarkX() != oldMark) {
        update(QRect(oldMark, 0, 1, height));
        update(QRect(MarkX(), 0, 1, height));
    }
}

int64_t CWaveHistory::Columns() const {
    return m_picture.msPerColumn > 0 ? m_picture.span / m_picture.msPerColumn : 0;
}

int CWaveHistory::Margin() const {
    const int w = width() > 0 ? width() : 300;
    return static_cast<int>(std::max<int64_t>(0, w - Columns()) / 2);
}

int CWaveHistory::MarkX() const {
    return m_picture.msPerColumn > 0 ? Margin() + m_picture.position / 2 : -1;
}

void CWaveHistory::Render(QPainter& painter, const QRect& rect) {
    painter.fillRect(rect, background);
    const int mid = rect.height() / 2;
    painter.setPen(grid);
    painter.drawLine(rect.left(), mid, rect.right(), mid);
    if (m_picture.msPerColumn > 0) {
        const int64_t columns = Columns();
        const int margin = Margin();
        if (static_cast<int64_t>(m_picture.extremes.size()) >= 2 * columns &&
            m_picture.averages.size() == m_picture.extremes.size()) {
            const std::vector<int16_t>* arrays[] = {&m_picture.extremes, &m_picture.averages};
            const QColor colours[] = {foreground, ShadeColors(foreground, 125).light};
            // Only the columns that are rendered: most renders are of one new column.
            int64_t from = 0, to = columns;
            if (painter.hasClipping()) {
                const QRect clip = painter.clipBoundingRect().toAlignedRect();
                from = std::max<int64_t>(0, clip.left() - rect.left() - margin);
                to = std::min<int64_t>(columns, clip.right() + 1 - rect.left() - margin);
            }
            for (int pass = 0; pass < 2; ++pass) {
                painter.setPen(colours[pass]);
                const std::vector<int16_t>& values = *arrays[pass];
                for (int64_t i = from; i < to; ++i)
                    VerticalLine(painter, rect.left() + margin + static_cast<int>(i), ValueY(values[2 * i], mid),
                                 ValueY(values[2 * i + 1], mid));
            }
        }
        if (margin > 0) {
            const int half = static_cast<int>(columns / 2);
            const int64_t times[] = {0, m_picture.span / 2, m_picture.span};
            const int xs[] = {margin, margin + half, margin + static_cast<int>(columns)};
            for (int k = 0; k < 3; ++k) {
                const int x = rect.left() + xs[k];
                painter.setPen(grid);
                painter.drawLine(x, rect.top(), x, rect.bottom());
                const QRect label(x - 40, rect.top(), 80, rect.height());
                if (!Drawn(painter, label)) continue;
                painter.setPen(text);
                if (m_labelledSpan != m_picture.span) {
                    for (int t = 0; t < 3; ++t)
                        m_timeLabels[t] = QString::fromStdString(HistoryTimeLabel(times[t], m_picture.span));
                    m_labelledSpan = m_picture.span;
                }
                DrawLabel(painter, label, Qt::AlignHCenter | Qt::AlignBottom, m_timeLabels[k]);
            }
        }
    }
    DrawSunkenFrame(painter, rect);
}

void CWaveHistory::PaintOver(QPainter& painter) {
    const int x = MarkX();
    if (x < 0) return;
    painter.setPen(mark);
    painter.drawLine(x, 0, x, height() - 1);
}
