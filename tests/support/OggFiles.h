// Ogg files for the tests: their page structure (paging, checksums, granules), and files made by oggenc.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct OggPageInfo {
    int64_t offset = 0;
    uint32_t serial = 0;
    uint32_t sequence = 0;
    int64_t granule = 0;
    bool continued = false, first = false, last = false;
    bool checksumOk = false;
    std::string body;
};

// Every page in order; parsing stops at the first byte that does not start a whole page
// (`complete` tells whether that was the end of the file).
std::vector<OggPageInfo> ReadOggPages(const std::string& bytes, bool* complete = nullptr);

// Encodes `seconds` of TonePcm with oggenc at quality -q `quality`, with each text of
// `comments` ("KEY=value") as a comment; false when oggenc fails.
bool EncodeWithOggenc(const std::string& oggPath, int sampleRate, int channels, double seconds, int quality,
                      const std::vector<std::string>& comments);
