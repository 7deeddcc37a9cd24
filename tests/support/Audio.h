// Test audio: generated 16-bit PCM and WAV files, and what ffprobe says about a file.
#pragma once

#include <map>
#include <string>

// Interleaved 16-bit little-endian PCM: a sine per channel (different pitch each) at half scale.
std::string GeneratePcm(int sampleRate, int channels, int frames);
// A canonical 44-byte-header PCM WAV of that PCM.
std::string MakeWav(const std::string& pcm, int sampleRate, int channels);

struct ProbeResult {
    bool ok = false;
    int sampleRate = 0;
    int channels = 0;
    double durationSeconds = 0;
    std::string codec;
    std::map<std::string, std::string> tags;  // format tags, keys lower-case
};
// Runs ffprobe on the file (the first audio stream and the container's tags).
ProbeResult Probe(const std::string& path);
// Decodes the whole file with ffmpeg; true when it decodes without error.
bool DecodesCleanly(const std::string& path);
// Sample frames ffmpeg decodes from the file (encoder delay and padding trimmed), -1 on failure.
long long DecodedFrames(const std::string& path, int channels);
