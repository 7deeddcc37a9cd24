// CManualWindow: the manual in a window of the program's own, for a desktop where nothing opens
// an HTML file.
#pragma once

#include <QDialog>

class CManualWindow : public QDialog {
    Q_OBJECT
public:
    CManualWindow(const QString& manualPath, QWidget* parent);
};
