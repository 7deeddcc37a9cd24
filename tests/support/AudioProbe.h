// What independent programs (ffprobe, sox) read from an audio file, to prove others can play ours.
#pragma once

#include <cstdint>
#include <string>

struct ProbedAudio {
    bool readable = false;
    int sampleRate = 0;
    int channels = 0;
    double durationSeconds = 0;  // ffprobe: the container's duration
    int64_t frames = -1;         // sox: the sample frames it counts; -1 when not given
};

// ffprobe's view of the first audio stream and of the file's duration.
ProbedAudio ProbeWithFfprobe(const std::string& path);
// `sox --i`'s view.
ProbedAudio ProbeWithSox(const std::string& path);
