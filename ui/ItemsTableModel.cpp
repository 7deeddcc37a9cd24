// The items list's Qt model over the recorded items.
#include "ui/ItemsTableModel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QMimeDatabase>
#include <QStyle>

#include "app/files/RecordingItemsModel.h"
#include "app/language/Catalogue.h"

namespace {

QIcon FileIcon(const QString& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    return icon.isNull() ? QIcon::fromTheme(QStringLiteral("audio-x-generic")) : icon;
}

// A track that clipped carries this in its length cell, where the ear would place the damage.
QIcon ClipIcon() {
    return QIcon::fromTheme(QStringLiteral("dialog-warning"), QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning));
}

int Alignment(int column) {
    return int((kItemColumns[column].rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
}

}  // namespace

CItemsTableModel::CItemsTableModel(CRecordingItemsModel& items, QObject* parent)
    : QAbstractTableModel(parent), m_items(items), m_rows(items.Snapshot()) {
    // Called on whichever thread changed the rows, inside the model's lock: queue, never wait.
    m_items.SetChangeListener([this](const ItemsChange& change) {
        QMetaObject::invokeMethod(this, [this, change] { Apply(change); }, Qt::QueuedConnection);
    });
}

CItemsTableModel::~CItemsTableModel() { m_items.SetChangeListener(nullptr); }

int CItemsTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CItemsTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kItemColumnCount; }

QVariant CItemsTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const RecordingItem& item = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole: return QString::fromUtf8(ItemCellText(item, index.row(), index.column()).c_str());
    case Qt::TextAlignmentRole: return Alignment(index.column());
    case Qt::DecorationRole:
        if (index.column() == kColumnFileName) return FileIcon(QString::fromUtf8(item.path.c_str()));
        if (index.column() == kColumnLength && item.sound && item.sound->Clipped()) return ClipIcon();
        return {};
    case Qt::AccessibleDescriptionRole:
        if (index.column() == kColumnLength && item.sound && item.sound->Clipped()) return tr("クリップしています");
        return {};
    case Qt::ToolTipRole: {
        QString tip = index.column() == kColumnFileName ? QString::fromUtf8(item.path.c_str()) : QString();
        if (item.sound) tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + Said(SoundFiguresText(*item.sound));
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    default: return {};
    }
}

QVariant CItemsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kItemColumnCount) return {};
    if (role == Qt::DisplayRole) return QCoreApplication::translate("RecordingItems", kItemColumns[section].header);
    if (role == Qt::TextAlignmentRole) return Alignment(section);
    return {};
}

void CItemsTableModel::ApplyPending() { QCoreApplication::sendPostedEvents(this, QEvent::MetaCall); }

void CItemsTableModel::Apply(const ItemsChange& change) {
    const int last = change.row + change.count - 1;
    switch (change.kind) {
    case ItemsChangeKind::Inserted:
        beginInsertRows({}, change.row, last);
        m_rows.insert(m_rows.begin() + change.row, change.items.begin(), change.items.end());
        endInsertRows();
        return;
    case ItemsChangeKind::Updated:
        std::copy(change.items.begin(), change.items.end(), m_rows.begin() + change.row);
        emit dataChanged(index(change.row, 0), index(last, kItemColumnCount - 1));
        return;
    case ItemsChangeKind::Removed:
        beginRemoveRows({}, change.row, last);
        m_rows.erase(m_rows.begin() + change.row, m_rows.begin() + change.row + change.count);
        endRemoveRows();
        // The rows below were numbered by their position.
        if (change.row < rowCount())
            emit dataChanged(index(change.row, kColumnNumber), index(rowCount() - 1, kColumnNumber));
        return;
    }
}

QString CItemsTableModel::PathAt(int row) const {
    return row >= 0 && row < rowCount() ? QString::fromUtf8(m_rows[row].path.c_str()) : QString();
}
