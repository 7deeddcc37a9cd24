// The items list's view of an audio file, read with the reader its extension names.
#pragma once

#include <optional>

#include "app/files/TrackFiles.h"
#include "foundation/CharString.h"

// Tags and stream information of the file; nothing when no reader takes its extension or the
// reader refuses the file. Fits CTrackFiles as its AudioFactsReader.
std::optional<AudioFileFacts> ReadAudioFileFacts(const CCharString& path);

// True when the file is empty, or its reader takes it and finds neither a length nor a first
// block of audio. A file no reader takes is not known to be empty: false.
bool HoldsNoAudio(const CCharString& path);
