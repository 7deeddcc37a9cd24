// What independent programs (ffprobe, sox, ffmpeg, flac, vorbiscomment) make of an audio file, to prove
// others read what we write.
#pragma once

#include <cstdint>
#include <map>
#include <string>

struct ProbedAudio {
    bool ok = false;  // the program read an audio stream with a rate and channels
    std::string codec;  // ffprobe's codec name; sox leaves it empty
    int sampleRate = 0;
    int channels = 0;
    double durationSeconds = 0;  // ffprobe: the container's duration; sox: its sample frames over the rate
    int64_t durationSamples = -1;  // the stream's length in sample frames; -1 when not given
    double packetDuration = 0;  // ffprobe: seconds of the first packet
    std::map<std::string, std::string> tags;  // ffprobe: the container's and the stream's tags, keys lower-case
};

// ffprobe's view of the first audio stream and of the container.
ProbedAudio ProbeWithFfprobe(const std::string& path);
// `sox --i`'s view.
ProbedAudio ProbeWithSox(const std::string& path);

// The first audio stream decoded by ffmpeg to 16-bit PCM at its own rate and channels; empty when
// ffmpeg fails.
std::string DecodeWithFfmpeg(const std::string& path);
// Sample frames ffmpeg decodes from the file (encoder delay and padding trimmed), -1 on failure.
long long DecodedFrames(const std::string& path, int channels);
// True when ffmpeg decodes the whole file without a single error.
bool DecodesCleanly(const std::string& path);
// `flac -t`, the reference decoder's own test: true when it passes; `strict` fails warnings too (an
// unset MD5 among them).
bool FlacTestPasses(const std::string& path, bool strict = true);
// `vorbiscomment -l`: one "KEY=value" line per comment, in the file's order; empty on failure.
std::string ListVorbisComments(const std::string& path);
