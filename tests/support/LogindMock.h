// A private D-Bus daemon with python3-dbusmock's logind template on it, so tests of power
// requests and inhibitor locks never reach the machine's own logind.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "tests/support/TempDir.h"

class LogindMock {
public:
    // templateParameters: JSON for the template, e.g. {"CanSuspend": "no"}.
    explicit LogindMock(const std::string& templateParameters = "{}");
    ~LogindMock();
    LogindMock(const LogindMock&) = delete;
    LogindMock& operator=(const LogindMock&) = delete;

    // Empty when the bus and the mock are up; otherwise why not, with what they printed.
    const std::string& error() const { return m_error; }
    const std::string& address() const { return m_address; }

    // Method calls the mock received, oldest first, as "Name args" ("PowerOff False").
    std::vector<std::string> Calls() const;
    // The printed reply of a call to a logind manager method without arguments.
    std::string CallManager(const std::string& method) const;
    // Ends the bus daemon, as when the system bus goes away.
    void StopBus();

private:
    bool StartBus();
    bool StartMock(const std::string& templateParameters);

    TempDir m_dir;
    std::string m_address;
    std::string m_error;
    pid_t m_busPid = -1;
    pid_t m_mockPid = -1;
};
