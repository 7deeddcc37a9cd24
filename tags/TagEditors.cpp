// One editor class per format.
#include "tags/TagEditors.h"

#include "tags/FlacTagFile.h"
#include "tags/Mp3TagFile.h"
#include "tags/OpusTagFile.h"
#include "tags/VorbisTagFile.h"
#include "tags/WavTagFile.h"
#include "tags/WmaTagFile.h"

std::unique_ptr<CTagFile> NewTagEditor(OutputFormat format) {
    switch (format) {
        case OutputFormat::Wav: return std::make_unique<CWavTagFile>();
        case OutputFormat::Mp3: return std::make_unique<CMp3TagFile>();
        case OutputFormat::OggVorbis: return std::make_unique<CVorbisTagFile>();
        case OutputFormat::Opus: return std::make_unique<COpusTagFile>();
        case OutputFormat::Wma: return std::make_unique<CWmaTagFile>();
        case OutputFormat::Flac: return std::make_unique<CFlacTagFile>();
    }
    return nullptr;
}
