// The syncing thread: fdatasync of the followed track at every interval, a last one when it is let go.
#include "recording/FileSyncer.h"

#include <unistd.h>

CFileSyncer::CFileSyncer(std::chrono::milliseconds interval) : m_interval(interval), m_thread([this] { Run(); }) {}

CFileSyncer::~CFileSyncer() {
    {
        std::lock_guard lock(m_mutex);
        if (m_followed >= 0) m_released.push_back(m_followed);
        m_followed = -1;
        m_ending = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void CFileSyncer::Follow(int fd) {
    {
        std::lock_guard lock(m_mutex);
        if (m_followed >= 0) m_released.push_back(m_followed);
        m_followed = fd;
    }
    m_wake.notify_one();
}

void CFileSyncer::Sync(int fd) {
    fdatasync(fd);
    ++m_syncs;
}

void CFileSyncer::Run() {
    auto due = std::chrono::steady_clock::now() + m_interval;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait_until(lock, due, [this] { return m_ending || !m_released.empty(); });
        // Taken together, so the followed descriptor is never one closed below; only this
        // thread closes them, so none is closed while it is synced.
        std::vector<int> released;
        released.swap(m_released);
        const int followed = m_followed;
        const bool ending = m_ending;
        lock.unlock();
        for (const int fd : released) {
            Sync(fd);
            close(fd);
        }
        if (followed >= 0 && std::chrono::steady_clock::now() >= due) Sync(followed);
        if (std::chrono::steady_clock::now() >= due) due = std::chrono::steady_clock::now() + m_interval;
        lock.lock();
        if (ending && m_released.empty()) return;
    }
}
