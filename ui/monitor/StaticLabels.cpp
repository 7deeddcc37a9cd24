// Labels laid out once, placed as QPainter::drawText places them.
#include "ui/monitor/StaticLabels.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

namespace {

// Enough for a meter's ticks or a history's time marks through a long recording.
constexpr size_t kMaxTexts = 64;

}  // namespace

const QTextLayout& CStaticLabels::Laid(const QString& text) {
    std::unique_ptr<QTextLayout>& laid = m_texts[text];
    if (!laid) {
        laid = std::make_unique<QTextLayout>(text, m_deviceFont);
        laid->setCacheEnabled(true);  // keeps the shaped glyphs
        laid->beginLayout();
        laid->createLine();  // as wide as the text: no wrapping
        laid->endLayout();
    }
    return *laid;
}

void CStaticLabels::Draw(QPainter& painter, const QRectF& rect, int alignment, const QString& text) {
    const int dpi = painter.device()->logicalDpiY();
    if (painter.font() != m_font || dpi != m_dpi || m_texts.size() + 2 > kMaxTexts) {
        // The painter sizes its face for the device it paints on, and so must the layout.
        m_font = painter.font();
        m_dpi = dpi;
        m_deviceFont = QFont(m_font, painter.device());
        m_texts.clear();
    }
    // The last word keeps the space before it: a line's natural width leaves out trailing spaces.
    const qsizetype space = text.lastIndexOf(QLatin1Char(' '));
    const QTextLayout* parts[] = {space > 0 ? &Laid(text.left(space)) : nullptr,
                                  &Laid(space > 0 ? text.mid(space) : text)};
    // The whole line's measures, as drawText reckons them: the tallest part's, no leading.
    double width = 0, ascent = 0, descent = 0;
    for (const QTextLayout* part : parts) {
        if (!part) continue;
        const QTextLine line = part->lineAt(0);
        width += line.naturalTextWidth();
        ascent = std::max(ascent, line.ascent());
        descent = std::max(descent, line.descent());
    }
    double x = rect.left(), y = rect.top();
    if (alignment & Qt::AlignRight) x += rect.width() - width;
    else if (alignment & Qt::AlignHCenter) x += (rect.width() - width) / 2;
    if (alignment & Qt::AlignBottom) y += rect.height() - (ascent + descent);
    else if (alignment & Qt::AlignVCenter) y += (rect.height() - (ascent + descent)) / 2;
    for (const QTextLayout* part : parts) {
        if (!part) continue;
        const QTextLine line = part->lineAt(0);
        // On the line's baseline.
        part->draw(&painter, QPointF(x, y + ascent - line.ascent()));
        x += line.naturalTextWidth();
    }
}
