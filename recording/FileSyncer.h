// CFileSyncer: a thread that forces the data of the track being written to the disk at a steady
// interval, so a power cut loses at most that much of it, without the capture thread ever
// waiting for the disk.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class CFileSyncer {
public:
    explicit CFileSyncer(std::chrono::milliseconds interval);
    // The file followed last gets a last sync; every descriptor is closed.
    ~CFileSyncer();
    CFileSyncer(const CFileSyncer&) = delete;
    CFileSyncer& operator=(const CFileSyncer&) = delete;

    // From now on follows `fd`, a descriptor of the syncer's own (it closes it), so the writer may
    // close its file at any time; -1 follows none. The file followed before gets a last sync.
    // Never waits for a sync: called on the capture thread.
    void Follow(int fd);
    // Syncs done so far, last syncs included.
    uint64_t SyncCount() const { return m_syncs.load(); }

private:
    void Run();
    void Sync(int fd);

    const std::chrono::milliseconds m_interval;
    std::mutex m_mutex;  // held only to hand descriptors over
    std::condition_variable m_wake;
    int m_followed = -1;
    std::vector<int> m_released;  // followed before, waiting for their last sync
    bool m_ending = false;
    std::atomic<uint64_t> m_syncs{0};
    std::thread m_thread;  // last: starts once the rest exists
};
