// Tagging WAV files with a RIFF INFO list.
#include "tags/WavTagFile.h"

#include <cstring>
#include <string>

#include "tags/FormatFailures.h"
#include "tags/RiffInfo.h"
#include "tags/WavHeader.h"

namespace {

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// True when everything from `offset` to the end is INFO lists (or less than a chunk header).
bool OnlyInfoListsFrom(CFileStream& file, int64_t offset, int64_t fileSize) {
    while (offset + 12 <= fileSize) {
        unsigned char header[12];
        if (!file.Seek(offset, CFileStream::kFromStart) || file.Read(header, 12).value_or(-1) != 12) return false;
        if (memcmp(header, "LIST", 4) != 0 || memcmp(header + 8, "INFO", 4) != 0) return false;
        offset += 8 + ((static_cast<int64_t>(Le32(header + 4)) + 1) & ~int64_t(1));
    }
    return offset >= fileSize || fileSize - offset < 8;
}

}  // namespace

Result<void> CWavTagFile::AttachFile(std::unique_ptr<CFileStream> file) {
    if (Result<void> attached = CTagFile::AttachFile(std::move(file)); !attached) return attached;
    int64_t dataOffset = 0;
    uint32_t dataSize = 0;
    Result<void> parsed = m_file->Seek(0, CFileStream::kFromStart);
    if (parsed) parsed = ParseWavHeader(*m_file, dataOffset, dataSize);
    if (!parsed) {
        static_cast<void>(CTagFile::Close());
        return parsed;
    }
    m_dataEnd = dataOffset + dataSize;
    // 0xFFFFFFFF is what a writer leaves while recording, and what a file beyond 4 GiB is saturated to.
    m_sizeKnown = dataSize != 0xFFFFFFFFu && m_dataEnd <= m_file->GetSize();
    if (m_sizeKnown && m_file->Seek(m_dataEnd + (dataSize & 1), CFileStream::kFromStart))
        ReadInfoList(*m_file, m_tags);
    return {};
}

Result<void> CWavTagFile::Write() {
    if (!m_file) return NoFileOpen();
    if (!m_sizeKnown) return KindFailure(FailureKind::kBadData, UserText("WavTagFile", "data チャンクのサイズから音声の終わりが分かりません"));
    const int64_t fileSize = m_file->GetSize();
    const int64_t listOffset = m_dataEnd + (m_dataEnd & 1);  // RIFF pads odd chunks
    if (!OnlyInfoListsFrom(*m_file, listOffset, fileSize))
        return KindFailure(FailureKind::kBadData, UserText("WavTagFile", "音声のあとにタグ以外のチャンクがあります"));
    std::string bytes = m_dataEnd & 1 ? std::string(1, '\0') : std::string();
    bytes += BuildInfoList(m_tags);
    const int64_t end = m_dataEnd + static_cast<int64_t>(bytes.size());
    if (end - 8 > 0xFFFFFFFFLL) return TooLongForRiff();
    const auto riffSize = static_cast<uint32_t>(end - 8);
    unsigned char size[4];
    for (int i = 0; i < 4; ++i) size[i] = static_cast<unsigned char>(riffSize >> (8 * i));
    const auto length = static_cast<int64_t>(bytes.size());
    // A list cut short by a full disk would claim bytes past the end of the file: it goes in
    // whole or not at all.
    Result<void> done = m_file->Reserve(end);
    if (done) done = m_file->Seek(m_dataEnd, CFileStream::kFromStart);
    if (done) done = m_file->Write(bytes.data(), length);
    if (done) done = m_file->SetEndOfFile();
    if (done) done = m_file->Seek(4, CFileStream::kFromStart);
    if (done) done = m_file->Write(size, 4);
    return done;
}
