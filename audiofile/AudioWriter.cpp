// The writer framework: opening, format, and the block buffer that feeds WriteBlock.
#include "audiofile/AudioWriter.h"

#include <cerrno>
#include <cstring>
#include <string>

CAudioWriter::~CAudioWriter() {
    // Concrete writers close themselves in their own destructors, while their WriteBlock still exists.
    static_cast<void>(CAudioWriter::Close());
}

Failure CAudioWriter::NoFile() {
    return KindFailure(FailureKind::kMissing, UserText("AudioWriter", "書き込むファイルが開かれていません"));
}

Result<void> CAudioWriter::ReadyToEncode(bool begun) const {
    if (!m_file) return NoFile();
    if (begun) return KindFailure(FailureKind::kBadValue, UserText("AudioWriter", "ストリームはもう始まっています"));
    if (m_channels < 1 || m_channels > 2 || m_bitsPerSample != 16)
        return KindFailure(FailureKind::kBadValue, UserText("AudioWriter", "エンコーダーが受け付けるのは 16 ビットのモノラルかステレオだけです"));
    return {};
}

Result<void> CAudioWriter::Open(const char* name) {
    m_name = name;
    m_open = true;
    return {};
}

Result<void> CAudioWriter::AttachFile(std::unique_ptr<CFileStream> file) {
    if (!file) return NoFile();
    m_file = std::move(file);
    m_open = true;
    return {};
}

Result<void> CAudioWriter::SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                                     int minBitrate) {
    m_bitrate = bitrate;
    m_sampleRate = sampleRate;
    m_channels = channels;
    m_bitsPerSample = bitsPerSample;
    m_hasBitrateRange = maxBitrate > 0 || minBitrate > 0;
    m_maxBitrate = m_hasBitrateRange ? maxBitrate : 0;
    m_minBitrate = m_hasBitrateRange ? minBitrate : 0;
    return {};
}

Result<void> CAudioWriter::SetOptions(const void*, int) {
    return KindFailure(FailureKind::kBadValue, UserText("AudioWriter", "この形式はオプションレコードを受け付けません"));
}

Result<void> CAudioWriter::Close() {
    m_blockBuffer = {};
    m_blockFill = 0;
    if (!m_open) return KindFailure(FailureKind::kMissing, UserText("AudioWriter", "書き込みが開かれていません"));
    m_open = false;
    if (!m_name.IsEmpty()) {
        m_file.reset();
        m_name = CCharString();
    }
    return {};
}

Result<void> CAudioWriter::Begin() {
    m_blockBuffer.assign(m_blockSize > 0 ? m_blockSize : 0, 0);
    m_blockFill = 0;
    m_byteCount = 0;
    return {};
}

Result<void> CAudioWriter::Write(const void* data, int length) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    const int block = m_blockSize;
    if (block <= 0) {
        if (Result<void> written = WriteBlock(bytes, length); !written) return written;
        m_byteCount += length;
        return {};
    }
    if (m_blockFill + length <= block) {
        memcpy(m_blockBuffer.data() + m_blockFill, bytes, length);
        m_blockFill += length;
        return {};
    }
    const int head = block - m_blockFill;
    memcpy(m_blockBuffer.data() + m_blockFill, bytes, head);
    if (Result<void> written = WriteBlock(m_blockBuffer.data(), block); !written) return written;
    m_byteCount += block;
    bytes += head;
    int remaining = length - head;
    // Whole blocks go straight from the caller's data; only the remainder is copied.
    while (remaining > block) {
        if (Result<void> written = WriteBlock(bytes, block); !written) return written;
        m_byteCount += block;
        bytes += block;
        remaining -= block;
    }
    memcpy(m_blockBuffer.data(), bytes, remaining);
    m_blockFill = remaining;
    return {};
}

Result<void> CAudioWriter::FlushBlockBuffer() {
    const int fill = m_blockFill;
    m_blockFill = 0;
    if (fill <= 0) return {};
    if (Result<void> written = WriteBlock(m_blockBuffer.data(), fill); !written) return written;
    m_byteCount += fill;
    return {};
}

Result<void> CAudioWriter::End() {
    Result<void> ended = EndStream();
    return FirstFailure(std::move(ended), FinishEnd());
}

Result<void> CAudioWriter::EndStream() {
    Result<void> result = FlushBlockBuffer();
    m_blockBuffer = {};
    return result;
}

void CAudioWriter::SetTags(TagFieldSet* tags) { m_tags = tags; }

Result<void> CAudioWriter::OpenFile(const char* name) {
    auto file = std::make_unique<CFileStream>();
    if (Result<void> opened = file->Open(name, CFileStream::kWrite); !opened) return opened;
    // Nothing truncates, and a writer starts at byte 0: a file that already holds data is
    // someone else's (the recorder creates each track's file empty before its writer opens it).
    if (file->GetSize() != 0) return SystemFailure(EEXIST, UserText("AudioWriter", "%1 にはすでにデータがあります").Arg(name));
    if (Result<void> attached = AttachFile(std::move(file)); !attached) return attached;
    m_name = name;
    return {};
}

int64_t CAudioWriter::SampleFramesWritten() const {
    const int frameBytes = m_channels * m_bitsPerSample / 8;
    return frameBytes > 0 ? m_byteCount / frameBytes : 0;
}
