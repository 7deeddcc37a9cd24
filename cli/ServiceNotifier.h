// CServiceNotifier: velsona-rec's side of a Type=notify systemd service: ready, status, watchdog
// pings that stop when the input stops, stopping.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// True when standard error is a stream to the journal: JOURNAL_STREAM names its device and inode
// (a child that inherited the variable but not the stream gets false).
bool StandardErrorIsJournal();

class CServiceNotifier {
public:
    // Reads NOTIFY_SOCKET and the watchdog interval from the environment; without them every
    // call does nothing.
    CServiceNotifier();

    void Ready(const std::string& status);
    // True at most once a second: the status carries times that change with every refresh, and
    // building it costs more than the check.
    bool StatusDue() const;
    void Status(const std::string& status);
    // Called from the main loop while nothing is expected from the input (before the start time,
    // or while a lost input is waited for on purpose).
    void Alive();
    // Called from the main loop while recording with the count of buffers delivered so far: the
    // watchdog is pinged only when it grew since the last ping, so a hung capture gets restarted.
    void BuffersArrived(uint64_t buffers);
    void Stopping(const std::string& status);

private:
    void Send(const std::string& message);
    void Ping();

    bool m_active = false;
    std::chrono::steady_clock::duration m_pingPeriod{};  // zero without a watchdog
    std::chrono::steady_clock::time_point m_lastPing{};
    std::chrono::steady_clock::time_point m_lastStatus{};
    uint64_t m_pingedBuffers = 0;
};
