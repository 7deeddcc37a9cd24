// The WAV header parser.
#include "tags/WavHeader.h"

#include "tags/FormatFailures.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void PutLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void PutLe16(unsigned char* p, uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

Failure NotPcmWav() { return NotFormat("PCM WAV"); }

Result<void> ReadExactly(CFileStream& file, unsigned char* buffer, int64_t length) {
    const Result<int64_t> got = file.Read(buffer, length);
    if (!got) return got.error();
    if (*got != length) return NotPcmWav();
    return {};
}

Result<void> WriteSizeAt(CFileStream& file, int64_t offset, int64_t size) {
    unsigned char field[4];
    PutLe32(field, static_cast<uint32_t>(std::clamp<int64_t>(size, 0, 0xFFFFFFFF)));
    if (Result<void> at = file.Seek(offset, CFileStream::kFromStart); !at) return at;
    return file.Write(field, 4);
}

}  // namespace

Result<void> WriteWavSizes(CFileStream& file, int64_t fileLength) {
    if (fileLength < kWavHeaderSize) return KindFailure(FailureKind::kBadData, UserText("WavHeader", "WAV ヘッダーが不完全です"));
    if (Result<void> written = WriteSizeAt(file, 4, fileLength - 8); !written) return written;
    return WriteSizeAt(file, 40, fileLength - kWavHeaderSize);
}

PcmFormatBlock DecodePcmFormatBlock(const unsigned char* bytes) {
    PcmFormatBlock block;
    block.formatTag = Le16(bytes);
    block.channels = Le16(bytes + 2);
    block.samplesPerSecond = Le32(bytes + 4);
    block.averageBytesPerSecond = Le32(bytes + 8);
    block.blockAlign = Le16(bytes + 12);
    block.bitsPerSample = Le16(bytes + 14);
    return block;
}

void EncodePcmFormatBlock(const PcmFormatBlock& block, unsigned char* bytes) {
    PutLe16(bytes, block.formatTag);
    PutLe16(bytes + 2, block.channels);
    PutLe32(bytes + 4, block.samplesPerSecond);
    PutLe32(bytes + 8, block.averageBytesPerSecond);
    PutLe16(bytes + 12, block.blockAlign);
    PutLe16(bytes + 14, block.bitsPerSample);
}

Result<void> ParseWavHeader(CFileStream& file, int64_t& dataOffset, uint32_t& dataSize, PcmFormatBlock* format) {
    unsigned char header[36];
    if (Result<void> read = ReadExactly(file, header, sizeof header); !read) return read;
    if (memcmp(header, "RIFF", 4) != 0 || memcmp(header + 8, "WAVE", 4) != 0 || memcmp(header + 12, "fmt ", 4) != 0 ||
        Le16(header + 20) != 1)
        return NotPcmWav();
    if (format) *format = DecodePcmFormatBlock(header + 20);

    int64_t offset = sizeof header;
    const uint32_t fmtSize = Le32(header + 16);
    if (fmtSize < kPcmFormatBlockSize) return NotPcmWav();
    if (fmtSize > kPcmFormatBlockSize) {
        // RIFF pads odd chunks to an even length.
        const int64_t extra = static_cast<int64_t>(fmtSize) - kPcmFormatBlockSize + (fmtSize & 1);
        if (Result<void> past = file.Seek(extra, CFileStream::kFromCurrent); !past) return past;
        offset += extra;
    }
    unsigned char chunk[8];
    if (Result<void> read = ReadExactly(file, chunk, sizeof chunk); !read) return read;
    offset += sizeof chunk;
    if (memcmp(chunk, "fact", 4) == 0) {
        const int64_t factSize = Le32(chunk + 4) + (Le32(chunk + 4) & 1);
        if (Result<void> past = file.Seek(factSize, CFileStream::kFromCurrent); !past) return past;
        if (Result<void> read = ReadExactly(file, chunk, sizeof chunk); !read) return read;
        offset += factSize + sizeof chunk;
    }
    if (memcmp(chunk, "data", 4) != 0) return NotPcmWav();
    dataOffset = offset;
    dataSize = Le32(chunk + 4);
    return {};
}
