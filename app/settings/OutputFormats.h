// What the recorder and the output bar know about each output format before a track is written: its name,
// whether its encoder is present, and how many bytes a second of it takes.
#pragma once

#include <string>

#include "app/settings/RecordingSettings.h"
#include "audiofile/QualityTable.h"
#include "foundation/Result.h"

// "WAV", "WMA", "OGG", "MP3", "FLAC" or "OPUS", as the output bar's caption names them.
const char* FormatName(OutputFormat format);

// Fails, saying why, when the format's encoder module cannot be loaded.
Result<void> OutputFormatAvailable(OutputFormat format);

// Bytes a second of recording takes in the settings' format and quality; 0 when unknown.
double OutputBytesPerSecond(const RecordingSettings& settings);
