// Picking the reader for a file by its extension.
#include "audiofile/ReaderByExtension.h"

#include "audiofile/FlacReader.h"
#include "audiofile/Mp3Reader.h"
#include "audiofile/OggReader.h"
#include "audiofile/OpusReader.h"
#include "audiofile/WavReader.h"
#include "audiofile/WmaReader.h"
#include "foundation/PathUtils.h"
#include "tags/OutputFormat.h"

std::unique_ptr<CAudioReader> NewReaderByExtension(const char* path) {
    const std::optional<OutputFormat> format = OutputFormatOfExtension(ExtensionOf(CCharString(path)).c_str());
    if (!format) return nullptr;
    switch (*format) {
        case OutputFormat::Mp3: return std::make_unique<CMp3Reader>();
        case OutputFormat::OggVorbis: return std::make_unique<COggReader>();
        case OutputFormat::Opus: return std::make_unique<COpusReader>();
        case OutputFormat::Wav: return std::make_unique<CWavReader>();
        case OutputFormat::Wma: return std::make_unique<CWmaReader>();
        case OutputFormat::Flac: return std::make_unique<CFlacReader>();
    }
    return nullptr;
}
