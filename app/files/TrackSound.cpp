#include "app/files/TrackSound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

int64_t FramesToMs(int64_t frames, int rate) { return rate > 0 ? frames * 1000 / rate : 0; }

// Decimal separators stay '.' whatever the locale: the log is read by people of both languages.
std::string DbText(int32_t peak) {
    char text[16];
    double db = peak > 0 ? std::round(200.0 * std::log10(peak / 32768.0)) / 10 : -90.3;
    // A crest at 32767 is full scale as the reader sees it, not "-0.0".
    if (db == 0) db = 0;
    std::snprintf(text, sizeof text, "%.1f", db);
    return text;
}

std::string SecondsText(int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000));
    return text;
}

}  // namespace

void TrackSound::Add(const int16_t* samples, int frameCount, int channels, int rate, bool silent) {
    sampleRate = rate;
    const int count = frameCount * channels;
    for (int i = 0; i < count; ++i) {
        const int32_t magnitude = std::abs(static_cast<int32_t>(samples[i]));
        peak = std::max(peak, magnitude);
        if (magnitude >= 32767) {
            if (clipped == 0) firstClipMs = FramesToMs(frames + i / channels, rate);
            ++clipped;
        }
    }
    frames += frameCount;
    silentFrames = silent ? silentFrames + frameCount : 0;
    longestSilenceMs = std::max(longestSilenceMs, FramesToMs(silentFrames, rate));
}

UserText SoundFiguresText(const TrackSound& sound) {
    if (!sound.Clipped())
        return UserText("TrackSound", "ピーク %1 dBFS、クリップなし、最長の無音 %2 秒")
            .Arg(DbText(sound.peak))
            .Arg(SecondsText(sound.longestSilenceMs));
    return UserText("TrackSound", "ピーク %1 dBFS、クリップ %2 サンプル（最初は %3 秒）、最長の無音 %4 秒")
        .Arg(DbText(sound.peak))
        .Arg(static_cast<long long>(sound.clipped))
        .Arg(SecondsText(sound.firstClipMs))
        .Arg(SecondsText(sound.longestSilenceMs));
}

void RecordingSound::Add(const TrackSound& track) {
    ++tracks;
    if (track.Clipped()) ++clippedTracks;
    peak = std::max(peak, track.peak);
}

UserText RecordingSound::SummaryText() const {
    return UserText("TrackSound", "録音の音: トラック %1、クリップしたトラック %2、全体のピーク %3 dBFS")
        .Arg(tracks)
        .Arg(clippedTracks)
        .Arg(DbText(peak));
}
