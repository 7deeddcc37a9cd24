// CScheduleDlg: the recording schedule ("録音スケジュール"), beside the main window: the entries
// with their next start and last result; add, edit, remove, enable.
#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

class CScheduleBook;
class IMessageBoxes;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class CScheduleDlg : public QDialog {
    Q_OBJECT
public:
    enum Column { kNameColumn, kWhenColumn, kDurationColumn, kNextColumn, kResultColumn, kColumnCount };
    static constexpr int kShownStarts = 5;

    // `presets` gives the stored presets' names each time an entry is edited.
    CScheduleDlg(CScheduleBook& book, IMessageBoxes& boxes, std::function<std::vector<std::string>()> presets,
                 QWidget* parent = nullptr);

    // Reads the schedule file again and shows it; a file that does not read is told.
    void Reload();
    // The next starts and last results as they are now.
    void Refresh();

    QTreeWidget* Entries() const { return m_entries; }
    QListWidget* NextStarts() const { return m_nextStarts; }
    QLabel* Note() const { return m_note; }
    QPushButton* AddButton() const { return m_add; }
    QPushButton* EnableButton() const { return m_enable; }

signals:
    // An entry was added, changed, removed, enabled or disabled.
    void Changed();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void OnAdd();
    void OnEdit();
    void OnRemove();
    void OnEnable();
    void OnItemChanged(QTreeWidgetItem* item, int column);
    // The form for an entry; `name` empty adds one.
    void RunForm(const std::string& name);
    std::string CurrentName() const;
    void ShowCurrent();
    void Select(const std::string& name);

    CScheduleBook& m_book;
    IMessageBoxes& m_boxes;
    std::function<std::vector<std::string>()> m_presets;
    QTimer m_refresh;  // next starts move on and runs end while the dialog is open
    QTreeWidget* m_entries;
    QListWidget* m_nextStarts;
    QLabel* m_note;
    QPushButton* m_add;
    QPushButton* m_edit;
    QPushButton* m_remove;
    QPushButton* m_enable;
};
