// The level meter's scale arithmetic.
#include "app/monitor/MeterScale.h"

#include <algorithm>
#include <cstdint>

MeterScale SilenceMeterScale(int own, int left, int right) {
    MeterScale scale;
    scale.threshold = own;
    scale.top = 0;
    scale.bottom = std::min(left, right);
    scale.tickStep = scale.bottom < -300 ? 60 : 30;
    return scale;
}

int MeterBarTop(const MeterScale& scale, int value, int height) {
    const int64_t range = int64_t{scale.top} - scale.bottom;
    if (range <= 0 || height <= 0) return height;
    // 64-bit: a level far outside the scale must clip, not overflow.
    const int64_t barHeight = height * (int64_t{value} - scale.bottom) / range;
    return static_cast<int>(std::clamp<int64_t>(height - barHeight, 0, height));
}

MeterLayout LayOutMeter(const MeterScale& scale, int value, int height) {
    MeterLayout layout;
    layout.barTop = MeterBarTop(scale, value, height);
    const int64_t range = int64_t{scale.top} - scale.bottom;
    if (range <= 0 || height <= 0) return layout;
    const auto y = [&](int64_t level) { return static_cast<int>((scale.top - level) * height / range); };
    layout.bar = value > scale.bottom;
    if (scale.tickStep <= 0) return layout;
    // Integer arithmetic: threshold × 0.85 truncated toward zero, exactly (−450 → −382).
    layout.mark = true;
    layout.markY = y(int64_t{scale.threshold} * 85 / 100);
    for (int64_t e = int64_t{scale.top} - scale.tickStep; e > scale.bottom; e -= scale.tickStep)
        layout.ticks.push_back({static_cast<int>(e), y(e), static_cast<int>(e / 10)});
    return layout;
}
