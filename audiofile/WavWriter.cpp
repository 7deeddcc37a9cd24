// The WAV writer: header, raw PCM, and the size patch at the end.
#include "audiofile/WavWriter.h"

#include "tags/FormatFailures.h"
#include "tags/WavTagFile.h"

#include <cstring>
#include <endian.h>

const std::array<QualityEntry, 12> kPcmQualityTable = {{
    {"48.0 kHz / Stereo", 16, 48000, 2},
    {"48.0 kHz / Mono", 16, 48000, 1},
    {"44.1 kHz / Stereo", 16, 44100, 2},
    {"44.1 kHz / Mono", 16, 44100, 1},
    {"32.0 kHz / Stereo", 16, 32000, 2},
    {"32.0 kHz / Mono", 16, 32000, 1},
    {"24.0 kHz / Stereo", 16, 24000, 2},
    {"24.0 kHz / Mono", 16, 24000, 1},
    {"22.05 kHz / Stereo", 16, 22050, 2},
    {"22.05 kHz / Mono", 16, 22050, 1},
    {"16.0 kHz / Stereo", 16, 16000, 2},
    {"16.0 kHz / Mono", 16, 16000, 1},
}};

namespace {

void PutLe32(unsigned char* p, uint32_t v) {
    const uint32_t le = htole32(v);
    memcpy(p, &le, sizeof le);
}

}  // namespace

Result<void> CWavWriter::SetOptions(const void* record, int size) {
    if (!record || size != kPcmFormatBlockSize)
        return KindFailure(FailureKind::kBadValue, UserText("WavWriter", "PCM のフォーマットブロックは 16 バイトです"));
    m_format = DecodePcmFormatBlock(static_cast<const unsigned char*>(record));
    return {};
}

Result<void> CWavWriter::Begin() {
    if (!m_file) return NoFile();
    if (m_format.formatTag != 1) {
        m_format.formatTag = 1;
        m_format.channels = static_cast<uint16_t>(Channels());
        m_format.samplesPerSecond = static_cast<uint32_t>(SampleRate());
        m_format.bitsPerSample = static_cast<uint16_t>(BitsPerSample());
        m_format.blockAlign = static_cast<uint16_t>(BitsPerSample() / 8 * Channels());
        m_format.averageBytesPerSecond = m_format.blockAlign * m_format.samplesPerSecond;
    }
    unsigned char header[kWavHeaderSize];
    memcpy(header, "RIFF", 4);
    PutLe32(header + 4, kUnknownDataSize + 36);  // wraps to 35, as every unfinished file shows
    memcpy(header + 8, "WAVEfmt ", 8);
    PutLe32(header + 16, kPcmFormatBlockSize);
    EncodePcmFormatBlock(m_format, header + 20);
    memcpy(header + 36, "data", 4);
    PutLe32(header + 40, kUnknownDataSize);
    // A file without its header is no WAV file: refuse the track rather than write headless audio.
    if (Result<void> written = m_file->Write(header, sizeof header); !written) return written;
    return CAudioWriter::Begin();
}

Result<void> CWavWriter::WriteBlock(const void* data, int length) {
    if (!m_file) return NoFile();
    // Whole blocks are whole sample frames, and a block the disk stopped part way is cut off
    // again: half a frame would shift the channels of a reader that trusts the data size.
    return m_file->Write(data, length);
}

Result<void> CWavWriter::EndStream() {
    Result<void> result = CAudioWriter::EndStream();
    if (!m_name.IsEmpty() && m_file && !WriteWavSizes(*m_file, m_file->GetSize()) && result)
        return KindFailure(FailureKind::kSystem, UserText("WavWriter", "WAV のサイズを書き込めませんでした"));
    return result;
}

Result<void> CWavWriter::FinishEnd() {
    // Beyond 4 GiB the stored data size no longer marks the end of the audio and the tag editor
    // refuses the file, so such a track stays untagged rather than losing samples. Otherwise
    // tags that could not be written (a full disk) fail the end, though the audio is whole.
    if (!m_tags || m_name.IsEmpty() || !m_file || m_file->GetSize() - 8 > 0xFFFFFFFFLL) return {};
    CWavTagFile editor;
    if (Result<void> tagged = RewriteTags(editor, m_name.c_str(), *m_tags); !tagged)
        return TagsNotWritten(FailureKind::kSystem, "RIFF INFO", m_name.c_str(), std::move(tagged).error());
    return {};
}
