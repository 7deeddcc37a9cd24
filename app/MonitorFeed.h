// CMonitorFeed: the level meters' and monitor displays' data, fed on the audio thread and
// handed to the GUI thread as pictures.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "app/HistoryColumns.h"
#include "app/MonitorObserver.h"
#include "app/ScopeWindow.h"

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

// Threads: the three observer calls come from the audio thread (or the owner's thread while
// no capture runs, never both at once) and own the histories and the scope window alone. After
// each call they copy what the displays draw into a shared picture, but only if its mutex is
// free at once (try_lock): the GUI thread holds it just to copy the picture out, and when it
// does the audio thread skips that one copy and the next buffer brings it up to date. So the
// audio thread never waits and never allocates per buffer (every picture is reserved at its
// largest), while the GUI thread reads whole pictures, never a half-written one.
class CMonitorFeed : public CMonitorObserver {
public:
    CMonitorFeed();

    // --- GUI thread.
    // The histories' widths in pixels, read when a recording starts and a track opens.
    void SetHistoryWidths(int whole, int track);
    // Copies the newest picture into `picture`; false (and `picture` untouched) when nothing
    // changed since the last take.
    bool TakePicture(MonitorPicture& picture);
    // After a stop or new silence thresholds: the scope shows nothing until a track opens.
    void ClearScope();

    // --- Audio thread.
    void OnRecordingStart(const PcmFormat& format) override;
    void OnTrackOpen(const PcmFormat& format) override;
    void OnBuffer(const MonitorBuffer& buffer) override;

private:
    void Publish();

    CHistoryColumns m_total;
    CHistoryColumns m_track;
    CScopeWindow m_scope;
    uint64_t m_buffers = 0;
    int m_levels[2] = {-903, -903};
    std::atomic<int> m_totalWidth{0};
    std::atomic<int> m_trackWidth{0};
    std::atomic<bool> m_scopeCleared{false};

    std::mutex m_pictureMutex;  // guards the two below
    MonitorPicture m_picture;
    bool m_pictureNew = false;
};
