// The comment header's pages: read, padded by the writers, rewritten in place.
#include "tags/OggCommentHeader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr long kFixedHeader = 27;
constexpr unsigned char kContinued = 0x01, kFirst = 0x02;

int Segments(const OggPageBytes& page) { return page.bytes[26]; }
unsigned char Lacing(const OggPageBytes& page, int segment) { return page.bytes[kFixedHeader + segment]; }
bool SameSerial(const OggPageBytes& a, const OggPageBytes& b) {
    return memcmp(a.bytes.data() + 14, b.bytes.data() + 14, 4) == 0;
}

// The page holds exactly one packet, begun and ended on it.
bool HoldsOneWholePacket(const OggPageBytes& page) {
    const int segments = Segments(page);
    if ((page.bytes[5] & kContinued) != 0 || segments == 0) return false;
    for (int i = 0; i + 1 < segments; ++i)
        if (Lacing(page, i) != 255) return false;
    return Lacing(page, segments - 1) != 255;
}

}  // namespace

bool ReadOggCommentHeader(CFileStream& file, OggCommentHeader& header) {
    header = OggCommentHeader();
    if (!file.Seek(0, CFileStream::kFromStart) || !ReadOggPage(file, header.identification)) return false;
    if ((header.identification.bytes[5] & kFirst) == 0 || !HoldsOneWholePacket(header.identification)) return false;
    header.offset = file.Tell();
    for (;;) {
        OggPageBytes page;
        if (!ReadOggPage(file, page) || !SameSerial(page, header.identification)) return false;
        // The packet starts its first page and goes on through the next ones.
        if (((page.bytes[5] & kContinued) != 0) != !header.pages.empty()) return false;
        size_t at = static_cast<size_t>(page.headerLength);
        const int segments = Segments(page);
        for (int i = 0; i < segments; ++i) {
            const unsigned char length = Lacing(page, i);
            header.packet.append(reinterpret_cast<const char*>(page.bytes.data()) + at, length);
            at += length;
            if (length < 255) {
                header.alone = i + 1 == segments;
                header.pages.push_back(std::move(page));
                header.end = file.Tell();
                return true;
            }
        }
        header.pages.push_back(std::move(page));
    }
}

bool RewriteCommentPacketInPlace(CFileStream& file, OggCommentHeader& header, std::string packet) {
    const int64_t pageCacheSize = kOggCommentRoomEnd;
    if (!header.alone || packet.size() > header.packet.size() ||
        header.offset / pageCacheSize != (header.end - 1) / pageCacheSize)
        return false;
    packet.resize(header.packet.size(), '\0');
    std::string pages;
    size_t at = 0;
    for (OggPageBytes& page : header.pages) {
        const size_t body = page.bytes.size() - static_cast<size_t>(page.headerLength);
        std::copy_n(packet.begin() + static_cast<std::ptrdiff_t>(at), body, page.bytes.begin() + page.headerLength);
        at += body;
        page.SetChecksum();
        pages.append(reinterpret_cast<const char*>(page.bytes.data()), page.bytes.size());
    }
    // One write within one page of the page cache: a kill comes before it or after it. It needs no
    // new block, so a full disk does not stop it half way either.
    if (!file.Seek(header.offset, CFileStream::kFromStart) ||
        !file.Write(pages.data(), static_cast<int64_t>(pages.size())))
        return false;
    header.packet = std::move(packet);
    return true;
}

void PadToCommentRoom(OggPageBytes& page, int64_t offset) {
    if (page.bytes.size() < kFixedHeader || !HoldsOneWholePacket(page)) return;
    const long packet = static_cast<long>(page.bytes.size()) - page.headerLength;
    // The longest packet whose page still ends within the room: every 255 bytes take a lacing value.
    const int64_t room = kOggCommentRoomEnd - offset - kFixedHeader;
    int64_t padded = room;
    while (padded > 0 && padded / 255 + 1 + padded > room) --padded;
    if (padded <= packet || padded / 255 + 1 > 255) return;
    const int segments = static_cast<int>(padded / 255 + 1);
    std::vector<unsigned char> bytes(page.bytes.begin(), page.bytes.begin() + kFixedHeader);
    bytes[26] = static_cast<unsigned char>(segments);
    bytes.insert(bytes.end(), static_cast<size_t>(segments - 1), 255);
    bytes.push_back(static_cast<unsigned char>(padded % 255));
    bytes.insert(bytes.end(), page.bytes.begin() + page.headerLength, page.bytes.end());
    bytes.resize(bytes.size() + static_cast<size_t>(padded - packet), 0);
    page.bytes = std::move(bytes);
    page.headerLength = kFixedHeader + segments;
    page.SetChecksum();
}
