// Prints what the meters and monitor displays cost: CPU time to feed (audio thread) and to draw
// (GUI thread) all five displays for one hour of 44.1 kHz stereo audio, offscreen, and the
// process's memory before and after; then its memory over 24 simulated hours.
#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "platform/SignalGenerator.h"
#include "recording/LevelAnalysis.h"
#include "ui/monitor/MonitorDisplays.h"
#include "bench/CpuTime.h"

namespace {

constexpr int kFrames = 4410;  // 100 ms
constexpr int kBlockBytes = kFrames * 4;
constexpr int kPatternBuffers = 800;  // 80 s of the pattern, generated once and repeated
const PcmFormat kStereo{44100, 2, 16};

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

struct Buffers {
    std::vector<char> pcm;
    std::vector<BufferLevels> levels;
    MonitorBuffer At(long i) const {
        const long k = i % kPatternBuffers;
        return {pcm.data() + k * kBlockBytes, kBlockBytes, kStereo, levels[k].left, levels[k].right, false};
    }
};

bool MakeBuffers(Buffers& buffers) {
    CSignalGenerator signal;
    const Result<void> opened =
        signal.Open(*ParseSignalSpec("tone=440hz/-6db/3s,silence=2s,tone=1000hz/-20db/2s,silence=1s,loop"), 44100, 2, 16);
    if (!opened) {
        std::fprintf(stderr, "signal: %s\n", opened.error().message.SourceText().c_str());
        return false;
    }
    buffers.pcm.resize(size_t{kPatternBuffers} * kBlockBytes);
    for (size_t k = 0; k < kPatternBuffers; ++k) {
        signal.Generate(buffers.pcm.data() + k * kBlockBytes, kFrames);
        buffers.levels.push_back(MeasureLevels(buffers.pcm.data() + k * kBlockBytes, kBlockBytes, 2));
    }
    return true;
}

struct Displays {
    CRingingFeed feed;
    CLevelBar levels;
    CMonitorBar monitor;
    CMonitorDisplays displays{feed, levels, monitor};
    QImage levelsImage{levels.sizeHint(), QImage::Format_RGB32};
    QImage monitorImage{monitor.sizeHint(), QImage::Format_RGB32};

    // What one buffer's refresh costs the GUI thread: the new picture into the widgets, and both bars
    // painted, as the window's backing store would be.
    void Draw() {
        displays.Refresh();
        levels.render(&levelsImage);
        monitor.render(&monitorImage);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Buffers buffers;
    if (!MakeBuffers(buffers)) return 1;
    Displays d;
    d.levels.resize(d.levels.sizeHint());
    d.displays.SetSilenceLevels(-450, -450);
    d.feed.OnRecordingStart(kStereo);
    d.feed.OnTrackOpen(kStereo);
    d.Draw();

    const long hourBuffers = 36000;
    const long before = ResidentKiB();
    double feedSeconds = 0, drawSeconds = 0;
    for (long i = 0; i < hourBuffers; ++i) {
        const double t0 = ThreadCpuSeconds();
        d.feed.OnBuffer(buffers.At(i));
        const double t1 = ThreadCpuSeconds();
        d.Draw();
        drawSeconds += ThreadCpuSeconds() - t1;
        feedSeconds += t1 - t0;
    }
    const long after = ResidentKiB();
    std::printf("one hour of 44.1 kHz stereo, %ld buffers of 100 ms, every buffer drawn:\n", hourBuffers);
    std::printf("  feeding (audio thread): %8.3f s CPU  %6.1f us per buffer\n", feedSeconds,
                feedSeconds / hourBuffers * 1e6);
    std::printf("  drawing (GUI thread):   %8.3f s CPU  %6.1f us per buffer\n", drawSeconds,
                drawSeconds / hourBuffers * 1e6);
    std::printf("  together: %.3f s per audio hour = %.3f %% of one core (goal: under 36 s, 1 %%)\n",
                feedSeconds + drawSeconds, (feedSeconds + drawSeconds) / 3600 * 100);
    std::printf("  resident memory: %ld KiB before, %ld KiB after\n", before, after);

    // A day: every buffer fed, the displays drawn once a second of audio (the window may be
    // hidden or slow; memory must not depend on it).
    std::printf("24 simulated hours (every buffer fed, drawn once per 10 buffers):\n");
    std::printf("  hour  1: resident %ld KiB\n", after);
    for (int hour = 2; hour <= 24; ++hour) {
        const double t0 = ThreadCpuSeconds();
        for (long i = 0; i < hourBuffers; ++i) {
            d.feed.OnBuffer(buffers.At((hour - 1) * hourBuffers + i));
            if (i % 10 == 0) d.Draw();
        }
        d.Draw();
        if (hour % 4 == 0 || hour == 2)
            std::printf("  hour %2d: resident %ld KiB, %.2f s CPU for this hour, whole history %lld ms per column\n",
                        hour, ResidentKiB(), ThreadCpuSeconds() - t0,
                        static_cast<long long>(d.monitor.Total().Picture().msPerColumn));
    }
    return 0;
}
