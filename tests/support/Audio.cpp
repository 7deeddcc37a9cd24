// Test audio generation and the ffprobe/ffmpeg helpers.
#include "tests/support/Audio.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <sstream>

#include "tests/support/Process.h"

namespace {

void AppendLe(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i));
}

}  // namespace

std::string GeneratePcm(int sampleRate, int channels, int frames) {
    std::string pcm;
    pcm.reserve(static_cast<size_t>(frames) * channels * 2);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            const double v = 0.5 * std::sin(2 * M_PI * (440.0 + 220.0 * c) * i / sampleRate);
            AppendLe(pcm, static_cast<uint16_t>(static_cast<int16_t>(v * 32767)), 2);
        }
    return pcm;
}

std::string MakeWav(const std::string& pcm, int sampleRate, int channels) {
    std::string wav = "RIFF";
    AppendLe(wav, static_cast<uint32_t>(36 + pcm.size()), 4);
    wav += "WAVEfmt ";
    AppendLe(wav, 16, 4);
    AppendLe(wav, 1, 2);
    AppendLe(wav, channels, 2);
    AppendLe(wav, sampleRate, 4);
    AppendLe(wav, sampleRate * channels * 2, 4);
    AppendLe(wav, channels * 2, 2);
    AppendLe(wav, 16, 2);
    wav += "data";
    AppendLe(wav, static_cast<uint32_t>(pcm.size()), 4);
    return wav + pcm;
}

ProbeResult Probe(const std::string& path) {
    const ProcessResult run = RunProcess(
        "ffprobe -v error -select_streams a:0 -show_entries "
        "stream=sample_rate,channels,codec_name:format=duration:format_tags -of default=noprint_wrappers=1 " +
        ShellQuote(path));
    ProbeResult result;
    if (run.exitCode != 0) return result;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "sample_rate") result.sampleRate = std::stoi(value);
        else if (key == "channels") result.channels = std::stoi(value);
        else if (key == "codec_name") result.codec = value;
        else if (key == "duration" && value != "N/A") result.durationSeconds = std::stod(value);
        else if (key.rfind("TAG:", 0) == 0) {
            key = key.substr(4);
            for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            result.tags[key] = value;
        }
    }
    result.ok = true;
    return result;
}

bool DecodesCleanly(const std::string& path) {
    return RunProcess("ffmpeg -nostdin -v error -xerror -i " + ShellQuote(path) + " -f null - 2>&1").output.empty();
}

long long DecodedFrames(const std::string& path, int channels) {
    const ProcessResult run =
        RunProcess("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -f s16le - | wc -c");
    if (run.exitCode != 0 || run.output.empty()) return -1;
    return std::stoll(run.output) / (2 * channels);
}
