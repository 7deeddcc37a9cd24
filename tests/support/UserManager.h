// A private systemd user manager for the schedule's tests: `systemd --user` with its own /run
// (holding /run/systemd/system and /run/user/<uid>), its own config folder and this test
// program's environment, so timers and services never reach the machine's own managers.
//
// Starting one moves the whole test program into a mount namespace of its own (/run is a new
// tmpfs there for the rest of the program's life): do it in a test program of its own, before
// any thread is started. Root, or user namespaces for an unprivileged user, are needed.
#pragma once

#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

class PrivateUserManager {
public:
    PrivateUserManager();
    ~PrivateUserManager();
    PrivateUserManager(const PrivateUserManager&) = delete;
    PrivateUserManager& operator=(const PrivateUserManager&) = delete;

    // Empty when the manager answers; otherwise why not.
    const std::string& error() const { return m_error; }
    // $XDG_CONFIG_HOME of the test program and the manager (units under systemd/user).
    std::string ConfigHome() const { return m_dir / "config"; }
    // The manager's $XDG_DATA_HOME (timers' stamps under systemd/timers), never the user's own.
    std::string DataHome() const { return m_dir / "data"; }
    // systemctl --user with the words given; standard error goes with the output.
    ProcessResult Systemctl(const std::string& words) const;
    // Sets variables ("NAME=value") in this program and in the manager, for the services it starts.
    bool SetEnvironment(const std::vector<std::string>& variables) const;

private:
    bool EnterNamespace();

    TempDir m_dir;
    std::string m_error;
    BackgroundProcess m_manager;
};
