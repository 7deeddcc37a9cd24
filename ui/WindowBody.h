// CWindowBody: the window's client area: the bars as bands above, the level meter bar at the left
// and the items list filling the rest beside it. The list and the meters keep room for their
// minimum; the bands take what they need of the rest, and scroll only where even that is too little.
#pragma once

#include <QCoreApplication>
#include <QWidget>

class CBandLayout;
class QAbstractItemView;
class QScrollArea;

class CWindowBody : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(CWindowBody)
public:
    // `list` shows at least `rows` rows whatever the bands need.
    CWindowBody(QAbstractItemView* list, int rows, QWidget* parent);

    void AddBand(QWidget* band);
    // The bar beside the list, as high as the list.
    void SetSide(QWidget* side);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int ListMinimumHeight() const;
    void Arrange();

    QAbstractItemView* m_list;
    int m_rows;
    QScrollArea* m_scroll;
    QWidget* m_bands;
    CBandLayout* m_bandLayout;
    QWidget* m_side = nullptr;
};
