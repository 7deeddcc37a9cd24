// CHistoryColumns: a waveform history's columns (extremes and averages per column of time), fed
// with captured PCM and halved in place whenever it fills, so a recording of any length fits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recording/PcmFormat.h"

// Statistics of the column being filled, over the first channel of each frame.
struct ColumnStats {
    int16_t maximum = 0;
    int16_t minimum = 0;
    int positiveAverage = 0;  // 4 × mean of the non-negative samples over all frames
    int negativeAverage = 0;  // 4 × mean of the negative samples over all frames
    int64_t frames = 0;
    PcmFormat format;

    void Reset();
    // Adds a piece of whole frames; a piece shorter than one frame, or of other than 16-bit
    // samples, adds nothing.
    void Take(const char* data, int64_t bytes);
};

// Span, in milliseconds, of the whole-recording history (1 s per column) on a control
// `width` pixels wide, and of the track history (100 ms per column).
int64_t WholeRecordingSpan(int width);
int64_t TrackSpan(int width);

// The label of `ms` on a history whose width covers `span` ms: "23.50s", "0:23" or "00:00:23".
std::string HistoryTimeLabel(int64_t ms, int64_t span);

class CHistoryColumns {
public:
    // Set before Start. 64-bit because both double at every halving: a recording of weeks
    // must not wrap them.
    int64_t msPerColumn = 0;
    int64_t span = 0;  // ms covered by the whole width

    // Starts an empty history of span / msPerColumn columns for `format`. Allocates; with a
    // span or column time that is not positive there are no columns and feeding does nothing.
    void Start(const PcmFormat& format);
    // Takes a captured block. Never allocates.
    void Feed(const char* data, int bytes);

    int Columns() const { return m_columns; }
    int ValueCount() const { return m_valueCount; }  // two values per filled column
    int Position() const { return m_position; }       // value count as of the last feed
    int64_t BytesPerColumn() const { return m_bytesPerColumn; }
    // Per column: maximum, minimum; and positive, negative average.
    const std::vector<int16_t>& Extremes() const { return m_extremes; }
    const std::vector<int16_t>& Averages() const { return m_averages; }

    // Halves the resolution: pairs of columns merge, each column covers twice the time.
    void Compress();

private:
    void Emit(int64_t columnsTaken);

    PcmFormat m_format;
    int m_columns = 0;
    int m_valueCount = 0;
    int m_position = 0;
    int64_t m_pendingBytes = 0;
    int64_t m_bytesPerColumn = 0;
    std::vector<int16_t> m_extremes;
    std::vector<int16_t> m_averages;
    ColumnStats m_stats;
};
