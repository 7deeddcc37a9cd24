// The quality list of each output format.
#include "audiofile/QualityTable.h"

#include "audiofile/FlacWriter.h"
#include "audiofile/Mp3Writer.h"
#include "audiofile/OpusWriter.h"
#include "audiofile/WavWriter.h"
#include "audiofile/WmaWriter.h"

QualityTable QualityTableFor(OutputFormat format) {
    switch (format) {
        case OutputFormat::Wma: return {kWmaQualities, kWmaQualityCount, kWmaDefaultQuality, kWmaDefaultQuality};
        case OutputFormat::Mp3: return {kMp3Qualities, kMp3QualityCount, kMp3DefaultQuality, kMp3DefaultQuality};
        case OutputFormat::Flac:
            return {kFlacQualities.data(), kFlacQualityCount, kFlacDefaultQuality, kFlacDefaultQuality};
        case OutputFormat::Opus: return {kOpusQualities, kOpusQualityCount, kOpusDefaultQuality, kOpusMonoDefaultQuality};
        case OutputFormat::Wav:
        case OutputFormat::OggVorbis: break;
    }
    return {kPcmQualityTable.data(), static_cast<int>(kPcmQualityTable.size()), kPcmQualityDefault, kPcmQualityDefault};
}
