// CStaticLabels: short texts drawn again with each render, laid out once.
#pragma once

#include <QFont>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <unordered_map>

class QPainter;
class QRectF;

// Shaping a text costs more than drawing its glyphs, and the displays draw the same few labels
// with every frame. Draw puts a label's pixels exactly where QPainter::drawText(rect, alignment,
// text) would for a single line that fits its rectangle. A label whose last word changes at each
// draw (a running time) keeps the words before it laid out, and the time's characters too when
// the font places them side by side with no kerning.
class CStaticLabels {
public:
    void Draw(QPainter& painter, const QRectF& rect, int alignment, const QString& text);

private:
    // Laid out as one line at the origin.
    const QTextLayout& Laid(const QString& text);
    // Whether digits, colons and points land at the sum of the widths before them.
    bool TimeCharactersStandApart();

    QFont m_font;  // the texts are laid out for it, on a device of m_dpi
    int m_dpi = 0;
    QFont m_deviceFont;
    bool m_timesByCharacter = false;
    std::unordered_map<QString, std::unique_ptr<QTextLayout>> m_texts;
};
