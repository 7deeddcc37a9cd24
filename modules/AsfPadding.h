// The padding object of an ASF header: room the encoder leaves so attributes are later written in
// place, the header keeping its size and the audio its place.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

// The header with its padding fills the file's first page: rewritten by one write that a kill
// cannot tear.
constexpr uint64_t kAsfHeaderRoom = 4096;

constexpr unsigned char kAsfPaddingGuid[16] = {0x74, 0xD4, 0x06, 0x18, 0xDF, 0xCA, 0x09, 0x45,
                                               0xA4, 0xBA, 0x9A, 0xAB, 0xCB, 0x96, 0xAA, 0xE8};
constexpr unsigned char kAsfFilePropertiesGuid[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                                      0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr uint64_t kAsfObjectHeader = 24;  // GUID and 64-bit size
constexpr uint64_t kAsfHeaderStart = 30;   // the header object's own fields
constexpr uint64_t kAsfFileSizeField = 40;  // in the file properties object, from its start

inline uint64_t AsfNumber(const std::string& bytes, size_t at, int width) {
    uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

inline void SetAsfNumber(std::string& bytes, size_t at, int width, uint64_t value) {
    for (int i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// The offset of the first top-level object of `guid` in a whole header, or 0 when there is none or
// the object list does not add up.
inline size_t FindAsfObject(const std::string& header, const unsigned char (&guid)[16]) {
    if (header.size() < kAsfHeaderStart) return 0;
    const uint64_t count = AsfNumber(header, 24, 4);
    size_t at = kAsfHeaderStart;
    for (uint64_t i = 0; i < count; ++i) {
        if (header.size() - at < kAsfObjectHeader) return 0;
        const uint64_t size = AsfNumber(header, at + 16, 8);
        if (size < kAsfObjectHeader || size > header.size() - at) return 0;
        if (memcmp(header.data() + at, guid, 16) == 0) return at;
        at += size;
    }
    return 0;
}

// Resizes the header's padding object (adding one when it has none) so the whole header is
// `room` bytes; the header's size and object count follow. False, with the header unchanged,
// when the objects do not fit in `room` with a padding object of at least its own header.
inline bool FitAsfHeader(std::string& header, uint64_t room) {
    if (header.size() < kAsfHeaderStart || AsfNumber(header, 16, 8) != header.size()) return false;
    std::string fitted = header;
    size_t padding = FindAsfObject(fitted, kAsfPaddingGuid);
    if (padding == 0) {
        padding = fitted.size();
        fitted.append(reinterpret_cast<const char*>(kAsfPaddingGuid), 16);
        fitted.append(8, '\0');
        SetAsfNumber(fitted, padding + 16, 8, kAsfObjectHeader);
        SetAsfNumber(fitted, 24, 4, AsfNumber(fitted, 24, 4) + 1);
    }
    const uint64_t others = fitted.size() - AsfNumber(fitted, padding + 16, 8);
    if (others + kAsfObjectHeader > room) return false;
    const uint64_t size = room - others;
    fitted.erase(padding + kAsfObjectHeader, AsfNumber(fitted, padding + 16, 8) - kAsfObjectHeader);
    fitted.insert(padding + kAsfObjectHeader, size - kAsfObjectHeader, '\0');
    SetAsfNumber(fitted, padding + 16, 8, size);
    SetAsfNumber(fitted, 16, 8, room);
    header.swap(fitted);
    return true;
}
