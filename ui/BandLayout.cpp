// Band rows: filled in order, wrapped where the next band would not fit.
#include "ui/BandLayout.h"

#include <QWidget>
#include <algorithm>

CBandLayout::CBandLayout(QWidget* parent) : QLayout(parent) {}

CBandLayout::~CBandLayout() {
    for (QLayoutItem* item : m_items) delete item;
}

void CBandLayout::addItem(QLayoutItem* item) { m_items.push_back(item); }

QLayoutItem* CBandLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? m_items[index] : nullptr;
}

QLayoutItem* CBandLayout::takeAt(int index) {
    if (index < 0 || index >= count()) return nullptr;
    QLayoutItem* item = m_items[index];
    m_items.erase(m_items.begin() + index);
    return item;
}

QSize CBandLayout::minimumSize() const {
    // The widest band alone on a row.
    QSize size;
    for (const QLayoutItem* item : m_items)
        if (!item->isEmpty()) size = size.expandedTo(item->minimumSize());
    const QMargins margins = contentsMargins();
    return size.grownBy(margins);
}

QSize CBandLayout::sizeHint() const {
    // Every band on one row.
    int width = 0;
    int height = 0;
    for (const QLayoutItem* item : m_items) {
        if (item->isEmpty()) continue;
        width += item->sizeHint().width() + (width > 0 ? spacing() : 0);
        height = std::max(height, item->sizeHint().height());
    }
    return QSize(width, height).grownBy(contentsMargins());
}

void CBandLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int CBandLayout::Arrange(const QRect& rect, bool apply) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int gap = std::max(0, spacing());
    std::vector<QLayoutItem*> row;
    int top = area.top();
    auto finishRow = [&] {
        if (row.empty()) return;
        int height = 0;
        for (const QLayoutItem* item : row) height = std::max(height, item->sizeHint().height());
        if (apply) {
            int left = area.left();
            for (QLayoutItem* item : row) {
                const bool last = item == row.back();
                // Never wider than the row: a band wider than the window is squeezed, not cut.
                const int width = last ? area.right() + 1 - left : std::min(item->sizeHint().width(), area.right() + 1 - left);
                item->setGeometry(QRect(left, top, std::max(width, 0), height));
                left += width + gap;
            }
        }
        top += height + gap;
        row.clear();
    };
    int used = 0;
    for (QLayoutItem* item : m_items) {
        if (item->isEmpty()) continue;
        const int width = item->sizeHint().width();
        if (!row.empty() && used + gap + width > area.width()) finishRow();
        used = row.empty() ? width : used + gap + width;
        row.push_back(item);
    }
    finishRow();
    const QMargins margins = contentsMargins();
    return std::max(0, top - gap - area.top()) + margins.top() + margins.bottom();
}
