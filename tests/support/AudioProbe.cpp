// Runs ffprobe and sox --i and picks the numbers out of what they print.
#include "tests/support/AudioProbe.h"

#include <cstdlib>
#include <sstream>

#include "tests/support/Process.h"

namespace {

// The text after "key" up to the end of its line, or empty.
std::string ValueAfter(const std::string& text, const std::string& key) {
    const size_t at = text.find(key);
    if (at == std::string::npos) return {};
    const size_t start = at + key.size();
    return text.substr(start, text.find('\n', start) - start);
}

}  // namespace

ProbedAudio ProbeWithFfprobe(const std::string& path) {
    const ProcessResult run = RunProcess(
        "ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels:format=duration "
        "-of default=noprint_wrappers=1 " +
        ShellQuote(path));
    ProbedAudio probed;
    if (run.exitCode != 0) return probed;
    const std::string text = "\n" + run.output;
    probed.sampleRate = std::atoi(ValueAfter(text, "\nsample_rate=").c_str());
    probed.channels = std::atoi(ValueAfter(text, "\nchannels=").c_str());
    probed.durationSeconds = std::atof(ValueAfter(text, "\nduration=").c_str());
    probed.readable = probed.sampleRate > 0;
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
    if (duration >> clock >> equals >> frames) probed.frames = frames;
    if (probed.sampleRate > 0 && probed.frames >= 0) probed.durationSeconds = double(probed.frames) / probed.sampleRate;
    probed.readable = probed.sampleRate > 0;
    return probed;
}
