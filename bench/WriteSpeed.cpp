// How many times faster than real time a track is written as WAV, with and without conversion:
// the writer alone, behind the converter, and a whole recorder session fed by the signal source.
// Usage: write_speed [folder for the temporary file] [minutes of audio]
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <string>
#include <unistd.h>
#include <thread>
#include <vector>

#include "audiofile/WavWriter.h"
#include "platform/CaptureBackend.h"
#include "recording/FormatConverter.h"
#include "recording/PcmFormat.h"
#include "recording/RecorderSession.h"

namespace {

// One second of a 1 kHz tone, fed in 100 ms capture buffers as the session does.
std::vector<int16_t> ToneSecond(const PcmFormat& format) {
    std::vector<int16_t> pcm(static_cast<size_t>(format.sampleRate) * format.channels);
    for (int i = 0; i < format.sampleRate; ++i)
        for (int c = 0; c < format.channels; ++c)
            pcm[i * format.channels + c] = static_cast<int16_t>(12000 * std::sin(2 * std::numbers::pi * 1000 * i / format.sampleRate));
    return pcm;
}

// Writes `seconds` of capture through `writer` to `path`; returns the wall-clock seconds taken.
double TimeTrack(CAudioWriter& writer, const std::string& path, const PcmFormat& capture, int seconds) {
    const std::vector<int16_t> second = ToneSecond(capture);
    const int bufferBytes = capture.BytesPerSecond() / 10;
    const auto start = std::chrono::steady_clock::now();
    if (!writer.Open(path.c_str()) || !writer.Begin()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    const auto* bytes = reinterpret_cast<const char*>(second.data());
    for (int s = 0; s < seconds; ++s)
        for (int b = 0; b < 10; ++b)
            if (!writer.Write(bytes + b * bufferBytes, bufferBytes)) {
                std::fprintf(stderr, "write failed (disk full?)\n");
                std::exit(1);
            }
    static_cast<void>(writer.End());
    static_cast<void>(writer.Close());
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    unlink(path.c_str());
    return taken.count();
}

// A session capturing 44.1 kHz stereo from the signal source as fast as it can, into one track
// at the given output format; returns the wall-clock seconds from start to the last buffer.
double TimeSession(const std::string& path, int rate, int channels, int seconds) {
    const std::string spec = "signal:tone=1000hz/-6db/1s,silence=1s,loop,fast,length=" + std::to_string(seconds) + "s";
    CRecorderSession session;
    Result<std::unique_ptr<CCaptureBackend>> backend = CreateCaptureBackend(spec);
    if (!backend) {
        std::fprintf(stderr, "%s\n", backend.error().message.SourceText().c_str());
        std::exit(1);
    }
    session.backend = *std::move(backend);
    session.outputSampleRate = rate;
    session.outputChannels = channels;
    session.quality = 16;
    session.writtenPath = path.c_str();
    std::atomic<bool> ended{false};
    session.SetNotify(
        [](int code, CRecorderSession*, void* user) {
            if (code == kEventCaptureEnded) static_cast<std::atomic<bool>*>(user)->store(true);
            return 1;
        },
        &ended);
    const auto start = std::chrono::steady_clock::now();
    if (!session.Start()) {
        std::fprintf(stderr, "cannot start a session writing %s\n", path.c_str());
        std::exit(1);
    }
    while (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    session.Stop();
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    unlink(path.c_str());
    return taken.count();
}

void Report(const char* what, int seconds, double taken) {
    std::printf("%-46s %8.1f x real time (%d s of audio in %.3f s)\n", what, seconds / taken, seconds, taken);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const int seconds = (argc > 2 ? std::atoi(argv[2]) : 10) * 60;
    const std::string path = folder + "/velsona-write-speed-" + std::to_string(getpid()) + ".wav";
    const PcmFormat capture;  // 44.1 kHz stereo

    // The writer's own SetFormat is what the session calls when no conversion is asked for.
    CWavWriter plain;
    static_cast<void>(plain.SetFormat(16, capture.sampleRate, capture.channels, 16, -1, -1));
    Report("WAV 44.1 kHz stereo", seconds, TimeTrack(plain, path, capture, seconds));

    struct Output {
        const char* label;
        int rate, channels;
    };
    for (const Output out : {Output{"converter + WAV 44.1 kHz stereo (pass-through)", 44100, 2},
                             Output{"converter + WAV 32 kHz mono", 32000, 1}}) {
        CFormatConverter converter(std::make_unique<CWavWriter>());
        static_cast<void>(converter.SetFormat(16, out.rate, out.channels, 16, -1, -1));
        converter.SetInputFormat(capture.sampleRate, capture.channels, capture.bitsPerSample);
        Report(out.label, seconds, TimeTrack(converter, path, capture, seconds));
    }
    Report("session, signal source -> WAV 44.1 kHz stereo", seconds, TimeSession(path, 44100, 2, seconds));
    Report("session, signal source -> WAV 32 kHz mono", seconds, TimeSession(path, 32000, 1, seconds));
    std::printf("(files written to the page cache of %s and removed; no fsync; the session figures include\n"
                " generating the signal)\n", folder.c_str());
    return 0;
}
