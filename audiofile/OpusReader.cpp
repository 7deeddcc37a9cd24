// Reading Ogg Opus files with libopusfile.
#include "audiofile/OpusReader.h"

#include <opus/opusfile.h>

#include "tags/FormatFailures.h"
#include "tags/OpusTagFile.h"

namespace {

constexpr int kDecodedRate = 48000;

int ReadFromFile(void* file, unsigned char* buffer, int bytes) {
    const int64_t got = static_cast<CFileStream*>(file)->Read(buffer, bytes).value_or(-1);
    return got < 0 ? -1 : static_cast<int>(got);
}

int SeekInFile(void* file, opus_int64 offset, int origin) {
    return static_cast<CFileStream*>(file)->Seek(offset, origin) ? 0 : -1;
}

opus_int64 TellInFile(void* file) { return static_cast<CFileStream*>(file)->Tell(); }

}  // namespace

COpusReader::~COpusReader() { static_cast<void>(COpusReader::Close()); }

std::unique_ptr<CTagFile> COpusReader::NewTagFile() const { return std::make_unique<COpusTagFile>(); }

Result<void> COpusReader::AttachFile(std::unique_ptr<CFileStream> file) {
    if (!file) return NoFileToAttach();
    if (m_open) static_cast<void>(Close());
    m_bitsPerSample = 16;
    if (Result<void> at = file->Seek(0, CFileStream::kFromStart); !at) return at;
    // The file stays ours: the base closes it.
    static const OpusFileCallbacks kCallbacks{ReadFromFile, SeekInFile, TellInFile, nullptr};
    m_opus = op_open_callbacks(file.get(), &kCallbacks, nullptr, 0, nullptr);
    if (!m_opus) return NotFormat("Ogg Opus");
    const OpusHead* head = op_head(m_opus, 0);
    m_channels = head ? head->channel_count : 0;
    m_sampleRate = kDecodedRate;
    m_length = op_seekable(m_opus) ? op_pcm_total(m_opus, 0) : 0;
    if (m_length < 0) m_length = 0;
    const opus_int32 average = op_bitrate(m_opus, -1);
    m_bitrate = average > 0 ? average : 0;
    m_vbr = true;
    m_position = 0;
    return CAudioReader::AttachFile(std::move(file));
}

Result<void> COpusReader::Close() {
    if (m_opus) op_free(m_opus);
    m_opus = nullptr;
    return CAudioReader::Close();
}

int64_t COpusReader::GetDuration() const { return m_opus ? m_length * 1000 / kDecodedRate : -1; }

bool COpusReader::ReadBlock() {
    m_blockBytes = 0;
    if (!m_opus) return false;
    int got;
    // A hole in the stream is skipped; the decoding goes on behind it.
    do got = op_read(m_opus, m_buffer, sizeof m_buffer / sizeof m_buffer[0], nullptr);
    while (got == OP_HOLE);
    if (got <= 0) return false;
    m_block = reinterpret_cast<const unsigned char*>(m_buffer);
    m_blockBytes = got * m_channels * 2;
    m_position = op_pcm_tell(m_opus);
    return true;
}

Result<void> COpusReader::Seek(int64_t ms) {
    int64_t scaled = 0;
    if (!m_opus) return NoFileOpen();
    if (ms < 0 || __builtin_mul_overflow(ms, int64_t{kDecodedRate}, &scaled) || op_pcm_seek(m_opus, scaled / 1000) != 0)
        return NoSuchTime();
    m_position = op_pcm_tell(m_opus);
    return {};
}
