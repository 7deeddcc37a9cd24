// A private PulseAudio server for one test program: a null sink, its own runtime folder, no
// autospawn. Starting it points this process's clients (and programs it runs) at it.
#pragma once

#include "tests/support/TempDir.h"

#include <string>
#include <sys/types.h>

class PulseTestServer {
public:
    PulseTestServer() = default;
    ~PulseTestServer();
    PulseTestServer(const PulseTestServer&) = delete;
    PulseTestServer& operator=(const PulseTestServer&) = delete;

    // Starts the server with a null sink named kSink and waits until it answers. False, with the
    // server's log in `error`, when it does not come up.
    bool Start(std::string& error);
    void Stop();
    // For tests that freeze the server (SIGSTOP) to stall its clients.
    pid_t Pid() const { return m_pid; }

    static constexpr const char* kSink = "velsona_test";
    // The sink's description; its monitor source is described as "Monitor of " + this.
    static constexpr const char* kSinkDescription = "VelsonaTestSink";

private:
    TempDir m_dir;
    pid_t m_pid = -1;
};
