// Generated 16-bit PCM for the tests, and small WAV files of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Deterministic PCM: every sample is a function of its frame and channel, so buffers made one after
// another join into one stream and any lost or doubled frame shows.
int16_t PcmSample(int64_t frame, int channel);
// `frames` interleaved frames starting at `firstFrame`.
void FillPcm(int16_t* out, int frames, int channels, int64_t firstFrame);
std::vector<int16_t> MakePcm(int frames, int channels, int64_t firstFrame = 0);

// Interleaved PCM for encoders: a tone per channel (the right one a fifth above) with a little
// deterministic noise, so they see something like music.
std::vector<int16_t> TonePcm(int sampleRate, int channels, int64_t frames, double frequency = 440.0);

// A canonical 44-byte-header 16-bit PCM WAV around `pcm`, taken as it is (odd sizes included).
std::string MakeWav(const std::string& pcm, int sampleRate, int channels);
// Writes such a WAV of interleaved samples; false when the file cannot be written.
bool WriteWav16(const std::string& path, int sampleRate, int channels, const std::vector<int16_t>& samples);
