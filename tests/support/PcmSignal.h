// Deterministic 16-bit PCM for tests: every sample is a function of its frame and channel, so
// buffers made one after another join into one stream and any lost or doubled frame shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

int16_t PcmSample(int64_t frame, int channel);
// `frames` interleaved frames starting at `firstFrame`.
void FillPcm(int16_t* out, int frames, int channels, int64_t firstFrame);
std::vector<int16_t> MakePcm(int frames, int channels, int64_t firstFrame = 0);
