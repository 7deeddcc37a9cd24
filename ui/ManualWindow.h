// CManualWindow: the manual in a window of the program's own, so reading it needs no browser.
#pragma once

#include <QDialog>

class CManualWindow : public QDialog {
    Q_OBJECT
public:
    CManualWindow(const QString& manualPath, QWidget* parent);
};
