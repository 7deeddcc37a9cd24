// The finisher thread: a queue of jobs run one after another in the order they came.
#include "app/files/TrackFinisher.h"

CTrackFinisher::CTrackFinisher() : m_thread([this] { Run(); }) {}

CTrackFinisher::~CTrackFinisher() {
    {
        std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void CTrackFinisher::Submit(Job job) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void CTrackFinisher::Wait() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && !m_running; });
}

void CTrackFinisher::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return !m_jobs.empty() || m_ending; });
        // Ending still runs what is queued: every closed track is finished.
        if (m_jobs.empty()) return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_running = true;
        lock.unlock();
        if (beforeEachJob) beforeEachJob();
        job();
        job = nullptr;
        lock.lock();
        m_running = false;
        m_idle.notify_all();
    }
}
