// The items list's Qt model over the recorded items.
#include "ui/ItemsTableModel.h"

#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>

#include "app/RecordingItemsModel.h"

namespace {

QIcon FileIcon(const QString& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    return icon.isNull() ? QIcon::fromTheme("audio-x-generic") : icon;
}

}  // namespace

CItemsTableModel::CItemsTableModel(CRecordingItemsModel& items, QObject* parent)
    : QAbstractTableModel(parent), m_items(items) {
    // Called on whichever thread changed the rows: queue, never wait for this one.
    m_items.SetChangeListener(
        [this] { QMetaObject::invokeMethod(this, &CItemsTableModel::Refresh, Qt::QueuedConnection); });
    m_rows = m_items.Count();
}

CItemsTableModel::~CItemsTableModel() { m_items.SetChangeListener(nullptr); }

int CItemsTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int CItemsTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kItemColumnCount; }

QVariant CItemsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows) return {};
    switch (role) {
    case Qt::DisplayRole: return QString::fromUtf8(m_items.CellText(index.row(), index.column()).c_str());
    case Qt::TextAlignmentRole:
        return int((kItemColumns[index.column()].rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case Qt::DecorationRole:
        if (index.column() == kColumnFileName) return FileIcon(PathAt(index.row()));
        return {};
    case Qt::ToolTipRole:
        if (index.column() == kColumnFileName) return PathAt(index.row());
        return {};
    default: return {};
    }
}

QVariant CItemsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kItemColumnCount) return {};
    if (role == Qt::DisplayRole) return QString::fromUtf8(kItemColumns[section].header);
    if (role == Qt::TextAlignmentRole)
        return int((kItemColumns[section].rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return {};
}

void CItemsTableModel::Refresh() {
    const int rows = m_items.Count();
    if (rows < m_rows) {
        // Rows go only on the GUI thread, by a list command or a start that clears the list.
        beginResetModel();
        m_rows = rows;
        endResetModel();
        return;
    }
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    }
    // A closed track refreshes its row in place.
    if (m_rows > 0) emit dataChanged(index(0, 0), index(m_rows - 1, kItemColumnCount - 1));
}

QString CItemsTableModel::PathAt(int row) const {
    const std::optional<RecordingItem> item = m_items.Item(row);
    return item ? QString::fromUtf8(item->path.c_str()) : QString();
}
