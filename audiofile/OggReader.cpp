// Reading Ogg Vorbis files with the vorbisfile functions of the decoding module.
#include "audiofile/OggReader.h"

#include "tags/FormatFailures.h"
#include "tags/VorbisTagFile.h"

namespace {

Failure NotOggVorbis() { return NotFormat("Ogg Vorbis"); }

}  // namespace

COggReader::~COggReader() { static_cast<void>(COggReader::Close()); }

std::unique_ptr<CTagFile> COggReader::NewTagFile() const { return std::make_unique<CVorbisTagFile>(); }

size_t COggReader::ReadFromFile(void* buffer, size_t size, size_t count, void* file) {
    if (size == 0) return 0;
    const int64_t got = static_cast<CFileStream*>(file)->Read(buffer, static_cast<int64_t>(size * count)).value_or(0);
    return got > 0 ? static_cast<size_t>(got) / size : 0;
}

int COggReader::SeekInFile(void* file, ogg_int64_t offset, int origin) {
    return static_cast<CFileStream*>(file)->Seek(offset, origin) ? 0 : -1;
}

int COggReader::CloseFile(void* file) {
    static_cast<CFileStream*>(file)->Close();
    return 0;
}

long COggReader::TellInFile(void* file) { return static_cast<long>(static_cast<CFileStream*>(file)->Tell()); }

Result<void> COggReader::AttachFile(std::unique_ptr<CFileStream> file) {
    if (!file) return NoFileToAttach();
    if (m_open) static_cast<void>(Close());
    m_decoder = LoadVorbisDecoder();
    if (!m_decoder) return VorbisModuleMissing();
    m_bitsPerSample = 16;
    if (Result<void> at = file->Seek(0, CFileStream::kFromStart); !at) return at;
    const ov_callbacks callbacks{ReadFromFile, SeekInFile, CloseFile, TellInFile};
    // On failure vorbisfile has already let go of the file without calling close.
    if (m_decoder->ov_open_callbacks(file.get(), &m_vorbis, nullptr, 0, callbacks) < 0) return NotOggVorbis();
    m_vorbisOpen = true;
    m_length = m_decoder->ov_seekable(&m_vorbis) ? m_decoder->ov_pcm_total(&m_vorbis, 0) : 0;
    if (m_length < 0) m_length = 0;
    const vorbis_info* info = m_decoder->ov_info(&m_vorbis, 0);
    if (!info) {
        static_cast<void>(Close());
        return NotOggVorbis();
    }
    m_channels = info->channels;
    m_sampleRate = static_cast<int>(info->rate);
    m_bitrate = static_cast<int>(info->bitrate_nominal);
    m_vbr = false;
    if (info->bitrate_nominal != info->bitrate_upper || info->bitrate_nominal != info->bitrate_lower) {
        // An error code is no bitrate: the nominal one stays then.
        if (const long average = m_decoder->ov_bitrate(&m_vorbis, -1); average > 0) m_bitrate = static_cast<int>(average);
        m_vbr = !(m_bitrate == info->bitrate_upper && m_bitrate == info->bitrate_lower);
    }
    m_position = 0;
    return CAudioReader::AttachFile(std::move(file));
}

Result<void> COggReader::Close() {
    if (m_vorbisOpen) {
        m_decoder->ov_clear(&m_vorbis);
        m_vorbisOpen = false;
    }
    return CAudioReader::Close();
}

int64_t COggReader::GetDuration() const { return m_sampleRate > 0 ? m_length * 1000 / m_sampleRate : -1; }

bool COggReader::ReadBlock() {
    m_blockBytes = 0;
    if (!m_vorbisOpen) return false;
    int section = 0;
    long got;
    // A hole in the stream is skipped; the decoding goes on behind it.
    do got = m_decoder->ov_read(&m_vorbis, m_buffer, sizeof m_buffer, 0, 2, 1, &section);
    while (got == OV_HOLE);
    if (got <= 0) return false;
    m_block = reinterpret_cast<const unsigned char*>(m_buffer);
    m_blockBytes = static_cast<int>(got);
    m_position = m_decoder->ov_pcm_tell(&m_vorbis);
    return true;
}

Result<void> COggReader::Seek(int64_t ms) {
    // A time whose sample number 64 bits cannot hold lies past the end of any stream.
    int64_t scaled = 0;
    if (!m_vorbisOpen) return NoFileOpen();
    if (ms < 0 || __builtin_mul_overflow(ms, int64_t{m_sampleRate}, &scaled) ||
        m_decoder->ov_pcm_seek(&m_vorbis, scaled / 1000) != 0)
        return NoSuchTime();
    m_position = m_decoder->ov_pcm_tell(&m_vorbis);
    return {};
}
