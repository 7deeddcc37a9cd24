// Encoding speed of COggWriter at quality 40 against `oggenc -q 4` on the same WAV file.
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "audiofile/OggWriter.h"
#include "bench/PcmSignal.h"

namespace {

constexpr int kRate = kBenchRate;
constexpr int kChannels = kBenchChannels;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? atoi(argv[1]) : 60;
    char folder[] = "/tmp/velsona-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string wav = std::string(folder) + "/in.wav";
    const std::string ours = std::string(folder) + "/ours.ogg";
    const std::string theirs = std::string(folder) + "/oggenc.ogg";
    const std::vector<int16_t> pcm = MakeBenchSignal(seconds);
    if (!WriteBenchWav(wav, pcm)) return 1;

    // Ours reads the PCM from memory in 100 ms buffers, as the recorder hands it over.
    auto start = std::chrono::steady_clock::now();
    {
        COggWriter writer;
        static_cast<void>(writer.SetQuality(40));
        if (!writer.Open(ours.c_str()) || !writer.SetFormat(40, kRate, kChannels, 16, -1, -1) || !writer.Begin())
            return 1;
        const int buffer = kRate / 10 * kChannels;
        for (size_t at = 0; at < pcm.size(); at += buffer)
            static_cast<void>(
                writer.Write(pcm.data() + at, static_cast<int>(std::min<size_t>(buffer, pcm.size() - at) * 2)));
        static_cast<void>(writer.End());
        static_cast<void>(writer.Close());
    }
    const double oursSeconds = Seconds(std::chrono::steady_clock::now() - start);

    start = std::chrono::steady_clock::now();
    const std::string command = "oggenc -Q -q 4 -o '" + theirs + "' '" + wav + "'";
    const int status = system(command.c_str());
    const double theirSeconds = Seconds(std::chrono::steady_clock::now() - start);

    printf("signal: %d s, %d Hz, %d channels\n", seconds, kRate, kChannels);
    printf("COggWriter quality 40: %.3f s (%.1fx real time), %.1f kbit/s in the file\n", oursSeconds,
           seconds / oursSeconds, BenchFileBytes(ours) * 8.0 / seconds / 1000);
    if (status != 0) {
        printf("oggenc -q 4: could not run (status %d)\n", status);
    } else {
        printf("oggenc -q 4:           %.3f s (%.1fx real time), %.1f kbit/s in the file\n", theirSeconds,
               seconds / theirSeconds, BenchFileBytes(theirs) * 8.0 / seconds / 1000);
        printf("speed ratio COggWriter / oggenc: %.2f\n", theirSeconds / oursSeconds);
    }
    unlink(wav.c_str());
    unlink(ours.c_str());
    unlink(theirs.c_str());
    rmdir(folder);
    return 0;
}
