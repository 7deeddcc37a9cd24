// How a track sounded: its peak, its clipped samples, its longest silence. Gathered buffer by
// buffer on the audio thread into this fixed record (no allocation), read once the track closes.
#pragma once

#include <cstdint>

#include "foundation/UserText.h"

struct TrackSound {
    int32_t peak = 0;              // the largest sample magnitude, 0 … 32768
    int64_t clipped = 0;           // samples at full scale (32767 or -32768)
    int64_t firstClipMs = -1;      // where the first of them is, from the track's start; -1: none
    int64_t longestSilenceMs = 0;  // the longest run of buffers below the silence thresholds
    int64_t frames = 0;            // sample frames seen
    int64_t silentFrames = 0;      // of the run of silence going on at the last buffer
    int32_t sampleRate = 0;

    // One buffer of interleaved 16-bit samples, judged silent or not as the silence test judges it.
    void Add(const int16_t* samples, int frameCount, int channels, int rate, bool silent);
    bool Clipped() const { return clipped > 0; }
};

// The figures as the log and the list's tooltip give them (clip figures only when it clipped).
UserText SoundFiguresText(const TrackSound& sound);

// A recording's tracks taken together, for the summary at its end.
struct RecordingSound {
    int tracks = 0;
    int clippedTracks = 0;
    int32_t peak = 0;

    void Add(const TrackSound& track);
    UserText SummaryText() const;
};
