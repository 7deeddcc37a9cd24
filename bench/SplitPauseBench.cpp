// How long a split holds the audio thread, for long tracks in every format: a recording from the
// signal source, as fast as it can run, split once after each track length; the closed track is
// finished (tags, final name, read-back) on the finisher thread meanwhile, once without and once
// with the loudness tags (the closed track decoded again and measured there). Then recording only
// while there is sound: a second of tone every ten seconds, each track closed after two seconds of
// silence and opened on the next tone with a second of pre-roll.
// Usage: split_bench [folder for the tracks] [track lengths in minutes, comma-separated]
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "app/files/AudioFacts.h"
#include "app/monitor/MonitorObserver.h"
#include "app/control/RecordingControl.h"
#include "platform/CaptureBackend.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The audio thread's time from one buffer to the next: across a split, and elsewhere.
class PauseTimer : public CMonitorObserver {
public:
    void OnRecordingStart(const PcmFormat&) override {}
    void OnTrackOpen(const PcmFormat&) override { m_splitting = m_seen; }
    void OnBuffer(const MonitorBuffer&) override {
        const Clock::time_point now = Clock::now();
        if (m_seen) (m_splitting ? atSplit : elsewhere) = std::max(m_splitting ? atSplit : elsewhere, now - m_last);
        m_splitting = false;
        m_seen = true;
        m_last = now;
    }
    Clock::duration atSplit{};
    Clock::duration elsewhere{};

private:
    bool m_splitting = false;
    bool m_seen = false;
    Clock::time_point m_last;
};


struct Figures {
    double splitMs = 0, otherMs = 0, finishSeconds = 0, recordSeconds = 0;
    uint64_t overruns = 0;
    size_t tracks = 0;
    bool ok = false;
};

// `skip`: `minutes` of signal recorded only while there is sound, instead of one split.
Figures Run(const FormatRow& format, int minutes, const std::string& folder, bool skip = false, bool loudness = false) {
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<int> codes;
    Clock::time_point finishStart, firstClosed;
    CRecordingItemsModel items;
    CRecordingControl control(items, ReadAudioFileFacts, [&](const RecordingEvent& event) {
        std::lock_guard lock(mutex);
        if (event.code == kRecordingTrackClosed && firstClosed == Clock::time_point()) firstClosed = Clock::now();
        codes.push_back(event.code);
        wake.notify_all();
    });
    control.Finisher().beforeEachJob = [&] {
        std::lock_guard lock(mutex);
        if (finishStart == Clock::time_point()) finishStart = Clock::now();
    };
    // One split after `minutes`, then a few seconds of a second track.
    const std::string spec = (skip ? "signal:tone=1000hz/-6db/1s,silence=9s,loop,fast,length=" + std::to_string(minutes * 60)
                                   : "signal:tone=1000hz/-6db/1s,silence=1s,loop,fast,length=" + std::to_string(minutes * 60 + 5)) +
                             "s";
    Result<std::unique_ptr<CCaptureBackend>> backend = CreateCaptureBackend(spec);
    if (!backend) {
        std::fprintf(stderr, "%s\n", backend.error().message.SourceText().c_str());
        std::exit(1);
    }
    control.backend = *std::move(backend);
    control.settings.outputFolder = folder.c_str();
    control.settings.fileNameTemplate = CCharString("bench-%TKN%-(%TLN%)") + format.extension;
    control.settings.outputFormat = format.format;
    control.settings.qualityIndex = DefaultQualityIndex(format.format);
    control.settings.splitMethod = kSplitInterval;
    control.settings.splitTime = {static_cast<uint16_t>(minutes / 60), static_cast<uint16_t>(minutes % 60), 0, 0};
    control.settings.tagTitle = "Split bench %TKN%";
    control.settings.loudnessTags = loudness;
    if (skip) {
        control.settings.splitMethod = kSplitSilence;
        control.settings.splitTime = {0, 0, 2, 0};
        control.settings.skipSilence = true;
        control.settings.preRollSeconds = 1;
    }
    PauseTimer timer;
    control.monitor = &timer;
    Figures figures;
    const Clock::time_point start = Clock::now();
    if (!control.StartRecording()) {
        std::fprintf(stderr, "%s: the recording did not start\n", format.option);
        return figures;
    }
    {
        std::unique_lock lock(mutex);
        wake.wait(lock, [&] {
            return std::find(codes.begin(), codes.end(), kRecordingCaptureEnded) != codes.end() ||
                   std::any_of(codes.begin(), codes.end(), IsRecordingProblem);
        });
        figures.ok = std::none_of(codes.begin(), codes.end(), IsRecordingProblem);
    }
    figures.recordSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    figures.overruns = control.Status().overruns;
    control.StopRecording();
    figures.splitMs = Ms(timer.atSplit);
    figures.otherMs = Ms(timer.elsewhere);
    figures.finishSeconds = std::chrono::duration<double>(firstClosed - finishStart).count();
    figures.tracks = items.Snapshot().size();
    for (const RecordingItem& row : items.Snapshot()) unlink(row.path.c_str());
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    // The open-track journal goes beside the tracks: a benchmark cut short must not leave the
    // user's next recorder start tracks of its own to recover.
    setenv("XDG_STATE_HOME", (std::filesystem::path(folder) / "state").c_str(), 1);
    std::vector<int> lengths;
    std::stringstream list(argc > 2 ? argv[2] : "60,180");
    for (std::string item; std::getline(list, item, ',');) lengths.push_back(std::atoi(item.c_str()));
    std::printf("%-10s %8s %16s %16s %18s %14s %12s %9s\n", "", "track", "audio thread at", "longest other",
                "finishing on the", "finishing per", "recorded in", "overruns");
    std::printf("%-10s %8s %16s %16s %18s %14s %12s %9s\n", "", "(min)", "the split (ms)", "buffer (ms)", "finisher (s)",
                "audio min (s)", "(s)", "");
    for (const int minutes : lengths) {
        for (const FormatRow& format : FormatRows()) {
            for (const bool loudness : {false, true}) {
                const Figures f = Run(format, minutes, folder, false, loudness);
                const std::string name = std::string(format.option) + (loudness ? " +R128" : "");
                std::printf("%-10s %8d %16.2f %16.2f %18.3f %14.3f %12.1f %9llu%s\n", name.c_str(), minutes, f.splitMs,
                            f.otherMs, f.finishSeconds, f.finishSeconds / minutes, f.recordSeconds,
                            static_cast<unsigned long long>(f.overruns), f.ok ? "" : "  (a problem was reported)");
                std::fflush(stdout);
            }
        }
    }
    std::printf("(default qualities: WAV 44.1 kHz stereo, MP3 128 kbit/s, Ogg quality 40, WMA 96 kbit/s; the\n"
                " finishing time is the first track's, which a split used to cost the audio thread; +R128: with the\n"
                " loudness tags, which WAV does not take)\n\n");
    const int skipMinutes = lengths.empty() ? 10 : lengths.front();
    std::printf("Only while there is sound: %d min of a 1-s tone every 10 s, 2 s of silence closes a track,\n"
                "1 s of pre-roll\n", skipMinutes);
    std::printf("%-5s %16s %16s %8s %14s %9s\n", "", "audio thread at", "longest other", "tracks", "faster than", "overruns");
    std::printf("%-5s %16s %16s %8s %14s %9s\n", "", "an open (ms)", "buffer (ms)", "", "real time (x)", "");
    for (const FormatRow& format : FormatRows()) {
        const Figures f = Run(format, skipMinutes, folder, true);
        std::printf("%-5s %16.2f %16.2f %8zu %14.0f %9llu%s\n", format.option, f.splitMs, f.otherMs, f.tracks,
                    skipMinutes * 60 / f.recordSeconds, static_cast<unsigned long long>(f.overruns),
                    f.ok ? "" : "  (a problem was reported)");
        std::fflush(stdout);
    }
    return 0;
}
