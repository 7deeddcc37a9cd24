// The level meter and what it tells assistive tools.
#include "ui/monitor/LevelMeter.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace {

// A meter reads as a progress bar whose value is the level in decibels.
class LevelMeterAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit LevelMeterAccessible(CLevelMeter* meter) : QAccessibleWidget(meter, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return LevelText(Meter()->Value());
        return QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return Meter()->Value() / 10.0; }
    void setCurrentValue(const QVariant&) override {}  // a meter is read, not set
    QVariant maximumValue() const override { return Meter()->Scale().top / 10.0; }
    QVariant minimumValue() const override { return Meter()->Scale().bottom / 10.0; }
    QVariant minimumStepSize() const override { return 0.1; }

private:
    CLevelMeter* Meter() const { return static_cast<CLevelMeter*>(widget()); }
};

QAccessibleInterface* MakeMeterAccessible(const QString&, QObject* object) {
    auto* meter = dynamic_cast<CLevelMeter*>(object);
    return meter ? new LevelMeterAccessible(meter) : nullptr;
}

}  // namespace

QString LevelText(int level) {
    return QStringLiteral("%1 dB").arg(level / 10.0, 0, 'f', 1);
}

CLevelMeter::CLevelMeter(const QString& channel, QWidget* parent) : CColorButton(parent) {
    static const bool factoryInstalled = (QAccessible::installFactory(MakeMeterAccessible), true);
    (void)factoryInstalled;
    foreground = QColor(53, 97, 141);
    setAccessibleName(channel);
}

int CLevelMeter::SetValue(int level) {
    const int previous = m_value;
    m_value = level;
    if (level != previous) {
        // Only the rows between the two bar tops change, and the raised edge's row below each; a
        // level on the same row changes no pixel.
        const int height = ImageSize().height();
        const int oldTop = MeterBarTop(m_scale, previous, height);
        const int newTop = MeterBarTop(m_scale, level, height);
        if (newTop != oldTop)
            Invalidate(QRect(0, std::min(oldTop, newTop), ImageSize().width(), std::abs(newTop - oldTop) + 2));
        if (QAccessible::isActive()) {
            QAccessibleValueChangeEvent event(this, level / 10.0);
            QAccessible::updateAccessibility(&event);
        }
    }
    return previous;
}

void CLevelMeter::SetScale(const MeterScale& scale) {
    m_scale = scale;
    Invalidate();
}

void CLevelMeter::Render(QPainter& painter, const QRect& rect) {
    // Above the bar every row is as in the empty meter; from two rows below its top, as in the full one.
    constexpr int kEdgeRows = 2;
    // Rendered whole: the size, the scale or the colours may have changed.
    if (!painter.hasClipping() || m_empty.size() != rect.size()) {
        m_empty = Layer(rect.size(), m_scale.bottom);
        m_full = Layer(rect.size(), m_scale.top);
        m_edges = QImage(rect.width(), kEdgeRows * rect.height(), QImage::Format_RGB32);
        m_edgesDrawn.assign(rect.height(), false);
        Draw(painter, rect, m_value);
        return;
    }
    const int top = MeterBarTop(m_scale, m_value, rect.height());
    painter.drawImage(rect.topLeft(), m_empty, QRect(0, 0, rect.width(), top));
    if (top >= rect.height()) return;
    // The two rows between depend on the top alone (a label may cross them): drawn once per top.
    const QRect edge(0, top, rect.width(), std::min(kEdgeRows, rect.height() - top));
    const QPoint edgeAt(0, kEdgeRows * top);
    if (!m_edgesDrawn[top]) {
        DrawPart(m_edges, edgeAt, rect.size(), m_value, edge);
        m_edgesDrawn[top] = true;
    }
    painter.drawImage(rect.topLeft() + edge.topLeft(), m_edges, QRect(edgeAt, edge.size()));
    if (top + kEdgeRows < rect.height())
        painter.drawImage(rect.topLeft() + QPoint(0, top + kEdgeRows), m_full,
                          QRect(0, top + kEdgeRows, rect.width(), rect.height() - top - kEdgeRows));
}

QImage CLevelMeter::Layer(const QSize& size, int value) {
    QImage layer(size, QImage::Format_RGB32);
    DrawPart(layer, QPoint(), size, value, QRect(QPoint(), size));
    return layer;
}

void CLevelMeter::DrawPart(QImage& image, const QPoint& at, const QSize& size, int value, const QRect& part) {
    QPainter painter(&image);
    painter.setFont(font());
    painter.translate(at - part.topLeft());
    // Only what lands in the part is drawn: a label elsewhere costs nothing.
    if (part.size() != size) painter.setClipRect(part);
    Draw(painter, QRect(QPoint(), size), value);
}

void CLevelMeter::Draw(QPainter& painter, const QRect& rect, int value) {
    const MeterLayout layout = LayOutMeter(m_scale, value, rect.height());
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), layout.barTop), background);
    if (layout.bar) {
        const QRect bar(rect.left(), layout.barTop, rect.width(), rect.height() - layout.barTop);
        painter.fillRect(bar, foreground);
        const ShadedColors raised = ShadeColors(foreground, 125);
        DrawEdge(painter, bar.adjusted(1, 1, -1, -1), raised.light, raised.dark);
    }
    DrawSunkenFrame(painter, rect);
    if (layout.mark) {
        painter.setPen(mark);
        painter.drawLine(rect.left() + 1, layout.markY, rect.right() - 1, layout.markY);
    }
    // A line's height below a tick and a margin for antialiasing: all its label's pixels.
    const int line = layout.ticks.empty() ? 0 : painter.fontMetrics().height();
    for (const MeterTick& tick : layout.ticks) {
        painter.setPen(grid);
        painter.drawLine(rect.left() + 1, tick.y, rect.right() - 1, tick.y);
        const QRect label(rect.left() + 2, tick.y, rect.width(), rect.height());
        if (!Drawn(painter, QRect(label.left(), label.top() - 2, label.width(), 2 * line + 2))) continue;
        painter.setPen(text);
        DrawLabel(painter, label, Qt::AlignLeft | Qt::AlignTop, QString::number(tick.label));
    }
}
