// MP3 encoding speed through CMp3Writer against the lame command-line encoder on the same WAV.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "audiofile/Mp3Writer.h"
#include "tags/WavHeader.h"

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kSeconds = 120;

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The WAV's PCM, found the way the tag editors find it.
std::string ReadPcm(const std::string& path) {
    CFileStream file;
    int64_t offset = 0;
    uint32_t size = 0;
    if (!file.Open(path.c_str(), CFileStream::kRead) || !ParseWavHeader(file, offset, size)) return {};
    std::string pcm(size, '\0');
    static_cast<void>(file.Seek(offset, CFileStream::kFromStart));
    return file.Read(pcm.data(), size).value_or(-1) == size ? pcm : std::string();
}

}  // namespace

int main() {
    const std::string folder = "/tmp/velsona-mp3-bench-" + std::to_string(getpid());
    // Two minutes of sweeping tones, so the encoder has changing material to work on.
    const std::string make = "mkdir -p " + folder + " && sox -n -r 44100 -c 2 -b 16 " + folder +
                             "/in.wav synth " + std::to_string(kSeconds) + " sine 220-880 sine 330-1320 vol 0.5";
    const std::string pcm = std::system(make.c_str()) == 0 ? ReadPcm(folder + "/in.wav") : std::string();
    if (pcm.empty()) {
        fprintf(stderr, "could not make the test WAV with sox\n");
        return 1;
    }

    // The writer's defaults at the preselected row: 128 kbit/s CBR, joint stereo, quality 2, CRC,
    // private and original bits, no bit reservoir, LAME's tag.
    if (const Result<const LameFunctions*> lame = LoadLameLibrary(); !lame) {
        fprintf(stderr, "MP3 unavailable: %s\n", lame.error().message.SourceText().c_str());
        return 1;
    }
    CMp3Writer writer;
    auto start = std::chrono::steady_clock::now();
    static_cast<void>(writer.Open((folder + "/writer.mp3").c_str()));
    static_cast<void>(writer.SetFormat(128000, kRate, kChannels, 16, -1, -1));
    static_cast<void>(writer.Begin());
    const size_t buffer = kRate / 10 * kChannels * 2;  // the recorder's 100 ms buffers
    for (size_t at = 0; at < pcm.size(); at += buffer)
        static_cast<void>(writer.Write(pcm.data() + at, static_cast<int>(std::min(buffer, pcm.size() - at))));
    static_cast<void>(writer.End());
    static_cast<void>(writer.Close());
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
