// The client area's arrangement: bands, then the meters and the list side by side.
#include "ui/WindowBody.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

#include "ui/BandLayout.h"

namespace {

constexpr int kListMinimumWidth = 240;
// However small the window, a row of bands stays on screen to scroll the rest into view.
constexpr int kBandsMinimumHeight = 48;

}  // namespace

CWindowBody::CWindowBody(QAbstractItemView* list, int rows, QWidget* parent)
    : QWidget(parent), m_list(list), m_rows(rows), m_scroll(new QScrollArea(this)), m_bands(new QWidget) {
    m_bandLayout = new CBandLayout(m_bands);
    m_bandLayout->setContentsMargins(0, 0, 0, 0);
    m_bandLayout->setSpacing(2);
    m_scroll->setWidget(m_bands);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setAccessibleName(tr("バー"));
    // A band shown, hidden or grown changes how much room the rows take.
    m_bands->installEventFilter(this);
    m_list->setParent(this);
}

void CWindowBody::AddBand(QWidget* band) { m_bandLayout->addWidget(band); }

void CWindowBody::SetSide(QWidget* side) {
    m_side = side;
    side->setParent(this);
    side->installEventFilter(this);
}

int CWindowBody::ListMinimumHeight() const {
    int header = 0;
    int row = m_list->fontMetrics().height();
    if (const auto* table = qobject_cast<const QTableView*>(m_list)) {
        header = table->horizontalHeader()->sizeHint().height();
        row = table->verticalHeader()->defaultSectionSize();
    }
    // Room for a horizontal scroll bar too: the columns may be wider than the window.
    return header + m_rows * row + m_list->horizontalScrollBar()->sizeHint().height() + 2 * m_list->frameWidth();
}

QSize CWindowBody::minimumSizeHint() const {
    const int side = m_side && !m_side->isHidden() ? m_side->sizeHint().width() : 0;
    const int row = std::max(ListMinimumHeight(), m_side && !m_side->isHidden() ? m_side->minimumSizeHint().height() : 0);
    return {side + kListMinimumWidth, row + std::min(m_bandLayout->heightForWidth(width()), kBandsMinimumHeight)};
}

QSize CWindowBody::sizeHint() const {
    const QSize bands = m_bandLayout->sizeHint();
    return {std::max(bands.width(), minimumSizeHint().width()), bands.height() + 2 * ListMinimumHeight()};
}

bool CWindowBody::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((watched == m_bands && type == QEvent::LayoutRequest) ||
        (watched == m_side && (type == QEvent::ShowToParent || type == QEvent::HideToParent))) {
        Arrange();
        updateGeometry();
    }
    return QWidget::eventFilter(watched, event);
}

void CWindowBody::resizeEvent(QResizeEvent*) { Arrange(); }

void CWindowBody::Arrange() {
    const int wanted = m_bandLayout->heightForWidth(width());
    const int bands = std::min(wanted, std::max(height() - ListMinimumHeight(), std::min(wanted, kBandsMinimumHeight)));
    m_scroll->setGeometry(0, 0, width(), bands);
    m_scroll->setVisible(bands > 0);
    int left = 0;
    if (m_side && !m_side->isHidden()) {
        left = m_side->sizeHint().width();
        m_side->setGeometry(0, bands, left, height() - bands);
    }
    m_list->setGeometry(left, bands, width() - left, height() - bands);
}
