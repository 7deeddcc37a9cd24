// What the user is told of the tracks a killed or crashed recorder left, once they are finished.
#pragma once

#include <vector>

#include "app/files/TrackRecovery.h"
#include "foundation/CharString.h"
#include "foundation/UserText.h"

// velsona-rec's line for one track.
UserText RecoveryReport(const RecoveredTrack& track);
// True when nothing of the track is amiss: it was finished whole under its new name, or it
// held no audio and went; otherwise its line is a problem to tell.
bool RecoveredWhole(const RecoveredTrack& track);
// The window's note on all of them in one warning; empty when there were none.
UserText RecoveryNote(const std::vector<RecoveredTrack>& tracks);
