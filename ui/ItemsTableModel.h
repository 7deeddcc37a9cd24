// CItemsTableModel: the Qt face of CRecordingItemsModel for the recorded items list; cells are
// produced when the view asks for them.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "app/files/RecordingItem.h"

class CRecordingItemsModel;
struct ItemsChange;

// Rows change on the audio thread; the model's listener only queues each change, which is
// applied here on the GUI thread, in order, to a copy of the rows the view reads from.
class CItemsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CItemsTableModel(CRecordingItemsModel& items, QObject* parent = nullptr);
    ~CItemsTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Applies the changes queued so far now; the GUI thread calls it after changing rows itself.
    void ApplyPending();
    QString PathAt(int row) const;

private:
    void Apply(const ItemsChange& change);

    CRecordingItemsModel& m_items;
    std::vector<RecordingItem> m_rows;  // as the view was told
};
