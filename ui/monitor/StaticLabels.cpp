// Labels laid out once, placed as QPainter::drawText places them.
#include "ui/monitor/StaticLabels.h"

#include <QPaintDevice>
#include <QPainter>
#include <QVarLengthArray>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

// Enough for a meter's ticks or a history's time marks through a long recording, or for the
// characters of a running time.
constexpr size_t kMaxTexts = 64;
// The most texts one label is drawn from: a time's characters and the words before it.
constexpr size_t kMaxParts = 16;

const QString kTimeCharacters = QStringLiteral("0123456789:.");

// The pictures kept of one text: its colours and places within a pixel seldom change.
constexpr size_t kMaxSprites = 8;

// The smallest rectangle holding every pixel of `image` that is not wholly transparent.
QRect Inked(const QImage& image) {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x])) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = y;
            }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Whether no colour of any pixel differs by more than one level: a picture's premultiplied
// colours round once more than glyphs blended straight onto the ground.
bool AlmostEqual(const QImage& a, const QImage& b) {
    for (int y = 0; y < a.height(); ++y) {
        const auto* rowA = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rowB = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (std::abs(qRed(rowA[x]) - qRed(rowB[x])) > 1 || std::abs(qGreen(rowA[x]) - qGreen(rowB[x])) > 1 ||
                std::abs(qBlue(rowA[x]) - qBlue(rowB[x])) > 1)
                return false;
    }
    return true;
}

}  // namespace

CStaticLabels::Text& CStaticLabels::Laid(const QString& text) {
    std::unique_ptr<Text>& laid = m_texts[text];
    if (!laid) {
        laid = std::make_unique<Text>(text, m_deviceFont);
        QTextLayout& layout = laid->layout;
        layout.setCacheEnabled(true);  // keeps the shaped glyphs
        layout.beginLayout();
        layout.createLine();  // as wide as the text: no wrapping
        layout.endLayout();
    }
    return *laid;
}

QRect CStaticLabels::DrawPart(QPainter& painter, Text& part, const QPointF& at, bool copyable, const QRect& previous) {
    if (!copyable || part.glyphsOnly) {
        part.layout.draw(&painter, at);
        return {};
    }
    // Glyphs land by where they fall within a pixel, so that place is part of the picture.
    const QPoint pixel(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())));
    const QPointF within = at - pixel;
    const QRgb colour = painter.pen().color().rgba();
    auto sprite = std::find_if(part.sprites.begin(), part.sprites.end(), [&](const Sprite& drawn) {
        return drawn.colour == colour && drawn.within == within;
    });
    if (sprite == part.sprites.end()) {
        std::optional<Sprite> drawn = Picture(part.layout, painter, within);
        if (!drawn) {
            part.glyphsOnly = true;
            part.sprites.clear();
            part.layout.draw(&painter, at);
            return {};
        }
        if (part.sprites.size() == kMaxSprites) part.sprites.clear();
        part.sprites.push_back(std::move(*drawn));
        sprite = part.sprites.end() - 1;
    }
    const QRect onto(pixel + sprite->origin, sprite->image.size());
    // Glyphs sharing pixels with the part before blend into its colours, which a picture made on
    // the ground would replace.
    if (m_ground.isValid() && onto.intersects(previous)) part.layout.draw(&painter, at);
    else if (!sprite->image.isNull()) painter.drawImage(onto.topLeft(), sprite->image);
    return onto;
}

std::optional<CStaticLabels::Sprite> CStaticLabels::Picture(const QTextLayout& layout, const QPainter& painter,
                                                            const QPointF& within) const {
    // Room all round for glyphs that reach outside their line, and for antialiasing.
    const QRectF line = layout.lineAt(0).naturalTextRect();
    const int margin = static_cast<int>(std::ceil(line.height())) + 2;
    const QSize size(static_cast<int>(std::ceil(line.width())) + 2 * margin,
                     static_cast<int>(std::ceil(line.height())) + 2 * margin);
    const auto drawGlyphs = [&](QImage& image) {
        QPainter glyphs(&image);
        glyphs.setRenderHints(painter.renderHints());
        glyphs.setPen(painter.pen());
        layout.draw(&glyphs, QPointF(margin, margin) + within);
    };
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    if (m_ground.isValid()) {
        // The pixels the glyphs changed, opaque: as they come out on the ground they come out here.
        QImage onGround(size, QImage::Format_RGB32);
        onGround.fill(m_ground);
        drawGlyphs(onGround);
        const QRgb ground = m_ground.rgb();
        for (int y = 0; y < size.height(); ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(onGround.constScanLine(y));
            auto* to = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < size.width(); ++x) to[x] = from[x] == ground ? 0 : from[x];
        }
    } else {
        picture.fill(Qt::transparent);
        drawGlyphs(picture);
        // Some faces blend their glyphs with a gamma of their own, or by subpixels; a picture
        // blended plainly would not give their colours.
        for (const QColor& ground : {QColor(Qt::black), QColor(Qt::gray), QColor(Qt::white)}) {
            QImage direct(size, QImage::Format_RGB32), copied(size, QImage::Format_RGB32);
            direct.fill(ground);
            copied.fill(ground);
            drawGlyphs(direct);
            QPainter(&copied).drawImage(0, 0, picture);
            if (!AlmostEqual(direct, copied)) return std::nullopt;
        }
    }
    const QRect inked = Inked(picture);
    return Sprite{painter.pen().color().rgba(), within, inked.topLeft() - QPoint(margin, margin), picture.copy(inked)};
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
        x += Laid(pairs.mid(i, 1)).layout.lineAt(0).naturalTextWidth();
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
    QVarLengthArray<Text*, kMaxParts> parts;
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
    for (const Text* part : parts) {
        const QTextLine line = part->layout.lineAt(0);
        width += line.naturalTextWidth();
        ascent = std::max(ascent, line.ascent());
        descent = std::max(descent, line.descent());
    }
    double x = rect.left(), y = rect.top();
    if (alignment & Qt::AlignRight) x += rect.width() - width;
    else if (alignment & Qt::AlignHCenter) x += (rect.width() - width) / 2;
    if (alignment & Qt::AlignBottom) y += rect.height() - (ascent + descent);
    else if (alignment & Qt::AlignVCenter) y += (rect.height() - (ascent + descent)) / 2;
    // A picture lands as its glyphs would only where whole pixels stay whole and the pen is plain.
    const QTransform device = painter.deviceTransform();
    const bool copyable = device.type() <= QTransform::TxTranslate && device.dx() == std::floor(device.dx()) &&
                          device.dy() == std::floor(device.dy()) && painter.pen().brush().style() == Qt::SolidPattern &&
                          painter.opacity() == 1 && painter.compositionMode() == QPainter::CompositionMode_SourceOver;
    QRect previous;
    for (Text* part : parts) {
        const QTextLine line = part->layout.lineAt(0);
        // On the line's baseline.
        previous = DrawPart(painter, *part, QPointF(x, y + ascent - line.ascent()), copyable, previous);
        x += line.naturalTextWidth();
    }
}
