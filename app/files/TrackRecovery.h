// Finishing the tracks a killed or crashed recorder left open, at the next start of either front end.
#pragma once

#include <vector>

#include "app/files/TrackFiles.h"
#include "foundation/CharString.h"

// The marker a recovered track's name carries before its extension.
inline constexpr const char* kRecoveredMarker = ".recovered";

struct RecoveredTrack {
    CCharString from;    // the provisional path the recorder was writing
    CCharString to;      // where the file is now (equal to `from` when it could not be moved)
    bool found = false;  // false: the file was gone; nothing was done
    bool tagged = false;
    bool renamed = false;
    bool removed = false;  // it held no audio: the file went
};

// Finds the journals in `journalFolder` of recorders that no longer run and finishes each
// track they name: a WAV's placeholder sizes set from the bytes present (sizes a finished WAV
// holds are kept), tags written from the track's templates with its end taken from the file's
// modification time, then renamed to its final name with kRecoveredMarker before the extension
// (numbered when taken). A file that holds no audio (the track was killed as it opened) is
// removed instead; nothing else is deleted but the journals themselves. Then removes the
// disk-space reserves of dead processes in the tracks' folders and in `otherFolders`.
// `readFacts` gives a track's length for %TLN% and %ETM%.
std::vector<RecoveredTrack> RecoverTracks(const CCharString& journalFolder, const AudioFactsReader& readFacts,
                                          const std::vector<CCharString>& otherFolders = {});
