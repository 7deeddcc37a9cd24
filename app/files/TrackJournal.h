// CTrackJournal: which track files this process has open, kept on disk so that the tracks a
// killed or crashed recorder leaves behind can be found and finished at the next start.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "app/files/LocalDateTime.h"
#include "foundation/CharString.h"
#include "platform/ProcessIdentity.h"
#include "tags/OutputFormat.h"

// How far a track's finishing got, so that a recovery knows which file is whole and what is left.
enum class FinishStep {
    Recording,  // the file holds the audio up to where it stopped; its end was never written
    Ended,      // the encoder's end is written: all the audio is there; tags may be half done
    Naming,     // finished and tagged; being renamed to `finalPath`
};

// One open track: where it is written, and what its close would have used to tag and name it.
struct JournalEntry {
    CCharString path;  // the written (provisional) path
    std::optional<OutputFormat> outputFormat = OutputFormat::Wav;  // none: a number that is no format
    CCharString outputFolder;
    CCharString fileNameTemplate;
    CCharString tagTitle, tagArtist, tagAlbum, tagComment;  // templates, expanded at recovery
    CCharString year;
    CCharString genre;
    int genreNumber = -1;
    int recordingNumber = 1;
    int trackNumber = 1;
    int64_t startOffsetMs = 0;   // the track's start within its recording
    LocalDateTime startClock;    // the local time the track opened
    FinishStep step = FinishStep::Recording;
    int64_t sampleFrames = -1;   // from Ended: the PCM sample frames the encoder was given
    CCharString finalPath;       // from Naming
};

// A journal file and the process that wrote it.
struct JournalFile {
    CCharString path;
    ProcessIdentity owner;
    std::vector<JournalEntry> entries;
};

// $XDG_STATE_HOME/velsona, else ~/.local/state/velsona: it survives a crash and a reboot.
CCharString TrackJournalFolder();

class CTrackJournal {
public:
    // Journals go to `folder`, or to TrackJournalFolder() at each write when it is empty.
    explicit CTrackJournal(CCharString folder = {}, ProcessIdentity owner = ThisProcess());

    // False when the journal could not be written; the recording goes on regardless.
    bool Add(const JournalEntry& entry);
    bool Remove(const CCharString& path);
    // Records the step the track at `path` has reached, with what that step knows.
    bool Advance(const CCharString& path, FinishStep step, int64_t sampleFrames = -1,
                 const CCharString& finalPath = {});

    // The journal files in `folder` of processes that no longer run, with their entries; a
    // file that cannot be read comes with none. An entry whose path a running process's journal
    // names too is left out: that file is the running recorder's.
    static std::vector<JournalFile> LeftBehind(const CCharString& folder);
    // Removes a journal whose tracks were dealt with, and a half-written copy of it.
    static void Discard(const JournalFile& journal);
    // Writes a left-behind journal back with its entries as the recovery advanced them.
    static bool Rewrite(const JournalFile& journal);

private:
    bool Store();
    CCharString Folder() const;

    CCharString m_folder;
    ProcessIdentity m_owner;
    std::mutex m_mutex;  // one process may run a window's and a test's recordings at once
    std::vector<JournalEntry> m_entries;
};

// The journal of this process, shared by every recording it runs.
CTrackJournal& ProcessTrackJournal();
