// PcmFormat: the sample format of a capture, a conversion or a file.
#pragma once

#include <cstdint>

struct PcmFormat {
    int32_t sampleRate = 44100;  // Hz
    int32_t channels = 2;        // 1, or 2 interleaved left then right
    int32_t bitsPerSample = 16;  // 16 wherever samples are measured or converted

    int32_t BlockSize() const { return channels * bitsPerSample / 8; }
    int32_t BytesPerSecond() const { return sampleRate * BlockSize(); }
};
