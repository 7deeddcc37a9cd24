// The output formats: the user's choice in the settings, and what a writer, reader or tag
// editor handles. What else is known of each is its row in audiofile/FormatTable.h.
#pragma once

// The numbers are the ones stored in the settings, the track journal and the format list.
enum class OutputFormat { Wav = 0, Wma = 1, OggVorbis = 2, Mp3 = 3, Flac = 4, Opus = 5 };
