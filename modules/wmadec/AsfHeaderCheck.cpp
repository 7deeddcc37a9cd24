// Checking an ASF header before TagLib reads it: the same walk over the bytes, bounded by the header.
#include "modules/wmadec/AsfHeaderCheck.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

namespace {

using Guid = unsigned char[16];
constexpr Guid kHeader = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                          0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kContentDescription = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                      0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kExtendedContentDescription = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                              0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
constexpr Guid kHeaderExtension = {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11,
                                   0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kMetadata = {0xEA, 0xCB, 0xF8, 0xC5, 0xAF, 0x5B, 0x77, 0x48,
                            0x84, 0x67, 0xAA, 0x8C, 0x44, 0xFA, 0x4C, 0xCA};
constexpr Guid kMetadataLibrary = {0x94, 0x1C, 0x23, 0x44, 0x98, 0x94, 0xD1, 0x49,
                                   0xA1, 0x41, 0x1D, 0x13, 0x4E, 0x45, 0x70, 0x54};

constexpr uint64_t kObjectHeaderSize = 24;  // GUID and 64-bit size
constexpr uint64_t kHeaderObjectSize = 30;  // and the object count and two reserved bytes
// Cover art makes headers large, but not this large; the check reads the whole header.
constexpr uint64_t kLargestHeader = 64 << 20;

// The attribute lists: extended content description, metadata, metadata library.
enum class AttributeKind { ExtendedContent, Metadata, MetadataLibrary };

// Reads little-endian fields from the header; every read fails rather than pass its end.
class HeaderCursor {
public:
    HeaderCursor(const std::vector<unsigned char>& bytes, uint64_t fileSize)
        : m_bytes(bytes), m_fileSize(fileSize) {}

    bool Skip(uint64_t length) {
        if (length > m_bytes.size() - m_position) return false;
        m_position += length;
        return true;
    }
    bool Number(int bytes, uint64_t& value) {
        if (static_cast<uint64_t>(bytes) > m_bytes.size() - m_position) return false;
        value = 0;
        for (int i = bytes - 1; i >= 0; --i) value = value << 8 | m_bytes[m_position + i];
        m_position += bytes;
        return true;
    }
    bool IsGuid(const Guid& guid) const {
        return m_bytes.size() - m_position >= sizeof guid && memcmp(m_bytes.data() + m_position, guid, sizeof guid) == 0;
    }
    uint64_t Left() const { return m_bytes.size() - m_position; }
    uint64_t FileSize() const { return m_fileSize; }

private:
    const std::vector<unsigned char>& m_bytes;
    uint64_t m_fileSize;
    uint64_t m_position = 0;
};

// One attribute as TagLib reads it: numbers and flags take their type's width whatever the
// stored length says; everything else takes the stored length.
bool SkipAttribute(HeaderCursor& cursor, AttributeKind kind) {
    uint64_t nameLength = 0, type = 0, length = 0, ignored = 0;
    if (kind == AttributeKind::ExtendedContent) {
        if (!cursor.Number(2, nameLength) || !cursor.Skip(nameLength) || !cursor.Number(2, type) ||
            !cursor.Number(2, length))
            return false;
    } else if (!cursor.Number(2, ignored) || !cursor.Number(2, ignored) || !cursor.Number(2, nameLength) ||
               !cursor.Number(2, type) || !cursor.Number(4, length) || !cursor.Skip(nameLength)) {
        return false;
    }
    switch (type) {
        case 2: return cursor.Skip(kind == AttributeKind::ExtendedContent ? 4 : 2);  // flag
        case 3: return cursor.Skip(4);
        case 4: return cursor.Skip(8);
        case 5: return cursor.Skip(2);
        default: return cursor.Skip(length);  // text, bytes, GUID, unknown
    }
}

bool SkipAttributes(HeaderCursor& cursor, AttributeKind kind) {
    uint64_t count = 0;
    if (!cursor.Number(2, count)) return false;
    while (count-- > 0)
        if (!SkipAttribute(cursor, kind)) return false;
    return true;
}

// Objects TagLib does not parse: it takes their body only when it is not empty and no longer
// than the file, by the size cut to 32 bits as TagLib cuts it.
bool SkipBody(HeaderCursor& cursor, uint64_t size) {
    const auto truncated = static_cast<uint32_t>(size);
    return truncated <= kObjectHeaderSize || truncated > cursor.FileSize() ||
           cursor.Skip(truncated - kObjectHeaderSize);
}

// An object's GUID (which of `known`, if any) and its size, which must hold at least the GUID and
// the size and fit in `room`: TagLib's versions part ways on anything else.
bool ObjectHeader(HeaderCursor& cursor, uint64_t room, const Guid*& kind, uint64_t& size,
                  std::initializer_list<const Guid*> known) {
    kind = nullptr;
    for (const Guid* guid : known)
        if (cursor.IsGuid(*guid)) kind = guid;
    return cursor.Skip(16) && cursor.Number(8, size) && size >= kObjectHeaderSize && size <= room;
}

bool SkipHeaderExtension(HeaderCursor& cursor) {
    uint64_t dataSize = 0;
    if (!cursor.Skip(18) || !cursor.Number(4, dataSize)) return false;
    for (uint64_t done = 0; done < dataSize;) {
        const Guid* kind = nullptr;
        uint64_t size = 0;
        if (!ObjectHeader(cursor, dataSize - done, kind, size, {&kMetadata, &kMetadataLibrary})) return false;
        const bool skipped = kind == &kMetadata          ? SkipAttributes(cursor, AttributeKind::Metadata)
                             : kind == &kMetadataLibrary ? SkipAttributes(cursor, AttributeKind::MetadataLibrary)
                                                         : SkipBody(cursor, size);
        if (!skipped) return false;
        done += size;
    }
    return true;
}

bool SkipContentDescription(HeaderCursor& cursor) {
    uint64_t lengths[5] = {};
    for (uint64_t& length : lengths)
        if (!cursor.Number(2, length)) return false;
    for (const uint64_t length : lengths)
        if (!cursor.Skip(length)) return false;
    return true;
}

}  // namespace

bool IsSoundAsfHeader(const char* fileName) {
    const std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(fileName, "rb"), fclose);
    struct stat status;
    if (!file || fstat(fileno(file.get()), &status) != 0) return false;
    const auto fileSize = static_cast<uint64_t>(status.st_size);
    std::vector<unsigned char> bytes(kHeaderObjectSize);
    if (fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return false;
    HeaderCursor start(bytes, fileSize);
    uint64_t headerSize = 0, objects = 0;
    if (!start.IsGuid(kHeader) || !start.Skip(16) || !start.Number(8, headerSize) || !start.Number(4, objects) ||
        headerSize < kHeaderObjectSize || headerSize > fileSize || headerSize > kLargestHeader)
        return false;
    bytes.resize(headerSize);
    if (fread(bytes.data() + kHeaderObjectSize, 1, headerSize - kHeaderObjectSize, file.get()) !=
        headerSize - kHeaderObjectSize)
        return false;

    HeaderCursor cursor(bytes, fileSize);
    cursor.Skip(kHeaderObjectSize);
    for (uint64_t i = 0; i < objects; ++i) {
        const Guid* kind = nullptr;
        uint64_t size = 0;
        if (!ObjectHeader(cursor, cursor.Left(), kind, size,
                          {&kContentDescription, &kExtendedContentDescription, &kHeaderExtension}))
            return false;
        bool skipped = false;
        if (kind == &kContentDescription)
            skipped = SkipContentDescription(cursor);
        else if (kind == &kExtendedContentDescription)
            skipped = SkipAttributes(cursor, AttributeKind::ExtendedContent);
        else if (kind == &kHeaderExtension)
            skipped = SkipHeaderExtension(cursor);
        else
            skipped = SkipBody(cursor, size);
        if (!skipped) return false;
    }
    return true;
}
