// velsona-rec as a Type=notify service: the messages systemd would receive, read from a socket
// the test listens on, with the watchdog pings tied to audio actually arriving.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "tests/support/Process.h"
#include "tests/support/PulseServer.h"
#include "tests/support/TempDir.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Notification {
    Clock::time_point when;
    std::string text;  // one datagram: "NAME=value" lines
};

// The datagram socket systemd would hand over in NOTIFY_SOCKET.
class NotifySocket {
public:
    explicit NotifySocket(std::string path) : m_path(std::move(path)) {
        m_fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        m_path.copy(address.sun_path, sizeof address.sun_path - 1);
        m_bound = m_fd >= 0 && bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~NotifySocket() {
        if (m_fd >= 0) close(m_fd);
    }
    bool IsBound() const { return m_bound; }
    const std::string& path() const { return m_path; }

    // Everything that arrives within `period`, appended to `into`.
    void Collect(std::chrono::milliseconds period, std::vector<Notification>& into) {
        const auto end = Clock::now() + period;
        for (auto now = Clock::now(); now < end; now = Clock::now()) {
            pollfd wait{m_fd, POLLIN, 0};
            const int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count());
            if (poll(&wait, 1, left) <= 0) continue;
            char buffer[4096];
            const ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
            if (n > 0) into.push_back({Clock::now(), std::string(buffer, static_cast<size_t>(n))});
        }
    }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_bound = false;
};

bool Has(const Notification& n, const std::string& line) {
    return ("\n" + n.text + "\n").find("\n" + line) != std::string::npos;
}
int Count(const std::vector<Notification>& all, const std::string& line) {
    int count = 0;
    for (const Notification& n : all) count += Has(n, line) ? 1 : 0;
    return count;
}
int FirstIndex(const std::vector<Notification>& all, const std::string& line) {
    for (size_t i = 0; i < all.size(); ++i)
        if (Has(all[i], line)) return static_cast<int>(i);
    return -1;
}

class ServiceNotify : public testing::Test {
protected:
    // Runs velsona-rec as systemd would for a service with WatchdogSec=0.8: a ping is due every
    // 200 ms. No logind answers on the bus given, so nothing can reach the machine's own.
    bool StartRecorder(const std::string& capture, const std::vector<std::string>& arguments) {
        std::vector<std::string> all{VELSONA_REC_PATH, "--capture", capture, "--folder", dir / "rec"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return recorder.Start(all,
                              {"NOTIFY_SOCKET=" + notify.path(), "WATCHDOG_USEC=800000",
                               "XDG_CONFIG_HOME=" + dir / "config",
                               "DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + dir / "no-bus"},
                              dir / "out.txt");
    }
    std::string Output() const { return ReadFileBytes(dir / "out.txt"); }

    TempDir dir;
    NotifySocket notify{dir / "notify"};
    BackgroundProcess recorder;
};

TEST_F(ServiceNotify, ReadyStatusPingsWhileRecordingThenStopping) {
    ASSERT_TRUE(notify.IsBound());
    ASSERT_TRUE(StartRecorder("signal:tone=440hz/-12db/1s,silence=500ms,loop", {"--format", "wav", "/S", "NOW",
                                                                                 "/T", "MS=0:03"}));
    std::vector<Notification> received;
    notify.Collect(5s, received);
    ASSERT_EQ(recorder.Wait(20s), 0) << Output();
    notify.Collect(200ms, received);

    const int ready = FirstIndex(received, "READY=1"), stopping = FirstIndex(received, "STOPPING=1");
    ASSERT_GE(ready, 0) << Output();
    ASSERT_GT(stopping, ready);
    // Three seconds of audio with a ping due every 200 ms; the main loop wakes every 200 ms.
    EXPECT_GE(Count(received, "WATCHDOG=1"), 6);
    EXPECT_EQ(FirstIndex(received, "WATCHDOG=1") >= ready, true) << "no ping before the service is ready";
    bool trackStatus = false;
    for (int i = ready + 1; i < stopping; ++i)
        trackStatus |= Has(received[i], "STATUS=") && received[i].text.find(".wav") != std::string::npos &&
                       received[i].text.find("トラック(1)時間") != std::string::npos;
    EXPECT_TRUE(trackStatus) << "a status naming the current track and its time";
    EXPECT_NE(received.back().text.find("Stopped: 1 track(s)"), std::string::npos) << received.back().text;
}

TEST_F(ServiceNotify, PingsStopWhileTheCaptureStallsAndComeBackAfter) {
    ASSERT_TRUE(notify.IsBound());
    PulseTestServer server;
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    ASSERT_TRUE(StartRecorder("pulse", {"--format", "wav", "/S", "NOW"}));
    std::vector<Notification> running, stalled, resumed;
    notify.Collect(500ms, running);
    ASSERT_GE(FirstIndex(running, "READY=1"), 0) << Output();
    // The server's null sink may take a moment to wake up and deliver.
    for (int i = 0; i < 20 && Count(running, "WATCHDOG=1") < 4; ++i) notify.Collect(500ms, running);
    ASSERT_GE(Count(running, "WATCHDOG=1"), 4) << Output();

    // A frozen server delivers nothing: the process keeps running, the pings must not.
    ASSERT_EQ(kill(server.Pid(), SIGSTOP), 0);
    notify.Collect(1s, stalled);  // what was already on its way may still come in
    stalled.clear();
    notify.Collect(2s, stalled);
    ASSERT_EQ(kill(server.Pid(), SIGCONT), 0);
    EXPECT_EQ(Count(stalled, "WATCHDOG=1"), 0);

    notify.Collect(2s, resumed);
    EXPECT_GE(Count(resumed, "WATCHDOG=1"), 2) << "pings resume with the audio";
    ASSERT_EQ(kill(recorder.Pid(), SIGTERM), 0);
    EXPECT_EQ(recorder.Wait(20s), 0) << Output();
    notify.Collect(200ms, resumed);
    EXPECT_GE(FirstIndex(resumed, "STOPPING=1"), 0);
}

}  // namespace
