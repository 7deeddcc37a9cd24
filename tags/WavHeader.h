// ParseWavHeader: finds the PCM audio of an existing RIFF/WAVE file.
#pragma once

#include <cstdint>

#include "foundation/FileStream.h"

// The 16-byte body of a PCM "fmt " chunk, little-endian on disk.
struct PcmFormatBlock {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSecond = 0;
    uint32_t averageBytesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

constexpr int kPcmFormatBlockSize = 16;
constexpr int kWavHeaderSize = 44;

// Reads a format block from / writes it to 16 little-endian bytes.
PcmFormatBlock DecodePcmFormatBlock(const unsigned char* bytes);
void EncodePcmFormatBlock(const PcmFormatBlock& block, unsigned char* bytes);

// With `file` at 0: for a PCM WAV file, where its audio starts and the data chunk's size as
// stored; fails for anything else (other codecs, no data chunk after at most one "fact" chunk,
// a short file).
Result<void> ParseWavHeader(CFileStream& file, int64_t& dataOffset, uint32_t& dataSize,
                            PcmFormatBlock* format = nullptr);

// Sets the RIFF and data sizes of a file this program wrote (a 44-byte header, then all audio)
// for a file of `fileLength` bytes. A size beyond 32 bits is stored as the largest value, which
// players read as "to the end of the file", so a recording past 4 GiB stays playable to its end.
Result<void> WriteWavSizes(CFileStream& file, int64_t fileLength);
