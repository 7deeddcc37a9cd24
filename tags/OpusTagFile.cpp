// OpusTags: reading the comment packet, its rewrite in place or through a complete copy.
#include "tags/OpusTagFile.h"

#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "tags/FormatFailures.h"
#include "tags/VorbisTagFile.h"

namespace {

constexpr std::string_view kHeadMagic = "OpusHead";
constexpr std::string_view kTagsMagic = "OpusTags";

}  // namespace

COpusTagFile::~COpusTagFile() { static_cast<void>(COpusTagFile::Close()); }

Result<void> COpusTagFile::AttachFile(std::unique_ptr<CFileStream> file) {
    if (IsOpen()) static_cast<void>(Close());
    if (!file) return NoFileToAttach();
    m_file = std::move(file);
    Clear();
    const bool read = ReadHeaders();
    if (!read) {
        m_file.reset();
        return NotFormat("Ogg Opus");
    }
    return CTagFile::AttachFile(std::move(m_file));
}

bool COpusTagFile::ReadHeaders() {
    // Audio begins on a page of its own.
    if (!ReadOggCommentHeader(*m_file, m_header) || !m_header.alone) return false;
    ogg_page first = m_header.identification.View();
    const std::string_view head(reinterpret_cast<const char*>(first.body), static_cast<size_t>(first.body_len));
    if (!head.starts_with(kHeadMagic) || !std::string_view(m_header.packet).starts_with(kTagsMagic)) return false;
    m_audioStart = m_header.end;
    size_t at = kTagsMagic.size();
    std::vector<std::string_view> comments;
    if (!ParseCommentList(m_header.packet, at, m_vendor, comments)) return false;
    for (const std::string_view comment : comments) ReadStandardComment(comment, m_tags);
    return true;
}

Result<void> COpusTagFile::Write() {
    if (!IsOpen()) return NoFileOpen();
    std::vector<std::string> lines;
    if (Result<void> made = StandardCommentLines(m_tags, lines, GainComments::R128); !made) return made;
    const std::string packet = std::string(kTagsMagic) + CommentListBytes(m_vendor, lines);
    if (RewriteCommentPacketInPlace(*m_file, m_header, packet)) return {};
    return RewriteAndReopen([&](CFileStream& copy) { return WriteCopy(copy, packet); });
}

Result<void> COpusTagFile::WriteCopy(CFileStream& copy, const std::string& packetBytes) {
    const OggPageBytes& identification = m_header.identification;
    Result<void> written = copy.Write(identification.bytes.data(), static_cast<int64_t>(identification.bytes.size()));
    if (!written) return written;

    ogg_page first = m_header.identification.View();
    ogg_stream_state stream;
    ogg_stream_init(&stream, ogg_page_serialno(&first));
    // The comment pages follow the identification page: no start-of-stream mark, numbered from 1.
    stream.b_o_s = 1;
    stream.pageno = 1;
    stream.packetno = 1;
    ogg_packet packet{};
    packet.packet = reinterpret_cast<unsigned char*>(const_cast<char*>(packetBytes.data()));
    packet.bytes = static_cast<long>(packetBytes.size());
    packet.packetno = 1;
    ogg_stream_packetin(&stream, &packet);
    ogg_page page;
    uint32_t commentPages = 0;
    while (written && ogg_stream_flush(&stream, &page)) {
        ++commentPages;
        written = copy.Write(page.header, page.header_len);
        if (written) written = copy.Write(page.body, page.body_len);
    }
    ogg_stream_clear(&stream);
    if (written) written = m_file->Seek(m_audioStart, CFileStream::kFromStart);
    if (!written) return written;

    // The audio pages follow, numbered on from the comment pages.
    const int64_t shift = int64_t{commentPages} - static_cast<int64_t>(m_header.pages.size());
    OggPageBytes audio;
    int64_t copied = m_audioStart;
    while (ReadOggPage(*m_file, audio)) {
        if (shift != 0) {
            audio.SetSequence(static_cast<uint32_t>(audio.Sequence() + shift));
            audio.SetChecksum();
        }
        written = copy.Write(audio.bytes.data(), static_cast<int64_t>(audio.bytes.size()));
        if (!written) return written;
        copied = m_file->Tell();
    }
    // What is no whole page (a torn end) is copied as it is: the rewrite changes no audio.
    std::vector<unsigned char> rest(1 << 16);
    if (Result<void> at = m_file->Seek(copied, CFileStream::kFromStart); !at) return at;
    for (;;) {
        const Result<int64_t> got = m_file->Read(rest.data(), static_cast<int64_t>(rest.size()));
        if (!got) return got.error();
        if (*got == 0) return {};
        if (Result<void> copiedRest = copy.Write(rest.data(), *got); !copiedRest) return copiedRest;
    }
}
