// An independent Ogg page reader (framing and the Ogg CRC-32), and oggenc-made files.
#include "tests/support/OggFiles.h"

#include <cstdio>

#include "tests/support/Process.h"
#include "tests/support/TestPcm.h"

namespace {

uint32_t OggCrc(const std::string& bytes) {
    uint32_t crc = 0;
    for (const char c : bytes) {
        crc ^= static_cast<uint32_t>(static_cast<unsigned char>(c)) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000u ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

uint64_t Le(const std::string& bytes, size_t at, int size) {
    uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

}  // namespace

std::vector<OggPageInfo> ReadOggPages(const std::string& bytes, bool* complete) {
    std::vector<OggPageInfo> pages;
    size_t at = 0;
    while (at + 27 <= bytes.size() && bytes.compare(at, 4, "OggS") == 0) {
        const size_t segments = static_cast<unsigned char>(bytes[at + 26]);
        if (at + 27 + segments > bytes.size()) break;
        size_t bodySize = 0;
        for (size_t i = 0; i < segments; ++i) bodySize += static_cast<unsigned char>(bytes[at + 27 + i]);
        const size_t size = 27 + segments + bodySize;
        if (at + size > bytes.size()) break;
        OggPageInfo page;
        page.offset = static_cast<int64_t>(at);
        const int flags = static_cast<unsigned char>(bytes[at + 5]);
        page.continued = flags & 1;
        page.first = flags & 2;
        page.last = flags & 4;
        page.granule = static_cast<int64_t>(Le(bytes, at + 6, 8));
        page.serial = static_cast<uint32_t>(Le(bytes, at + 14, 4));
        page.sequence = static_cast<uint32_t>(Le(bytes, at + 18, 4));
        std::string copy = bytes.substr(at, size);
        const uint32_t stored = static_cast<uint32_t>(Le(copy, 22, 4));
        copy.replace(22, 4, 4, '\0');
        page.checksumOk = OggCrc(copy) == stored;
        page.body = bytes.substr(at + 27 + segments, bodySize);
        pages.push_back(std::move(page));
        at += size;
    }
    if (complete) *complete = at == bytes.size();
    return pages;
}

bool EncodeWithOggenc(const std::string& oggPath, int sampleRate, int channels, double seconds, int quality,
                      const std::vector<std::string>& comments) {
    const std::string wav = oggPath + ".wav";
    if (!WriteWav16(wav, sampleRate, channels, TonePcm(sampleRate, channels, static_cast<int64_t>(seconds * sampleRate))))
        return false;
    std::string command = "oggenc -Q -q " + std::to_string(quality) + " -o " + ShellQuote(oggPath);
    for (const std::string& comment : comments) command += " -c " + ShellQuote(comment);
    const bool ok = RunProcess(command + " " + ShellQuote(wav)).exitCode == 0;
    std::remove(wav.c_str());
    return ok;
}
