// What the encoder benchmarks share: the signal they feed every encoder, generated and as a WAV
// file for the command-line encoders; the size of what they wrote; the CPU time each one took.
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
// User and system CPU seconds this process has used so far.
double OwnCpuSeconds();
// Runs the command and returns the user and system CPU seconds it used, or -1 when it did not run
// to a clean end.
double ChildCpuSeconds(const std::vector<std::string>& command);
