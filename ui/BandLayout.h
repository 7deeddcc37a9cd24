// CBandLayout: the bars above the list laid out as bands: in order, left to right, each at its
// preferred width, starting a new row where the next one does not fit; the last band of a row
// takes the rest of it. Narrow windows get more rows rather than cut-off bars.
#pragma once

#include <QLayout>
#include <vector>

class CBandLayout : public QLayout {
public:
    explicit CBandLayout(QWidget* parent = nullptr);
    ~CBandLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(m_items.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return Arrange(QRect(0, 0, width, 0), false); }
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the shown bands in `rect` (only measures without `apply`); returns the height used.
    int Arrange(const QRect& rect, bool apply) const;

    std::vector<QLayoutItem*> m_items;
};
