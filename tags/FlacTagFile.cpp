// FLAC metadata blocks: walking them, the comment block, its rewrite in place or through a copy.
#include "tags/FlacTagFile.h"

#include <algorithm>
#include <cstring>

#include "tags/FormatFailures.h"
#include "tags/VorbisTagFile.h"

namespace {

constexpr unsigned char kMarker[4] = {'f', 'L', 'a', 'C'};
constexpr int64_t kLargestBlock = (1 << 24) - 1;
constexpr unsigned char kLastBlockFlag = 0x80;

std::string BlockHeader(int type, int64_t length, bool last) {
    std::string header(4, '\0');
    header[0] = static_cast<char>(type | (last ? kLastBlockFlag : 0));
    header[1] = static_cast<char>(length >> 16);
    header[2] = static_cast<char>(length >> 8);
    header[3] = static_cast<char>(length);
    return header;
}

Failure NotFlac() { return NotFormat("FLAC"); }

}  // namespace

bool ReadFlacBlocks(CFileStream& file, std::vector<FlacBlock>& blocks, int64_t& audioOffset) {
    blocks.clear();
    const int64_t size = file.GetSize();
    unsigned char marker[4];
    if (!file.Seek(0, CFileStream::kFromStart) || file.Read(marker, 4).value_or(-1) != 4 ||
        memcmp(marker, kMarker, 4) != 0)
        return false;
    int64_t at = 4;
    for (bool last = false; !last;) {
        unsigned char header[4];
        if (!file.Seek(at, CFileStream::kFromStart) || file.Read(header, 4).value_or(-1) != 4) return false;
        last = (header[0] & kLastBlockFlag) != 0;
        const FlacBlock block{header[0] & 0x7F, at, int64_t{header[1]} << 16 | header[2] << 8 | header[3]};
        at += 4 + block.length;
        if (at > size || (blocks.empty() && block.type != kFlacStreamInfo)) return false;
        blocks.push_back(block);
    }
    audioOffset = at;
    return true;
}

std::string BuildFlacCommentBlock(const std::string& vendor, const std::vector<std::string>& comments, bool last) {
    const std::string body = CommentListBytes(vendor, comments);
    return BlockHeader(kFlacVorbisComment, static_cast<int64_t>(body.size()), last) + body;
}

std::string BuildFlacPaddingBlock(int64_t length, bool last) {
    return BlockHeader(kFlacPadding, length, last) + std::string(static_cast<size_t>(length), '\0');
}

CFlacTagFile::~CFlacTagFile() { static_cast<void>(CFlacTagFile::Close()); }

Result<void> CFlacTagFile::AttachFile(std::unique_ptr<CFileStream> file) {
    if (IsOpen()) static_cast<void>(Close());
    if (!file) return NoFileToAttach();
    if (!ReadFlacBlocks(*file, m_blocks, m_audioOffset)) return NotFlac();
    Clear();
    m_vendor.clear();
    for (const FlacBlock& block : m_blocks) {
        if (block.type != kFlacVorbisComment) continue;
        std::vector<unsigned char> body(static_cast<size_t>(block.length));
        std::vector<std::string_view> comments;
        size_t at = 0;
        if (!file->Seek(block.offset + 4, CFileStream::kFromStart) ||
            file->Read(body.data(), block.length).value_or(-1) != block.length ||
            !ParseCommentList(std::string_view(reinterpret_cast<const char*>(body.data()), body.size()), at, m_vendor,
                              comments))
            return KindFailure(FailureKind::kBadData, UserText("FlacTagFile", "FLAC のコメントを読めません"));
        for (const std::string_view comment : comments) ReadStandardComment(comment, m_tags);
        break;
    }
    return CTagFile::AttachFile(std::move(file));
}

Result<void> CFlacTagFile::Write() {
    std::vector<std::string> comments;
    if (!m_file) return NoFileOpen();
    if (Result<void> made = StandardCommentLines(m_tags, comments); !made) return made;
    const auto found = std::find_if(m_blocks.begin(), m_blocks.end(),
                                    [](const FlacBlock& block) { return block.type == kFlacVorbisComment; });
    if (found == m_blocks.end()) return WriteThroughTemporary(comments);
    // The room: the comment block and any padding right after it.
    const auto afterRoom = std::find_if(found + 1, m_blocks.end(),
                                        [](const FlacBlock& block) { return block.type != kFlacPadding; });
    const int64_t roomEnd = afterRoom == m_blocks.end() ? m_audioOffset : afterRoom->offset;
    const int64_t room = roomEnd - found->offset;
    const bool last = afterRoom == m_blocks.end();
    std::string region = BuildFlacCommentBlock(m_vendor, comments, false);
    const int64_t padding = room - static_cast<int64_t>(region.size()) - 4;
    if (padding < 0 || padding > kLargestBlock) return WriteThroughTemporary(comments);
    region += BuildFlacPaddingBlock(padding, last);
    const auto length = static_cast<int64_t>(region.size());
    if (Result<void> at = m_file->Seek(found->offset, CFileStream::kFromStart); !at) return at;
    if (Result<void> written = m_file->Write(region.data(), length); !written) return written;
    return ReadBlocksAgain();
}

Result<void> CFlacTagFile::ReadBlocksAgain() {
    if (!ReadFlacBlocks(*m_file, m_blocks, m_audioOffset)) return NotFlac();
    return {};
}

Result<void> CFlacTagFile::WriteThroughTemporary(const std::vector<std::string>& comments) {
    // Every block but the old comments and padding, in order, then the new comments with padding up
    // to the next page boundary, so the audio starts on one again.
    std::string head(reinterpret_cast<const char*>(kMarker), 4);
    for (const FlacBlock& block : m_blocks) {
        if (block.type == kFlacVorbisComment || block.type == kFlacPadding) continue;
        std::string copy(static_cast<size_t>(4 + block.length), '\0');
        if (!m_file->Seek(block.offset, CFileStream::kFromStart) ||
            m_file->Read(copy.data(), 4 + block.length).value_or(-1) != 4 + block.length)
            return NotFlac();
        copy[0] = static_cast<char>(copy[0] & ~kLastBlockFlag);
        head += copy;
    }
    head += BuildFlacCommentBlock(m_vendor, comments, false);
    const auto used = static_cast<int64_t>(head.size()) + 4;
    head += BuildFlacPaddingBlock((used + kFlacTagRoom - 1) / kFlacTagRoom * kFlacTagRoom - used, true);
    const int64_t audioLength = m_file->GetSize() - m_audioOffset;
    const Result<void> rewritten = RewriteThroughTemporary(*m_file, head, m_audioOffset, audioLength, std::string());
    if (!rewritten) return rewritten;
    return ReadBlocksAgain();
}
