// A track's file from opening to its final name: the row it gets, the rename, the fallback.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "app/files/LocalDateTime.h"
#include "app/files/RecordingItem.h"
#include "app/files/RecordingItemsModel.h"
#include "app/files/TrackSound.h"
#include "foundation/CharString.h"
#include "tags/TagFieldSet.h"

// What a reader of the file's format learns: tags and stream information.
struct AudioFileFacts {
    CCharString title;
    CCharString artist;
    CCharString album;
    int16_t trackNumber = -1;
    int64_t lengthMs = -1;
    int bitRate = 0;  // bits per second
    int sampleRate = 0;
    uint16_t channels = 0;
};

// Opens an audio file with the reader its extension names; nothing when no reader opens it.
using AudioFactsReader = std::function<std::optional<AudioFileFacts>(const CCharString& path)>;

// The marker a file gets when it cannot take its final name.
inline constexpr const char* kRenameErrorMarker = ".rename-error";

// Where the writer writes when a track opens: the planned path, or a free numbered variant,
// created empty (with its folders, reached as PlaceBelow does) so that no one else can take it
// before the writer opens it. With a link where a template folder goes, the file is created in
// the output folder itself and `refusedLink` names the link. The planned path when nothing can
// be created; the writer's open then fails. `beforeCreate` is told each path before a file is
// created there.
struct WrittenAtOpen {
    CCharString path;
    CCharString refusedLink;
};
WrittenAtOpen WrittenPathAtOpen(const CCharString& outputFolder, const CCharString& plannedPath,
                                const std::function<void(const CCharString&)>& beforeCreate = {});
// The path a closed track should end up at: a free variant of the final path when the end
// changed the name, else the path it was written to (a number given at opening stays).
CCharString WrittenPathAtClose(const CCharString& plannedPath, const CCharString& finalPath,
                               const CCharString& writtenPath);

// A track's row and where its file is; found again by the key while other rows come and go.
struct TrackRow {
    uint64_t key = 0;  // 0: the track has no row
    CCharString file;
};

class CTrackFiles {
public:
    // Without a reader, items carry file data and kind only.
    CTrackFiles(CRecordingItemsModel& items, AudioFactsReader readFacts, LocalClock now = CurrentLocalTime);

    // A track's file was opened at `writtenPath`: makes it the current file and adds its row.
    bool BeginItem(const CCharString& writtenPath);

    // The track being recorded: its row and file.
    TrackRow CurrentTrack() const { return {m_items.CurrentKey(), m_items.CurrentFile()}; }

    // Moves the track's file to `finalPath` (keeping the extension it was written with) and
    // refreshes its row from the file, wherever the row is now and whichever row is current; any
    // thread. The folders below `outputFolder` are entered as PlaceBelow does: with a link among
    // them the file goes to the output folder itself and `refusedLink` names the link. When the
    // move fails, the file is moved aside to "<name>.rename-error<ext>" (numbered when taken) and
    // false is returned; the track is never lost: if even that fails it stays where it was
    // written. `track.file` becomes where the file ended up.
    bool FinishItem(TrackRow& track, const CCharString& outputFolder, const CCharString& finalPath,
                    CCharString* refusedLink = nullptr);
    // The track's row shows what is known at its close (length, tags, format) while its file is
    // finished; false when the row is gone.
    bool ShowClosing(const TrackRow& track, OutputFormat outputKind, int64_t lengthMs, const TagFieldSet& tags,
                     const TrackSound& sound);
    // The current track never became a file (its start failed): its row goes.
    void DropItem();
    // The track's row goes, wherever it is now (a track that held no audio).
    void DropRow(const TrackRow& track);
    // Every row of a file that was removed; any thread.
    void DropRowsOf(const CCharString& path) { m_items.RemoveFileRows(path); }

    // The row for an existing file: nothing when the file is missing or its extension is not one
    // of the four formats; file data only when its name has no extension.
    std::optional<RecordingItem> ReadItemInfo(const CCharString& path) const;

private:
    // Refreshes the row from the file at `path`; what no reader can tell (a kind no reader
    // knows, a reader whose module is missing) stays as the row showed it at the close.
    void ShowFile(uint64_t key, const CCharString& path);

    CRecordingItemsModel& m_items;
    AudioFactsReader m_readFacts;
    LocalClock m_now;
};
