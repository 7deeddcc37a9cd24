// Test PCM generation.
#include "tests/support/PcmSignal.h"

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
