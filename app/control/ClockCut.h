// CClockCut: where, within the audio, a track cut on the clock ends. Each buffer is placed on the
// wall clock as it arrives; the frame that falls on a boundary is the cut, so the boundaries
// follow the wall clock however fast or slow the sound card's clock runs.
#pragma once

#include <cstdint>

// The wall clock, in nanoseconds since the epoch: a read of the vDSO's clock, no system call.
int64_t WallClockNs();

class CClockCut {
public:
    // Owner's thread, before a device starts: a new run of capture, unrelated to the last one.
    void Restart();
    // Audio thread, as each buffer arrives (paused or not): `nowNs` is the wall clock then.
    void Measure(int64_t nowNs, int frames, int sampleRate);
    bool Measured() const { return m_count > 0; }
    // Wall clock of the last buffer's first frame, and of the moment after its last one.
    int64_t BufferStartNs() const;
    int64_t BufferEndNs() const;
    // The frame of the last buffer at which a track ending at `boundaryNs` ends: -1 while the
    // boundary lies after the buffer, 0 once it has passed before the buffer's first frame.
    int CutFrame(int64_t boundaryNs) const;

private:
    int64_t FramesNs(int64_t frames) const;

    // A buffer arrives a little after its last frame was captured, never before: the earliest
    // placement of recent buffers is the truest. Recent only, so a clock drift is followed.
    static constexpr int kRecent = 16;
    int64_t m_placements[kRecent] = {};  // wall clock of the run's first frame, as each buffer put it
    int m_count = 0;
    int m_next = 0;
    int64_t m_firstFrameNs = 0;  // the earliest of them
    int64_t m_frames = 0;        // received in this run, the last buffer included
    int m_lastFrames = 0;
    int m_rate = 0;
};
