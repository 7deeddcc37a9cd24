// MeterScale: a level meter's scale from the silence thresholds, and where its bar, threshold
// mark and ticks fall on a meter of a given height.
#pragma once

#include <vector>

// Levels in tenths of a decibel.
struct MeterScale {
    int top = 100;
    int bottom = 0;
    int tickStep = 10;  // 0 or less: no ticks, labels or mark
    int threshold = 0;  // this channel's silence threshold
};

// The scale of the meter of a channel whose threshold is `own`, when the two channels'
// thresholds are `left` and `right`: from the lower threshold up to 0 dB.
MeterScale SilenceMeterScale(int own, int left, int right);

struct MeterTick {
    int level;  // tenths of a decibel
    int y;      // of the grid line; the label hangs below it
    int label;  // whole decibels
};

// Everything a meter of `height` pixels draws for `value`. A scale whose top is not above its
// bottom cannot place anything: it gives an empty meter (no bar, mark or ticks).
struct MeterLayout {
    int barTop = 0;   // y of the bar's upper edge; the bar runs to `height`
    bool bar = false;  // false: the level is at or below the bottom (all background)
    bool mark = false;
    int markY = 0;
    std::vector<MeterTick> ticks;
};

MeterLayout LayOutMeter(const MeterScale& scale, int value, int height);
// Its barTop alone, for the rows a change of level touches.
int MeterBarTop(const MeterScale& scale, int value, int height);
