// Placing buffers on the wall clock, and the frame a boundary falls on.
#include "app/control/ClockCut.h"

#include <algorithm>
#include <ctime>

namespace {

constexpr int64_t kNsPerSecond = 1000000000;

}  // namespace

int64_t WallClockNs() {
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec * kNsPerSecond + now.tv_nsec;
}

void CClockCut::Restart() {
    m_count = 0;
    m_next = 0;
    m_frames = 0;
    m_lastFrames = 0;
}

// In two steps, so days of frames at high rates do not overflow.
int64_t CClockCut::FramesNs(int64_t frames) const {
    return frames / m_rate * kNsPerSecond + frames % m_rate * kNsPerSecond / m_rate;
}

void CClockCut::Measure(int64_t nowNs, int frames, int sampleRate) {
    if (sampleRate <= 0 || frames < 0) return;
    m_rate = sampleRate;
    m_frames += frames;
    m_lastFrames = frames;
    m_placements[m_next] = nowNs - FramesNs(m_frames);
    m_next = (m_next + 1) % kRecent;
    m_count = std::min(m_count + 1, kRecent);
    m_firstFrameNs = *std::min_element(m_placements, m_placements + m_count);
}

int64_t CClockCut::BufferStartNs() const { return m_firstFrameNs + FramesNs(m_frames - m_lastFrames); }

int64_t CClockCut::BufferEndNs() const { return m_firstFrameNs + FramesNs(m_frames); }

int CClockCut::CutFrame(int64_t boundaryNs) const {
    if (!Measured()) return -1;
    const int64_t intoBuffer = boundaryNs - BufferStartNs();
    if (intoBuffer <= 0) return 0;
    if (intoBuffer >= FramesNs(m_lastFrames)) return -1;
    // The first frame captured at or after the boundary begins the next track.
    const int64_t frame = (intoBuffer * m_rate + kNsPerSecond - 1) / kNsPerSecond;
    return frame < m_lastFrames ? static_cast<int>(frame) : -1;
}
