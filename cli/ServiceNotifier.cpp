// systemd's notification protocol for velsona-rec.
#include "cli/ServiceNotifier.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <systemd/sd-daemon.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

bool StandardErrorIsJournal() {
    const char* stream = std::getenv("JOURNAL_STREAM");
    unsigned long long device = 0, inode = 0;
    char rest = 0;
    if (!stream || std::sscanf(stream, "%llu:%llu%c", &device, &inode, &rest) != 2) return false;
    struct stat info {};
    return fstat(STDERR_FILENO, &info) == 0 && info.st_dev == device && info.st_ino == inode;
}

CServiceNotifier::CServiceNotifier() {
    const char* socket = std::getenv("NOTIFY_SOCKET");
    m_active = socket && *socket;
    uint64_t usec = 0;
    // Pinging at a quarter of the limit leaves room for a slow split or a busy machine.
    if (m_active && sd_watchdog_enabled(0, &usec) > 0) m_pingPeriod = std::chrono::microseconds(usec / 4);
}

void CServiceNotifier::Ready(const std::string& status) {
    m_lastStatus = Clock::now();
    Send("READY=1\nSTATUS=" + status);
    Ping();
}

bool CServiceNotifier::StatusDue() const {
    return m_active && Clock::now() - m_lastStatus >= std::chrono::seconds(1);
}

void CServiceNotifier::Status(const std::string& status) {
    m_lastStatus = Clock::now();
    Send("STATUS=" + status);
}

void CServiceNotifier::Alive() {
    if (m_pingPeriod.count() > 0 && Clock::now() - m_lastPing >= m_pingPeriod) Ping();
}

void CServiceNotifier::BuffersArrived(uint64_t buffers) {
    if (buffers == m_pingedBuffers) return;
    if (m_pingPeriod.count() > 0 && Clock::now() - m_lastPing >= m_pingPeriod) {
        m_pingedBuffers = buffers;
        Ping();
    }
}

void CServiceNotifier::Stopping(const std::string& status) { Send("STOPPING=1\nSTATUS=" + status); }

void CServiceNotifier::Ping() {
    if (m_pingPeriod.count() == 0) return;
    m_lastPing = Clock::now();
    Send("WATCHDOG=1");
}

void CServiceNotifier::Send(const std::string& message) {
    if (m_active) sd_notify(0, message.c_str());
}
