// CStatusPane: a status bar pane of fixed width, black with white right-aligned text.
#pragma once

#include <QWidget>

#include "ui/monitor/StaticLabels.h"

class CStatusPane : public QWidget {
public:
    CStatusPane(int width, const QString& accessibleName, QWidget* parent = nullptr);

    void SetText(const QString& text);
    const QString& Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    // The time changes with each buffer, the words before it seldom; all on the pane's own colour.
    CStaticLabels m_labels;
};
