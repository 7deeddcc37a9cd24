// OpusTags: reading the comment packet, and the rewrite through a complete copy.
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

void AppendLe32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

// Reads a length-prefixed string at `at`, moving past it; false when it runs past the packet.
bool TakeString(std::string_view packet, size_t& at, std::string_view& text) {
    if (packet.size() - at < 4) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(packet.data() + at);
    const uint32_t length = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    at += 4;
    if (packet.size() - at < length) return false;
    text = packet.substr(at, length);
    at += length;
    return true;
}

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
    if (!m_file->Seek(0, CFileStream::kFromStart) || !ReadOggPage(*m_file, m_identification)) return false;
    ogg_page page = m_identification.View();
    m_serial = ogg_page_serialno(&page);
    ogg_stream_state stream;
    ogg_stream_init(&stream, m_serial);
    ogg_packet packet;
    // OpusHead ends the first page; the comments may span several.
    bool found = ogg_stream_pagein(&stream, &page) == 0 && ogg_stream_packetout(&stream, &packet) == 1 &&
                 std::string_view(reinterpret_cast<const char*>(packet.packet), packet.bytes).starts_with(kHeadMagic) &&
                 ogg_stream_packetout(&stream, &packet) == 0;
    m_commentPages = 0;
    OggPageBytes next;
    std::string comments;
    while (found && ReadOggPage(*m_file, next)) {
        ++m_commentPages;
        page = next.View();
        if (ogg_stream_pagein(&stream, &page) != 0) break;
        if (ogg_stream_packetout(&stream, &packet) != 1) continue;
        comments.assign(reinterpret_cast<const char*>(packet.packet), packet.bytes);
        // Audio begins on a page of its own.
        found = ogg_stream_packetout(&stream, &packet) == 0;
        break;
    }
    ogg_stream_clear(&stream);
    m_audioStart = m_file->Tell();
    if (!found || !std::string_view(comments).starts_with(kTagsMagic)) return false;
    size_t at = kTagsMagic.size();
    std::string_view vendor, comment;
    if (!TakeString(comments, at, vendor) || comments.size() - at < 4) return false;
    m_vendor = vendor;
    std::string_view count = std::string_view(comments).substr(at, 4);
    at += 4;
    uint32_t remaining = 0;
    for (int i = 3; i >= 0; --i) remaining = remaining << 8 | static_cast<unsigned char>(count[i]);
    for (; remaining > 0 && TakeString(comments, at, comment); --remaining) ReadStandardComment(comment, m_tags);
    return remaining == 0;
}

Result<void> COpusTagFile::Write() {
    if (!IsOpen()) return NoFileOpen();
    return RewriteAndReopen([this](CFileStream& copy) { return WriteCopy(copy); });
}

Result<void> COpusTagFile::WriteCopy(CFileStream& copy) {
    std::vector<std::pair<std::string, std::string>> lines;
    if (Result<void> made = StandardComments(m_tags, lines); !made) return made;
    std::string packetBytes(kTagsMagic);
    AppendLe32(packetBytes, static_cast<uint32_t>(m_vendor.size()));
    packetBytes += m_vendor;
    AppendLe32(packetBytes, static_cast<uint32_t>(lines.size()));
    for (const auto& [key, value] : lines) {
        AppendLe32(packetBytes, static_cast<uint32_t>(key.size() + 1 + value.size()));
        packetBytes += key + "=" + value;
    }
    Result<void> written =
        copy.Write(m_identification.bytes.data(), static_cast<int64_t>(m_identification.bytes.size()));
    if (!written) return written;

    ogg_stream_state stream;
    ogg_stream_init(&stream, m_serial);
    // The comment pages follow the identification page: no start-of-stream mark, numbered from 1.
    stream.b_o_s = 1;
    stream.pageno = 1;
    stream.packetno = 1;
    ogg_packet packet{};
    packet.packet = reinterpret_cast<unsigned char*>(packetBytes.data());
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
    const int64_t shift = int64_t{commentPages} - m_commentPages;
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
