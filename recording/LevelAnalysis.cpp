// Peak levels and the silence test.
#include "recording/LevelAnalysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

double PeakDb(const int16_t* first, int count, int stride) {
    int peak = 0;
    for (int i = 0; i < count; ++i) peak = std::max(peak, std::abs(static_cast<int>(first[i * stride])));
    if (peak == 0) peak = 1;
    return 20.0 * std::log10(peak / 32768.0);
}

BufferLevels MeasureLevels(const void* data, int byteCount, int channels) {
    BufferLevels levels;
    if (channels <= 0) return levels;
    const auto* samples = static_cast<const int16_t*>(data);
    const int frames = byteCount / (2 * channels);
    levels.left = static_cast<int32_t>(PeakDb(samples, frames, channels) * 10);
    levels.right = channels >= 2 ? static_cast<int32_t>(PeakDb(samples + 1, frames, channels) * 10) : levels.left;
    return levels;
}

void CSilenceDetector::SetThresholds(int32_t left, int32_t right) {
    m_leftThreshold = left;
    m_rightThreshold = right;
}

bool CSilenceDetector::IsSilent(BufferLevels levels) const {
    return m_leftThreshold * 0.85 >= levels.left && m_rightThreshold * 0.85 >= levels.right;
}

SilenceOutcome CSilenceDetector::Test(BufferLevels levels, int64_t splitSeconds, int64_t previousTrackTime) {
    if (!IsSilent(levels)) {
        m_silenceStart = previousTrackTime;
        return SilenceOutcome::Continue;
    }
    if (m_silenceStart + splitSeconds * 1000 >= previousTrackTime) return SilenceOutcome::Continue;
    // A track that has heard no sound yet is never split for silence.
    if (m_silenceStart <= 0) return SilenceOutcome::Stop;
    m_silenceStart = 0;
    return SilenceOutcome::Split;
}
