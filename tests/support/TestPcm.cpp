// Test signals and the WAV files that carry them.
#include "tests/support/TestPcm.h"

#include <cmath>
#include <fstream>
#include <random>

namespace {

void AppendLe(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i));
}

}  // namespace

int16_t PcmSample(int64_t frame, int channel) {
    // A cheap integer hash: neighbouring frames differ, full scale of both signs occurs.
    uint64_t x = static_cast<uint64_t>(frame) * 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(channel) * 0xBF58476D1CE4E5B9ull;
    x ^= x >> 29;
    return static_cast<int16_t>(static_cast<uint16_t>(x >> 16));
}

void FillPcm(int16_t* out, int frames, int channels, int64_t firstFrame) {
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) out[i * channels + c] = PcmSample(firstFrame + i, c);
}

std::vector<int16_t> MakePcm(int frames, int channels, int64_t firstFrame) {
    std::vector<int16_t> pcm(static_cast<size_t>(frames) * channels);
    FillPcm(pcm.data(), frames, channels, firstFrame);
    return pcm;
}

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

std::string MakeWav(const std::string& pcm, int sampleRate, int channels) {
    std::string wav = "RIFF";
    AppendLe(wav, static_cast<uint32_t>(36 + pcm.size()), 4);
    wav += "WAVEfmt ";
    AppendLe(wav, 16, 4);
    AppendLe(wav, 1, 2);
    AppendLe(wav, channels, 2);
    AppendLe(wav, sampleRate, 4);
    AppendLe(wav, sampleRate * channels * 2, 4);
    AppendLe(wav, channels * 2, 2);
    AppendLe(wav, 16, 2);
    wav += "data";
    AppendLe(wav, static_cast<uint32_t>(pcm.size()), 4);
    return wav + pcm;
}

bool WriteWav16(const std::string& path, int sampleRate, int channels, const std::vector<int16_t>& samples) {
    std::string pcm;
    pcm.reserve(samples.size() * 2);
    for (const int16_t s : samples) AppendLe(pcm, static_cast<uint16_t>(s), 2);
    const std::string wav = MakeWav(pcm, sampleRate, channels);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(wav.data(), static_cast<std::streamsize>(wav.size()));
    return static_cast<bool>(file);
}
