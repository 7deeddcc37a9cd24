// Peak levels of captured buffers, and the silence test that splits tracks at pauses.
#pragma once

#include <cstdint>

// The peak of `count` 16-bit samples, read from `first` every `stride` samples, in dB below full
// scale: 0 for -32768, -90.309 for a peak of 0 or 1.
double PeakDb(const int16_t* first, int count, int stride);

// Levels in tenths of a decibel, truncated toward zero: 0 is full scale, -903 the quietest.
struct BufferLevels {
    int32_t left = 0;
    int32_t right = 0;
};

// The levels of one buffer of interleaved 16-bit PCM; a mono buffer gives equal levels.
BufferLevels MeasureLevels(const void* data, int byteCount, int channels);

enum class SilenceOutcome {
    Continue,  // handle the buffer to its end (the owner stores its track time)
    Split,     // close the track and open the next one now
    Stop,      // end this buffer's handling at once, storing nothing
};

// The owner's silence test, one per process: it remembers where the current silence began.
class CSilenceDetector {
public:
    static constexpr int32_t kDefaultThreshold = -450;

    // Thresholds in tenths of a decibel.
    void SetThresholds(int32_t left, int32_t right);

    // Silent when both levels are at or below 85% of their thresholds (-450 -> -382.5).
    bool IsSilent(BufferLevels levels) const;
    // Once per written buffer in silence mode. `splitSeconds` is the length of silence that ends a
    // track; `previousTrackTime` is the owner's copy of the track time from the last buffer whose
    // handling ran to its end.
    SilenceOutcome Test(BufferLevels levels, int64_t splitSeconds, int64_t previousTrackTime);
    // Track time at which the current silence began; 0 while no sound was heard in this track.
    int64_t SilenceStart() const { return m_silenceStart; }
    // Any split starts the next track as one that has heard no sound yet.
    void ResetSilenceStart() { m_silenceStart = 0; }

private:
    int32_t m_leftThreshold = kDefaultThreshold;
    int32_t m_rightThreshold = kDefaultThreshold;
    int64_t m_silenceStart = 0;
};
