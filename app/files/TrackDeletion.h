// Deleting a track's file at the user's request.
#pragma once

#include "foundation/CharString.h"

// To the desktop's trash, so a mistaken confirmation loses nothing; deleted only where there is
// no trash to move to. A file already gone is left alone.
void DiscardTrackFile(const CCharString& path);
