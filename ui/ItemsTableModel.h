// CItemsTableModel: the Qt face of CRecordingItemsModel for the recorded items list; cells are
// produced when the view asks for them.
#pragma once

#include <QAbstractTableModel>

class CRecordingItemsModel;

// Rows change on the audio thread; the model's listener only queues a refresh, which runs here
// on the GUI thread and tells the view what changed.
class CItemsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CItemsTableModel(CRecordingItemsModel& items, QObject* parent = nullptr);
    ~CItemsTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Catches up with the rows now; the GUI thread calls it after changing rows itself.
    void Refresh();
    QString PathAt(int row) const;

private:
    CRecordingItemsModel& m_items;
    int m_rows = 0;  // the count the view was told
};
