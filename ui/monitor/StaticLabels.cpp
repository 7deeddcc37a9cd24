// Labels laid out once, placed as QPainter::drawText places them.
#include "ui/monitor/StaticLabels.h"

#include <QPaintDevice>
#include <QPainter>
#include <QVarLengthArray>
#include <algorithm>

namespace {

// Enough for a meter's ticks or a history's time marks through a long recording, or for the
// characters of a running time.
constexpr size_t kMaxTexts = 64;
// The most texts one label is drawn from: a time's characters and the words before it.
constexpr size_t kMaxParts = 16;

const QString kTimeCharacters = QStringLiteral("0123456789:.");

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

bool CStaticLabels::TimeCharactersStandApart() {
    // Every pair, laid out as one line, must put each character where its own width puts it.
    QString pairs;
    for (QChar first : kTimeCharacters)
        for (QChar second : kTimeCharacters) pairs.append(first).append(second);
    QTextLayout together(pairs, m_deviceFont);
    together.beginLayout();
    const QTextLine line = together.createLine();
    together.endLayout();
    double x = 0;
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        if (line.cursorToX(static_cast<int>(i)) != x) return false;
        x += Laid(pairs.mid(i, 1)).lineAt(0).naturalTextWidth();
    }
    return line.naturalTextWidth() == x;
}

void CStaticLabels::Draw(QPainter& painter, const QRectF& rect, int alignment, const QString& text) {
    const int dpi = painter.device()->logicalDpiY();
    if (painter.font() != m_font || dpi != m_dpi || m_texts.size() + kMaxParts > kMaxTexts) {
        // The painter sizes its face for the device it paints on, and so must the layout.
        const bool sameFace = painter.font() == m_font && dpi == m_dpi;
        m_font = painter.font();
        m_dpi = dpi;
        m_deviceFont = QFont(m_font, painter.device());
        m_texts.clear();
        if (!sameFace) m_timesByCharacter = TimeCharactersStandApart();
    }
    // The last word keeps the space before it: a line's natural width leaves out trailing spaces.
    const qsizetype space = text.lastIndexOf(QLatin1Char(' '));
    QVarLengthArray<const QTextLayout*, kMaxParts> parts;
    if (space > 0) parts.append(&Laid(text.left(space)));
    const QString word = space > 0 ? text.mid(space) : text;
    const qsizetype first = space > 0 ? 1 : 0;  // the word's first character, after its space
    const bool byCharacter = m_timesByCharacter && word.size() > first && word.size() - first < qsizetype(kMaxParts) &&
                             std::all_of(word.begin() + first, word.end(), [](QChar c) { return kTimeCharacters.contains(c); });
    if (!byCharacter) {
        parts.append(&Laid(word));
    } else {
        // A running time: its characters were laid out before, its whole never was.
        parts.append(&Laid(word.left(first + 1)));
        for (qsizetype i = first + 1; i < word.size(); ++i) parts.append(&Laid(word.mid(i, 1)));
    }
    // The whole line's measures, as drawText reckons them: the tallest part's, no leading.
    double width = 0, ascent = 0, descent = 0;
    for (const QTextLayout* part : parts) {
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
        const QTextLine line = part->lineAt(0);
        // On the line's baseline.
        part->draw(&painter, QPointF(x, y + ascent - line.ascent()));
        x += line.naturalTextWidth();
    }
}
