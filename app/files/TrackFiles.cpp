// The output file lifecycle: rows on opening, the final rename with its fallback, file facts.
#include "app/files/TrackFiles.h"

#include <sys/stat.h>

#include "app/files/FileMove.h"
#include "foundation/PathUtils.h"
#include "tags/OutputFormat.h"

CCharString WrittenPathAtOpen(const CCharString& plannedPath,
                              const std::function<void(const CCharString&)>& beforeCreate) {
    const CCharString folder = FolderOf(plannedPath);
    if (!folder.IsEmpty()) EnsureFolder(folder);
    return CreateUniqueFile(plannedPath, beforeCreate).value_or(plannedPath);
}

CCharString WrittenPathAtClose(const CCharString& plannedPath, const CCharString& finalPath,
                               const CCharString& writtenPath) {
    // The file itself already sits at a final path equal to its written one; numbering it would
    // rename it away from its own name.
    if (finalPath == plannedPath || finalPath == writtenPath) return writtenPath;
    return MakeUniquePath(finalPath);
}

CTrackFiles::CTrackFiles(CRecordingItemsModel& items, AudioFactsReader readFacts, LocalClock now)
    : m_items(items), m_readFacts(std::move(readFacts)), m_now(std::move(now)) {}

bool CTrackFiles::BeginItem(const CCharString& writtenPath) {
    RecordingItem item;
    item.path = writtenPath;
    item.time = m_now();
    return m_items.InsertCurrent(item) >= 0;
}

bool CTrackFiles::FinishItem(TrackRow& track, const CCharString& finalPath) {
    const CCharString current = track.file;
    const CCharString extension = ExtensionOf(current);
    CCharString target = ReplaceExtension(finalPath, extension.c_str());
    if (!m_items.ItemOfKey(track.key)) return true;

    const CCharString folder = FolderOf(target);
    bool moved = (folder.IsEmpty() || EnsureFolder(folder)) && MoveFile(current, target);
    // Another recorder may take the free name between the look and the move: take the next one.
    for (int tries = 0; !moved && tries < 8 && target != current && PathTaken(target); ++tries) {
        target = MakeUniquePath(target);
        moved = MoveFile(current, target);
    }
    if (moved) {
        track.file = target;
        ShowFile(track.key, target);
        return true;
    }

    const CCharString fallback =
        MakeUniquePath(ReplaceExtension(current, (CCharString(kRenameErrorMarker) + extension).c_str()));
    // The row is read from the file wherever it ended up: it holds the audio, not the empty
    // facts of the moment it was opened.
    if (MoveFile(current, fallback)) track.file = fallback;
    ShowFile(track.key, track.file);
    return false;
}

bool CTrackFiles::ShowClosing(const TrackRow& track, OutputFormat outputKind, int64_t lengthMs, const TagFieldSet& tags) {
    std::optional<RecordingItem> item = m_items.ItemOfKey(track.key);
    if (!item) return false;
    item->kind = outputKind;
    item->lengthMs = lengthMs;
    item->title = tags.title;
    item->artist = tags.artist;
    item->album = tags.album;
    item->trackNumber = static_cast<int16_t>(tags.trackNumber);
    return m_items.ReplaceKeyed(track.key, *item);
}

void CTrackFiles::DropItem() { m_items.RemoveCurrent(); }

void CTrackFiles::DropRow(const TrackRow& track) { m_items.RemoveKeyed(track.key); }

void CTrackFiles::ShowFile(uint64_t key, const CCharString& path) {
    // The row is found again by its key at the moment it is replaced: the user may remove rows
    // above it while this track closes.
    if (std::optional<RecordingItem> item = ReadItemInfo(path)) {
        // No reader opened the file (its module is missing): the facts of its close stay shown.
        const std::optional<RecordingItem> closing = item->lengthMs < 0 ? m_items.ItemOfKey(key) : std::nullopt;
        if (closing && closing->lengthMs >= 0) {
            item->title = closing->title;
            item->artist = closing->artist;
            item->album = closing->album;
            item->trackNumber = closing->trackNumber;
            item->lengthMs = closing->lengthMs;
        }
        m_items.ReplaceKeyed(key, *item);
        return;
    }
    // Not a kind the readers know (a template ending in .tmp): the row keeps its old facts but
    // names the file where it now is. Only the thread that finishes the track changes its row,
    // so the copy is not stale.
    if (std::optional<RecordingItem> item = m_items.ItemOfKey(key)) {
        item->path = path;
        item->displayName = FileNameOf(path);
        m_items.ReplaceKeyed(key, *item);
    }
}

std::optional<RecordingItem> CTrackFiles::ReadItemInfo(const CCharString& path) const {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    RecordingItem item;
    item.path = path;
    item.displayName = FileNameOf(path);
    item.size = static_cast<uint32_t>(st.st_size);
    item.time = ToLocalDateTime(st.st_mtim);

    const CCharString extension = ExtensionOf(path);
    if (extension.IsEmpty()) return item;
    const std::optional<OutputFormat> format = OutputFormatOfExtension(extension.c_str());
    if (!format) return std::nullopt;
    item.kind = format;

    if (m_readFacts) {
        if (const std::optional<AudioFileFacts> facts = m_readFacts(path)) {
            item.title = facts->title;
            item.artist = facts->artist;
            item.album = facts->album;
            item.trackNumber = facts->trackNumber;
            item.lengthMs = facts->lengthMs;
            item.bitRate = facts->bitRate;
            item.sampleRate = facts->sampleRate;
            item.channels = facts->channels;
        }
    }
    return item;
}
