// Waiting for a lost input: the attempts' rhythm, the counted gap, the log's milestones.
#include "app/control/InputWait.h"

#include "app/control/ActivityLog.h"
#include "recording/RecorderSession.h"

namespace {

// A lost input is tried again this long after the last attempt.
constexpr int64_t kRetryPeriodNs = 1'000'000'000;

// The wait for a lost input is logged at a minute, ten minutes, an hour and every hour after:
// a night's outage leaves a handful of lines, not one per retry.
constexpr int64_t kMinuteMs = 60'000;
constexpr int64_t kHourMs = 60 * kMinuteMs;

int64_t NextWaitMilestoneMs(int64_t waitedMs) {
    if (waitedMs < kMinuteMs) return kMinuteMs;
    if (waitedMs < 10 * kMinuteMs) return 10 * kMinuteMs;
    return (waitedMs / kHourMs + 1) * kHourMs;
}

// The last milestone a wait of `waitedMs` has passed: "10 分", "3 時間".
UserText WaitMilestoneText(int64_t waitedMs) {
    if (waitedMs < 10 * kMinuteMs) return UserText("RecordingControl", "1 分");
    if (waitedMs < kHourMs) return UserText("RecordingControl", "10 分");
    return UserText("RecordingControl", "%1 時間").Arg(static_cast<long long>(waitedMs / kHourMs));
}

}  // namespace

void CInputWait::Reset(std::function<int64_t()> steadyClock) {
    m_clock = std::move(steadyClock);
    m_gapMs = 0;
}

void CInputWait::Begin() { m_lostAt = m_clock(); }

CInputWait::Look CInputWait::LookNow() {
    const int64_t now = m_clock();
    const int64_t lostAt = m_lostAt;
    if (m_notedWait != lostAt) {
        m_notedWait = lostAt;
        m_nextNoteMs = NextWaitMilestoneMs(0);
    }
    if (m_nextAttempt < lostAt + kRetryPeriodNs) m_nextAttempt = lostAt + kRetryPeriodNs;
    Look look{(now - lostAt) / 1'000'000, now >= m_nextAttempt};
    if (look.attemptDue) m_nextAttempt = now + kRetryPeriodNs;
    return look;
}

Result<void> CInputWait::Reopen(CRecorderSession& session, int64_t waitedMs) {
    m_gapMs += waitedMs;
    Result<void> reopened = session.ReopenInput();
    if (!reopened) m_gapMs -= waitedMs;
    return reopened;
}

void CInputWait::NoteMilestones(CActivityLog* log, int64_t waitedMs, const UserText& reason) {
    // Each milestone passed gets its line, even when one slow poll passed two of them.
    for (; waitedMs >= m_nextNoteMs; m_nextNoteMs = NextWaitMilestoneMs(m_nextNoteMs))
        if (log)
            log->Write(LogSeverity::Information, UserText("RecordingControl", "入力を %1 待っています。まだ開けません (%2)。")
                                                     .Arg(WaitMilestoneText(m_nextNoteMs))
                                                     .Arg(reason));
}
