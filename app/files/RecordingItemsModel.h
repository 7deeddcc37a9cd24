// The rows of the recorded items list, their cell texts, and the list's own commands.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "app/files/RecordingItem.h"
#include "foundation/CharString.h"

enum ItemColumn { kColumnFileName, kColumnNumber, kColumnSize, kColumnLength, kColumnTitle, kColumnArtist,
                  kColumnQuality, kItemColumnCount };

struct ItemColumnInfo {
    const char* header;  // a catalogue entry of context "RecordingItems", said by the list
    int width;  // pixels
    bool rightAligned;
};
extern const ItemColumnInfo kItemColumns[kItemColumnCount];

// The text of one cell of `item` shown at position `row`; empty for an unknown column.
CCharString ItemCellText(const RecordingItem& item, int row, int column);

enum class ItemsChangeKind { Inserted, Updated, Removed };

// One change of the rows, complete in itself: a view that applies the changes in the order it
// receives them keeps an exact copy of the rows without reading the model again.
struct ItemsChange {
    ItemsChangeKind kind = ItemsChangeKind::Updated;
    int row = 0;    // the first row concerned
    int count = 0;  // rows from `row` on
    std::vector<RecordingItem> items;  // the rows as they now are (inserted or updated), else empty
    uint64_t version = 0;              // Version() right after this change
};

// Threads: rows change on the audio thread (a split closes one file and opens the next) and on
// the GUI thread (the list commands), and are read on the GUI thread. One short mutex guards the
// rows; every reader copies what it needs under it (Item, Snapshot, CellText) and formats or
// paints after releasing it, so a change never waits for more than such a copy and never for the
// GUI thread itself. The listener runs on the changing thread inside that mutex, so changes
// arrive in the order they were made; it must not block and must not call back into the model
// (the Qt view posts the change as a queued event and applies it on its own thread).
class CRecordingItemsModel {
public:
    using ChangeListener = std::function<void(const ItemsChange& change)>;

    CRecordingItemsModel() = default;
    CRecordingItemsModel(const CRecordingItemsModel&) = delete;
    CRecordingItemsModel& operator=(const CRecordingItemsModel&) = delete;

    // Install before any row changes; it is not guarded.
    void SetChangeListener(ChangeListener listener);

    // Appends a row; returns its position.
    int Insert(const RecordingItem& item);
    bool Replace(int row, const RecordingItem& item);
    bool Remove(int row);
    void RemoveAll();

    int Count() const;
    std::optional<RecordingItem> Item(int row) const;
    std::vector<RecordingItem> Snapshot() const;
    CCharString CellText(int row, int column) const;
    // Grows with every change, so a reader can tell whether its copy is stale.
    uint64_t Version() const { return m_version.load(std::memory_order_acquire); }

    // The file of the track being recorded and its row (-1: none). Removing rows keeps the
    // current row pointing at the same item, or at none when that row goes.
    void SetCurrent(const CCharString& file, int row);
    CCharString CurrentFile() const;
    int CurrentRow() const;
    // Appends the row of a track that has just opened and makes it the current one, in one step.
    int InsertCurrent(const RecordingItem& item);

    // Every row has a key no other row of this model had, so a row can be found again while rows
    // come and go: a closed track's row is finished on another thread after the next track's row
    // has become the current one. 0 names no row.
    uint64_t CurrentKey() const;
    std::optional<RecordingItem> ItemOfKey(uint64_t key) const;
    // The keyed row replaced where it is at this moment; when it is the current row, `item.path`
    // becomes the current file. False when the row is gone.
    bool ReplaceKeyed(uint64_t key, const RecordingItem& item);
    // The current row removed (a track that never became a file); false when there is none.
    bool RemoveCurrent();
    // The keyed row removed wherever it is; false when it is gone already.
    bool RemoveKeyed(uint64_t key);

    // The rows of a file that is gone (removed to keep the disk), wherever they are.
    void RemoveFileRows(const CCharString& path);
    // "リストから除外", and "ファイルを削除" once the files are gone: removes the rows at these
    // positions; files stay on disk.
    void RemoveRows(std::vector<int> rows);

private:
    int InsertLocked(const RecordingItem& item);
    int RowOfKeyLocked(uint64_t key) const;
    void RemoveLocked(int row);
    // Under the mutex: counts the change and tells the listener.
    void ChangedLocked(ItemsChangeKind kind, int row, int count);

    mutable std::mutex m_mutex;
    std::vector<RecordingItem> m_rows;
    std::vector<uint64_t> m_keys;  // beside m_rows
    uint64_t m_lastKey = 0;
    CCharString m_currentFile;
    int m_currentRow = -1;
    std::atomic<uint64_t> m_version {0};
    ChangeListener m_listener;
};
