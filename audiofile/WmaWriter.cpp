// The WMA writer and its quality list.
#include "audiofile/WmaWriter.h"

#include "tags/FormatFailures.h"
#include "tags/WmaDecoder.h"
#include "tags/WmaTagFile.h"

const QualityEntry kWmaQualities[kWmaQualityCount] = {
    {"192k bps / 48.0 kHz / Stereo", 192000, 48000, 2},
    {"160k bps / 48.0 kHz / Stereo", 160000, 48000, 2},
    {"128k bps / 48.0 kHz / Stereo", 128000, 48000, 2},
    {"192k bps / 44.1 kHz / Stereo", 192000, 44100, 2},
    {"160k bps / 44.1 kHz / Stereo", 160000, 44100, 2},
    {"128k bps / 44.1 kHz / Stereo", 128000, 44100, 2},
    {"96k bps / 44.1 kHz / Stereo", 96000, 44100, 2},
    {"80k bps / 44.1 kHz / Stereo", 80000, 44100, 2},
    {"64k bps / 44.1 kHz / Stereo", 64000, 44100, 2},
    {"48k bps / 44.1 kHz / Stereo", 48000, 44100, 2},
    {"32k bps / 44.1 kHz / Stereo", 32000, 44100, 2},
    {"48k bps / 44.1 kHz / Mono", 48000, 44100, 1},
    {"32k bps / 44.1 kHz / Mono", 32000, 44100, 1},
    {"48k bps / 32.0 kHz / Stereo", 48000, 32000, 2},
    {"40k bps / 32.0 kHz / Stereo", 40000, 32000, 2},
    {"32k bps / 32.0 kHz / Stereo", 32000, 32000, 2},
    {"20k bps / 32.0 kHz / Mono", 20000, 32000, 1},
    {"32k bps / 22.0 kHz / Stereo", 32000, 22050, 2},
    {"22k bps / 22.0 kHz / Stereo", 22000, 22050, 2},
    {"20k bps / 22.0 kHz / Stereo", 20000, 22050, 2},
    {"20k bps / 22.0 kHz / Mono", 20000, 22050, 1},
    {"16k bps / 22.0 kHz / Mono", 16000, 22050, 1},
    {"20k bps / 16.0 kHz / Stereo", 20000, 16000, 2},
    {"16k bps / 16.0 kHz / Stereo", 16000, 16000, 2},
    {"16k bps / 16.0 kHz / Mono", 16000, 16000, 1},
    {"12k bps / 16.0 kHz / Mono", 12000, 16000, 1},
    {"10k bps / 16.0 kHz / Mono", 10000, 16000, 1},
    {"10k bps / 11.0 kHz / Mono", 10000, 11025, 1},
    {"8k bps / 11.0 kHz / Mono", 8000, 11025, 1},
    {"12k bps / 8.0 kHz / Stereo", 12000, 8000, 2},
    {"8k bps / 8.0 kHz / Mono", 8000, 8000, 1},
    {"6k bps / 8.0 kHz / Mono", 6000, 8000, 1},
    {"5k bps / 8.0 kHz / Mono", 5000, 8000, 1},
};

CWmaWriter::CWmaWriter() : CPlugInWriter(OutputFormat::Wma, 0) {
    if (LoadEncoderPlugIn(kWmaPlugInSlot, "WMAENC") || LoadEncoderPlugIn(kWmaPlugInSlot, "WMAENC8"))
        m_slot = kWmaPlugInSlot;
}

Result<void> CWmaWriter::Begin() {
    // The PCM goes to the plug-in as it comes, rather than in blocks of a second: the plug-in makes
    // its own codec frames, and what waited here for its block would be lost with a killed
    // recorder, on top of the plug-in's last unfilled packet.
    m_blockSize = 0;
    return CPlugInWriter::Begin();
}

Result<void> CWmaWriter::FinishEnd() {
    // A file the plug-in could not finish is left as it is rather than rewritten for its tags.
    // One it finished is tagged also when its last audio could not be taken.
    if (!m_finished || !m_tags || !LoadWmaDecoder()) return {};
    CWmaTagFile tagFile;
    if (Result<void> tagged = RewriteTags(tagFile, m_name, *m_tags); !tagged)
        return TagsNotWritten(FailureKind::kCodec, "WMA", m_name, std::move(tagged).error());
    return {};
}
