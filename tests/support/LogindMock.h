// A private D-Bus daemon with one of python3-dbusmock's templates on it: logind, so tests of
// power requests and inhibitor locks never reach the machine's own logind, or a notification
// server, for what a desktop is told.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "tests/support/TempDir.h"

class DbusMock {
public:
    // templateParameters: JSON for the template, e.g. {"CanSuspend": "no"}. busName: the name the
    // template takes, waited for.
    DbusMock(const std::string& templateName, const std::string& busName, const std::string& templateParameters);
    ~DbusMock();
    DbusMock(const DbusMock&) = delete;
    DbusMock& operator=(const DbusMock&) = delete;

    // Empty when the bus and the mock are up; otherwise why not, with what they printed.
    const std::string& error() const { return m_error; }
    const std::string& address() const { return m_address; }

    // Method calls the mock received, oldest first, as "Name args" ("PowerOff False").
    std::vector<std::string> Calls() const;
    // Ends the bus daemon, as when the system bus goes away.
    void StopBus();

private:
    bool StartBus();
    bool StartMock(const std::string& templateName, const std::string& busName, const std::string& templateParameters);

    TempDir m_dir;
    std::string m_address;
    std::string m_error;
    pid_t m_busPid = -1;
    pid_t m_mockPid = -1;
};

class LogindMock : public DbusMock {
public:
    explicit LogindMock(const std::string& templateParameters = "{}")
        : DbusMock("logind", "org.freedesktop.login1", templateParameters) {}
    // The printed reply of a call to a logind manager method without arguments.
    std::string CallManager(const std::string& method) const;
};

// org.freedesktop.Notifications; Calls() lists each "Notify" with its arguments.
class NotificationMock : public DbusMock {
public:
    NotificationMock() : DbusMock("notification_daemon", "org.freedesktop.Notifications", "{}") {}
};
