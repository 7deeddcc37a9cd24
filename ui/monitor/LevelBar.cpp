// The level meter bar and its layout.
#include "ui/monitor/LevelBar.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>
#include <utility>

namespace {

// The bar's layout is given in dialog units of a 9-point Japanese face: 1.5 pixels each way.
int Du(int units) {
    return units * 3 / 2;
}

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// The bar is as narrow as the Windows face made it; a wider face here would cut the unit
// caption, so it gets the bar's width and a smaller size until it fits.
void FitCaption(QLabel* label, int width) {
    label->setGeometry(0, label->y(), width, label->height());
    QFont face = label->font();
    while (face.pointSize() > 5 && QFontMetrics(face).horizontalAdvance(label->text()) > width - 2)
        face.setPointSize(face.pointSize() - 1);
    label->setFont(face);
}

}  // namespace

CLevelBar::CLevelBar(QWidget* parent) : QWidget(parent) {
    QFont face;
    face.setFamilies({QStringLiteral("MS PGothic"), QStringLiteral("Noto Sans CJK JP")});
    face.setPointSize(9);
    setFont(face);
    setAccessibleName(QCoreApplication::translate("CLevelBar", "音量表示バー"));
    QLabel* unit = Caption(QCoreApplication::translate("CLevelBar", "単位：dB"), this);
    unit->setGeometry(Du(2), Du(1), Du(26), Du(8));
    FitCaption(unit, Du(30));
    m_left = new CLevelMeter(QStringLiteral("L"), this);
    m_left->setGeometry(Du(3), Du(10), Du(12), Du(223));
    m_right = new CLevelMeter(QStringLiteral("R"), this);
    m_right->setGeometry(Du(16), Du(10), Du(12), Du(223));
    m_leftCaption = Caption(QStringLiteral("L"), this);
    m_leftCaption->setGeometry(Du(4), Du(236), Du(8), Du(8));
    m_rightCaption = Caption(QStringLiteral("R"), this);
    m_rightCaption->setGeometry(Du(16), Du(236), Du(8), Du(8));
    setFixedWidth(Du(30));
}

void CLevelBar::SetSilenceLevels(int left, int right) {
    for (auto [meter, own] : {std::pair{m_left, left}, std::pair{m_right, right}}) {
        meter->SetScale(SilenceMeterScale(own, left, right));
        meter->SetValue(meter->Scale().bottom);
    }
}

void CLevelBar::DropToBottom() {
    m_left->SetValue(m_left->Scale().bottom);
    m_right->SetValue(m_right->Scale().bottom);
}

QSize CLevelBar::sizeHint() const {
    return {Du(30), Du(254)};
}

void CLevelBar::resizeEvent(QResizeEvent*) {
    const int meterHeight = std::max(0, height() - 35);
    for (CLevelMeter* meter : {m_left, m_right}) meter->resize(meter->width(), meterHeight);
    for (QLabel* caption : {m_leftCaption, m_rightCaption}) caption->move(caption->x(), height() - 20);
}
