// CFileBar: the output folder, file name and preset bar's widgets over CFileBarModel; its
// preset buttons act on the whole CBarSet.
#pragma once

#include <functional>

#include "app/bars/BarSet.h"
#include "ui/bars/BarWidget.h"

class QComboBox;
class QPushButton;

class CFileBar : public CBarWidget {
    Q_OBJECT
public:
    CFileBar(CBarSet& bars, QWidget* parent = nullptr);
    ~CFileBar() override;

    void ReadControls() override;
    void WriteControls() override;

    // "参照", also the menu's "出力先フォルダを設定(&S)".
    void Browse();
    // "編集": the file-name dialog, modal.
    void EditTemplate();

    // Shows the folder browser and gives the chosen folder, or empty; none shows Qt's.
    std::function<QString(const QString& start)> chooseFolder;

signals:
    // A preset was selected or deleted: the fields, the silence thresholds among them, changed.
    void settingsLoaded();
    // The folder or the template changed: browsed, edited in the dialog or chosen from the list.
    void edited();

private:
    CBarSet& m_bars;
    CFileBarModel& m_model;
    QComboBox* m_preset;
    QComboBox* m_folder;
    QComboBox* m_fileName;
};
