// Failures every reader, writer and tag editor can meet alike, one catalogue entry each.
#pragma once

#include "foundation/Result.h"

Failure NoFileToAttach();
Failure NoFileOpen();
// `format` is a format's name ("Ogg Vorbis", "PCM WAV"), the same in every language.
Failure NotFormat(const char* format);
Failure StreamNotBegun();
// `format` names the tags ("ID3", "RIFF INFO", "Vorbis", "WMA"); the errno and the words of
// `why` go along, and its kind when a module was missing.
Failure TagsNotWritten(FailureKind kind, const char* format, const char* name, Failure why);
Failure TooLongForRiff();
