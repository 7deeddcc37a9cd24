// ffprobe's stream facts, ffmpeg's decoding and vorbiscomment's listing, for checking written files.
#include "tests/support/OggProbe.h"

#include <sstream>

#include "tests/support/Process.h"

OggProbe ProbeOggAudio(const std::string& path) {
    OggProbe probe;
    const ProcessResult result = RunProcess(
        "ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,sample_rate,channels,duration_ts "
        "-of default=noprint_wrappers=1 " + ShellQuote(path));
    if (result.exitCode != 0) return probe;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "codec_name") probe.codec = value;
        if (key == "sample_rate") probe.sampleRate = std::stoi(value);
        if (key == "channels") probe.channels = std::stoi(value);
        if (key == "duration_ts" && value != "N/A") probe.durationSamples = std::stoll(value);
    }
    probe.ok = !probe.codec.empty();
    return probe;
}

std::string DecodeWithFfmpeg(const std::string& path) {
    const ProcessResult result = RunProcess("ffmpeg -v error -i " + ShellQuote(path) + " -f s16le -");
    return result.exitCode == 0 ? result.output : std::string();
}

std::string ListVorbisComments(const std::string& path) {
    const ProcessResult result = RunProcess("vorbiscomment -l " + ShellQuote(path));
    return result.exitCode == 0 ? result.output : std::string();
}
