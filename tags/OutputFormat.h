// The codes for output formats and file kinds shared by writers, readers and tag editors.
#pragma once

#include <optional>

// The user's choice of output, as stored in the settings.
enum class OutputFormat { Wav = 0, Wma = 1, OggVorbis = 2, Mp3 = 3, Flac = 4, Opus = 5 };

// What a writer, reader or tag editor handles.
enum class FileKind { Wav = 1, Mp3 = 2, Wma = 3, OggVorbis = 5, Flac = 6, Opus = 7 };

// The output format a file name's extension stands for: ".wav", ".mp3" or ".rmp" (RIFF-MP3),
// ".ogg", ".wma", ".flac", ".opus", in any case; none for anything else.
std::optional<OutputFormat> OutputFormatOfExtension(const char* extension);
