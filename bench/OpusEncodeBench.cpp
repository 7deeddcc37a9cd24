// CPU time of COpusWriter at 64 kbit/s against `opusenc --bitrate 64` on the same audio, per audio
// hour: ours from memory in 100 ms buffers with its tags and their rewrite at the close, as the
// recorder runs it; theirs from the WAV file of the same PCM.
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "audiofile/OpusWriter.h"
#include "bench/PcmSignal.h"

namespace {

double OurCpuSeconds(const std::vector<int16_t>& pcm, const std::string& path) {
    TagFieldSet tags;
    tags.title = "タイトルNo1 - 2026-12-09";
    tags.artist = "アーティスト";
    tags.comment = "コメント00:00:00-？";
    const double before = OwnCpuSeconds();
    COpusWriter writer;
    writer.SetTags(&tags);
    if (!writer.Open(path.c_str()) || !writer.SetFormat(64000, kBenchRate, kBenchChannels, 16, -1, -1) ||
        !writer.Begin())
        return -1;
    const size_t buffer = kBenchRate / 10 * kBenchChannels;
    for (size_t at = 0; at < pcm.size(); at += buffer)
        static_cast<void>(writer.Write(pcm.data() + at, static_cast<int>(std::min(buffer, pcm.size() - at) * 2)));
    static_cast<void>(writer.EndStream());
    tags.comment = "コメント00:00:00-00:03:00";
    static_cast<void>(writer.Close());
    return OwnCpuSeconds() - before;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? atoi(argv[1]) : 180;
    char folder[] = "/tmp/velsona-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string wav = std::string(folder) + "/in.wav";
    const std::string ours = std::string(folder) + "/ours.opus";
    const std::string theirs = std::string(folder) + "/opusenc.opus";
    const std::vector<int16_t> pcm = MakeBenchSignal(seconds);
    if (!WriteBenchWav(wav, pcm)) return 1;

    const double perHour = 3600.0 / seconds;
    const double oursCpu = OurCpuSeconds(pcm, ours);
    const double theirCpu = ChildCpuSeconds({"opusenc", "--quiet", "--bitrate", "64", wav, theirs});
    printf("signal: %d s, %d Hz, %d channels\n", seconds, kBenchRate, kBenchChannels);
    if (oursCpu < 0) {
        printf("COpusWriter 64 kbit/s: could not encode\n");
    } else {
        printf("COpusWriter 64 kbit/s:  %.1f CPU s per audio hour, %.1f kbit/s in the file\n", oursCpu * perHour,
               BenchFileBytes(ours) * 8.0 / seconds / 1000);
    }
    if (theirCpu < 0) {
        printf("opusenc --bitrate 64: could not run\n");
    } else {
        printf("opusenc --bitrate 64:   %.1f CPU s per audio hour, %.1f kbit/s in the file\n", theirCpu * perHour,
               BenchFileBytes(theirs) * 8.0 / seconds / 1000);
        if (oursCpu >= 0) printf("CPU ratio COpusWriter / opusenc: %.3f\n", oursCpu / theirCpu);
    }
    unlink(wav.c_str());
    unlink(ours.c_str());
    unlink(theirs.c_str());
    rmdir(folder);
    return 0;
}
