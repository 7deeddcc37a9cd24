// CId3v2Tag and CId3v2Frame: the ID3v2 tag in front of an MP3 file, read (2.2, 2.3, 2.4) and written (2.3).
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <memory>
#include <string>
#include <vector>

#include "foundation/CharString.h"
#include "foundation/FileStream.h"

class CId3v2Frame {
public:
    char id[5] = {};        // four characters and a NUL
    uint16_t flags = 0;     // the two flag bytes as read, first byte high
    std::string payload;
    bool hasText = false;   // text, comment and lyrics frames that decoded
    CCharString text;

    bool Is(const char* frameId) const;
};

class CId3v2Tag {
public:
    CId3v2Tag() = default;

    // Replaces or appends the frame's text, encoded with the tag's text encoding; gives the payload size.
    Result<int> SetFrameText(const char* frameId, const CCharString& text);
    // Sets the TXXX frame of ASCII `description` to `value`.
    void SetUserText(const std::string& description, const std::string& value);
    // Calls `found` with each TXXX frame's description and value written in ISO-8859-1 or UTF-8.
    void ForEachUserText(const std::function<void(std::string_view description, std::string_view value)>& found) const;
    // The text of the first frame with that id, or `fallback`.
    CCharString GetFrameText(const char* frameId, const CCharString& fallback = CCharString()) const;
    // Parses a tag at the stream's position; false on a short read or without "ID3".
    bool ReadTag(CFileStream& file);
    // Writes the tag (as 2.3 when read as 2.2) at the stream's position; false on a short write.
    bool WriteTag(CFileStream& file);
    // The bytes WriteTag writes; empty when a size cannot be expressed in 28 bits.
    std::string Render();

    bool present = false;
    std::string rawBody;
    int version = 3;
    int paddingSize = 2048;
    bool unsynchronised = false;
    // 0: ASCII as it is, other text as 1 (read: UTF-8, else Shift-JIS); 1 UTF-16 LE with BOM,
    // 2 UTF-16 BE with BOM, 3 UTF-8.
    int textEncoding = 0;
    std::vector<std::unique_ptr<CId3v2Frame>> frames;
};

// The 28-bit size of ID3v2 headers, 7 bits per byte.
uint32_t DecodeSyncsafe(const unsigned char* bytes);
void EncodeSyncsafe(uint32_t value, unsigned char* bytes);
