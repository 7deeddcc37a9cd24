// Reading PCM WAV files: the format block, the data chunk, blocks of PCM.
#include "audiofile/WavReader.h"

#include <algorithm>
#include <climits>

#include "tags/FormatFailures.h"
#include "tags/WavHeader.h"
#include "tags/WavTagFile.h"

namespace {
constexpr int kWavBlockBytes = 0xC000;
}

CWavReader::~CWavReader() { static_cast<void>(CWavReader::Close()); }

std::unique_ptr<CTagFile> CWavReader::NewTagFile() const { return std::make_unique<CWavTagFile>(); }

Result<void> CWavReader::AttachFile(std::unique_ptr<CFileStream> file) {
    if (!file) return NoFileToAttach();
    if (m_open) static_cast<void>(Close());
    uint32_t dataSize = 0;
    PcmFormatBlock format;
    if (Result<void> at = file->Seek(0, CFileStream::kFromStart); !at) return at;
    if (Result<void> parsed = ParseWavHeader(*file, m_dataOffset, dataSize, &format); !parsed) return parsed;
    const int bits = format.bitsPerSample == 8 ? 8 : 16;
    // A rate or channel count no sound card gives would overflow the bitrate: no audio file.
    if (format.samplesPerSecond > INT_MAX || int64_t{bits} * format.channels * format.samplesPerSecond > INT_MAX)
        return KindFailure(FailureKind::kBadData, UserText("WavReader", "WAV ファイルのサンプリングレートかチャンネル数が範囲外です"));
    m_channels = format.channels;
    m_sampleRate = static_cast<int>(format.samplesPerSecond);
    m_bitsPerSample = bits;
    m_bitrate = m_bitsPerSample * m_channels * m_sampleRate;
    // A track cut off while recording, or one past 4 GiB, says 0xFFFFFFFF: its audio ends
    // where the file does. A size that was written is believed as far as the file reaches.
    const int64_t present = std::max<int64_t>(0, file->GetSize() - m_dataOffset);
    const int64_t frameBytes = std::max(1, bits / 8 * format.channels);
    m_length = dataSize == 0xFFFFFFFFu ? present - present % frameBytes : std::min<int64_t>(dataSize, present);
    m_position = 0;
    return CAudioReader::AttachFile(std::move(file));
}

int64_t CWavReader::GetDuration() const {
    const int64_t bytesPerSecond = BytesPerSecond();
    return bytesPerSecond > 0 ? m_length * 1000 / bytesPerSecond : -1;
}

Result<void> CWavReader::Begin() {
    if (!m_open) return NoFileOpen();
    m_position = 0;
    return m_file->Seek(m_dataOffset, CFileStream::kFromStart);
}

bool CWavReader::ReadBlock() {
    m_blockBytes = 0;
    if (!m_open || m_position >= m_length) return false;
    m_buffer.resize(kWavBlockBytes);
    const int64_t want = std::min<int64_t>(kWavBlockBytes, m_length - m_position);
    const int64_t got = m_file->Read(m_buffer.data(), want).value_or(-1);
    if (got <= 0) return false;
    m_position += got;
    m_block = m_buffer.data();
    m_blockBytes = static_cast<int>(got);
    return true;
}

Result<void> CWavReader::Seek(int64_t ms) {
    if (!m_open) return NoFileOpen();
    if (ms < 0) return NoSuchTime();
    const int64_t bytesPerSecond = BytesPerSecond();
    // Compared before multiplying: a far-off time must not wrap round to a near one.
    const int64_t seconds = ms / 1000;
    const int64_t offset = bytesPerSecond <= 0                    ? 0
                           : seconds <= m_length / bytesPerSecond ? seconds * bytesPerSecond
                                                                  : m_length;
    if (Result<void> at = m_file->Seek(m_dataOffset + offset, CFileStream::kFromStart); !at) return at;
    m_position = offset;
    return {};
}
