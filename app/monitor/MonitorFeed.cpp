// The monitor displays' data and its hand-over from the audio thread to the GUI thread.
#include "app/monitor/MonitorFeed.h"

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
    m_track.scope.SetFormat(PcmFormat{});
    m_track.scope.SetWindow(50);
    Publish();
}

CMonitorFeed::~CMonitorFeed() {
    delete m_freshTotal.load();
    delete m_freshTrack.load();
    delete m_replacedTotal.load();
    delete m_replacedTrack.load();
}

void CMonitorFeed::SetHistoryWidths(int whole, int track) {
    // A history never has as many columns as pixels, so this width bound keeps the columns
    // within what the pictures reserve.
    m_totalWidth = std::min(whole, kMaxHistoryColumns);
    m_trackWidth = std::min(track, kMaxHistoryColumns);
}

bool CMonitorFeed::TakePicture(MonitorPicture& picture) {
    delete m_replacedTotal.exchange(nullptr);
    delete m_replacedTrack.exchange(nullptr);
    std::lock_guard<std::mutex> lock(m_pictureMutex);
    if (!m_pictureNew) return false;
    picture = m_picture;
    m_pictureNew = false;
    return true;
}

void CMonitorFeed::ClearScope() {
    ++m_clears;
    std::lock_guard<std::mutex> lock(m_pictureMutex);
    m_picture.scope.hasWindow = false;
    m_picture.scope.validBytes = 0;
    m_pictureNew = true;
}

void CMonitorFeed::OnRecordingStart(const PcmFormat& format) {
    auto* fresh = new CHistoryColumns;
    fresh->msPerColumn = 1000;
    fresh->span = WholeRecordingSpan(m_totalWidth);
    fresh->Start(format);
    delete m_freshTotal.exchange(fresh);  // one not taken yet is outdated
}

void CMonitorFeed::OnTrackOpen(const PcmFormat& format) {
    auto* fresh = new TrackViews;
    fresh->scope.SetFormat(format);
    fresh->scope.SetWindow(50);
    fresh->history.msPerColumn = 100;
    fresh->history.span = TrackSpan(m_trackWidth);
    fresh->history.Start(format);
    fresh->clears = m_clears;
    delete m_freshTrack.exchange(fresh);
}

void CMonitorFeed::TakeFreshViews() {
    // Swapping moves the arrays without allocating; the old ones go to the GUI thread to free
    // (freed here only if it has not taken the previous ones yet).
    if (CHistoryColumns* fresh = m_freshTotal.exchange(nullptr)) {
        std::swap(m_total, *fresh);
        delete m_replacedTotal.exchange(fresh);
    }
    if (TrackViews* fresh = m_freshTrack.exchange(nullptr)) {
        std::swap(m_track, *fresh);
        delete m_replacedTrack.exchange(fresh);
    }
}

void CMonitorFeed::OnBuffer(const MonitorBuffer& buffer) {
    TakeFreshViews();
    ++m_buffers;
    m_levels[0] = buffer.leftLevel;
    m_levels[1] = buffer.rightLevel;
    if (m_clears == m_track.clears) m_track.scope.Feed(buffer.data, buffer.bytes);
    if (!buffer.paused) {
        m_total.Feed(buffer.data, buffer.bytes);
        m_track.history.Feed(buffer.data, buffer.bytes);
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
    CopyHistory(m_track.history, m_picture.track);
    const CScopeWindow& window = m_track.scope;
    ScopePicture& scope = m_picture.scope;
    // Read under the lock: a clear from the GUI thread is never undone by an older copy.
    scope.hasWindow = window.HasWindow() && m_clears == m_track.clears;
    scope.format = window.Format();
    scope.validBytes = scope.hasWindow ? std::min(window.ValidBytes(), kMaxScopeBytes) : 0;
    scope.data.assign(window.Data(), window.Data() + scope.validBytes);
    m_pictureNew = true;
}
