// What the recorder and the output bar know about each output format before a track is written: its name,
// whether its encoder is present, and how many bytes a second of it takes.
#pragma once

#include <string>

#include "app/settings/RecordingSettings.h"
#include "audiofile/QualityTable.h"
#include "foundation/Result.h"

// Whether the number is the code of an output format (a stored setting may hold anything).
bool IsOutputFormat(int outputFormat);

// "WAV", "WMA", "OGG", "MP3", "FLAC" or "OPUS", as the output bar's caption names them.
const char* FormatName(int outputFormat);

// Fails, saying why, when the format's encoder module cannot be loaded.
Result<void> OutputFormatAvailable(int outputFormat);

// Bytes a second of recording takes in the settings' format and quality; 0 when unknown.
double OutputBytesPerSecond(const RecordingSettings& settings);
