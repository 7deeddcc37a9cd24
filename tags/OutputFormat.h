// The output formats: the user's choice in the settings, and what a writer, reader or tag
// editor handles.
#pragma once

#include <optional>

// The numbers are the ones stored in the settings, the track journal and the format list.
enum class OutputFormat { Wav = 0, Wma = 1, OggVorbis = 2, Mp3 = 3, Flac = 4, Opus = 5 };

// The format a stored number stands for; none for a number that is no format.
std::optional<OutputFormat> OutputFormatOfCode(int code);

// The output format a file name's extension stands for: ".wav", ".mp3" or ".rmp" (RIFF-MP3),
// ".ogg", ".wma", ".flac", ".opus", in any case; none for anything else.
std::optional<OutputFormat> OutputFormatOfExtension(const char* extension);
