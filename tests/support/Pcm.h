// Generated 16-bit PCM for the writer tests.
#pragma once

#include <cstdint>
#include <vector>

// Interleaved little-endian 16-bit PCM: a tone per channel (the right one a fifth above)
// with a little deterministic noise, so encoders see something like music.
std::vector<int16_t> TonePcm(int sampleRate, int channels, int64_t frames, double frequency = 440.0);
