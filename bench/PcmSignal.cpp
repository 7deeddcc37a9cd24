// The benchmarks' signal and its WAV file.
#include "bench/PcmSignal.h"

#include <stdio.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <random>

#include "tags/WavHeader.h"

std::vector<int16_t> MakeBenchSignal(int seconds) {
    std::vector<int16_t> pcm(static_cast<size_t>(seconds) * kBenchRate * kBenchChannels);
    std::mt19937 noise(1);
    std::uniform_real_distribution<double> hiss(-0.05, 0.05);
    for (size_t frame = 0; frame < pcm.size() / kBenchChannels; ++frame) {
        const double t = static_cast<double>(frame) / kBenchRate;
        const double sweep = std::sin(2 * M_PI * (200 + 40 * t) * t);
        const double chord = std::sin(2 * M_PI * 440 * t) + 0.5 * std::sin(2 * M_PI * 659.3 * t);
        pcm[frame * 2] = static_cast<int16_t>(8000 * (chord + 0.3 * sweep + hiss(noise)));
        pcm[frame * 2 + 1] = static_cast<int16_t>(8000 * (sweep + 0.3 * chord + hiss(noise)));
    }
    return pcm;
}

bool WriteBenchWav(const std::string& path, const std::vector<int16_t>& pcm) {
    const uint32_t dataSize = static_cast<uint32_t>(pcm.size() * 2);
    PcmFormatBlock format;
    format.formatTag = 1;
    format.channels = kBenchChannels;
    format.samplesPerSecond = kBenchRate;
    format.blockAlign = kBenchChannels * 2;
    format.averageBytesPerSecond = kBenchRate * format.blockAlign;
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

long long BenchFileBytes(const std::string& path) {
    struct stat file {};
    return stat(path.c_str(), &file) == 0 ? file.st_size : 0;
}

namespace {

double CpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

double OwnCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return CpuSeconds(usage);
}

double ChildCpuSeconds(const std::vector<std::string>& command) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return CpuSeconds(usage);
}
