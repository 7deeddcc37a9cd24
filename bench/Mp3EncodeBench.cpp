// MP3 encoding speed through CMp3Writer against the lame command-line encoder on the same WAV.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "audiofile/Mp3Writer.h"

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kSeconds = 120;

void PutLe(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(v >> (8 * i));
}

// Two minutes of a chord with some noise, so the encoder has real work to do.
std::string MakePcm() {
    std::string pcm;
    pcm.reserve(static_cast<size_t>(kRate) * kSeconds * kChannels * 2);
    uint32_t noise = 1;
    for (int i = 0; i < kRate * kSeconds; ++i)
        for (int c = 0; c < kChannels; ++c) {
            noise = noise * 1664525u + 1013904223u;
            const double t = double(i) / kRate;
            const double v = 0.3 * std::sin(2 * M_PI * 220 * t) + 0.2 * std::sin(2 * M_PI * (330 + 110 * c) * t) +
                             0.05 * (int32_t(noise) / 2147483648.0);
            PutLe(pcm, static_cast<uint16_t>(static_cast<int16_t>(v * 32767)), 2);
        }
    return pcm;
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    const std::string folder = "/tmp/velsona-mp3-bench-" + std::to_string(getpid());
    std::system(("mkdir -p " + folder).c_str());
    const std::string pcm = MakePcm();
    std::string wav = "RIFF";
    PutLe(wav, static_cast<uint32_t>(36 + pcm.size()), 4);
    wav += "WAVEfmt ";
    PutLe(wav, 16, 4);
    PutLe(wav, 1, 2);
    PutLe(wav, kChannels, 2);
    PutLe(wav, kRate, 4);
    PutLe(wav, kRate * kChannels * 2, 4);
    PutLe(wav, kChannels * 2, 2);
    PutLe(wav, 16, 2);
    wav += "data";
    PutLe(wav, static_cast<uint32_t>(pcm.size()), 4);
    wav += pcm;
    if (FILE* f = fopen((folder + "/in.wav").c_str(), "wb")) {
        fwrite(wav.data(), 1, wav.size(), f);
        fclose(f);
    }

    // The writer's defaults at the preselected row: 128 kbit/s CBR, joint stereo, quality 2, CRC,
    // private and original bits, no bit reservoir, LAME's tag.
    CMp3Writer writer;
    if (!writer.IsAvailable()) {
        fprintf(stderr, "MP3 unavailable: %s\n", LameLibraryError().c_str());
        return 1;
    }
    auto start = std::chrono::steady_clock::now();
    writer.Open((folder + "/writer.mp3").c_str());
    writer.SetFormat(128000, kRate, kChannels, 16, -1, -1);
    writer.Begin();
    const size_t buffer = kRate / 10 * kChannels * 2;  // the recorder's 100 ms buffers
    for (size_t at = 0; at < pcm.size(); at += buffer)
        writer.Write(pcm.data() + at, static_cast<int>(std::min(buffer, pcm.size() - at)));
    writer.End();
    writer.Close();
    const double ours = Seconds(start);

    start = std::chrono::steady_clock::now();
    const std::string command = "lame --quiet -b 128 --cbr -m j -q 2 -p --nores --noreplaygain --resample 44.1 " +
                                folder + "/in.wav " + folder + "/lame.mp3";
    const int status = std::system(command.c_str());
    const double theirs = Seconds(start);
    std::system(("rm -rf " + folder).c_str());
    if (status != 0) {
        fprintf(stderr, "lame failed\n");
        return 1;
    }
    printf("audio: %d s of 44.1 kHz stereo at 128 kbit/s\n", kSeconds);
    printf("CMp3Writer: %.3f s (%.1fx real time)\n", ours, kSeconds / ours);
    printf("lame CLI:   %.3f s (%.1fx real time)\n", theirs, kSeconds / theirs);
    printf("speed ratio CMp3Writer / lame CLI: %.2f\n", theirs / ours);
    return 0;
}
