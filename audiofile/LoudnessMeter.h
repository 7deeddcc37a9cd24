// The loudness of a finished file as players hear it: decoded by its reader, measured by EBU R128.
#pragma once

#include "audiofile/AudioReader.h"
#include "foundation/Result.h"
#include "tags/TagFieldSet.h"

// Opens `path` with `reader` and measures all of its audio: the integrated loudness and the sample
// peak. Fails, saying why, when the file will not decode or is too short or too quiet to have an
// integrated loudness (no gain can be given for it).
Result<TrackLoudness> MeasureLoudness(CAudioReader& reader, const char* path);
