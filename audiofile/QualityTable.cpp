// The quality list of each output format.
#include "audiofile/QualityTable.h"

#include "audiofile/FlacWriter.h"
#include "audiofile/Mp3Writer.h"
#include "audiofile/OpusWriter.h"
#include "audiofile/WavWriter.h"
#include "audiofile/WmaWriter.h"

QualityTable QualityTableFor(OutputFormat format) {
    switch (format) {
        case OutputFormat::Wma: return {kWmaQualities, kWmaQualityCount};
        case OutputFormat::Mp3: return {kMp3Qualities, kMp3QualityCount};
        case OutputFormat::Flac: return {kFlacQualities.data(), kFlacQualityCount};
        case OutputFormat::Opus: return {kOpusQualities, kOpusQualityCount};
        case OutputFormat::Wav:
        case OutputFormat::OggVorbis: break;
    }
    return {kPcmQualityTable.data(), static_cast<int>(kPcmQualityTable.size())};
}
