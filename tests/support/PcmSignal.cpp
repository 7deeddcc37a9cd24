// Test signals.
#include "tests/support/PcmSignal.h"

#include <cmath>

std::vector<int16_t> SinePcm(int sampleRate, int channels, int frames, double hz, double amplitude) {
    std::vector<int16_t> pcm(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double phase = 2.0 * M_PI * hz * (c + 1) * i / sampleRate;
            pcm[static_cast<size_t>(i) * channels + c] = static_cast<int16_t>(std::lround(32767.0 * amplitude * std::sin(phase)));
        }
    }
    return pcm;
}
