// PcmFormat: the sample rate, channel count and sample width of a PCM stream.
#pragma once

#include <cstdint>

struct PcmFormat {
    int32_t sampleRate = 44100;
    int32_t channels = 2;
    int32_t bitsPerSample = 16;
    int BlockSize() const { return channels * bitsPerSample / 8; }
    int BytesPerSecond() const { return sampleRate * BlockSize(); }
};
