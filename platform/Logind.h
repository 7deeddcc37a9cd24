// CLogind: power requests and inhibitor locks through systemd-logind over D-Bus; CSleepInhibitor.
#pragma once

#include "foundation/CharString.h"
#include "foundation/Result.h"

struct sd_bus;

enum class PowerRequest { PowerOff, Suspend, Hibernate };

// How logind's failures read as a Failure, whose message says what went wrong for a message
// box or a terminal line:
//   kMissing, with the errno where there is one: no connection to the bus at the given address;
//   kSystem, EPERM: logind's rights check answered something other than "yes";
//   kSystem, other: connected, but logind is absent or refused the call.

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
    Result<void> Request(PowerRequest request);

    // Takes an inhibitor lock: the descriptor that holds it until closed.
    Result<int> Inhibit(const char* what, const char* who, const char* why, const char* mode);

private:
    Result<void> Connect();
    Result<void> CallManager(const char* method, const char* signature, struct sd_bus_message** reply, ...);

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

    Result<void> Acquire(CLogind& logind, const char* why);
    void Release();
    bool IsHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
