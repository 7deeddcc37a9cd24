// CPU time of CFlacWriter at level 5 against `flac -5` on the same audio, per audio hour.
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "audiofile/FlacWriter.h"
#include "bench/PcmSignal.h"

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? atoi(argv[1]) : 300;
    if (seconds <= 0) return 2;
    char folder[] = "/tmp/velsona-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string wav = std::string(folder) + "/in.wav";
    const std::string ours = std::string(folder) + "/ours.flac";
    const std::string theirs = std::string(folder) + "/flac.flac";
    const std::vector<int16_t> pcm = MakeBenchSignal(seconds);
    if (!WriteBenchWav(wav, pcm)) return 1;

    // Ours gets the PCM from memory in 100 ms buffers, as the recorder hands it over, and tags
    // the track at the close as the recorder has it do.
    TagFieldSet tags;
    tags.title = "ベンチマーク";
    const double before = OwnCpuSeconds();
    {
        CFlacWriter writer;
        writer.SetTags(&tags);
        if (!writer.SetCompressionLevel(5) || !writer.Open(ours.c_str()) ||
            !writer.SetFormat(5, kBenchRate, kBenchChannels, 16, -1, -1) || !writer.Begin())
            return 1;
        const int buffer = kBenchRate / 10 * kBenchChannels;
        for (size_t at = 0; at < pcm.size(); at += buffer)
            static_cast<void>(
                writer.Write(pcm.data() + at, static_cast<int>(std::min<size_t>(buffer, pcm.size() - at) * 2)));
        if (!writer.End() || !writer.Close()) return 1;
    }
    const double oursSeconds = OwnCpuSeconds() - before;
    const double theirSeconds = ChildCpuSeconds({"flac", "-5", "--silent", "--force", "-o", theirs, wav});

    const double hours = seconds / 3600.0;
    printf("signal: %d s, %d Hz, %d channels\n", seconds, kBenchRate, kBenchChannels);
    printf("CFlacWriter level 5: %.3f CPU s, %.2f CPU s per audio hour, %lld bytes\n", oursSeconds,
           oursSeconds / hours, BenchFileBytes(ours));
    if (theirSeconds < 0) {
        printf("flac -5: could not run\n");
    } else {
        printf("flac -5:             %.3f CPU s, %.2f CPU s per audio hour, %lld bytes\n", theirSeconds,
               theirSeconds / hours, BenchFileBytes(theirs));
        printf("CPU ratio CFlacWriter / flac -5: %.3f\n", oursSeconds / theirSeconds);
    }
    unlink(wav.c_str());
    unlink(ours.c_str());
    unlink(theirs.c_str());
    rmdir(folder);
    return 0;
}
