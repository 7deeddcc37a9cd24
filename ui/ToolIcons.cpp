// Tool bar icons from the icon theme, with drawn stand-ins for desktops without one.
#include "ui/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kIconSize = 24;

// Simple shapes in the spirit of the usual media symbols, on a 24 × 24 grid.
void Draw(QPainter& p, Command id) {
    const QColor ink(0x30, 0x30, 0x30);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    switch (id) {
    case kCommandStart:
        p.setBrush(QColor(0xd0, 0x20, 0x20));
        p.drawEllipse(QRectF(4, 4, 16, 16));
        break;
    case kCommandStop: p.drawRect(QRectF(5, 5, 14, 14)); break;
    case kCommandPause:
        p.drawRect(QRectF(5, 4, 5, 16));
        p.drawRect(QRectF(14, 4, 5, 16));
        break;
    case kCommandSplit:
        p.drawRect(QRectF(11, 2, 2, 20));
        p.drawPolygon(QPolygonF({QPointF(2, 8), QPointF(9, 12), QPointF(2, 16)}));
        p.drawPolygon(QPolygonF({QPointF(22, 8), QPointF(15, 12), QPointF(22, 16)}));
        break;
    case kCommandTimer:
        p.setPen(QPen(ink, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(3, 3, 18, 18));
        p.drawLine(QPointF(12, 12), QPointF(12, 6));
        p.drawLine(QPointF(12, 12), QPointF(16, 14));
        break;
    case kCommandCalibrate:
        for (int bar = 0; bar < 5; ++bar) {
            p.setBrush(bar < 3 ? QColor(0x20, 0x90, 0x30) : QColor(0xb0, 0xb0, 0xb0));
            p.drawRect(QRectF(3 + bar * 4, 18 - bar * 3, 3, 3 + bar * 3));
        }
        break;
    case kCommandMixer:
        p.setPen(QPen(ink, 2));
        for (int slider = 0; slider < 3; ++slider) p.drawLine(QPointF(6 + slider * 6, 3), QPointF(6 + slider * 6, 21));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x20, 0x60, 0xc0));
        p.drawRect(QRectF(3, 13, 6, 4));
        p.drawRect(QRectF(9, 6, 6, 4));
        p.drawRect(QRectF(15, 10, 6, 4));
        break;
    case kCommandScheduler:
        p.setPen(QPen(ink, 2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 5, 18, 16));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xd0, 0x20, 0x20));
        p.drawRect(QRectF(3, 5, 18, 4));
        p.setBrush(ink);
        for (int cell = 0; cell < 6; ++cell) p.drawRect(QRectF(6 + cell % 3 * 5, 11 + cell / 3 * 5, 3, 3));
        break;
    default: break;
    }
}

}  // namespace

QIcon CommandIcon(const CommandInfo& command) {
    if (QIcon::hasThemeIcon(command.themeIcon)) return QIcon::fromTheme(command.themeIcon);
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    Draw(painter, command.id);
    return QIcon(pixmap);
}

QIcon ProgramIcon() { return QIcon(QStringLiteral(":/velsona/velsona.svg")); }
