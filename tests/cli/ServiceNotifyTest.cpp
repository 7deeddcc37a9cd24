// velsona-rec as a Type=notify service: the messages systemd would receive, read from a socket
// the test listens on, with the watchdog pings tied to audio actually arriving.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <csignal>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "app/control/ActivityLog.h"
#include "platform/PulseCapture.h"
#include "tests/support/AudioProbe.h"
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
                              // English, as a C locale gets it.
                              {"NOTIFY_SOCKET=" + notify.path(), "WATCHDOG_USEC=800000", "LANG=C.UTF-8", "LANGUAGE=",
                               "LC_ALL=", "LC_MESSAGES=",
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
                       received[i].text.find("Track (1) time") != std::string::npos;
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
    // Ready once the capture runs, which a loaded machine takes its time over.
    for (int i = 0; i < 40 && FirstIndex(running, "READY=1") < 0; ++i) notify.Collect(500ms, running);
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

// With --reconnect, an input that goes away while nobody watches is waited for: the service goes
// on pinging the watchdog and says that it waits; once the input is back the next track begins
// within 2 s; every track decodes and carries its tags. Both ways an input goes: the whole server
// killed by its PID and started again, and a null sink unloaded and loaded again (after another
// sink took its number, so only its name finds it) while its monitor is recorded.
class InputReturns : public ServiceNotify {
protected:
    void SetUp() override {
        ASSERT_TRUE(notify.IsBound());
        std::string error;
        ASSERT_TRUE(server.Start(error)) << error;
    }

    static int MonitorId(const std::string& description) {
        for (const CaptureDeviceInfo& device : CPulseCaptureBackend().ListDevices())
            if (device.id >= 0 && device.name == "Monitor of " + description) return device.id;
        return -1;
    }
    static std::string LoadSink(const std::string& name) {
        const ProcessResult loaded = RunProcess("pactl load-module module-null-sink sink_name=" + name +
                                                " sink_properties=device.description=" + name);
        EXPECT_EQ(loaded.exitCode, 0);
        return loaded.output;
    }
    bool WaitForOutput(const std::string& text, std::chrono::milliseconds limit) {
        for (const auto end = Clock::now() + limit; Clock::now() < end; std::this_thread::sleep_for(20ms))
            if (Output().find(text) != std::string::npos) return true;
        return false;
    }

    // Records `device`, takes the input away with `lose`, checks the wait, brings it back with
    // `restore` and checks the next track.
    void LoseAndRestore(int device, const std::function<void()>& lose, const std::function<void()>& restore) {
        ASSERT_GE(device, 0);
        ASSERT_TRUE(StartRecorder("pulse", {"--reconnect", "--device", std::to_string(device), "--format", "mp3",
                                            "--title", "Take %TKN%"}));
        std::vector<Notification> running, waiting, resumed;
        // Pings come only with audio; the server's null sink may take a moment to deliver.
        const auto collectAudio = [&](std::vector<Notification>& into) {
            for (int i = 0; i < 20 && Count(into, "WATCHDOG=1") < 4; ++i) notify.Collect(500ms, into);
            return Count(into, "WATCHDOG=1") >= 4;
        };
        ASSERT_TRUE(collectAudio(running)) << Output();
        ASSERT_GE(FirstIndex(running, "READY=1"), 0) << Output();
        lose();
        ASSERT_TRUE(WaitForOutput("waiting for the input to return", 10s)) << Output();
        notify.Collect(1500ms, waiting);
        EXPECT_GE(Count(waiting, "WATCHDOG=1"), 3) << "waiting on purpose is no hang";
        EXPECT_GE(Count(waiting, "STATUS=Waiting for the input since "), 1) << Output();
        restore();
        const auto back = Clock::now();
        ASSERT_TRUE(WaitForOutput("\" returned. The recording goes on", 5s)) << Output();
        EXPECT_LT(Clock::now() - back, 2s) << "the next track began this long after the input came back";
        notify.Collect(200ms, waiting);  // the pings of the wait still on their way
        ASSERT_TRUE(collectAudio(resumed)) << "audio into the new track\n" << Output();
        ASSERT_EQ(kill(recorder.Pid(), SIGTERM), 0);
        EXPECT_EQ(recorder.Wait(20s), 1) << "audio is missing, so the status says so\n" << Output();
        const std::vector<std::string> files = FilesUnder(dir / "rec");
        ASSERT_EQ(files.size(), 2u) << Output();
        for (size_t i = 0; i < files.size(); ++i) {
            SCOPED_TRACE(files[i]);
            EXPECT_TRUE(DecodesCleanly(files[i]));
            ProbedAudio probe = ProbeWithFfprobe(files[i]);
            EXPECT_GT(probe.durationSeconds, 0.3);
            EXPECT_EQ(probe.tags["title"], "Take 00" + std::to_string(i + 1));
        }
    }

    PulseTestServer server;
};

TEST_F(InputReturns, AfterTheServerIsKilledAndStartedAgain) {
    LoseAndRestore(
        MonitorId(PulseTestServer::kSinkDescription),
        [&] {
            ASSERT_EQ(kill(server.Pid(), SIGKILL), 0);
            server.Stop();  // only reaps it
        },
        [&] {
            std::string error;
            ASSERT_TRUE(server.Start(error)) << error;
        });
}

TEST_F(InputReturns, AfterANullSinkIsUnloadedAndLoadedAgain) {
    std::string module = LoadSink("vanishing");
    LoseAndRestore(
        MonitorId("vanishing"), [&] { ASSERT_EQ(RunProcess("pactl unload-module " + module).exitCode, 0); },
        [&] {
            LoadSink("another");
            module = LoadSink("vanishing");
        });
    EXPECT_NE(Output().find("The input from the recording device \"vanishing.monitor\" returned"), std::string::npos) << Output();
    // The log tells the night's story: the failure and the return, not each attempt between.
    const std::string log = ReadFileBytes(ActivityLogPath().str());
    for (const char* line : {"error: The input from the recording device was lost",
                             "info: The input from the recording device \"vanishing.monitor\" returned"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    EXPECT_EQ(log.find("could not be opened again"), std::string::npos) << log;
}

}  // namespace

// Only while there is sound, from a real PulseAudio monitor: a tone played into the sink twice,
// with more than the silence length between, makes two tracks, each beginning with its pre-roll of
// quiet and then the whole tone; between them the service says it waits for sound.
TEST_F(ServiceNotify, OnlyWhileThereIsSoundTwoTonesFromAMonitorMakeTwoWholeTracks) {
    ASSERT_TRUE(notify.IsBound());
    PulseTestServer server;
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    const std::string tone = dir / "tone.wav";
    ASSERT_EQ(RunProcess("sox -D -n -r 44100 -c 2 -b 16 " + ShellQuote(tone) + " synth 1 sine 1000 gain -6 2>&1").exitCode, 0);
    ASSERT_TRUE(StartRecorder("pulse", {"--format", "wav", "--split", "silence", "--split-time", "0:00:01",
                                        "--skip-silence", "--pre-roll", "1", "--template", "t%TKN%"}));
    std::vector<Notification> received;
    for (int i = 0; i < 40 && FirstIndex(received, "READY=1") < 0; ++i) notify.Collect(500ms, received);
    ASSERT_GE(FirstIndex(received, "READY=1"), 0) << Output();
    for (int i = 0; i < 2; ++i) {
        // The track before (at first, the start's silent one) closes after the silence length;
        // then a second and a half of silence, more than the pre-roll.
        std::vector<Notification> waiting;
        for (int wait = 0; wait < 40 && Count(waiting, "STATUS=Waiting for sound") == 0; ++wait)
            notify.Collect(250ms, waiting);
        ASSERT_GE(Count(waiting, "STATUS=Waiting for sound"), 1) << Output();
        notify.Collect(1500ms, waiting);
        ASSERT_EQ(RunProcess("paplay --device=" + std::string(PulseTestServer::kSink) + " " + ShellQuote(tone) + " 2>&1")
                      .exitCode,
                  0);
    }
    notify.Collect(2500ms, received);
    ASSERT_EQ(kill(recorder.Pid(), SIGTERM), 0);
    EXPECT_EQ(recorder.Wait(20s), 0) << Output();

    const std::vector<std::string> files = FilesUnder(dir / "rec");
    ASSERT_EQ(files.size(), 2u) << Output();
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const std::string pcm = DecodeWithFfmpeg(file);
        std::vector<int> left;
        for (size_t i = 0; i + 3 < pcm.size(); i += 4)
            left.push_back(static_cast<int16_t>(static_cast<unsigned char>(pcm[i]) | pcm[i + 1] << 8));
        const auto loud = [](int sample) { return std::abs(sample) >= 100; };
        const auto first = std::find_if(left.begin(), left.end(), loud);
        const auto last = std::find_if(left.rbegin(), left.rend(), loud);
        ASSERT_NE(first, left.end()) << "silence only";
        // The pre-roll is the second before the 100-ms buffer in which the tone began.
        const double onset = static_cast<double>(first - left.begin()) / 44100;
        EXPECT_GE(onset, 0.95);
        EXPECT_LE(onset, 1.15);
        EXPECT_NEAR(static_cast<double>(left.rend() - last - (first - left.begin())) / 44100, 1.0, 0.02) << "the whole tone";
    }
}
