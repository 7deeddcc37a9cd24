// The extension table of the readers.
#include "audiofile/ReaderByExtension.h"

#include <strings.h>

#include <cstring>

#include "audiofile/Mp3Reader.h"
#include "audiofile/OggReader.h"
#include "audiofile/WavReader.h"
#include "audiofile/WmaReader.h"

std::unique_ptr<CAudioReader> NewReaderByExtension(const char* path) {
    const char* dot = path ? strrchr(path, '.') : nullptr;
    // A dot inside a folder name is no extension.
    if (!dot || strchr(dot, '/')) return nullptr;
    if (strcasecmp(dot, ".mp3") == 0 || strcasecmp(dot, ".rmp") == 0) return std::make_unique<CMp3Reader>();
    if (strcasecmp(dot, ".ogg") == 0) return std::make_unique<COggReader>();
    if (strcasecmp(dot, ".wav") == 0) return std::make_unique<CWavReader>();
    if (strcasecmp(dot, ".wma") == 0) return std::make_unique<CWmaReader>();
    return nullptr;
}
