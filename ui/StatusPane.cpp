// The track and total time panes of the status bar.
#include "ui/StatusPane.h"

#include <QPainter>

namespace {

constexpr Qt::GlobalColor kPaneColour = Qt::black;

}  // namespace

CStatusPane::CStatusPane(int width, const QString& accessibleName, QWidget* parent)
    : QWidget(parent), m_labels(kPaneColour) {
    setFixedWidth(width);
    setMinimumHeight(fontMetrics().height() + 4);
    setAccessibleName(accessibleName);
    // It fills itself: the status bar behind need not be painted with each new time.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CStatusPane::SetText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    // Screen readers read the pane's value as its description.
    setAccessibleDescription(text);
    update();
}

void CStatusPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kPaneColour);
    painter.setPen(Qt::white);
    const QRect area = rect().adjusted(0, 0, -3, 0);
    painter.setClipRect(area);  // as drawText cuts a text too long for its place
    m_labels.Draw(painter, area, Qt::AlignRight | Qt::AlignVCenter, m_text);
}
