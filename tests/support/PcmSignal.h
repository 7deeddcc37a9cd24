// Generated 16-bit PCM for feeding writers in tests.
#pragma once

#include <cstdint>
#include <vector>

// A sine tone, interleaved; the right channel an octave above the left so swaps show.
std::vector<int16_t> SinePcm(int sampleRate, int channels, int frames, double hz = 440.0, double amplitude = 0.5);
