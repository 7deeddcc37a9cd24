// The audio the encoding benchmarks feed ours and the command-line encoders alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kBenchRate = 44100;
constexpr int kBenchChannels = 2;

// Tones, a sweep and some noise: a steady load closer to music than a pure sine.
std::vector<int16_t> MakeBenchSignal(int seconds);
// The same PCM as a 16-bit WAV file, for the command-line encoder.
bool WriteBenchWav(const std::string& path, const std::vector<int16_t>& pcm);
long long FileBytes(const std::string& path);
