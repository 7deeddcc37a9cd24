// Test signals and WAV files.
#include "tests/support/Pcm.h"

#include <cmath>
#include <random>
#include <stdexcept>

#include "tests/support/TempDir.h"

std::vector<int16_t> TonePcm(int sampleRate, int channels, int64_t frames, double frequency) {
    std::vector<int16_t> pcm(static_cast<size_t>(frames * channels));
    std::mt19937 generator(7);
    std::uniform_int_distribution<int> noise(-300, 300);
    for (int64_t frame = 0; frame < frames; ++frame)
        for (int channel = 0; channel < channels; ++channel) {
            const double tone = std::sin(2 * M_PI * frequency * (1 + 0.5 * channel) * frame / sampleRate);
            pcm[frame * channels + channel] = static_cast<int16_t>(9000 * tone + noise(generator));
        }
    return pcm;
}

void WriteWavFile(const std::string& path, const std::vector<int16_t>& pcm, int sampleRate, int channels) {
    std::string bytes;
    auto put = [&](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i));
    };
    const uint32_t dataSize = static_cast<uint32_t>(pcm.size() * 2);
    bytes += "RIFF";
    put(36 + dataSize, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(channels, 2);
    put(sampleRate, 4);
    put(sampleRate * channels * 2, 4);
    put(channels * 2, 2);
    put(16, 2);
    bytes += "data";
    put(dataSize, 4);
    for (const int16_t sample : pcm) put(static_cast<uint16_t>(sample), 2);
    WriteFileBytes(path, bytes);
}
