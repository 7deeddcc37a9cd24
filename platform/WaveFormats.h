// The 20 WAVE_FORMAT_* flags a capture device reports as its supported-format mask.
#pragma once

#include <cstdint>

struct WaveFormatFlag {
    uint32_t flag;
    int sampleRate;
    int channels;
    int bits;
};

// In ascending bit order: per rate mono 8, stereo 8, mono 16, stereo 16.
extern const WaveFormatFlag kWaveFormatFlags[20];

// Every flag set: what a device accepts when the sound server converts any rate.
constexpr uint32_t kAllWaveFormats = 0xFFFFF;

// The flag for one format, or 0 when none of the 20 describes it.
uint32_t WaveFormatFlagFor(int sampleRate, int channels, int bits);
