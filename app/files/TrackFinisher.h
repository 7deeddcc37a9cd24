// CTrackFinisher: the thread that finishes closed tracks (tags, final name, their rows and events)
// in the order they closed, while the capture thread records the next one.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// A tag rewrite copies or rewrites the whole file, seconds for a long track on a slow disk; the
// capture thread only queues the work and opens the next track at once.
class CTrackFinisher {
public:
    using Job = std::function<void()>;

    CTrackFinisher();
    // Runs what is queued, then ends the thread.
    ~CTrackFinisher();
    CTrackFinisher(const CTrackFinisher&) = delete;
    CTrackFinisher& operator=(const CTrackFinisher&) = delete;

    // Any thread. Queues the job behind the ones before it; never waits for a job to run, only
    // for the queue's mutex, which the finisher holds just to take a job.
    void Submit(Job job);
    // Returns once every job submitted before the call has run. Not from the finisher thread.
    void Wait();

    // Test seam: runs on the finisher thread before each job, so a test can make finishing slow.
    // Set while nothing is queued.
    std::function<void()> beforeEachJob;

private:
    void Run();

    std::mutex m_mutex;
    std::condition_variable m_wake;  // a job came, or the end
    std::condition_variable m_idle;  // a job ran
    std::deque<Job> m_jobs;
    bool m_running = false;  // a job taken from the queue is running
    bool m_ending = false;
    std::thread m_thread;  // last: starts once the rest exists
};
