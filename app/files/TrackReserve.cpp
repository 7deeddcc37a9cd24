// The disk reserve's life through a recording.
#include "app/files/TrackReserve.h"

#include "foundation/PathUtils.h"

namespace {

// Enough for the tags and the rename of a track closed on a full disk.
constexpr int64_t kReservedBytes = 64 * 1024;

}  // namespace

void CTrackReserve::Begin(const CCharString& outputFolder) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_folder = outputFolder;
    m_wanted = EnsureFolder(outputFolder);
    m_takeAtOpen = true;
}

void CTrackReserve::TakeAtFirstOpen() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_takeAtOpen) return;
        m_takeAtOpen = false;
    }
    Hold();
}

void CTrackReserve::Hold() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_wanted && !m_reserve.IsHeld()) static_cast<void>(m_reserve.Hold(m_folder, kReservedBytes));
}

void CTrackReserve::Release() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_reserve.Release();
}

void CTrackReserve::Forgo() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wanted = false;
}

void CTrackReserve::End() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wanted = false;
    m_takeAtOpen = false;
    m_reserve.Release();
}
