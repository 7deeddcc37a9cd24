// What independent programs read from our files: ffprobe for streams, mutagen for tags.
#pragma once

#include <map>
#include <string>

// The first audio stream as ffprobe sees it; `ok` is false when ffprobe refused the file.
struct ProbedStream {
    bool ok = false;
    std::string codec;
    int sampleRate = 0;
    int channels = 0;
    double duration = 0;        // seconds
    double packetDuration = 0;  // seconds, of the first packet
};
ProbedStream ProbeAudio(const std::string& path);

// Every tag value mutagen reads, as "key" -> "Type:value" (several values joined by "|").
// Empty when mutagen cannot read the file.
std::map<std::string, std::string> ReadTagsWithMutagen(const std::string& path);
// Runs a Python snippet with mutagen where `path` holds the file's path; true when it exits 0.
bool RunMutagen(const std::string& path, const std::string& snippet);
