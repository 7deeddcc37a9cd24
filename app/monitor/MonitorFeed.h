// CMonitorFeed: the level meters' and monitor displays' data, fed on the audio thread and
// handed to the GUI thread as pictures.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "app/monitor/HistoryColumns.h"
#include "app/monitor/MonitorObserver.h"
#include "app/monitor/ScopeWindow.h"

// What a history display draws.
struct HistoryPicture {
    int64_t msPerColumn = 0;
    int64_t span = 0;
    int columns = 0;
    int position = 0;  // value count as of the last feed: the mark is at column position / 2
    std::vector<int16_t> extremes;  // per column: maximum, minimum
    std::vector<int16_t> averages;  // per column: positive, negative average
};

// What the oscilloscope draws: the start of the newest block, or nothing.
struct ScopePicture {
    bool hasWindow = false;
    PcmFormat format;
    std::vector<char> data;  // the valid bytes, plus 2 bytes of slack
    int validBytes = 0;
};

struct MonitorPicture {
    MonitorPicture();  // reserves room for the largest picture, so copies never allocate
    uint64_t buffers = 0;  // buffers fed so far: tells whether the levels are new
    int leftLevel = -903;
    int rightLevel = -903;
    ScopePicture scope;
    HistoryPicture total;  // the whole recording
    HistoryPicture track;  // the current track
};

// Wider histories show this many columns, centred.
constexpr int kMaxHistoryColumns = 4096;

// Threads. Buffers come on the audio thread, which alone owns the histories and the scope
// window it feeds. A recording start or a track opening may come from another thread (the first
// track and a calibration session open on the owner's thread, before their capture starts):
// either way it only prepares fresh displays (allocating there) and leaves them in a slot the
// next buffer swaps in, so no two threads ever touch the same history, whatever the caller's
// timing. The replaced ones are freed by the GUI thread's next take. After each buffer the
// audio thread copies what the displays draw into a shared picture, but only if its mutex is
// free at once (try_lock): the GUI thread holds it just to copy the picture out, and when it
// does the audio thread skips that one copy and the next buffer brings it up to date. So the
// audio thread never waits and never allocates per buffer (every picture is reserved at its
// largest), while the GUI thread reads whole pictures, never a half-written one.
class CMonitorFeed : public CMonitorObserver {
public:
    CMonitorFeed();
    ~CMonitorFeed() override;
    CMonitorFeed(const CMonitorFeed&) = delete;
    CMonitorFeed& operator=(const CMonitorFeed&) = delete;

    // --- GUI thread.
    // The histories' widths in pixels, read when a recording starts and a track opens.
    void SetHistoryWidths(int whole, int track);
    // Copies the newest picture into `picture`; false (and `picture` untouched) when nothing
    // changed since the last take. Frees displays the audio thread has replaced.
    bool TakePicture(MonitorPicture& picture);
    // After a stop or new silence thresholds: the scope shows nothing until a track opens
    // after this call.
    void ClearScope();

    // --- Any thread; take effect with the next buffer.
    void OnRecordingStart(const PcmFormat& format) override;
    void OnTrackOpen(const PcmFormat& format) override;
    // --- Audio thread.
    void OnBuffer(const MonitorBuffer& buffer) override;

private:
    struct TrackViews {
        CScopeWindow scope;
        CHistoryColumns history;
        unsigned clears = 0;  // scope clears asked for before this track opened
    };
    void TakeFreshViews();
    void Publish();

    CHistoryColumns m_total;
    TrackViews m_track;
    uint64_t m_buffers = 0;
    int m_levels[2] = {-903, -903};
    std::atomic<int> m_totalWidth{0};
    std::atomic<int> m_trackWidth{0};
    std::atomic<unsigned> m_clears{0};  // the scope shows nothing while this differs from its track's
    std::atomic<CHistoryColumns*> m_freshTotal{nullptr};
    std::atomic<TrackViews*> m_freshTrack{nullptr};
    std::atomic<CHistoryColumns*> m_replacedTotal{nullptr};
    std::atomic<TrackViews*> m_replacedTrack{nullptr};

    std::mutex m_pictureMutex;  // guards the two below
    MonitorPicture m_picture;
    bool m_pictureNew = false;
};
