// Test signals.
#include "tests/support/Pcm.h"

#include <cmath>
#include <random>

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
