// Encoding speed of COggWriter at quality 40 against `oggenc -q 4` on the same WAV file.
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "audiofile/OggWriter.h"
#include "tags/WavHeader.h"

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

// Tones, a sweep and some noise: a steady load closer to music than a pure sine.
std::vector<int16_t> MakeSignal(int seconds) {
    std::vector<int16_t> pcm(static_cast<size_t>(seconds) * kRate * kChannels);
    std::mt19937 noise(1);
    std::uniform_real_distribution<double> hiss(-0.05, 0.05);
    for (size_t frame = 0; frame < pcm.size() / kChannels; ++frame) {
        const double t = static_cast<double>(frame) / kRate;
        const double sweep = std::sin(2 * M_PI * (200 + 40 * t) * t);
        const double chord = std::sin(2 * M_PI * 440 * t) + 0.5 * std::sin(2 * M_PI * 659.3 * t);
        pcm[frame * 2] = static_cast<int16_t>(8000 * (chord + 0.3 * sweep + hiss(noise)));
        pcm[frame * 2 + 1] = static_cast<int16_t>(8000 * (sweep + 0.3 * chord + hiss(noise)));
    }
    return pcm;
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& pcm) {
    const uint32_t dataSize = static_cast<uint32_t>(pcm.size() * 2);
    PcmFormatBlock format;
    format.formatTag = 1;
    format.channels = kChannels;
    format.samplesPerSecond = kRate;
    format.blockAlign = kChannels * 2;
    format.averageBytesPerSecond = kRate * format.blockAlign;
    format.bitsPerSample = 16;
    unsigned char header[kWavHeaderSize] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16};
    const uint32_t riffSize = dataSize + kWavHeaderSize - 8;
    for (int i = 0; i < 4; ++i) header[4 + i] = static_cast<unsigned char>(riffSize >> (8 * i));
    EncodePcmFormatBlock(format, header + 20);
    memcpy(header + 36, "data", 4);
    for (int i = 0; i < 4; ++i) header[40 + i] = static_cast<unsigned char>(dataSize >> (8 * i));
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = fwrite(header, 1, sizeof header, file) == sizeof header &&
                    fwrite(pcm.data(), 1, dataSize, file) == dataSize;
    return fclose(file) == 0 && ok;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

long long FileBytes(const std::string& path) {
    struct stat file {};
    return stat(path.c_str(), &file) == 0 ? file.st_size : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? atoi(argv[1]) : 60;
    char folder[] = "/tmp/velsona-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string wav = std::string(folder) + "/in.wav";
    const std::string ours = std::string(folder) + "/ours.ogg";
    const std::string theirs = std::string(folder) + "/oggenc.ogg";
    const std::vector<int16_t> pcm = MakeSignal(seconds);
    if (!WriteWav(wav, pcm)) return 1;

    // Ours reads the PCM from memory in 100 ms buffers, as the recorder hands it over.
    auto start = std::chrono::steady_clock::now();
    {
        COggWriter writer;
        writer.SetQuality(40);
        if (!writer.Open(ours.c_str()) || !writer.SetFormat(40, kRate, kChannels, 16, -1, -1) || !writer.Begin())
            return 1;
        const int buffer = kRate / 10 * kChannels;
        for (size_t at = 0; at < pcm.size(); at += buffer)
            writer.Write(pcm.data() + at, static_cast<int>(std::min<size_t>(buffer, pcm.size() - at) * 2));
        writer.End();
        writer.Close();
    }
    const double oursSeconds = Seconds(std::chrono::steady_clock::now() - start);

    start = std::chrono::steady_clock::now();
    const std::string command = "oggenc -Q -q 4 -o '" + theirs + "' '" + wav + "'";
    const int status = system(command.c_str());
    const double theirSeconds = Seconds(std::chrono::steady_clock::now() - start);

    printf("signal: %d s, %d Hz, %d channels\n", seconds, kRate, kChannels);
    printf("COggWriter quality 40: %.3f s (%.1fx real time), %.1f kbit/s in the file\n", oursSeconds,
           seconds / oursSeconds, FileBytes(ours) * 8.0 / seconds / 1000);
    if (status != 0) {
        printf("oggenc -q 4: could not run (status %d)\n", status);
    } else {
        printf("oggenc -q 4:           %.3f s (%.1fx real time), %.1f kbit/s in the file\n", theirSeconds,
               seconds / theirSeconds, FileBytes(theirs) * 8.0 / seconds / 1000);
        printf("speed ratio COggWriter / oggenc: %.2f\n", theirSeconds / oursSeconds);
    }
    unlink(wav.c_str());
    unlink(ours.c_str());
    unlink(theirs.c_str());
    rmdir(folder);
    return 0;
}
