// CTrackReserve: a recording's room on the disk for closing its tracks. Given back when a write
// fails and at each close, so the track is ended, tagged and renamed in that room; taken again
// once the finisher is done with it while the recording runs on.
#pragma once

#include <mutex>

#include "foundation/CharString.h"
#include "platform/DiskSpace.h"

// Any thread: the audio thread gives it back at a close, the finisher takes it again, the owner
// begins and ends it. Each call holds the mutex while the file is made or removed.
class CTrackReserve {
public:
    // A recording into `outputFolder` begins; the reserve is taken at its first track's opening.
    void Begin(const CCharString& outputFolder);
    // A track opened. Only the recording's first takes it, once journaled: the journal names
    // the folder a dead recorder's reserve is to be removed from.
    void TakeAtFirstOpen();
    // Takes it again unless the recording is ending; without it a full disk may cut a track's
    // ending short, which its close then reports.
    void Hold();
    void Release();
    // The recording ends: its last close gives the reserve back for good.
    void Forgo();
    // Given back for good: the recording ended or never started.
    void End();

private:
    std::mutex m_mutex;
    CDiskReserve m_reserve;
    CCharString m_folder;
    bool m_wanted = false;
    bool m_takeAtOpen = false;
};
