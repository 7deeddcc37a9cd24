// The waveform history's column arithmetic.
#include "app/monitor/HistoryColumns.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

// The arrays hold 16 bits; an average of a loud signal (4 × a mean above a quarter of full
// scale) does not fit and is clamped, so it draws at the edge instead of wrapping to the far side.
int16_t Clamp16(int64_t value) {
    return static_cast<int16_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

int64_t CombinedAverage(int64_t old, int64_t oldFrames, int64_t piece, int64_t pieceFrames) {
    return (old * oldFrames + piece * pieceFrames) / (oldFrames + pieceFrames);
}

}  // namespace

void ColumnStats::Reset() {
    maximum = minimum = 0;
    positiveAverage = negativeAverage = 0;
    frames = 0;
}

void ColumnStats::Take(const char* data, int64_t bytes) {
    const int frameSize = format.BlockSize();
    if (format.bitsPerSample != 16 || frameSize <= 0 || bytes < frameSize) return;
    const int64_t n = bytes / frameSize;
    int16_t pieceMax = 0, pieceMin = 0;
    int64_t positiveSum = 0, negativeSum = 0;
    for (int64_t i = 0; i < n; ++i) {
        int16_t sample;
        std::memcpy(&sample, data + i * frameSize, sizeof sample);
        if (sample >= 0) {
            positiveSum += sample;
            pieceMax = std::max(pieceMax, sample);
        } else {
            negativeSum += sample;
            pieceMin = std::min(pieceMin, sample);
        }
    }
    const int16_t piecePositive = Clamp16(4 * positiveSum / n);
    const int16_t pieceNegative = Clamp16(4 * negativeSum / n);
    maximum = std::max(maximum, pieceMax);
    minimum = std::min(minimum, pieceMin);
    if (frames == 0) {
        positiveAverage = piecePositive;
        negativeAverage = pieceNegative;
    } else {
        positiveAverage = Clamp16(CombinedAverage(positiveAverage, frames, piecePositive, n));
        negativeAverage = Clamp16(CombinedAverage(negativeAverage, frames, pieceNegative, n));
    }
    frames += n;
}

int64_t WholeRecordingSpan(int width) {
    return (int64_t{width} - 30) * 1000;  // already whole seconds
}

int64_t TrackSpan(int width) {
    const int64_t span = (int64_t{width} - 36) * 100;
    if (span <= 0 || span % 1000 == 0) return span;
    return (span / 1000 + 1) * 1000;
}

std::string HistoryTimeLabel(int64_t ms, int64_t span) {
    char text[48];
    const long long s = ms / 1000;
    if (span <= 60000)
        std::snprintf(text, sizeof text, "%2.2fs", ms * 0.001);
    else if (span <= 3600000)
        std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

void CHistoryColumns::Start(const PcmFormat& format) {
    m_format = format;
    m_extremes.clear();
    m_averages.clear();
    m_columns = 0;
    m_valueCount = m_position = 0;
    m_pendingBytes = 0;
    m_bytesPerColumn = 0;
    m_stats.Reset();
    m_stats.format = format;
    if (span <= 0 || msPerColumn <= 0 || span / msPerColumn > std::numeric_limits<int>::max() / 2 - 1) return;
    // Whole frames: a column boundary inside a frame would shift every later sample by a byte
    // (11025 Hz mono gives 2205 bytes per 100 ms).
    const int64_t frameSize = format.BlockSize();
    const int64_t frames = int64_t{format.sampleRate} * msPerColumn / 1000;
    if (frameSize <= 0 || frames <= 0) return;
    m_columns = static_cast<int>(span / msPerColumn);
    m_bytesPerColumn = frames * frameSize;
    m_extremes.assign(m_columns * 2 + 2, 0);
    m_averages.assign(m_columns * 2 + 2, 0);
}

void CHistoryColumns::Feed(const char* data, int bytes) {
    // A control narrower than the labels' margins has no columns: nothing to show, nothing to fail.
    if (m_columns > 0 && data && bytes > 0) {
        int64_t rest = bytes;
        if (m_pendingBytes + rest < m_bytesPerColumn) {
            m_stats.Take(data, rest);
            m_pendingBytes += rest;
            rest = 0;
        } else if (m_pendingBytes > 0) {
            const int64_t first = m_bytesPerColumn - m_pendingBytes;
            m_stats.Take(data, first);
            Emit(1);
            m_pendingBytes = 0;
            data += first;
            rest -= first;
        }
        if (rest > 0) {
            // Several columns' worth in one block still make one column.
            const int64_t whole = rest / m_bytesPerColumn;
            if (whole > 0) {
                m_stats.Take(data, whole * m_bytesPerColumn);
                Emit(whole);
                data += whole * m_bytesPerColumn;
                rest -= whole * m_bytesPerColumn;
            }
            m_stats.Take(data, rest);
            m_pendingBytes += rest;
        }
    }
    m_position = m_valueCount;
}

void CHistoryColumns::Emit(int64_t columnsTaken) {
    if (m_valueCount + columnsTaken >= 2 * int64_t{m_columns}) Compress();
    m_extremes[m_valueCount] = m_stats.maximum;
    m_extremes[m_valueCount + 1] = m_stats.minimum;
    m_averages[m_valueCount] = Clamp16(m_stats.positiveAverage);
    m_averages[m_valueCount + 1] = Clamp16(m_stats.negativeAverage);
    m_valueCount += 2;
    m_stats.Reset();
}

void CHistoryColumns::Compress() {
    if (m_columns <= 0) return;
    // Whole columns: an odd number of filled columns merges its last one with an empty one
    // rather than splitting a maximum from its minimum.
    m_valueCount = (m_valueCount / 2 + 1) / 2 * 2;
    m_pendingBytes /= 2;
    m_bytesPerColumn *= 2;
    span *= 2;
    msPerColumn *= 2;
    const int merged = (m_columns + 1) / 2;
    for (int j = 0; j < merged; ++j) {
        const int a = 4 * j, b = 4 * j + 2;  // the first values of old columns 2j and 2j + 1
        m_extremes[2 * j] = std::max(m_extremes[a], m_extremes[b]);
        m_extremes[2 * j + 1] = std::min(m_extremes[a + 1], m_extremes[b + 1]);
        m_averages[2 * j] = static_cast<int16_t>((m_averages[a] + m_averages[b]) / 2);
        m_averages[2 * j + 1] = static_cast<int16_t>((m_averages[a + 1] + m_averages[b + 1]) / 2);
    }
    std::fill(m_extremes.begin() + 2 * merged, m_extremes.end(), 0);
    std::fill(m_averages.begin() + 2 * merged, m_averages.end(), 0);
}
