// CLogWindow: the activity log's recent entries, kept up to date while it is open, with the latest
// problem highlighted.
#pragma once

#include <QDialog>
#include <QTimer>
#include <sys/types.h>

class QLabel;
class QPlainTextEdit;

class CLogWindow : public QDialog {
    Q_OBJECT
public:
    CLogWindow(const QString& logPath, QWidget* parent);

    QPlainTextEdit* Entries() const { return m_entries; }
    QLabel* LatestProblem() const { return m_problem; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Reads the file again when it changed (another writer, a rotation) since the last look.
    void Refresh();

    QString m_path;
    QPlainTextEdit* m_entries;
    QLabel* m_problem;
    QTimer m_poll;
    struct FileStamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        long modified = 0;  // nanoseconds within the second are enough beside the size
        bool operator==(const FileStamp&) const = default;
    } m_seen;
};
