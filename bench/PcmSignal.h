// The signal the encoder benchmarks feed every encoder: generated, and as a WAV file for the
// command-line encoders; the size of what they wrote.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kBenchRate = 44100;
constexpr int kBenchChannels = 2;

// Tones, a sweep and some noise: a steady load closer to music than a pure sine.
std::vector<int16_t> MakeBenchSignal(int seconds);
// The size of a file an encoder wrote; 0 when there is none.
long long BenchFileBytes(const std::string& path);
// A 16-bit PCM WAV of `pcm` at the bench rate and channels; false when it cannot be written.
bool WriteBenchWav(const std::string& path, const std::vector<int16_t>& pcm);
