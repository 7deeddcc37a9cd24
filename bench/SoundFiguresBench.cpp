// Prints what gathering a track's sound figures costs the audio thread: CPU time per hour of
// 44.1 kHz stereo in 100 ms buffers, beside the level measuring every buffer already pays.
#include <cstdio>
#include <ctime>
#include <vector>

#include "app/files/TrackSound.h"
#include "platform/SignalGenerator.h"
#include "recording/LevelAnalysis.h"
#include "bench/CpuTime.h"

namespace {

constexpr int kFrames = 4410;
constexpr int kBuffersPerHour = 36000;
constexpr int kPatternBuffers = 100;  // 10 s of the pattern, repeated

}  // namespace

int main() {
    CSignalGenerator signal;
    // Loud enough to clip on its crests, with silences: every branch of the gathering runs.
    const Result<void> opened = signal.Open(*ParseSignalSpec("tone=441hz/0db/3s,silence=2s,tone=1000hz/-20db/5s,loop"), 44100, 2, 16);
    if (!opened) return 1;
    std::vector<int16_t> pcm(size_t{kPatternBuffers} * kFrames * 2);
    signal.Generate(reinterpret_cast<char*>(pcm.data()), kPatternBuffers * kFrames);

    double start = ThreadCpuSeconds();
    int32_t sink = 0;
    for (int i = 0; i < kBuffersPerHour; ++i)
        sink += MeasureLevels(pcm.data() + (i % kPatternBuffers) * kFrames * 2, kFrames * 4, 2).left;
    const double levels = ThreadCpuSeconds() - start;

    start = ThreadCpuSeconds();
    TrackSound sound;
    for (int i = 0; i < kBuffersPerHour; ++i)
        sound.Add(pcm.data() + (i % kPatternBuffers) * kFrames * 2, kFrames, 2, 44100, i % 10 >= 3 && i % 10 < 5);
    const double figures = ThreadCpuSeconds() - start;

    std::printf("one hour of 44.1 kHz stereo, 100 ms buffers (%d):\n", kBuffersPerHour);
    std::printf("  levels (every buffer already)  %.3f s CPU  (%.0fx real time)\n", levels, 3600 / levels);
    std::printf("  sound figures                  %.3f s CPU  (%.0fx real time)\n", figures, 3600 / figures);
    std::printf("  (clipped samples %lld, peak %d, longest silence %lld ms, check %d)\n",
                static_cast<long long>(sound.clipped), sound.peak, static_cast<long long>(sound.longestSilenceMs), sink);
    return 0;
}
