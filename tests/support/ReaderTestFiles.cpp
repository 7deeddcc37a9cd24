// Making test tracks and decoding them back for the reader tests.
#include "tests/support/ReaderTestFiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

bool WriteToneTrack(CAudioWriter& writer, const std::string& path, int bitrate, int sampleRate, int channels,
                    int64_t frames, TagFieldSet* tags) {
    writer.SetTags(tags);
    if (!writer.Open(path.c_str()) || !writer.SetFormat(bitrate, sampleRate, channels, 16, -1, -1) || !writer.Begin())
        return false;
    const std::vector<int16_t> pcm = TonePcm(sampleRate, channels, frames);
    const size_t buffer = static_cast<size_t>(sampleRate / 10 * channels);
    for (size_t at = 0; at < pcm.size(); at += buffer)
        if (!writer.Write(pcm.data() + at, static_cast<int>(std::min(buffer, pcm.size() - at) * 2))) return false;
    return writer.End() && writer.Close();
}

std::string ToneWav(const std::string& path, int sampleRate, int channels, int64_t frames) {
    return WriteWav16(path, sampleRate, channels, TonePcm(sampleRate, channels, frames)) ? path : std::string();
}

bool RunEncoder(const std::string& command) { return RunProcess(command + " >/dev/null 2>&1").exitCode == 0; }

std::string DecodeAll(CAudioReader& reader) {
    std::string pcm;
    if (!reader.Begin()) return pcm;
    while (reader.ReadBlock()) pcm.append(reinterpret_cast<const char*>(reader.Block()), reader.BlockBytes());
    static_cast<void>(reader.End());
    return pcm;
}

double RmsDifference(const std::string& a, const std::string& b) {
    const size_t samples = std::min(a.size(), b.size()) / 2;
    if (samples == 0) return 1e9;
    double sum = 0;
    for (size_t i = 0; i < samples; ++i) {
        int16_t x, y;
        memcpy(&x, a.data() + 2 * i, 2);
        memcpy(&y, b.data() + 2 * i, 2);
        sum += double(x - y) * (x - y);
    }
    return std::sqrt(sum / static_cast<double>(samples));
}

TagFieldSet SampleTags() {
    TagFieldSet tags;
    tags.title = "朝の録音";
    tags.artist = "Radio One";
    tags.album = "Morning Show";
    tags.year = "2024";
    tags.comment = "recorded";
    tags.trackNumber = 7;
    return tags;
}

bool RefusesFile(CAudioReader& reader, const std::string& path, const std::string& bytes) {
    WriteFileBytes(path, bytes);
    return !reader.Open(path.c_str()) && !reader.IsOpen() && reader.TagFile() == nullptr;
}
