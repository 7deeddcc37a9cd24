// Picking the reader for a file by its extension.
#pragma once

#include <memory>

#include "audiofile/AudioReader.h"

// ".mp3" and ".rmp" (RIFF-MP3) MP3, ".ogg" Ogg Vorbis, ".wav" WAV, ".wma" WMA, ".flac" FLAC, in any case;
// null for any other name: such a file is no audio item.
std::unique_ptr<CAudioReader> NewReaderByExtension(const char* path);
