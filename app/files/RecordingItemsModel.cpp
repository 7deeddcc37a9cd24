// Rows of the items list under one short mutex, and the texts of their cells.
#include "app/files/RecordingItemsModel.h"

#include <QtGlobal>
#include <algorithm>

#include "foundation/PathUtils.h"

const ItemColumnInfo kItemColumns[kItemColumnCount] = {
    {QT_TRANSLATE_NOOP("RecordingItems", "ファイル名"), 140, false},
    {QT_TRANSLATE_NOOP("RecordingItems", "No"), 30, true},
    {QT_TRANSLATE_NOOP("RecordingItems", "サイズ"), 70, true},
    {QT_TRANSLATE_NOOP("RecordingItems", "時間 [ 日付 ]"), 150, true},
    {QT_TRANSLATE_NOOP("RecordingItems", "タイトル"), 100, false},
    {QT_TRANSLATE_NOOP("RecordingItems", "アーティスト (アルバム)"), 130, false},
    {QT_TRANSLATE_NOOP("RecordingItems", "音質"), 115, false},
};

namespace {

constexpr uint32_t kLargestKbSize = 20971520;

CCharString SizeText(uint32_t size) {
    if (size <= kLargestKbSize) return GroupDigits(size / 1024) + " KB";
    return FormatDecimal(size / 1048576.0, 2) + " MB";
}

CCharString LengthText(const RecordingItem& item) {
    if (item.lengthMs <= 0) return "Now Recording ...";
    const int64_t ms = item.lengthMs;
    const LocalDateTime& t = item.time;
    return CCharString::Formatted("%2lld:%02d.%02d ", static_cast<long long>(ms / 60000),
                                  static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000 / 10)) +
           CCharString::Formatted("[%02d/%02d %02d:%02d:%02d.%02d]", t.month, t.day, t.hour, t.minute, t.second,
                                  t.millisecond / 100);
}

CCharString ArtistText(const RecordingItem& item) {
    CCharString text = item.artist + " (" + item.album;
    if (item.trackNumber > 0) text += CCharString::Formatted(" :%2d", item.trackNumber);
    return text + ")";
}

CCharString QualityText(const RecordingItem& item) {
    if (item.sampleRate == 0 || item.channels == 0) return {};
    const char mode = item.channels == 1 ? 'M' : 'S';
    const double kHz = item.sampleRate / 1000.0;
    if (item.bitRate <= 0) return CCharString::Formatted("%#2.1fkHz/%c(%dbit)", kHz, mode, 16);
    return CCharString::Formatted("%dkbps/%#2.1fkHz/%c", item.bitRate / 1000, kHz, mode);
}

// Descending and without repeats, so removing one never moves the next.
void SortForRemoval(std::vector<int>& rows) {
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
}

}  // namespace

CCharString ItemCellText(const RecordingItem& item, int row, int column) {
    // A row still being recorded has no file information yet: nothing beside its size and time.
    const bool recording = !item.kind;
    switch (column) {
        case kColumnFileName: return FileNameOf(item.path);
        case kColumnNumber: return CCharString::Formatted("%d", row + 1);
        case kColumnSize: return SizeText(item.size);
        case kColumnLength: return LengthText(item);
        case kColumnTitle: return item.title;
        case kColumnArtist: return recording ? CCharString() : ArtistText(item);
        case kColumnQuality: return QualityText(item);
        default: return {};
    }
}

void CRecordingItemsModel::SetChangeListener(ChangeListener listener) { m_listener = std::move(listener); }

int CRecordingItemsModel::Insert(const RecordingItem& item) {
    std::lock_guard lock(m_mutex);
    return InsertLocked(item);
}

int CRecordingItemsModel::InsertLocked(const RecordingItem& item) {
    m_rows.push_back(item);
    m_keys.push_back(++m_lastKey);
    const int row = static_cast<int>(m_rows.size()) - 1;
    ChangedLocked(ItemsChangeKind::Inserted, row, 1);
    return row;
}

bool CRecordingItemsModel::Replace(int row, const RecordingItem& item) {
    std::lock_guard lock(m_mutex);
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return false;
    m_rows[row] = item;
    ChangedLocked(ItemsChangeKind::Updated, row, 1);
    return true;
}

bool CRecordingItemsModel::Remove(int row) {
    std::lock_guard lock(m_mutex);
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return false;
    RemoveLocked(row);
    return true;
}

void CRecordingItemsModel::RemoveAll() {
    std::lock_guard lock(m_mutex);
    const int count = static_cast<int>(m_rows.size());
    m_rows.clear();
    m_keys.clear();
    m_currentRow = -1;
    if (count > 0) ChangedLocked(ItemsChangeKind::Removed, 0, count);
}

int CRecordingItemsModel::Count() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_rows.size());
}

std::optional<RecordingItem> CRecordingItemsModel::Item(int row) const {
    std::lock_guard lock(m_mutex);
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return std::nullopt;
    return m_rows[row];
}

std::vector<RecordingItem> CRecordingItemsModel::Snapshot() const {
    std::lock_guard lock(m_mutex);
    return m_rows;
}

CCharString CRecordingItemsModel::CellText(int row, int column) const {
    const std::optional<RecordingItem> item = Item(row);
    return item ? ItemCellText(*item, row, column) : CCharString();
}

void CRecordingItemsModel::SetCurrent(const CCharString& file, int row) {
    std::lock_guard lock(m_mutex);
    m_currentFile = file;
    m_currentRow = row;
}

CCharString CRecordingItemsModel::CurrentFile() const {
    std::lock_guard lock(m_mutex);
    return m_currentFile;
}

int CRecordingItemsModel::CurrentRow() const {
    std::lock_guard lock(m_mutex);
    return m_currentRow;
}

int CRecordingItemsModel::InsertCurrent(const RecordingItem& item) {
    std::lock_guard lock(m_mutex);
    m_currentRow = InsertLocked(item);
    m_currentFile = item.path;
    return m_currentRow;
}

uint64_t CRecordingItemsModel::CurrentKey() const {
    std::lock_guard lock(m_mutex);
    return m_currentRow < 0 ? 0 : m_keys[m_currentRow];
}

int CRecordingItemsModel::RowOfKeyLocked(uint64_t key) const {
    const auto found = std::find(m_keys.begin(), m_keys.end(), key);
    return key == 0 || found == m_keys.end() ? -1 : static_cast<int>(found - m_keys.begin());
}

std::optional<RecordingItem> CRecordingItemsModel::ItemOfKey(uint64_t key) const {
    std::lock_guard lock(m_mutex);
    const int row = RowOfKeyLocked(key);
    if (row < 0) return std::nullopt;
    return m_rows[row];
}

bool CRecordingItemsModel::ReplaceKeyed(uint64_t key, const RecordingItem& item) {
    std::lock_guard lock(m_mutex);
    const int row = RowOfKeyLocked(key);
    if (row < 0) return false;
    m_rows[row] = item;
    if (row == m_currentRow) m_currentFile = item.path;
    ChangedLocked(ItemsChangeKind::Updated, row, 1);
    return true;
}

bool CRecordingItemsModel::RemoveCurrent() {
    std::lock_guard lock(m_mutex);
    if (m_currentRow < 0) return false;
    RemoveLocked(m_currentRow);
    m_currentFile = CCharString();
    return true;
}

bool CRecordingItemsModel::RemoveKeyed(uint64_t key) {
    std::lock_guard lock(m_mutex);
    const int row = RowOfKeyLocked(key);
    if (row < 0) return false;
    RemoveLocked(row);
    return true;
}

void CRecordingItemsModel::RemoveFileRows(const CCharString& path) {
    std::lock_guard lock(m_mutex);
    for (int row = static_cast<int>(m_rows.size()) - 1; row >= 0; --row)
        if (m_rows[row].path == path) RemoveLocked(row);
}

void CRecordingItemsModel::RemoveRows(std::vector<int> rows) {
    SortForRemoval(rows);
    std::lock_guard lock(m_mutex);
    for (const int row : rows)
        if (row >= 0 && row < static_cast<int>(m_rows.size())) RemoveLocked(row);
}

void CRecordingItemsModel::RemoveLocked(int row) {
    m_rows.erase(m_rows.begin() + row);
    m_keys.erase(m_keys.begin() + row);
    if (m_currentRow == row)
        m_currentRow = -1;
    else if (m_currentRow > row)
        --m_currentRow;
    ChangedLocked(ItemsChangeKind::Removed, row, 1);
}

void CRecordingItemsModel::ChangedLocked(ItemsChangeKind kind, int row, int count) {
    const uint64_t version = m_version.fetch_add(1, std::memory_order_acq_rel) + 1;
    if (!m_listener) return;
    ItemsChange change;
    change.kind = kind;
    change.row = row;
    change.count = count;
    change.version = version;
    if (kind != ItemsChangeKind::Removed) change.items.assign(m_rows.begin() + row, m_rows.begin() + row + count);
    m_listener(change);
}
