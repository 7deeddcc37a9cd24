// The output file lifecycle: rows on opening, the final rename with its fallback, file facts.
#include "app/files/TrackFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include "app/files/FileMove.h"
#include "app/files/TrackPlace.h"
#include "audiofile/FormatTable.h"
#include "foundation/PathUtils.h"

WrittenAtOpen WrittenPathAtOpen(const CCharString& outputFolder, const CCharString& plannedPath,
                                const std::function<void(const CCharString&)>& beforeCreate) {
    const std::optional<TrackPlace> place = PlaceBelow(outputFolder, plannedPath, true);
    if (!place) return {plannedPath, {}};
    const std::optional<CCharString> created = CreateUniqueFile(place->File(), [&](const CCharString& name) {
        if (beforeCreate) beforeCreate(place->folder.Path() + name);
    });
    return {created ? place->folder.Path() + *created : place->Path(), place->refusedLink};
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

bool CTrackFiles::FinishItem(TrackRow& track, const CCharString& outputFolder, const CCharString& finalPath,
                             CCharString* refusedLink) {
    const CCharString current = track.file;
    const CCharString extension = ExtensionOf(current);
    if (!m_items.ItemOfKey(track.key)) return true;

    // Where the file is: a folder that has become a link since the track opened is not its own.
    std::optional<TrackPlace> from = PlaceBelow(outputFolder, current, false);
    const std::optional<TrackPlace> to =
        PlaceBelow(outputFolder, ReplaceExtension(finalPath, extension.c_str()), true);
    if (refusedLink) *refusedLink = from && !from->refusedLink.IsEmpty() ? from->refusedLink
                                    : to                                 ? to->refusedLink
                                                                         : CCharString();
    if (from && !from->refusedLink.IsEmpty()) from.reset();
    if (const std::optional<CCharString> moved = from && to ? MoveToPlace(*from, *to) : std::nullopt) {
        track.file = *moved;
        ShowFile(track.key, *moved);
        return true;
    }

    if (from) {
        TrackPlace fallback{CHeldFolder(dup(from->folder.Fd()), from->folder.Path()),
                            ReplaceExtension(from->name, (CCharString(kRenameErrorMarker) + extension).c_str()), {}};
        // The row is read from the file wherever it ended up: it holds the audio, not the empty
        // facts of the moment it was opened.
        if (const std::optional<CCharString> aside = MoveToPlace(*from, fallback)) track.file = *aside;
    }
    ShowFile(track.key, track.file);
    return false;
}

bool CTrackFiles::ShowClosing(const TrackRow& track, OutputFormat outputKind, int64_t lengthMs, const TagFieldSet& tags,
                              const TrackSound& sound) {
    std::optional<RecordingItem> item = m_items.ItemOfKey(track.key);
    if (!item) return false;
    item->kind = outputKind;
    item->lengthMs = lengthMs;
    item->title = tags.title;
    item->artist = tags.artist;
    item->album = tags.album;
    item->trackNumber = static_cast<int16_t>(tags.trackNumber);
    item->sound = sound;
    return m_items.ReplaceKeyed(track.key, *item);
}

void CTrackFiles::DropItem() { m_items.RemoveCurrent(); }

void CTrackFiles::DropRow(const TrackRow& track) { m_items.RemoveKeyed(track.key); }

void CTrackFiles::ShowFile(uint64_t key, const CCharString& path) {
    // The row is found again by its key at the moment it is replaced: the user may remove rows
    // above it while this track closes.
    if (std::optional<RecordingItem> item = ReadItemInfo(path)) {
        const std::optional<RecordingItem> closing = m_items.ItemOfKey(key);
        // The file cannot tell how the track sounded; its close did.
        if (closing) item->sound = closing->sound;
        // No reader opened the file (its module is missing): the facts of its close stay shown.
        if (item->lengthMs < 0 && closing && closing->lengthMs >= 0) {
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
