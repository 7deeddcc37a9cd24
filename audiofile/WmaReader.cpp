// Reading WMA files with the WMA_* functions of the decoder module.
#include "audiofile/WmaReader.h"

#include "tags/WmaTagFile.h"

CWmaReader::CWmaReader() : CAudioReader(OutputFormat::Wma) {
    if (LoadWmaDecoder()) m_wma = WmaDecoder();
}

CWmaReader::~CWmaReader() { CWmaReader::Close(); }

std::unique_ptr<CTagFile> CWmaReader::NewTagFile() const { return std::make_unique<CWmaTagFile>(); }

int CWmaReader::Open(const char* name) {
    if (m_open) Close();
    if (!m_wma || !name) return 0;
    // Attributes that cannot be read leave the tags empty; the audio may still play.
    OpenTagFile(name);
    m_handle = m_wma->open(name, 0, 0);
    WmaStreamInfo info{};
    if (!m_handle || !m_wma->getInfo(m_handle, &info)) {
        Close();
        return 0;
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
    return 1;
}

int CWmaReader::Close() {
    if (m_handle) {
        m_wma->close(m_handle);
        m_handle = 0;
    }
    return CAudioReader::Close();
}

int CWmaReader::Begin() { return m_handle ? m_wma->start(m_handle) : 0; }

int CWmaReader::ReadBlock() {
    m_blockBytes = 0;
    if (!m_handle) return 0;
    const void* pcm = nullptr;
    int32_t bytes = 0;
    int64_t position = 0;
    if (!m_wma->decode(m_handle, &pcm, &bytes, &position) || !pcm || bytes <= 0) return 0;
    m_block = static_cast<const unsigned char*>(pcm);
    m_blockBytes = bytes;
    m_position = position;
    return 1;
}

int CWmaReader::Seek(int64_t ms) { return m_handle ? m_wma->seek(m_handle, ms) : 0; }

int CWmaReader::End() { return m_handle ? m_wma->end(m_handle) : 0; }
