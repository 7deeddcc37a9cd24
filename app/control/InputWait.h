// CInputWait: the wait for a lost input and the attempts to open it again, once a second, with
// the log's milestones of a long wait. The recording control decides when a wait begins, what
// an attempt's outcome means and when a timed recording ends meanwhile.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "foundation/Result.h"
#include "foundation/UserText.h"

class CActivityLog;
class CRecorderSession;

// Threads: Begin runs on the audio thread (or the owner's, for a start that found no input),
// GapMs on any thread, the rest on the owner's.
class CInputWait {
public:
    // A new recording, its waits timed by `steadyClock` (nanoseconds): no time waited yet.
    void Reset(std::function<int64_t()> steadyClock);
    // The input is away from now on. Call before the state says so: the owner reads the time
    // once it sees the wait.
    void Begin();
    // The waits of this recording that ended in the input's return, counted with the recorded
    // time against a timed recording's duration.
    int64_t GapMs() const { return m_gapMs; }

    // The owner's look at the wait, once per poll: how long it has lasted, and whether the next
    // attempt is due (a second after the last one, or after the loss); a due attempt is taken.
    struct Look {
        int64_t waitedMs = 0;
        bool attemptDue = false;
    };
    Look LookNow();
    // Opens the same input again, not yet capturing. The wait is counted before, so the first
    // buffer after the gap already sees it, and taken back when the input is still away.
    Result<void> Reopen(CRecorderSession& session, int64_t waitedMs);
    // A failed attempt: each milestone the wait has passed since the last gets its log line.
    void NoteMilestones(CActivityLog* log, int64_t waitedMs, const UserText& reason);

private:
    std::function<int64_t()> m_clock;
    std::atomic<int64_t> m_lostAt{0};  // steady clock, nanoseconds
    std::atomic<int64_t> m_gapMs{0};
    int64_t m_nextAttempt = 0;     // steady clock, nanoseconds
    int64_t m_notedWait = -1;      // the loss (m_lostAt) whose wait the log follows
    int64_t m_nextNoteMs = 0;      // the wait's next milestone that gets a log line
};
