// Writing small 16-bit PCM WAV files for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Interleaved samples; returns false when the file cannot be written.
bool WriteWav16(const std::string& path, int sampleRate, int channels, const std::vector<int16_t>& samples);
