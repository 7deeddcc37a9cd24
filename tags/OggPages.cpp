// Reading Ogg pages with their checksum checked, and ending a stream at its last whole page.
#include "tags/OggPages.h"

#include <cstring>

namespace {

constexpr long kFixedHeader = 27;

uint32_t Le32(const unsigned char* at) {
    return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
}

}  // namespace

ogg_page OggPageBytes::View() {
    return ogg_page{bytes.data(), headerLength, bytes.data() + headerLength,
                    static_cast<long>(bytes.size()) - headerLength};
}

uint32_t OggPageBytes::Sequence() const { return Le32(bytes.data() + 18); }

void OggPageBytes::SetSequence(uint32_t sequence) {
    for (int i = 0; i < 4; ++i) bytes[18 + i] = static_cast<unsigned char>(sequence >> (8 * i));
}

void OggPageBytes::SetChecksum() {
    ogg_page page = View();
    ogg_page_checksum_set(&page);
}

bool ReadOggPage(CFileStream& file, OggPageBytes& page) {
    page.bytes.resize(kFixedHeader);
    if (file.Read(page.bytes.data(), kFixedHeader).value_or(-1) != kFixedHeader) return false;
    if (memcmp(page.bytes.data(), "OggS", 4) != 0 || page.bytes[4] != 0) return false;
    const int segments = page.bytes[26];
    page.headerLength = kFixedHeader + segments;
    page.bytes.resize(page.headerLength);
    if (file.Read(page.bytes.data() + kFixedHeader, segments).value_or(-1) != segments) return false;
    long bodyLength = 0;
    for (int i = 0; i < segments; ++i) bodyLength += page.bytes[kFixedHeader + i];
    page.bytes.resize(page.headerLength + bodyLength);
    if (file.Read(page.bytes.data() + page.headerLength, bodyLength).value_or(-1) != bodyLength) return false;
    const uint32_t stored = Le32(page.bytes.data() + 22);
    page.SetChecksum();
    return Le32(page.bytes.data() + 22) == stored;
}

bool EndOggStreamAtLastWholePage(CFileStream& file) {
    if (!file.Seek(0, CFileStream::kFromStart)) return false;
    OggPageBytes page, last;
    int64_t lastStart = -1, end = 0;
    while (ReadOggPage(file, page)) {
        lastStart = end;
        end = file.Tell();
        std::swap(last, page);
    }
    if (lastStart < 0) return false;
    if (last.EndsStream() && end == file.GetSize()) return true;
    if (!file.SetLength(end)) return false;
    last.MarkEndOfStream();
    last.SetChecksum();
    return file.Seek(lastStart, CFileStream::kFromStart) &&
           file.Write(last.bytes.data(), last.headerLength);
}
