// The rows of the recorded items list, their cell texts, and the list's own commands.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "app/RecordingItem.h"
#include "foundation/CharString.h"

enum ItemColumn { kColumnFileName, kColumnNumber, kColumnSize, kColumnLength, kColumnTitle, kColumnArtist,
                  kColumnQuality, kItemColumnCount };

struct ItemColumnInfo {
    const char* header;
    int width;  // pixels
    bool rightAligned;
};
extern const ItemColumnInfo kItemColumns[kItemColumnCount];

// The text of one cell of `item` shown at position `row`; empty for an unknown column.
CCharString ItemCellText(const RecordingItem& item, int row, int column);

// Threads: rows change on the audio thread (a split closes one file and opens the next) and
// are read on the GUI thread. One short mutex guards the rows; every reader copies what it needs
// under it (Item, Snapshot, CellText) and formats or paints after releasing it, so a change never
// waits for more than such a copy and never for the GUI thread itself. After each change the
// listener runs on the changing thread with no lock held; it must not block (the Qt view posts a
// queued event and reads a Snapshot on its own thread).
class CRecordingItemsModel {
public:
    using ChangeListener = std::function<void()>;

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

    // "リストから除外": removes the rows at these positions; files stay on disk.
    void RemoveRows(std::vector<int> rows);
    // "ファイルを削除": deletes each row's file (a file already gone or not deletable is left
    // alone) and removes the row, last position first.
    void DeleteFiles(std::vector<int> rows);

private:
    void RemoveLocked(int row);
    void Changed();

    mutable std::mutex m_mutex;
    std::vector<RecordingItem> m_rows;
    CCharString m_currentFile;
    int m_currentRow = -1;
    std::atomic<uint64_t> m_version {0};
    ChangeListener m_listener;
};
