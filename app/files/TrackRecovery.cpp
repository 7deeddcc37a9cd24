// Recovery of tracks left open: the end their format needs, tags, the final name with its marker.
#include "app/files/TrackRecovery.h"

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/files/AudioFacts.h"
#include "app/files/FileMove.h"
#include "app/files/FileNameTemplate.h"
#include "app/files/TrackJournal.h"
#include "app/files/TrackPlace.h"
#include "app/files/TrackTags.h"
#include "audiofile/FormatTable.h"
#include "foundation/PathUtils.h"
#include "foundation/StepHook.h"
#include "platform/DiskSpace.h"

namespace {

// What the encoder's end would have written, as the format's row says.
void RepairEnd(const JournalEntry& entry, std::optional<OutputFormat> format) {
    const FormatRow* row = format ? &FormatRowOf(*format) : nullptr;
    if (row && row->repairCut) row->repairCut({entry.path.c_str(), entry.step == FinishStep::Recording, entry.sampleFrames});
}

// A rewrite that a kill interrupted leaves its temporary file beside the track; it is never the track.
void RemoveRewriteLeftover(const CCharString& path) {
    const CCharString temporary = path + kRewriteSuffix;
    struct stat st {};
    if (lstat(temporary.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(temporary.c_str());
}

bool IsRegularFile(const CCharString& path) {
    struct stat st {};
    return !path.IsEmpty() && lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The rename, journaled first: a recovery killed after it finds the track under its new name.
// Its folders are entered as at a track's close: never through a link.
void Rename(JournalFile& journal, JournalEntry& entry, const CCharString& target, RecoveredTrack& result) {
    entry.step = FinishStep::Naming;
    entry.finalPath = target;
    CTrackJournal::Rewrite(journal);
    ReachedStep("recovery-naming");
    const std::optional<TrackPlace> from = PlaceBelow(entry.outputFolder, entry.path, false);
    const std::optional<TrackPlace> to = PlaceBelow(entry.outputFolder, target, true);
    const std::optional<CCharString> moved =
        from && from->refusedLink.IsEmpty() && to ? MoveToPlace(*from, *to) : std::nullopt;
    if (moved) {
        result.to = *moved;
        result.renamed = true;
        // Recovered means on the disk as far as the disk lets it: the crash may come again.
        static_cast<void>(SyncToDisk(*moved));
    }
    ReachedStep("recovery-named");
}

time_t SecondsOf(const LocalDateTime& t) {
    std::tm fields{};
    fields.tm_year = t.year - 1900;
    fields.tm_mon = t.month - 1;
    fields.tm_mday = t.day;
    fields.tm_hour = t.hour;
    fields.tm_min = t.minute;
    fields.tm_sec = t.second;
    fields.tm_isdst = -1;
    // In the hour shown twice only the offset says which of the two it was.
    if (t.repeated) return timegm(&fields) - t.utcOffset;
    return std::mktime(&fields);
}

// Each step is journaled before the next begins, so a recovery killed at any instant and run
// again comes to the same result.
RecoveredTrack Recover(JournalFile& journal, JournalEntry& entry, const AudioFactsReader& readFacts) {
    RecoveredTrack result{entry.path, entry.path};
    RemoveRewriteLeftover(entry.path);
    if (entry.step == FinishStep::Naming && !PathTaken(entry.path) && IsRegularFile(entry.finalPath)) {
        // Renamed before the kill (or before its flush failed): finished under its new name.
        result.to = entry.finalPath;
        result.found = result.tagged = result.renamed = true;
        static_cast<void>(SyncToDisk(entry.finalPath));
        return result;
    }
    struct stat info {};
    if (lstat(entry.path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return result;
    result.found = true;
    if (entry.step == FinishStep::Naming) {
        // Finished and tagged; only its name was still to come.
        result.tagged = true;
        Rename(journal, entry, entry.finalPath, result);
        return result;
    }
    const std::optional<OutputFormat> format = entry.outputFormat;
    RepairEnd(entry, format);
    // Killed as it opened: an empty file, or headers without a sample.
    if (HoldsNoAudio(entry.path)) {
        result.removed = unlink(entry.path.c_str()) == 0;
        return result;
    }
    // The file's time stays that of its last audio: the end its name is given from, again when
    // a killed recovery runs again.
    const timespec times[2] = {info.st_atim, info.st_mtim};
    utimensat(AT_FDCWD, entry.path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    if (entry.step == FinishStep::Recording) {
        entry.step = FinishStep::Ended;
        CTrackJournal::Rewrite(journal);
    }
    ReachedStep("recovery-ended");

    // The last write is the end this file can tell; its length is what a reader finds in it,
    // else the time from the track's start to that write.
    const LocalDateTime end = ToLocalDateTime(info.st_mtim);
    TemplateValues values;
    values.recordingNumber = entry.recordingNumber;
    values.trackNumber = entry.trackNumber;
    values.startOffsetMs = entry.startOffsetMs;
    const std::optional<AudioFileFacts> facts = readFacts ? readFacts(entry.path) : std::nullopt;
    // An unfinished header may claim no length at all (WMA); the clock then tells.
    const int64_t clockMs = (info.st_mtim.tv_sec - SecondsOf(entry.startClock)) * 1000 +
                            info.st_mtim.tv_nsec / 1000000 - entry.startClock.millisecond;
    values.trackLengthMs = facts && facts->lengthMs > 0 ? facts->lengthMs : std::max<int64_t>(0, clockMs);
    values.endOffsetMs = values.startOffsetMs + values.trackLengthMs;
    TrackClocks clocks;
    clocks.start = entry.startClock;
    clocks.now = [end] { return end; };

    const TrackTagSource source{entry.tagTitle, entry.tagArtist, entry.tagAlbum, entry.tagComment,
                                entry.year, entry.genre, entry.genreNumber};
    const TagFieldSet tags = TrackTags(source, entry.trackNumber, true, values, clocks);
    if (std::unique_ptr<CTagFile> editor = format ? FormatRowOf(*format).newTagEditor() : nullptr)
        result.tagged = RewriteTags(*editor, entry.path.c_str(), tags).has_value();
    utimensat(AT_FDCWD, entry.path.c_str(), times, AT_SYMLINK_NOFOLLOW);

    CCharString folder = entry.outputFolder;
    const CCharString finalPath =
        BuildTrackPath(true, folder, entry.fileNameTemplate, format.value_or(OutputFormat::Wav), values, clocks);
    const CCharString extension = ExtensionOf(entry.path);
    const CCharString target =
        MakeUniquePath(ReplaceExtension(finalPath, (CCharString(kRecoveredMarker) + extension).c_str()));
    Rename(journal, entry, target, result);
    return result;
}

}  // namespace

std::vector<RecoveredTrack> RecoverTracks(const CCharString& journalFolder, const AudioFactsReader& readFacts,
                                          const std::vector<CCharString>& otherFolders) {
    std::vector<RecoveredTrack> recovered;
    // The window and velsona-rec started together must not both finish the same track: the
    // second waits and then finds the journals gone. The lock goes with a crashed holder.
    const int lock = open((journalFolder + "/recovery.lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lock >= 0) flock(lock, LOCK_EX);
    std::set<std::string> folders;
    for (const CCharString& folder : otherFolders) folders.insert(folder.str());
    for (JournalFile& journal : CTrackJournal::LeftBehind(journalFolder)) {
        for (JournalEntry& entry : journal.entries) {
            recovered.push_back(Recover(journal, entry, readFacts));
            // The reserve sits in the output folder; the template may have put the track below it.
            folders.insert(entry.outputFolder.str());
            folders.insert(FolderOf(entry.path).str());
        }
        CTrackJournal::Discard(journal);
    }
    for (const std::string& folder : folders)
        if (!folder.empty()) RemoveDeadReserves(CCharString(folder));
    if (lock >= 0) close(lock);
    return recovered;
}
