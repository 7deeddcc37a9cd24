// The writer framework: opening, format, and the block buffer that feeds WriteBlock.
#include "audiofile/AudioWriter.h"

#include <cstring>

CAudioWriter::~CAudioWriter() {
    // Concrete writers close themselves in their own destructors, while their WriteBlock still exists.
    CAudioWriter::Close();
}

int CAudioWriter::Open(const char* name) {
    m_name = name;
    m_open = true;
    return 1;
}

int CAudioWriter::AttachFile(std::unique_ptr<CFileStream> file) {
    if (!file) return 0;
    m_file = std::move(file);
    m_open = true;
    return 1;
}

int CAudioWriter::SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                            int minBitrate) {
    m_bitrate = bitrate;
    m_sampleRate = sampleRate;
    m_channels = channels;
    m_bitsPerSample = bitsPerSample;
    m_hasBitrateRange = maxBitrate > 0 || minBitrate > 0;
    m_maxBitrate = m_hasBitrateRange ? maxBitrate : 0;
    m_minBitrate = m_hasBitrateRange ? minBitrate : 0;
    return 1;
}

int CAudioWriter::SetOptions(const void*, int) { return 0; }

int CAudioWriter::Close() {
    m_blockBuffer = {};
    m_blockFill = 0;
    if (!m_open) return 0;
    m_open = false;
    if (!m_name.IsEmpty()) {
        m_file.reset();
        m_name = CCharString();
    }
    return 1;
}

int CAudioWriter::Begin() {
    m_blockBuffer.assign(m_blockSize > 0 ? m_blockSize : 0, 0);
    m_blockFill = 0;
    m_byteCount = 0;
    return 1;
}

int CAudioWriter::Write(const void* data, int length) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    const int block = m_blockSize;
    if (block <= 0) {
        if (!WriteBlock(bytes, length)) return 0;
        m_byteCount += length;
        return 1;
    }
    if (m_blockFill + length <= block) {
        memcpy(m_blockBuffer.data() + m_blockFill, bytes, length);
        m_blockFill += length;
        return 1;
    }
    const int head = block - m_blockFill;
    memcpy(m_blockBuffer.data() + m_blockFill, bytes, head);
    if (!WriteBlock(m_blockBuffer.data(), block)) return 0;
    m_byteCount += block;
    bytes += head;
    int remaining = length - head;
    // Whole blocks go straight from the caller's data; only the remainder is copied.
    while (remaining > block) {
        if (!WriteBlock(bytes, block)) return 0;
        m_byteCount += block;
        bytes += block;
        remaining -= block;
    }
    memcpy(m_blockBuffer.data(), bytes, remaining);
    m_blockFill = remaining;
    return 1;
}

int CAudioWriter::FlushBlockBuffer() {
    const int fill = m_blockFill;
    m_blockFill = 0;
    if (fill <= 0) return 1;
    if (!WriteBlock(m_blockBuffer.data(), fill)) return 0;
    m_byteCount += fill;
    return 1;
}

int CAudioWriter::End() {
    const int ended = EndStream();
    return FinishEnd() && ended ? 1 : 0;
}

int CAudioWriter::EndStream() {
    const int result = FlushBlockBuffer();
    m_blockBuffer = {};
    return result;
}

int CAudioWriter::SetTags(TagFieldSet* tags) {
    m_tags = tags;
    return 1;
}

int CAudioWriter::OpenFile(const char* name) {
    auto file = std::make_unique<CFileStream>();
    if (const Result<void> opened = file->Open(name, CFileStream::kWrite); !opened) {
        m_fileError = opened.error().error;
        return 0;
    }
    // Nothing truncates, and a writer starts at byte 0: a file that already holds data is
    // someone else's (the recorder creates each track's file empty before its writer opens it).
    if (file->GetSize() != 0) {
        m_fileError = EEXIST;
        return 0;
    }
    return AttachFile(std::move(file));
}

int64_t CAudioWriter::SampleFramesWritten() const {
    const int frameBytes = m_channels * m_bitsPerSample / 8;
    return frameBytes > 0 ? m_byteCount / frameBytes : 0;
}

int CAudioWriter::FileError() const { return m_fileError; }
