// Runs ffprobe, sox, ffmpeg and vorbiscomment and picks the facts out of what they print.
#include "tests/support/AudioProbe.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "tests/support/Process.h"

namespace {

// The text after "key" up to the end of its line, or empty.
std::string ValueAfter(const std::string& text, const std::string& key) {
    const size_t at = text.find(key);
    if (at == std::string::npos) return {};
    const size_t start = at + key.size();
    return text.substr(start, text.find('\n', start) - start);
}

bool Given(const std::string& value) { return !value.empty() && value != "N/A"; }

}  // namespace

ProbedAudio ProbeWithFfprobe(const std::string& path) {
    // Only the first packet is read, for its duration; the rest comes from the headers.
    const ProcessResult run = RunProcess(
        "ffprobe -v error -select_streams a:0 -read_intervals %+#1 -show_entries "
        "stream=codec_name,sample_rate,channels,time_base,duration,duration_ts:stream_tags:packet=duration_time:"
        "format=duration:format_tags -of default " +
        ShellQuote(path));
    ProbedAudio probed;
    if (run.exitCode != 0) return probed;
    // The sections repeat key names (duration), so each line is read in its section.
    std::map<std::string, std::string> stream;
    std::vector<std::string> sections;
    std::string line;
    double containerDuration = 0;
    std::istringstream lines(run.output);
    while (std::getline(lines, line)) {
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            if (line[1] != '/') sections.push_back(line.substr(1, line.size() - 2));
            else if (!sections.empty()) sections.pop_back();
            continue;
        }
        const std::string section = sections.empty() ? std::string() : sections.back();
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (section == "STREAM" && !stream.count(key)) stream[key] = value;
        if (section == "PACKET" && key == "duration_time" && probed.packetDuration == 0 && Given(value))
            probed.packetDuration = std::atof(value.c_str());
        if (section == "FORMAT" && key == "duration" && Given(value)) containerDuration = std::atof(value.c_str());
        // Ogg keeps its comments with the stream, the other formats with the container.
        if ((section == "FORMAT" || section == "STREAM") && key.rfind("TAG:", 0) == 0) {
            key = key.substr(4);
            for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            probed.tags[key] = value;
        }
    }
    probed.codec = stream["codec_name"];
    probed.sampleRate = std::atoi(stream["sample_rate"].c_str());
    probed.channels = std::atoi(stream["channels"].c_str());
    probed.durationSeconds = containerDuration;
    if (Given(stream["duration_ts"]) && stream["time_base"] == "1/" + std::to_string(probed.sampleRate))
        probed.durationSamples = std::atoll(stream["duration_ts"].c_str());
    else if (Given(stream["duration"]))
        probed.durationSamples = std::llround(std::atof(stream["duration"].c_str()) * probed.sampleRate);
    probed.ok = !probed.codec.empty() && probed.sampleRate > 0 && probed.channels > 0;
    return probed;
}

ProbedAudio ProbeWithSox(const std::string& path) {
    const ProcessResult run = RunProcess("sox --i " + ShellQuote(path) + " 2>&1");
    ProbedAudio probed;
    if (run.exitCode != 0) return probed;
    probed.sampleRate = std::atoi(ValueAfter(run.output, "Sample Rate    :").c_str());
    probed.channels = std::atoi(ValueAfter(run.output, "Channels       :").c_str());
    // "Duration       : 00:00:01.00 = 44100 samples ~ 75 CDDA sectors"
    std::istringstream duration(ValueAfter(run.output, "Duration       :"));
    std::string clock, equals;
    int64_t frames = -1;
    if (duration >> clock >> equals >> frames) probed.durationSamples = frames;
    if (probed.sampleRate > 0 && probed.durationSamples >= 0)
        probed.durationSeconds = double(probed.durationSamples) / probed.sampleRate;
    probed.ok = probed.sampleRate > 0 && probed.channels > 0;
    return probed;
}

std::string DecodeWithFfmpeg(const std::string& path) {
    const ProcessResult result = RunProcess("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -f s16le -");
    return result.exitCode == 0 ? result.output : std::string();
}

long long DecodedFrames(const std::string& path, int channels) {
    const std::string pcm = DecodeWithFfmpeg(path);
    return pcm.empty() ? -1 : static_cast<long long>(pcm.size() / (2 * channels));
}

bool DecodesCleanly(const std::string& path) {
    return RunProcess("ffmpeg -nostdin -v error -xerror -i " + ShellQuote(path) + " -f null - 2>&1").output.empty();
}

bool FlacTestPasses(const std::string& path, bool strict) {
    return RunProcess(std::string("flac --test --silent ") + (strict ? "--warnings-as-errors " : "") + ShellQuote(path) +
                      " 2>&1")
               .exitCode == 0;
}

std::string ListVorbisComments(const std::string& path) {
    const ProcessResult result = RunProcess("vorbiscomment -l " + ShellQuote(path));
    return result.exitCode == 0 ? result.output : std::string();
}
