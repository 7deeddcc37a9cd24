// CLogind: power requests and inhibitor locks through systemd-logind over D-Bus; CSleepInhibitor.
#pragma once

#include "foundation/CharString.h"

struct sd_bus;

enum class PowerRequest { PowerOff, Suspend, Hibernate };

enum class LogindStatus {
    Done,
    NotPermitted,    // logind's rights check answered something other than "yes"
    BusUnavailable,  // no connection to the bus at the given address
    CallFailed,      // connected, but logind is absent or refused the call
};

struct LogindResult {
    LogindStatus status = LogindStatus::Done;
    CCharString detail;  // what went wrong, for a message or a terminal line; empty when done

    bool Ok() const { return status == LogindStatus::Done; }
};

class CLogind {
public:
    // The bus address is required: there is no silent fall-back to the machine's system bus,
    // so code under test can only ever reach the logind it was pointed at.
    explicit CLogind(const CCharString& busAddress);
    ~CLogind();
    CLogind(const CLogind&) = delete;
    CLogind& operator=(const CLogind&) = delete;

    // The address of the machine's system bus (DBUS_SYSTEM_BUS_ADDRESS when set).
    static CCharString SystemBusAddress();

    // Asks the matching Can* method first and acts only on "yes"; "challenge" counts as a
    // refusal because nobody is there to authenticate after an unattended recording.
    LogindResult Request(PowerRequest request);

    // Takes an inhibitor lock; on success fd is the descriptor that holds it until closed.
    LogindResult Inhibit(const char* what, const char* who, const char* why, const char* mode, int& fd);

private:
    LogindResult Connect();
    LogindResult CallManager(const char* method, const char* signature, struct sd_bus_message** reply, ...);

    CCharString m_address;
    sd_bus* m_bus = nullptr;
};

// Keeps the machine from sleeping while a recording runs; released at stop or destruction.
class CSleepInhibitor {
public:
    CSleepInhibitor() = default;
    ~CSleepInhibitor() { Release(); }
    CSleepInhibitor(const CSleepInhibitor&) = delete;
    CSleepInhibitor& operator=(const CSleepInhibitor&) = delete;

    LogindResult Acquire(CLogind& logind, const char* why);
    void Release();
    bool IsHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
