// Reading WMA files with the WMA_* functions of the decoder module.
#include "audiofile/WmaReader.h"

#include <cerrno>

#include "tags/WmaTagFile.h"

CWmaReader::CWmaReader() : CAudioReader(OutputFormat::Wma) { m_wma = WmaDecoder(); }

CWmaReader::~CWmaReader() { static_cast<void>(CWmaReader::Close()); }

std::unique_ptr<CTagFile> CWmaReader::NewTagFile() const { return std::make_unique<CWmaTagFile>(); }

Result<void> CWmaReader::Open(const char* name) {
    if (m_open) static_cast<void>(Close());
    if (!m_wma) return LoadWmaDecoder().error();
    if (!name) return ErrnoFailure(EINVAL);
    // Attributes that cannot be read leave the tags empty; the audio may still play.
    static_cast<void>(OpenTagFile(name));
    m_handle = m_wma->open(name, 0, 0);
    WmaStreamInfo info{};
    if (!m_handle || !m_wma->getInfo(m_handle, &info)) {
        static_cast<void>(Close());
        return KindFailure(FailureKind::kBadData, UserText("WmaReader", "WMA モジュールが %1 を読めません").Arg(name));
    }
    m_bitsPerSample = info.bitsPerSample;
    m_channels = info.channels;
    m_sampleRate = info.sampleRate;
    m_bitrate = info.bitrate;
    m_length = info.length;
    m_position = 0;
    m_name = name;
    m_openedByName = true;
    m_open = true;
    CopyStreamInfo(*m_tagFile);
    return {};
}

Result<void> CWmaReader::Close() {
    if (m_handle) {
        m_wma->close(m_handle);
        m_handle = 0;
    }
    return CAudioReader::Close();
}

Result<void> CWmaReader::Begin() {
    if (!m_handle) return NoFileOpen();
    if (!m_wma->start(m_handle)) return Undecodable(UserText("WmaReader", "WMA モジュールがデコードを始められません"));
    return {};
}

bool CWmaReader::ReadBlock() {
    m_blockBytes = 0;
    if (!m_handle) return false;
    const void* pcm = nullptr;
    int32_t bytes = 0;
    int64_t position = 0;
    if (!m_wma->decode(m_handle, &pcm, &bytes, &position) || !pcm || bytes <= 0) return false;
    m_block = static_cast<const unsigned char*>(pcm);
    m_blockBytes = bytes;
    m_position = position;
    return true;
}

Result<void> CWmaReader::Seek(int64_t ms) {
    if (!m_handle) return NoFileOpen();
    if (!m_wma->seek(m_handle, ms)) return NoSuchTime();
    return {};
}

Result<void> CWmaReader::End() {
    if (!m_handle) return NoFileOpen();
    if (!m_wma->end(m_handle)) return Undecodable(UserText("WmaReader", "WMA モジュールがデコードを終えられません"));
    return {};
}
