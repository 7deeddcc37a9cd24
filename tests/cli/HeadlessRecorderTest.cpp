// velsona-rec end to end: the built program run as a user runs it, with the signal source, a
// private settings folder and a logind stand-in, its files checked by ffprobe.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "schedule/RecordingSchedule.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/LogindMock.h"
#include "tests/support/Process.h"
#include "tests/support/SmallFileSystem.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserLanguage.h"

namespace {

using namespace std::chrono_literals;

// Two seconds of tone, one of silence, again and again: levels move and nothing is silent for long.
constexpr const char* kFastSignal = "signal:tone=1000hz/-6db/2s,silence=1s,loop,fast";
constexpr const char* kRealTimeSignal = "signal:tone=440hz/-12db/1s,silence=500ms,loop";

struct RunResult {
    int exitCode = -1;  // -1 when killed by a signal
    std::string out;
    std::string err;
};

struct FormatCase {
    const char* option;
    const char* extension;
    const char* codec;
    int decodedRate;  // of the default quality row; Opus decodes at 48 kHz whatever it was given
};
constexpr FormatCase kFormats[] = {{"wav", ".wav", "pcm_s16le", 44100}, {"mp3", ".mp3", "mp3", 44100},
                                   {"ogg", ".ogg", "vorbis", 44100},    {"wma", ".wma", "wmav2", 44100},
                                   {"flac", ".flac", "flac", 44100},    {"opus", ".opus", "opus", 48000}};

// ffprobe's container duration and tags, of the container or (Ogg) the stream, keys in lower case.
struct ProbedFile {
    double duration = -1;
    std::map<std::string, std::string> tags;
};
ProbedFile ProbeFile(const std::string& path) {
    ProbedFile probed;
    const ProcessResult result = RunProcess("ffprobe -v error -select_streams a:0 -show_entries format=duration:format_tags:stream_tags "
                                            "-of default=noprint_wrappers=1 " + ShellQuote(path));
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string key = line.substr(0, equals);
        for (char& c : key) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        if (key == "duration") probed.duration = atof(line.c_str() + equals + 1);
        if (key.rfind("tag:", 0) == 0) probed.tags[key.substr(4)] = line.substr(equals + 1);
    }
    return probed;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class HeadlessRecorder : public testing::Test {
protected:
    static void SetUpTestSuite() { s_logind = new LogindMock(); }
    static void TearDownTestSuite() {
        delete s_logind;
        s_logind = nullptr;
    }

    void SetUp() override {
        ASSERT_EQ(s_logind->error(), "");
        folder = home / "rec";
    }

    // Starts velsona-rec with a private home and the logind stand-in as the system bus, so no
    // test touches real settings or can reach the machine's own logind; what it prints goes to
    // `name`.out and `name`.err in the home. A `stateHome` keeps its journal apart from other runs'.
    pid_t Spawn(const std::vector<std::string>& arguments, const std::string& capture, const std::string& name,
                const std::string& stateHome = {}, const std::string& program = kProgram,
                const std::vector<std::string>& wrapper = {}) {
        const std::string outPath = home / (name + ".out"), errPath = home / (name + ".err");
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("HOME", home.path().c_str(), 1);
            setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
            setenv("XDG_MUSIC_DIR", (home / "Music").c_str(), 1);
            if (!stateHome.empty()) setenv("XDG_STATE_HOME", stateHome.c_str(), 1);
            setenv("DBUS_SYSTEM_BUS_ADDRESS", s_logind->address().c_str(), 1);
            setenv("VELSONA_CAPTURE", capture.c_str(), 1);
            // "NAME=value" words; an empty value unsets the variable.
            std::istringstream assignments(childLanguage);
            for (std::string word; assignments >> word;) {
                const size_t equals = word.find('=');
                if (equals + 1 == word.size())
                    unsetenv(word.substr(0, equals).c_str());
                else
                    setenv(word.substr(0, equals).c_str(), word.substr(equals + 1).c_str(), 1);
            }
            const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, STDOUT_FILENO);
            dup2(err, STDERR_FILENO);
            std::vector<std::string> all(wrapper);
            all.push_back(program);
            all.insert(all.end(), arguments.begin(), arguments.end());
            std::vector<char*> argv;
            for (std::string& a : all) argv.push_back(a.data());
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        return pid;
    }

    // Runs velsona-rec (see Spawn) to its end. `whileRunning` is polled every 20 ms with the
    // child's pid until it returns true.
    RunResult Run(const std::vector<std::string>& arguments, const std::string& capture = kFastSignal,
                  const std::function<bool(pid_t)>& whileRunning = nullptr, const std::string& program = kProgram,
                  const std::vector<std::string>& wrapper = {}, const std::string& stateHome = {}) {
        const pid_t pid = Spawn(arguments, capture, "run", stateHome, program, wrapper);
        RunResult result;
        int status = 0;
        // Far beyond any case here; a hang must fail the test, not stall the suite.
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        bool watching = static_cast<bool>(whileRunning);
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << "velsona-rec did not end within 60 s";
                break;
            }
            if (watching && whileRunning(pid)) watching = false;
            std::this_thread::sleep_for(20ms);
        }
        if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
        result.out = ReadFileBytes(home / "run.out");
        result.err = ReadFileBytes(home / "run.err");
        return result;
    }

    // The files a timed, split recording in `format` leaves, each checked for codec and tags.
    void ExpectTracks(const FormatCase& format, int recordingNumber, const std::vector<double>& expected,
                      double tolerance) {
        const std::vector<std::string> files = FilesUnder(folder);
        ASSERT_EQ(files.size(), expected.size()) << format.option;
        double total = 0;
        for (size_t i = 0; i < files.size(); ++i) {
            SCOPED_TRACE(files[i]);
            EXPECT_TRUE(files[i].ends_with(format.extension));
            // The default template names the end time and length once the track is closed.
            EXPECT_FALSE(Contains(files[i], "？")) << "the track did not get its final name";
            EXPECT_TRUE(Contains(files[i], "Track00" + std::to_string(i + 1)));
            EXPECT_EQ(ProbeWithFfprobe(files[i]).codec, format.codec);
            ProbedFile probed = ProbeFile(files[i]);
            EXPECT_NEAR(probed.duration, expected[i], tolerance);
            total += probed.duration;
            EXPECT_TRUE(probed.tags["title"].starts_with("Title No00" + std::to_string(i + 1) + " - "))
                << probed.tags["title"];
            EXPECT_EQ(probed.tags["artist"], "Artist");
            EXPECT_EQ(probed.tags["album"], "Album No0" + std::to_string(recordingNumber));
            EXPECT_TRUE(probed.tags["comment"].starts_with("Comment ")) << probed.tags["comment"];
            EXPECT_FALSE(Contains(probed.tags["comment"], "？")) << "the comment is expanded with the end known";
        }
        double sum = 0;
        for (double seconds : expected) sum += seconds;
        EXPECT_NEAR(total, sum, tolerance * static_cast<double>(expected.size())) << format.option;
    }

    static constexpr const char* kProgram = VELSONA_REC_PATH;
    static LogindMock* s_logind;
    // The language velsona-rec speaks (shell assignments): English, as a C locale gets it, unless a
    // test asks for another.
    std::string childLanguage = "LANG=C.UTF-8 LANGUAGE= LC_ALL= LC_MESSAGES=";
    TempDir home;
    std::string folder;
};

LogindMock* HeadlessRecorder::s_logind = nullptr;

TEST_F(HeadlessRecorder, TimedIntervalRecordingWritesFourTaggedTracksInEachFormat) {
    // Each run is the next recording: the stored recording number grows from run to run.
    int recordingNumber = 0;
    for (const FormatCase& format : kFormats) {
        SCOPED_TRACE(format.option);
        ++recordingNumber;
        const std::string formatFolder = home / format.option;
        folder = formatFolder;
        const RunResult run = Run({"/S", "NOW", "/T", "MS=0:07", "--format", format.option, "--split", "interval",
                                   "--split-time", "0:00:02", "--folder", formatFolder});
        ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
        EXPECT_EQ(run.err, "");
        // Whole buffers of 100 ms make the timing exact for PCM; encoders pad to a frame or packet.
        // A WMA container also counts the silent priming frame and the last frame's padding
        // (2048 sample frames each at 44.1 kHz).
        const double tolerance = format.option == std::string("wav") ? 0.001
                                 : format.option == std::string("wma") ? 0.1
                                                                       : 0.06;
        ExpectTracks(format, recordingNumber, {2, 2, 2, 1}, tolerance);
        EXPECT_TRUE(Contains(run.out, "The duration is reached.")) << run.out;
        EXPECT_TRUE(Contains(run.out, "Stopped: 4 track(s).")) << run.out;
        for (const std::string& file : FilesUnder(formatFolder))
            EXPECT_TRUE(Contains(run.out, "Track file: " + file)) << "each finished file is printed";
    }
}

// SIGTERM, and the hang-up of an SSH logout, end the recording like Ctrl+C.
TEST_F(HeadlessRecorder, StopSignalsMidTrackLeaveTheLastTrackClosedTaggedAndRenamed) {
    const struct {
        int signal;
        const char* format;
        int formatCode;
        uintmax_t bytesPastASecond;  // header and 1.1 s or more of audio
    } cases[] = {{SIGTERM, "mp3", 3, 4096 + 20000}, {SIGHUP, "wav", 0, 44 + 200000}};
    int recordingNumber = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        folder = home / c.format;
        // Once the track (not the hidden disk reserve) holds more than a second, however slowly a
        // loaded machine records it.
        auto stopAfterAWhile = [&](pid_t pid) {
            for (const std::filesystem::path file : FilesUnder(folder)) {
                std::error_code error;
                if (file.filename().string()[0] == '.' || std::filesystem::file_size(file, error) < c.bytesPastASecond || error)
                    continue;
                kill(pid, c.signal);
                return true;
            }
            return false;
        };
        const RunResult run = Run({"--format", c.format, "--folder", folder}, kRealTimeSignal, stopAfterAWhile);
        ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
        EXPECT_TRUE(Contains(run.out, "Stopping")) << run.out;
        const std::vector<std::string> files = FilesUnder(folder);
        ASSERT_EQ(files.size(), 1u);
        EXPECT_FALSE(Contains(files[0], "？")) << files[0];
        ProbedFile probed = ProbeFile(files[0]);
        EXPECT_GT(probed.duration, 1.0) << "what was captured until the signal is in the file";
        EXPECT_LT(probed.duration, 5.0) << "the header holds the real sizes";
        EXPECT_TRUE(probed.tags["title"].starts_with("Title No001 - ")) << probed.tags["title"];
        EXPECT_FALSE(Contains(probed.tags["comment"], "？"));
        // The stored settings come back as left, with the recording number raised by the stop.
        const std::string settings = ReadFileBytes(home / ".config/MORV/VelsonaF.conf");
        EXPECT_TRUE(Contains(settings, "OUT_FILEFMT=" + std::to_string(c.formatCode))) << settings;
        EXPECT_TRUE(Contains(settings, "TRACK_RECNO=" + std::to_string(++recordingNumber))) << settings;
    }
}

// Rounds of four real-time recorders, one per format, each killed at its own random moment,
// then recovered by the next start with its own journal folder: every track decodes to within
// the bound of the time it recorded, carries its tags and its recovered name, and the dead
// recorder's journal and disk reserve are gone.
TEST_F(HeadlessRecorder, TracksLeftByKilledRecordersAreFinishedTaggedAndRenamedAtTheNextStart) {
    constexpr int kRounds = 5;
    std::random_device seed;
    std::mt19937 random(seed());
    // From 1.5 s on, well past the first pages and packets of every format.
    std::uniform_int_distribution<int> killAfterMs(1500, 3500);
    struct Recorder {
        const FormatCase* format = nullptr;
        std::string name, folder, state;
        int delayMs = 0;
        pid_t pid = 0;
        std::chrono::steady_clock::time_point spawned, started, killed;
    };
    std::map<std::string, double> worstShortfall;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<Recorder> recorders;
        for (const FormatCase& format : kFormats) {
            Recorder r;
            r.format = &format;
            r.name = format.option + std::to_string(round);
            r.delayMs = killAfterMs(random);
            r.folder = home / r.name;
            r.state = home / (r.name + "-state");
            r.spawned = std::chrono::steady_clock::now();
            r.pid = Spawn({"--format", format.option, "--folder", r.folder}, kRealTimeSignal, r.name, r.state);
            recorders.push_back(r);
        }
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        for (size_t left = recorders.size(); left > 0 && std::chrono::steady_clock::now() < deadline;) {
            std::this_thread::sleep_for(10ms);
            for (Recorder& r : recorders) {
                if (r.killed != std::chrono::steady_clock::time_point{}) continue;
                const auto now = std::chrono::steady_clock::now();
                if (r.started == std::chrono::steady_clock::time_point{}) {
                    if (Contains(ReadFileBytes(home / (r.name + ".out")), "Recording:")) r.started = now;
                } else if (now - r.started >= std::chrono::milliseconds(r.delayMs)) {
                    kill(r.pid, SIGKILL);
                    r.killed = now;
                    --left;
                }
            }
        }
        for (Recorder& r : recorders) {
            int status = 0;
            if (r.killed == std::chrono::steady_clock::time_point{}) kill(r.pid, SIGKILL);
            waitpid(r.pid, &status, 0);
            ASSERT_TRUE(WIFSIGNALED(status) && r.killed != std::chrono::steady_clock::time_point{})
                << r.name << " ended before its kill: " << ReadFileBytes(home / (r.name + ".err"));
        }

        for (const Recorder& r : recorders) {
            const FormatCase& format = *r.format;
            SCOPED_TRACE(r.name + " killed " + std::to_string(r.delayMs) + " ms in");
            // What the kill left: the provisional track, the reserve and the journal, all named
            // after the dead recorder.
            const std::string owner = std::to_string(r.pid) + ".";
            std::vector<std::string> files = FilesUnder(r.folder);
            std::erase_if(files, [&](const std::string& path) {
                return path.starts_with(r.folder + "/.velsona-space-reserve-" + owner);
            });
            ASSERT_EQ(files.size(), 1u) << "one track and the reserve";
            const std::string provisional = files[0];
            ASSERT_TRUE(Contains(provisional, "？")) << "the track was left unfinished";
            const auto journalsIn = [](const std::string& state) {
                std::vector<std::string> files = FilesUnder(state + "/velsona");
                std::erase_if(files, [](const std::string& path) { return !Contains(path, "/open-tracks."); });
                return files;
            };
            const std::vector<std::string> journals = journalsIn(r.state);
            ASSERT_EQ(journals.size(), 1u);
            EXPECT_TRUE(Contains(journals[0], "/open-tracks." + owner)) << journals[0];

            const RunResult next = Run({"--recover"}, kFastSignal, nullptr, kProgram, {}, r.state);
            ASSERT_EQ(next.exitCode, 0) << next.out << next.err;
            EXPECT_TRUE(journalsIn(r.state).empty()) << "no journal outlives its recovery";
            files = FilesUnder(r.folder);
            ASSERT_EQ(files.size(), 1u) << "nothing is deleted, nothing is added, the dead reserve is gone";
            const std::string& recovered = files[0];
            EXPECT_TRUE(Contains(next.out, "Recovered: " + provisional + " -> " + recovered)) << next.out << next.err;
            EXPECT_TRUE(Contains(ReadFileBytes(r.state + "/velsona/velsona.log"),
                                 "] info: The recording " + provisional + " left unfinished last time was finished and saved as: " +
                                     recovered))
                << "the log has it too";
            EXPECT_TRUE(recovered.ends_with(std::string(".recovered") + format.extension)) << recovered;
            EXPECT_FALSE(Contains(recovered, "？")) << recovered;
            const ProbedAudio audio = ProbeWithFfprobe(recovered);
            EXPECT_EQ(audio.codec, format.codec);
            ProbedFile probed = ProbeFile(recovered);
            EXPECT_TRUE(probed.tags["title"].starts_with("Title No001 - ")) << probed.tags["title"];
            EXPECT_EQ(probed.tags["artist"], "Artist");
            EXPECT_FALSE(Contains(probed.tags["comment"], "？")) << probed.tags["comment"];
            const std::string pcm = DecodeWithFfmpeg(recovered);
            ASSERT_GT(audio.channels * audio.sampleRate, 0);
            const double decoded = static_cast<double>(pcm.size()) / audio.channels / 2 / audio.sampleRate;
            // Recorded time as the recorder announced it: the loss is if anything understated.
            const double recorded = std::chrono::duration<double>(r.killed - r.started).count();
            const double shortfall = recorded - decoded;
            std::printf("[ kill     ] %-4s killed %.3f s in: %.3f s decode, %.3f s short\n", format.option, recorded,
                        decoded, shortfall);
            worstShortfall[format.option] = std::max(worstShortfall[format.option], shortfall);
            EXPECT_LT(shortfall, 0.5) << "what was encoded reached the file";
            // No audio the recorder could not have had in the time it ran.
            EXPECT_LT(decoded, std::chrono::duration<double>(r.killed - r.spawned).count());
        }
    }
    for (const auto& [format, shortfall] : worstShortfall)
        std::printf("[ kill     ] %-4s worst of %d kills: %.3f s short\n", format.c_str(), kRounds, shortfall);
}

// The output folder on a 256 KiB tmpfs (or, where mounting is not allowed, a file-size limit):
// in every format the track ends as a file that decodes to its end and whose container knows its
// length, and the run fails loudly.
TEST_F(HeadlessRecorder, AFullDiskEndsTheTrackWithAValidFileAndAFailingExit) {
    for (const FormatCase& format : kFormats) {
        SCOPED_TRACE(format.option);
        SmallFileSystem disk(256 * 1024);
        std::vector<std::string> wrapper;
        if (!disk.Mounted()) wrapper = {"prlimit", "--fsize=262144", "--"};
        const RunResult run = Run({"--format", format.option, "--folder", disk.path()}, kFastSignal, nullptr, kProgram,
                                  wrapper);
        const std::vector<std::string> files = FilesUnder(disk.path());
        ASSERT_EQ(files.size(), 1u) << run.out << run.err;
        ProbedFile probed = ProbeFile(files[0]);
        const double decoded = static_cast<double>(DecodedFrames(files[0], 2)) / format.decodedRate;

        EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
        EXPECT_TRUE(Contains(run.err, "warning: the output folder holds only")) << run.err;
        EXPECT_NE(run.err.find("velsona-rec: ", run.err.find("warning")), std::string::npos) << "the failure is told";
        EXPECT_EQ(ProbeWithFfprobe(files[0]).codec, format.codec);
        EXPECT_FALSE(Contains(files[0], "？")) << files[0];
        EXPECT_TRUE(DecodesCleanly(files[0]));
        EXPECT_GT(decoded, 0.5);
        EXPECT_NEAR(probed.duration, decoded, 0.3) << "the header was finished";
        // On a full file system the tags of the close, the end among them, go in place in the room
        // each writer left for them; a per-file size limit leaves no room at all.
        if (disk.Mounted()) {
            EXPECT_TRUE(probed.tags["title"].starts_with("Title No001 - ")) << probed.tags["title"];
            EXPECT_FALSE(probed.tags["comment"].empty() || Contains(probed.tags["comment"], "？"))
                << probed.tags["comment"];
        }
    }
}

// Under systemd standard error is the journal: every log entry goes there with its priority and
// a problem is told once. Anywhere else (here JOURNAL_STREAM names another file, as a program a
// service started sees it) the output stays as it always was. The log file has it either way.
TEST_F(HeadlessRecorder, LogEntriesGoToTheJournalWithPrioritiesOnlyWhenStandardErrorIsIt) {
    for (const bool journal : {true, false}) {
        SCOPED_TRACE(journal ? "journal" : "another file");
        SmallFileSystem disk(256 * 1024);
        // Made first, so the stream's device and inode are known; the run truncates, keeping them.
        WriteFileBytes(home / "run.err", "");
        WriteFileBytes(home / "run.out", "");
        struct stat named {};
        ASSERT_EQ(stat((home / (journal ? "run.err" : "run.out")).c_str(), &named), 0);
        std::vector<std::string> wrapper = {"env", "JOURNAL_STREAM=" + std::to_string(named.st_dev) + ":" +
                                                       std::to_string(named.st_ino)};
        if (!disk.Mounted()) wrapper.insert(wrapper.end(), {"prlimit", "--fsize=262144", "--"});
        TempDir state;
        const RunResult run =
            Run({"--format", "wav", "--folder", disk.path()}, kFastSignal, nullptr, kProgram, wrapper, state.path());
        EXPECT_EQ(run.exitCode, 1) << run.err;
        const std::string logged = ReadFileBytes(state / "velsona/velsona.log");
        EXPECT_TRUE(Contains(logged, "] error: Writing to the file failed, so the track was closed")) << logged;
        size_t told = 0;
        for (size_t at = run.err.find("Writing to the file failed"); at != std::string::npos;
             at = run.err.find("Writing to the file failed", at + 1))
            ++told;
        EXPECT_EQ(told, 1u) << run.err;
        if (journal) {
            EXPECT_TRUE(Contains(run.err, "<6>Recording No.01 started (WAV ")) << run.err;
            EXPECT_TRUE(Contains(run.err, "<6>Track 1 opened: ")) << run.err;
            EXPECT_TRUE(Contains(run.err, "\n<3>Writing to the file failed, so the track was closed")) << run.err;
            EXPECT_TRUE(Contains(run.err, "\n<6>The recording stopped (total time ")) << run.err;
        } else {
            EXPECT_FALSE(Contains(run.err, "<3>") || Contains(run.err, "<6>")) << run.err;
            EXPECT_TRUE(Contains(run.err, "velsona-rec: Writing to the file failed, so the track was closed")) << run.err;
        }
    }
}

TEST_F(HeadlessRecorder, WhatCannotWorkIsRefusedBeforeRecording) {
    const RunResult device = Run({"--device", "7", "--folder", folder});
    EXPECT_EQ(device.exitCode, 1);
    EXPECT_TRUE(Contains(device.err, "there is no input device 7")) << device.err;

    WriteFileBytes(home / "plain-file", "x");
    const RunResult unwritable = Run({"--folder", home / "plain-file/rec"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(Contains(unwritable.err, "cannot create the output folder")) << unwritable.err;

    const RunResult quality = Run({"--format", "wav", "--quality", "12", "--folder", folder});
    EXPECT_EQ(quality.exitCode, 2);
    EXPECT_TRUE(Contains(quality.err, "not a row of the WAV quality table (0 to 11)")) << quality.err;
    const RunResult format = Run({"--format", "aiff"});
    EXPECT_EQ(format.exitCode, 2);
    EXPECT_TRUE(Contains(format.err, "invalid value for --format")) << format.err;
    const RunResult capture = Run({"--capture", "signal:tone=loud"});
    EXPECT_EQ(capture.exitCode, 2);
    EXPECT_TRUE(Contains(capture.err, "no capture backend")) << capture.err;
    // Sound is told from silence by the silence split's thresholds and length alone.
    const RunResult skip = Run({"--skip-silence", "--split", "interval", "--folder", folder});
    EXPECT_EQ(skip.exitCode, 2);
    EXPECT_TRUE(Contains(skip.err, "--skip-silence goes with --split silence")) << skip.err;

    EXPECT_TRUE(FilesUnder(folder).empty()) << "nothing was recorded";
    EXPECT_FALSE(PathExists(home / ".config/MORV/VelsonaF.conf")) << "a refused run changes no settings";
}

// A copy of the program without some of its modules beside it, as on a machine without them, nor
// its translation (it says so and goes on in Japanese): a preset naming a format whose encoder is
// missing records the fall-back format and says why; without the comment module the Ogg tracks
// keep their audio, one warning names the module, and every finished track is printed with its length.
struct LonelyCase {
    const char* name;
    const char* format;  // stored in the preset
    const char* modules;  // copied beside the program
    const char* told;     // the warning names it
    int exitCode;         // tracks left without their comments make it 1
};

class HeadlessRecorderAlone : public HeadlessRecorder, public testing::WithParamInterface<LonelyCase> {};

TEST_P(HeadlessRecorderAlone, RecordsOggVorbisAndTellsWhatIsMissing) {
    const LonelyCase& c = GetParam();
    const std::string alone = home / "alone";
    std::string copy = "mkdir -p " + ShellQuote(alone) + " " + ShellQuote(home / ".config/MORV") + " && cp " + ShellQuote(kProgram);
    std::istringstream modules(c.modules);
    for (std::string module; modules >> module;)
        copy += " " + ShellQuote((std::filesystem::path(kProgram).parent_path() / module).string());
    ASSERT_EQ(RunProcess(copy + " " + ShellQuote(alone)).exitCode, 0);
    const std::string conf = home / ".config/MORV/VelsonaF.conf";
    WriteFileBytes(conf, std::string("[SETTING]\nbroadcast\\OUT_FILEFMT=") + c.format + "\nbroadcast\\OUT_FILENAME=take-%TKN%." +
                             (c.format == std::string("3") ? "mp3" : c.format == std::string("1") ? "wma" : "ogg") + "\n");

    const RunResult run = Run({"/P", "broadcast", "/S", "NOW", "/T", "MS=0:04", "--split", "interval", "--split-time",
                               "0:00:02", "--folder", folder},
                              kFastSignal, nullptr, alone + "/velsona-rec");
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    EXPECT_TRUE(Contains(run.err, "velsona-rec: cannot read the translation velsona_en.qm")) << run.err;
    const size_t told = run.err.find(c.told);
    EXPECT_NE(told, std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(c.told, run.err.find('\n', told)), std::string::npos) << "told once: " << run.err;
    const std::vector<std::string> files = FilesUnder(folder);
    ASSERT_EQ(files.size(), 2u);
    for (const std::string& file : files) {
        EXPECT_TRUE(file.ends_with(".ogg")) << file;
        EXPECT_EQ(ReadFileBytes(file).substr(0, 4), "OggS") << file;
        const size_t line = run.out.find(file + " (");
        ASSERT_NE(line, std::string::npos) << run.out;
        EXPECT_TRUE(Contains(run.out.substr(line, run.out.find('\n', line) - line), "0:02)")) << run.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modules, HeadlessRecorderAlone,
    testing::Values(LonelyCase{"NoMp3Encoder", "3", "vorbisdec.so", "lame_enc.so", 0},
                    LonelyCase{"NoWmaEncoder", "1", "vorbisdec.so", "WMAENC.so", 0},
                    LonelyCase{"NoCommentModule", "2", "", "vorbisdec.so", 1}),
    [](const testing::TestParamInfo<LonelyCase>& info) { return info.param.name; });

// A preset named on the command line that does not exist is refused unless it is to be made;
// the default preset never takes the values of such a run, and problems in the file are told.
TEST_F(HeadlessRecorder, AMissingPresetIsRefusedOrMadeAndTheDefaultPresetKeepsItsValues) {
    const std::string conf = home / ".config/MORV/VelsonaF.conf";
    ASSERT_EQ(RunProcess("mkdir -p " + ShellQuote(home / ".config/MORV")).exitCode, 0);
    WriteFileBytes(conf, "[SETTING]\n%28%U30C7%U30D5%U30A9%U30EB%U30C8%U8A2D%U5B9A%29\\OUT_FILEFMT=2\n"
                         "%28%U30C7%U30D5%U30A9%U30EB%U30C8%U8A2D%U5B9A%29\\OUT_QUALITY=99999\n");
    const RunResult refused = Run({"/P", "studio", "/T", "MS=0:01", "--folder", folder});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(Contains(refused.err, "there is no preset \"studio\"")) << refused.err;
    EXPECT_TRUE(FilesUnder(folder).empty());

    const RunResult made = Run({"/P", "studio", "--create-preset", "/T", "MS=0:01", "--folder", folder});
    ASSERT_EQ(made.exitCode, 0) << made.out << made.err;
    const std::string stored = ReadFileBytes(conf);
    EXPECT_TRUE(Contains(stored, "studio\\OUT_FOLDER=" + folder)) << stored;
    EXPECT_TRUE(Contains(stored, "HISTORY_1=studio")) << stored;
    EXPECT_TRUE(Contains(stored, "%28%U30C7%U30D5%U30A9%U30EB%U30C8%U8A2D%U5B9A%29\\OUT_FILEFMT=2")) << stored;

    // The default preset's Ogg format stays; its impossible quality row is told and replaced.
    const RunResult fallback = Run({"/T", "MS=0:01", "--folder", folder});
    ASSERT_EQ(fallback.exitCode, 0) << fallback.out << fallback.err;
    EXPECT_TRUE(Contains(fallback.err, "warning: preset \"(Default settings)\": OUT_QUALITY=99999")) << fallback.err;
    EXPECT_TRUE(Contains(fallback.out, "output: OGG")) << fallback.out;
    EXPECT_FALSE(Contains(fallback.out, "-1.0 hours")) << fallback.out;
}

// Keeping recordings from the command line: both settings stored with the preset, in gigabytes or
// megabytes; a size or a count it cannot be is refused before anything is recorded.
TEST_F(HeadlessRecorder, KeepDaysAndKeepFreeAreStoredWithThePresetAndCheckedFirst) {
    for (const auto& bad : std::vector<std::vector<std::string>>{
             {"--keep-free", "2T"}, {"--keep-free", "-1"}, {"--keep-free", "1.5M"}, {"--keep-days", "-1"}, {"--keep-days", "x"}}) {
        const RunResult refused = Run({bad[0], bad[1], "/T", "MS=0:01", "--folder", folder});
        EXPECT_EQ(refused.exitCode, 2) << bad[0] << " " << bad[1];
        EXPECT_TRUE(Contains(refused.err, bad[0])) << refused.err;
    }
    EXPECT_TRUE(FilesUnder(folder).empty());
    const std::string conf = home / ".config/MORV/VelsonaF.conf";
    const std::string preset = "%28%U30C7%U30D5%U30A9%U30EB%U30C8%U8A2D%U5B9A%29\\";
    for (const auto& [size, megabytes] : {std::pair{"1.5", "1536"}, {"500M", "500"}, {"20G", "20480"}}) {
        const RunResult run = Run({"--keep-days", "90", "--keep-free", size, "/T", "MS=0:01", "--folder", folder});
        ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
        const std::string stored = ReadFileBytes(conf);
        EXPECT_TRUE(Contains(stored, preset + "KEEP_DAYS=90")) << stored;
        EXPECT_TRUE(Contains(stored, preset + "KEEP_FREE_MB=" + megabytes)) << stored;
    }
}

// Every schedule word that has no effect is told before the start; a start time that does not
// parse refuses the run, since starting at once is not what was asked for.
TEST_F(HeadlessRecorder, IgnoredWordsAreToldAndABadStartRefuses) {
    for (const char* start : {"HM=21:60", "tomorrow"}) {
        const RunResult refused = Run({"/S", start, "/T", "MS=0:01", "--folder", folder});
        EXPECT_EQ(refused.exitCode, 2) << start;
        EXPECT_TRUE(Contains(refused.err, "/S \"" + std::string(start) + "\" is not a start time")) << refused.err;
        EXPECT_FALSE(Contains(refused.out, "Recording:")) << refused.out;
    }
    EXPECT_TRUE(FilesUnder(folder).empty());

    // The template climbs out through a token and both separators: the file stays inside.
    const RunResult run = Run({"/S", "NOW", "/T", "MS=0:01", "/T", "MS=-1:00", "/T", "MS=", "/E", "reboot",
                               "--template", "%TDY%/..\\../x", "--folder", folder});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    for (const char* told : {"/T \"MS=-1:00\" is ignored", "/T \"MS=\" is ignored", "/E \"reboot\" is ignored",
                             "so they are saved as full-width dots: %TDY%/..\\../x"})
        EXPECT_TRUE(Contains(run.err, told)) << told << "\n" << run.err;
    const std::vector<std::string> files = FilesUnder(home.path());
    const auto outside = std::find_if(files.begin(), files.end(), [](const std::string& f) { return f.ends_with("x.wav"); });
    ASSERT_NE(outside, files.end());
    EXPECT_TRUE(outside->starts_with(folder + "/")) << *outside;
    EXPECT_TRUE(outside->ends_with("/．．/．．/x.wav")) << *outside;
}

TEST_F(HeadlessRecorder, ListsDevicesAndHelps) {
    const RunResult devices = Run({"--list-devices"});
    EXPECT_EQ(devices.exitCode, 0);
    EXPECT_TRUE(Contains(devices.out, "Input devices (signal):")) << devices.out;
    EXPECT_TRUE(Contains(devices.out, "  -1  Signal (tone=1000hz/-6db/2s,silence=1s,loop,fast)")) << devices.out;

    const RunResult help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"/S NOW", "/T MS=90:00", "--list-devices", "--split-time", "--ogg-quality", "--template",
                               "--reconnect", "--skip-silence", "--pre-roll", "--align-to-clock"})
        EXPECT_TRUE(Contains(help.out, option)) << option;
    EXPECT_EQ(Run({"--nonsense"}).exitCode, 2);
}

// --align-to-clock cuts interval splits where the wall clock reads a multiple of the interval and
// is kept in the preset; --no-align-to-clock turns it off again; as a switch it takes no value.
TEST_F(HeadlessRecorder, AlignToClockCutsOnTheClockAndIsKeptInThePreset) {
    const RunResult run = Run({"--align-to-clock", "--split", "interval", "--split-time", "0:0:2", "--template",
                               "%SNW%-%ENW%", "/P", "clock", "--create-preset", "/T", "MS=0:05", "--folder", folder},
                              kRealTimeSignal);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    std::vector<std::string> names;
    for (const std::string& file : FilesUnder(folder)) names.push_back(file.substr(file.rfind('/') + 1));
    std::sort(names.begin(), names.end());
    ASSERT_GE(names.size(), 3u);
    // "HH：MM：SS-HH：MM：SS.wav": every boundary between two tracks falls on an even second.
    const auto second = [](const std::string& name, size_t at) { return std::stoi(name.substr(at, 2)); };
    const size_t startSecond = std::string("00：00：").size(), endSecond = std::string("00：00：00-00：00：").size();
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            EXPECT_EQ(second(names[i], startSecond) % 2, 0) << names[i];
        }
        if (i + 1 < names.size()) {
            EXPECT_EQ(second(names[i], endSecond) % 2, 0) << names[i];
        }
    }
    const std::string conf = home / ".config/MORV/VelsonaF.conf";
    EXPECT_TRUE(Contains(ReadFileBytes(conf), "clock\\TRACK_SPLITONCLOCK=1")) << ReadFileBytes(conf);

    ASSERT_EQ(Run({"/P", "clock", "--no-align-to-clock", "/T", "MS=0:01", "--folder", folder}).exitCode, 0);
    EXPECT_TRUE(Contains(ReadFileBytes(conf), "%29\\TRACK_SPLITONCLOCK=0")) << "the default preset keeps the run's";
    EXPECT_EQ(Run({"--align-to-clock=yes"}).exitCode, 2);
}

// An input that fails mid-recording: without --reconnect the recording stops there, says why and
// exits with 1, as it always did; with it, the track closes, the recording waits, and the next
// track begins once the input is back. Audio is missing either way, so the exit status is 1.
TEST_F(HeadlessRecorder, ALostInputStopsTheRecordingUnlessItIsWaitedFor) {
    const struct {
        const char* name;
        std::vector<std::string> options;
        size_t tracks;
        const char* said;
    } cases[] = {{"off", {}, 1, "The input from the recording device was lost: the signal dropped out"},
                 {"on", {"--reconnect"}, 2, "returned. The recording goes on from track 2."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        folder = home / c.name;
        std::vector<std::string> arguments{"--format", "wav", "--folder", folder};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const RunResult run = Run(arguments, "signal:tone=1000hz/-6db/2s,silence=1s,loop,length=3s,fast,drop=300ms@1s");
        EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
        EXPECT_TRUE(Contains(run.out + run.err, c.said)) << run.out << run.err;
        EXPECT_EQ(FilesUnder(folder).size(), c.tracks);
        EXPECT_TRUE(Contains(run.out, "Stopped: " + std::to_string(c.tracks) + " track(s).")) << run.out;
        if (c.tracks == 1) continue;
        // Through a pipe the status is a line a minute, but the wait's beginning and end are told
        // at once, one line each: the wait, then the recording's status again.
        const size_t wait = run.out.find("\n… Waiting for the input since ");
        ASSERT_NE(wait, std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("Waiting for the input since ", wait + 10), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("\n● Track (2) time ", wait), std::string::npos) << run.out;
    }
}

// The end action runs after a duration-reached stop, against the stand-in, with the sleep
// inhibitor released first; a countdown to a start time a moment ahead precedes it.
TEST_F(HeadlessRecorder, ScheduledStartAndEndActionAfterTheDuration) {
    const std::time_t start = std::time(nullptr) + 2;
    std::tm fields{};
    localtime_r(&start, &fields);
    char when[48];
    std::strftime(when, sizeof when, "YMDHMS=%Y/%m/%d %H:%M:%S", &fields);
    const size_t callsBefore = s_logind->Calls().size();
    const RunResult run = Run({"--start", when, "--duration", "MS=0:01", "--end-action", "suspend", "--folder", folder});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(Contains(run.out, "Waiting to start at ")) << run.out;
    EXPECT_TRUE(Contains(run.out, "End action: Standby")) << run.out;
    EXPECT_EQ(FilesUnder(folder).size(), 1u);
    std::vector<std::string> calls = s_logind->Calls();
    calls.erase(calls.begin(), calls.begin() + static_cast<long>(callsBefore));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "Suspend False");
    EXPECT_EQ(calls[calls.size() - 2], "CanSuspend");
    EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [](const std::string& c) { return c.starts_with("Inhibit"); }))
        << "the recording held a sleep inhibitor";
}

// One format per case, so the formats' long runs share the test run's cores.
class HeadlessRecorderKilled : public HeadlessRecorder, public testing::WithParamInterface<size_t> {};

// A kill at any instant of finishing a long track, or of recovering it, costs it nothing: after
// `--recover`, track 1 decodes to the audio a run that was never stopped gives it. The recorder
// stops itself at each named step of finishing (VELSONA_TEST_STOP_AT); what is on disk while it
// is stopped is what a SIGKILL there leaves, so each stop is saved and recovered on its own while
// the same run goes on to give the uninterrupted track. The recovery is killed for real at its
// own steps and run again.
TEST_P(HeadlessRecorderKilled, AKillAnywhereInFinishingOrRecoveryLeavesTrackOneAsAnUninterruptedRunHasIt) {
    constexpr int kTrackMinutes = 20;
    // Each format's smallest rate, in the order of kFormats: 20 minutes encode quickly.
    const char* const kSmallestQuality[] = {"11", "35", "11", "32", "107", "19"};
    static_assert(std::size(kSmallestQuality) == std::size(kFormats));
    struct Case {
        const FormatCase& format;
        const char* quality;
        std::vector<std::string> finishSteps, recoverySteps;  // track 1's, in the order they come
    };
    const Case c{kFormats[GetParam()], kSmallestQuality[GetParam()],
                 {"finishing", "tagging", "naming", "named"},
                 {"recovery-ended", "tagging", "recovery-naming", "recovery-named"}};
    const auto copyTree = [](const std::string& from, const std::string& to) {
        return RunProcess("rm -rf " + ShellQuote(to) + " && cp -a " + ShellQuote(from) + " " + ShellQuote(to)).exitCode == 0;
    };
    const auto audioOf = [](const std::string& path) {
        return RunProcess("ffmpeg -v error -i " + ShellQuote(path) + " -map 0:a:0 -f md5 -").output;
    };
    // Stops at the steps, reports each with the step it holds; false once the process is gone.
    const auto nextStop = [&](pid_t pid, const std::string& errFile, std::string& step) {
        int status = 0;
        // A guard against a hang, not a bound on speed: 20 minutes of MP3 take a loaded machine long.
        const auto deadline = std::chrono::steady_clock::now() + 600s;
        for (;;) {
            const pid_t got = waitpid(pid, &status, WNOHANG | WUNTRACED);
            if (got == pid && WIFSTOPPED(status)) {
                const std::string err = ReadFileBytes(errFile);
                const size_t at = err.rfind("stopped at ");
                step = at == std::string::npos ? "" : err.substr(at + 11, err.find('\n', at) - at - 11);
                return true;
            }
            if (got == pid) return false;
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << "velsona-rec did not stop or end within 600 s";
                return false;
            }
            std::this_thread::sleep_for(5ms);
        }
    };
    const auto began = std::chrono::steady_clock::now();
    folder = home / c.format.option;
    const std::string state = home / (std::string(c.format.option) + "-state");
    const auto trackOne = [&] {
        for (const std::string& file : FilesUnder(folder))
            if (Contains(file, "Track001") && !file.ends_with(".vctemp")) return file;
        return std::string();
    };
    const auto restore = [&](const std::string& snapshot) {
        return copyTree(snapshot + "/tracks", folder) && copyTree(snapshot + "/state", state);
    };
    const auto expectRecovered = [&](const std::string& instant, const std::string& expected) {
        SCOPED_TRACE(instant);
        const RunResult recovery = Run({"--recover"}, kFastSignal, nullptr, kProgram, {}, state);
        EXPECT_EQ(recovery.exitCode, 0) << recovery.out << recovery.err;
        const std::string track = trackOne();
        ASSERT_FALSE(track.empty()) << recovery.out;
        EXPECT_EQ(audioOf(track), expected) << track;
        EXPECT_FALSE(Contains(track, "？")) << track;
        for (const std::string& file : FilesUnder(folder)) EXPECT_FALSE(file.ends_with(".vctemp")) << file;
        for (const std::string& file : FilesUnder(state + "/velsona"))
            EXPECT_FALSE(Contains(file, "/open-tracks.")) << "no journal outlives its recovery: " << file;
    };

    // One run of 20 minutes and 2 seconds, split at 20 minutes, stopping at every step.
    const std::string minutes = std::to_string(kTrackMinutes);
    setenv("VELSONA_TEST_STOP_AT", "finishing,tagging,rewrite-renaming,naming,named", 1);
    const pid_t pid = Spawn({"/S", "NOW", "/T", "MS=" + minutes + ":02", "--format", c.format.option, "--quality",
                             c.quality, "--split", "interval", "--split-time", "0:" + minutes + ":00", "--folder", folder},
                            kFastSignal, "stops", state);
    unsetenv("VELSONA_TEST_STOP_AT");
    std::vector<std::string> stops;
    for (std::string step; nextStop(pid, home / "stops.err", step);) {
        // Track 1's steps come first; track 2 closes at the end of the run and stops again.
        if (stops.size() < c.finishSteps.size()) {
            const std::string snapshot = home / ("snap-" + std::to_string(stops.size()));
            ASSERT_TRUE(RunProcess("mkdir -p " + ShellQuote(snapshot)).exitCode == 0);
            ASSERT_TRUE(copyTree(folder, snapshot + "/tracks") && copyTree(state, snapshot + "/state"));
            stops.push_back(step);
        }
        kill(pid, SIGCONT);
    }
    ASSERT_EQ(stops, c.finishSteps) << ReadFileBytes(home / "stops.err");
    const std::string uninterrupted = audioOf(trackOne());
    ASSERT_TRUE(Contains(uninterrupted, "MD5=")) << trackOne();

    for (size_t i = 0; i < stops.size(); ++i) {
        ASSERT_TRUE(restore(home / ("snap-" + std::to_string(i))));
        expectRecovered("killed at " + stops[i], uninterrupted);
    }
    // The recovery of a track killed as its finishing began, killed in turn at each step.
    for (const std::string& step : c.recoverySteps) {
        ASSERT_TRUE(restore(home / "snap-0"));
        setenv("VELSONA_TEST_STOP_AT", step.c_str(), 1);
        const pid_t recovery = Spawn({"--recover"}, kFastSignal, "recovery", state);
        unsetenv("VELSONA_TEST_STOP_AT");
        std::string stoppedAt;
        const bool stopped = nextStop(recovery, home / "recovery.err", stoppedAt);
        EXPECT_TRUE(stopped && stoppedAt == step) << ReadFileBytes(home / "recovery.err");
        if (stopped) {
            kill(recovery, SIGKILL);
            waitpid(recovery, nullptr, 0);
        }
        expectRecovered("recovery killed at " + step, uninterrupted);
    }
    std::printf("[ untorn   ] %-4s %zu kills in finishing, %zu in recovery: %.1f s\n", c.format.option,
                stops.size(), c.recoverySteps.size(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
}

INSTANTIATE_TEST_SUITE_P(Formats, HeadlessRecorderKilled, testing::Range<size_t>(0, std::size(kFormats)),
                         [](const testing::TestParamInfo<size_t>& info) { return kFormats[info.param].option; });

}  // namespace

namespace {

// One second recorded into "take<length>.wav" unless the case says otherwise; "{home}" in an
// argument is the test's home.
struct NameCase {
    const char* label;
    std::vector<std::string> arguments;
    int exitCode;
    std::string file;  // the one file left, below the home; empty: none
    const char* told;  // on stderr
};

const NameCase kNameCases[] = {
    // Control characters become U+FFFD, as bytes that are not UTF-8 do; a tab keeps its full-width space.
    {"ControlCharacters",
     {"--template", "a\nb\x1b[1mc\x7f" "d\xC2\x9B" "e\t%TLN%", "--folder", "{home}/rec"},
     0,
     "rec/a\uFFFDb\uFFFD[1mc\uFFFDd\uFFFDe\u30000：01.wav",
     nullptr},
    // Too long only once the end is known: the template's words are cut to fit, its values and
    // the extension kept, no fallback name.
    {"NameTooLongAtTheClose",
     {"--template", std::string(200, 'n') + "%ETM2%%ETM2%%ETM2%%ETM2%%ETM2%%ETM2%%ETM2%%ETM2%", "--folder",
      "{home}/rec"},
     0,
     "rec/" + std::string(131, 'n') + "0：00：010：00：010：00：010：00：010：00：010：00：010：00：010：00：01.wav",
     nullptr},
    // Legal on Linux: the folder is used as typed; only generated names get full-width forms.
    {"FolderAsTyped", {"--template", "a:b?%TLN%", "--folder", "{home}/rec:1?\"x\""}, 0, "rec:1?\"x\"/a：b？0：01.wav",
     nullptr},
    // A backslash separates folders, as in templates: the folder used is shown and the user told.
    {"FolderWithABackslash", {"--template", "take%TLN%", "--folder", "{home}/a\\b"}, 0, "a/b/take0：01.wav",
     "is taken as a folder separator; the recording is saved in this folder: {home}/a/b"},
    // Refused: no level of it is left behind.
    {"FolderTooLong",
     {"--template", "take%TLN%", "--folder", "{home}/deep" + [] {
          std::string levels;
          for (int i = 0; i < 20; ++i) levels += "/" + std::string(250, 'd');
          return levels;
      }()},
     1, "", "cannot create the output folder"},
    // A stray path is a word that is ignored, never "/T".
    {"StrayPath", {"/tmp/stray.wav", "--template", "take%TLN%", "--folder", "{home}/rec"}, 0, "rec/take0：01.wav",
     "\"/tmp/stray.wav\" is ignored"},
};

std::string WithHome(std::string text, const std::string& home) {
    for (size_t at; (at = text.find("{home}")) != std::string::npos;) text.replace(at, 6, home);
    return text;
}

class HeadlessRecorderNames : public HeadlessRecorder, public testing::WithParamInterface<NameCase> {};

TEST_P(HeadlessRecorderNames, TrackNamesAndFoldersAreWhatTheUserGaveOrToldOf) {
    const NameCase& c = GetParam();
    std::vector<std::string> arguments{"/S", "NOW", "/T", "MS=0:01", "--format", "wav"};
    for (const std::string& argument : c.arguments) arguments.push_back(WithHome(argument, home.path()));
    const RunResult run = Run(arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    if (c.told) {
        EXPECT_TRUE(Contains(run.err, WithHome(c.told, home.path()))) << run.err;
    }

    // Everything the run left in the home but its settings, state and output: the file and its
    // folders, or nothing at all.
    std::vector<std::string> left, expected;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home.path())) {
        const std::string path = entry.path().string().substr(home.path().size() + 1);
        if (!path.starts_with(".") && !path.starts_with("run.")) left.push_back(path);
    }
    std::sort(left.begin(), left.end());
    for (size_t slash = c.file.find('/'); slash != std::string::npos; slash = c.file.find('/', slash + 1))
        expected.push_back(c.file.substr(0, slash));
    if (!c.file.empty()) expected.push_back(c.file);
    EXPECT_EQ(left, expected);
    if (c.file.empty()) return;
    EXPECT_TRUE(Contains(run.out, "Track file: " + home / c.file)) << run.out;
    EXPECT_NEAR(ProbeFile(home / c.file).duration, 1.0, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Cases, HeadlessRecorderNames, testing::ValuesIn(kNameCases),
                         [](const testing::TestParamInfo<NameCase>& info) { return info.param.label; });

// What velsona-rec says, said in one language: an English user reads no Japanese and a Japanese
// user no English sentence, whatever the run meets. What must be there (an option, a path) is
// there in both.
struct SpokenCase {
    const char* label;
    std::vector<std::string> arguments;
    const char* capture;
    int exitCode;
    const char* shown;  // "{home}" is the test's home
};

const SpokenCase kSpokenCases[] = {
    {"Help", {"--help"}, kFastSignal, 0, "--end-action"},
    {"BadOption", {"--bogus"}, kFastSignal, 2, "--bogus"},
    {"FolderThatCannotBeMade", {"--folder", "/proc/velsona/rec"}, kFastSignal, 1, "/proc/velsona/rec"},
    {"MissingDevice", {"--device", "7", "--folder", "{home}/rec"}, kFastSignal, 1, " 7 "},
    {"ShortRecording", {"--format", "wav", "--folder", "{home}/rec", "--template", "take%TKN%"},
     "signal:tone=1000hz/-6db/1s,fast", 0, "{home}/rec/take001.wav"},
};

class HeadlessRecorderLanguage : public HeadlessRecorder,
                                 public testing::WithParamInterface<std::tuple<Language, SpokenCase>> {};

TEST_P(HeadlessRecorderLanguage, SaysEverythingInTheUsersLanguage) {
    const auto& [language, c] = GetParam();
    childLanguage = UserLanguage::ChildEnvironment(language);
    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments) arguments.push_back(WithHome(argument, home.path()));
    const RunResult run = Run(arguments, c.capture);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    std::string said = run.out + run.err;
    EXPECT_TRUE(Contains(said, WithHome(c.shown, home.path()))) << said;
    if (language == Language::kEnglish) {
        EXPECT_FALSE(HasJapanese(said)) << said;
    } else {
        EXPECT_TRUE(HasJapanese(said)) << said;
        // What is typed is no sentence in any language: the program's name before its messages,
        // an option's spelling with the values it takes ("--split manual|interval|silence").
        static const std::regex typed("velsona-rec: |(--[a-z][a-z-]*|/[STEP])( [a-z0-9][-a-z0-9|:=./@,]*)?");
        EXPECT_FALSE(HasEnglishSentence(std::regex_replace(said, typed, " "))) << said;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HeadlessRecorderLanguage,
                         testing::Combine(testing::Values(Language::kEnglish, Language::kJapanese),
                                          testing::ValuesIn(kSpokenCases)),
                         [](const testing::TestParamInfo<std::tuple<Language, SpokenCase>>& info) {
                             return std::string(std::get<0>(info.param) == Language::kEnglish ? "English" : "Japanese") +
                                    std::get<1>(info.param).label;
                         });

}  // namespace
