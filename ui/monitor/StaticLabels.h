// CStaticLabels: short texts drawn again with each render, laid out once.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class QPainter;
class QRectF;

// Shaping a text costs more than drawing its glyphs, and the displays draw the same few labels
// with every frame. Draw puts a label's pixels exactly where QPainter::drawText(rect, alignment,
// text) would for a single line that fits its rectangle. A label whose last word changes at each
// draw (a running time) keeps the words before it laid out, and the time's characters too when
// the font places them side by side with no kerning. Where the painter maps whole pixels to whole
// pixels, each part is drawn once into a picture of its own per colour and place within a pixel,
// and copied from there, a colour at most one level off where antialiasing blends: blending a
// picture is cheaper than blending its glyphs one by one.
class CStaticLabels {
public:
    // `ground`, when valid, is the one colour every label is drawn onto, with nothing else beneath
    // it (a pane that fills itself): a picture of the glyphs on it then gives their very colours,
    // whatever the face's blending.
    explicit CStaticLabels(const QColor& ground = QColor()) : m_ground(ground) {}

    void Draw(QPainter& painter, const QRectF& rect, int alignment, const QString& text);

private:
    // One part's glyphs in one colour, as drawn at one place within a pixel.
    struct Sprite {
        QRgb colour;
        QPointF within;  // where the line's top left falls within its pixel
        QPoint origin;   // the image's top left from that pixel
        QImage image;    // empty when the text has no ink
    };
    struct Text {
        QTextLayout layout;
        std::vector<Sprite> sprites;
        bool glyphsOnly = false;  // its face blends in a way a picture cannot
        explicit Text(const QString& text, const QFont& font) : layout(text, font) {}
    };

    // Laid out as one line at the origin.
    Text& Laid(const QString& text);
    // Draws `part` with its line's top left at `at`, from its picture when `copyable`, the part
    // before it copied into `previous`; returns where its picture goes, whether copied or not.
    QRect DrawPart(QPainter& painter, Text& part, const QPointF& at, bool copyable, const QRect& previous);
    // The picture of `layout` in the painter's pen, its line's top left `within` a pixel; none when
    // copying it would not give the colours its glyphs give, within a level.
    std::optional<Sprite> Picture(const QTextLayout& layout, const QPainter& painter, const QPointF& within) const;
    // Whether digits, colons and points land at the sum of the widths before them.
    bool TimeCharactersStandApart();

    const QColor m_ground;
    QFont m_font;  // the texts are laid out for it, on a device of m_dpi
    int m_dpi = 0;
    QFont m_deviceFont;
    bool m_timesByCharacter = false;
    std::unordered_map<QString, std::unique_ptr<Text>> m_texts;
};
