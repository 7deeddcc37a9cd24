// What independent programs (ffprobe, ffmpeg, vorbiscomment) make of an audio file.
#pragma once

#include <cstdint>
#include <string>

struct OggProbe {
    bool ok = false;  // ffprobe found an audio stream
    std::string codec;
    int sampleRate = 0;
    int channels = 0;
    int64_t durationSamples = -1;  // from the container, in samples
};

OggProbe ProbeOggAudio(const std::string& path);
// The first audio stream decoded by ffmpeg to 16-bit PCM at its own rate and channels;
// empty when ffmpeg fails.
std::string DecodeWithFfmpeg(const std::string& path);
// `vorbiscomment -l`: one "KEY=value" line per comment, in the file's order; empty on failure.
std::string ListVorbisComments(const std::string& path);
