// The monitor displays' data and its hand-over from the audio thread to the GUI thread.
#include "app/MonitorFeed.h"

#include <algorithm>

namespace {

// 50 ms of 96 kHz stereo is 19200 bytes.
constexpr int kMaxScopeBytes = 1 << 16;

void Reserve(HistoryPicture& history) {
    history.extremes.reserve(2 * kMaxHistoryColumns + 2);
    history.averages.reserve(2 * kMaxHistoryColumns + 2);
}

void CopyHistory(const CHistoryColumns& from, HistoryPicture& to) {
    to.msPerColumn = from.msPerColumn;
    to.span = from.span;
    to.columns = from.Columns();
    to.position = from.Position();
    to.extremes.assign(from.Extremes().begin(), from.Extremes().end());
    to.averages.assign(from.Averages().begin(), from.Averages().end());
}

}  // namespace

MonitorPicture::MonitorPicture() {
    scope.data.reserve(kMaxScopeBytes);
    Reserve(total);
    Reserve(track);
}

CMonitorFeed::CMonitorFeed() {
    m_scope.SetFormat(PcmFormat{});
    m_scope.SetWindow(50);
    Publish();
}

void CMonitorFeed::SetHistoryWidths(int whole, int track) {
    // A history never has as many columns as pixels, so this width bound keeps the columns
    // within what the pictures reserve.
    m_totalWidth = std::min(whole, kMaxHistoryColumns);
    m_trackWidth = std::min(track, kMaxHistoryColumns);
}

bool CMonitorFeed::TakePicture(MonitorPicture& picture) {
    std::lock_guard<std::mutex> lock(m_pictureMutex);
    if (!m_pictureNew) return false;
    picture = m_picture;
    m_pictureNew = false;
    return true;
}

void CMonitorFeed::ClearScope() {
    m_scopeCleared = true;
    std::lock_guard<std::mutex> lock(m_pictureMutex);
    m_picture.scope.hasWindow = false;
    m_picture.scope.validBytes = 0;
    m_pictureNew = true;
}

void CMonitorFeed::OnRecordingStart(const PcmFormat& format) {
    m_total.msPerColumn = 1000;
    m_total.span = WholeRecordingSpan(m_totalWidth);
    m_total.Start(format);
    Publish();
}

void CMonitorFeed::OnTrackOpen(const PcmFormat& format) {
    m_scope.SetFormat(format);
    m_scope.SetWindow(50);
    m_scopeCleared = false;
    m_track.msPerColumn = 100;
    m_track.span = TrackSpan(m_trackWidth);
    m_track.Start(format);
    Publish();
}

void CMonitorFeed::OnBuffer(const MonitorBuffer& buffer) {
    ++m_buffers;
    m_levels[0] = buffer.leftLevel;
    m_levels[1] = buffer.rightLevel;
    if (m_scopeCleared) {
        if (m_scope.HasWindow()) m_scope.Clear();
    } else {
        m_scope.Feed(buffer.data, buffer.bytes);
    }
    if (!buffer.paused) {
        m_total.Feed(buffer.data, buffer.bytes);
        m_track.Feed(buffer.data, buffer.bytes);
    }
    Publish();
}

void CMonitorFeed::Publish() {
    std::unique_lock<std::mutex> lock(m_pictureMutex, std::try_to_lock);
    if (!lock.owns_lock()) return;
    m_picture.buffers = m_buffers;
    m_picture.leftLevel = m_levels[0];
    m_picture.rightLevel = m_levels[1];
    CopyHistory(m_total, m_picture.total);
    CopyHistory(m_track, m_picture.track);
    ScopePicture& scope = m_picture.scope;
    // Checked under the lock: a clear from the GUI thread is never undone by an older copy.
    scope.hasWindow = m_scope.HasWindow() && !m_scopeCleared;
    scope.format = m_scope.Format();
    scope.validBytes = scope.hasWindow ? std::min(m_scope.ValidBytes(), kMaxScopeBytes) : 0;
    scope.data.assign(m_scope.Data(), m_scope.Data() + scope.validBytes);
    m_pictureNew = true;
}
