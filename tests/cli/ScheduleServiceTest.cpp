// The schedule end to end: velsona-rec's --schedule-* options against a private systemd user
// manager, timers that fire and record with their entry's preset, late and missed starts, the
// desktop told of a failure, and bad input that changes nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "schedule/ScheduleEntry.h"
#include "schedule/ScheduleLog.h"
#include "schedule/ScheduleUnits.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/LogindMock.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserManager.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kSignal = "signal:tone=440hz/-12db/1s,silence=500ms,loop";

std::string LogPath() { return std::string(std::getenv("XDG_STATE_HOME")) + "/velsona/schedule.log"; }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string LocalText(std::time_t time, const char* format) {
    std::tm fields{};
    localtime_r(&time, &fields);
    char text[64];
    std::strftime(text, sizeof text, format, &fields);
    return text;
}

// The files under a folder with their bytes: what "changes nothing" compares.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const std::string& path : FilesUnder(folder)) files[path] = ReadFileBytes(path);
    return files;
}

class ScheduleService : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_home = new TempDir();
        setenv("HOME", s_home->path().c_str(), 1);
        setenv("XDG_MUSIC_DIR", (*s_home / "Music").c_str(), 1);
        setenv("LANG", "C.UTF-8", 1);
        unsetenv("LANGUAGE");
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        setenv("VELSONA_CAPTURE", kSignal, 1);
        // The manager takes this environment for the services it starts.
        s_manager = new PrivateUserManager();
    }
    static void TearDownTestSuite() {
        delete s_manager;
        delete s_home;
    }

    void SetUp() override { ASSERT_EQ(s_manager->error(), ""); }

    void TearDown() override {
        // Each test leaves no entry behind for the next.
        for (const std::string& name : added) Rec({"--schedule-remove", name});
    }

    static ProcessResult Rec(const std::vector<std::string>& arguments, const std::string& environment = {}) {
        std::string command = environment + " " + ShellQuote(VELSONA_REC_PATH);
        for (const std::string& argument : arguments) command += " " + ShellQuote(argument);
        return RunProcess(command + " 2>&1");
    }

    // A preset recording FLAC into `folder` with tags of its own, made by a short run
    // whose files are removed.
    void MakePreset(const std::string& name, const std::string& folder) {
        const ProcessResult made = Rec({"/P", name, "--create-preset", "/T", "MS=0:01", "--folder", folder, "--format", "flac",
                                        "--title", "Scheduled %TKN%", "--artist", "Velsona schedule"});
        ASSERT_EQ(made.exitCode, 0) << made.output;
        std::filesystem::remove_all(folder);
    }

    ProcessResult Add(const std::string& name, const std::string& preset, const std::string& when, const std::string& duration) {
        const ProcessResult result = Rec({"--schedule-add", name, "--preset", preset, "--when", when, "--duration", duration});
        if (result.exitCode == 0) added.push_back(name);
        return result;
    }

    // Waits for the entry's run to end; its last result then.
    static std::optional<ScheduleResult> RunEnded(const std::string& name, std::chrono::seconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const std::optional<ScheduleResult> last = LastScheduleResult(name, LogPath());
            if ((last && last->outcome != ScheduleOutcome::Started) || std::chrono::steady_clock::now() > deadline) return last;
            std::this_thread::sleep_for(200ms);
        }
    }

    static std::string UnitFolder() { return s_manager->ConfigHome() + "/systemd/user"; }
    static std::string ScheduleFile() { return s_manager->ConfigHome() + "/velsona/schedule.conf"; }

    static TempDir* s_home;
    static PrivateUserManager* s_manager;
    std::vector<std::string> added;
    TempDir dir;
};

TempDir* ScheduleService::s_home = nullptr;
PrivateUserManager* ScheduleService::s_manager = nullptr;

TEST_F(ScheduleService, AnEntryAheadFiresItsTimerAndRecordsWithItsPreset) {
    const std::string folder = dir / "radio";
    MakePreset("Radio", folder);
    // The settings and presets (QSettings' file), which a scheduled run must leave as they are.
    const std::string settingsFolder = s_manager->ConfigHome() + "/MORV";
    const std::map<std::string, std::string> settings = Snapshot(settingsFolder);
    ASSERT_FALSE(settings.empty()) << "the preset's run stored no settings";

    const std::time_t start = std::time(nullptr) + 8;
    const std::string name = "Evening radio";
    const ProcessResult added = Add(name, "Radio", "daily " + LocalText(start, "%H:%M:%S"), "MS=0:03");
    ASSERT_EQ(added.exitCode, 0) << added.output;

    const std::string unit = UnitNameOf(name);
    const ProcessResult timers = s_manager->Systemctl("list-timers --all --no-legend");
    EXPECT_TRUE(Contains(timers.output, unit + ".timer")) << timers.output;
    EXPECT_TRUE(Contains(timers.output, LocalText(start, "%Y-%m-%d %H:%M:%S"))) << timers.output;

    const std::optional<ScheduleResult> result = RunEnded(name, 90s);
    ASSERT_TRUE(result) << s_manager->Systemctl("status " + unit + ".service").output;
    EXPECT_EQ(result->outcome, ScheduleOutcome::Recorded) << result->detail;
    EXPECT_GE(result->time, start + 3);
    EXPECT_LE(result->time, start + 6) << "the run ends at its planned end";

    const std::vector<std::string> files = FilesUnder(folder);
    ASSERT_FALSE(files.empty()) << "nothing recorded into the preset's folder";
    double seconds = 0;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        EXPECT_TRUE(file.ends_with(".flac"));
        EXPECT_TRUE(DecodesCleanly(file));
        ProbedAudio probed = ProbeWithFfprobe(file);
        EXPECT_EQ(probed.codec, "flac");
        EXPECT_TRUE(probed.tags["title"].starts_with("Scheduled ")) << probed.tags["title"];
        EXPECT_EQ(probed.tags["artist"], "Velsona schedule");
        seconds += probed.durationSeconds;
    }
    // It records up to the planned end, so what the program's own start took is not added on.
    EXPECT_GT(seconds, 1.0);
    EXPECT_LE(seconds, 3.2);
    EXPECT_EQ(Snapshot(settingsFolder), settings) << "a scheduled run stores no settings";
    const std::string log = ReadFileBytes(std::string(std::getenv("XDG_STATE_HOME")) + "/velsona/velsona.log");
    EXPECT_TRUE(Contains(log, "\"" + name + "\"") || Contains(log, "「" + name + "」")) << log;

    const ProcessResult listed = Rec({"--schedule-list"});
    EXPECT_TRUE(Contains(listed.output, "Last: recorded")) << listed.output;

    const std::string stamp = s_manager->DataHome() + "/systemd/timers/stamp-" + unit + ".timer";
    EXPECT_EQ(access(stamp.c_str(), F_OK), 0) << "the manager keeps when the timer fired";
    const ProcessResult removed = Rec({"--schedule-remove", name});
    EXPECT_EQ(removed.exitCode, 0) << removed.output;
    this->added.clear();
    EXPECT_NE(access(stamp.c_str(), F_OK), 0) << "a new entry of the same name would start at once";
    EXPECT_FALSE(Contains(s_manager->Systemctl("list-unit-files --no-legend").output, unit));
    for (const std::string& path : FilesUnder(UnitFolder())) EXPECT_FALSE(Contains(path, unit)) << path;
    EXPECT_FALSE(Contains(s_manager->Systemctl("list-timers --all --no-legend").output, unit));
}

// An entry's keeping of recordings goes over its preset's, in the run its timer starts.
TEST_F(ScheduleService, AnEntrysKeepingOfRecordingsGoesIntoItsRuns) {
    MakePreset("Logger", dir / "logger");
    const ProcessResult add = Rec({"--schedule-add", "Logger", "--preset", "Logger", "--when",
                                   "daily " + LocalText(std::time(nullptr) - 1, "%H:%M:%S"), "--duration", "MS=0:10",
                                   "--keep-days", "30", "--keep-free", "100000G"});
    ASSERT_EQ(add.exitCode, 0) << add.output;
    added.push_back("Logger");
    const std::string schedule = ReadFileBytes(ScheduleFile());
    EXPECT_TRUE(Contains(schedule, "keep-days = 30\nkeep-free-mb = 102400000\n")) << schedule;
    const ProcessResult run = Rec({"--schedule-run", "Logger"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::string log = ReadFileBytes(std::string(std::getenv("XDG_STATE_HOME")) + "/velsona/velsona.log");
    EXPECT_TRUE(Contains(log, "100000 GB")) << "the entry's room, not the preset's: " << log;
}

TEST_F(ScheduleService, ALateStartRecordsTheRestAndAMissedOneNothing) {
    const std::string folder = dir / "late";
    MakePreset("Late", folder);
    const std::time_t now = std::time(nullptr);
    ASSERT_EQ(Add("Late lecture", "Late", "daily " + LocalText(now - 2, "%H:%M:%S"), "MS=0:25").exitCode, 0);
    ASSERT_EQ(Add("Missed lecture", "Late", "daily " + LocalText(now - 60, "%H:%M:%S"), "MS=0:05").exitCode, 0);

    // The planned end is fixed; what is left of it when the run begins is what it records.
    const std::time_t begun = std::time(nullptr);
    const ProcessResult late = Rec({"--schedule-run", "Late lecture"});
    EXPECT_EQ(late.exitCode, 0) << late.output;
    double seconds = 0;
    for (const std::string& file : FilesUnder(folder)) seconds += ProbeWithFfprobe(file).durationSeconds;
    const double left = static_cast<double>(now - 2 + 25 - begun);
    EXPECT_GT(left, 3.0) << "the machine took too long to add the entries for this test";
    EXPECT_NEAR(seconds, left, 1.5) << late.output;
    EXPECT_EQ(LastScheduleResult("Late lecture", LogPath())->outcome, ScheduleOutcome::Recorded);

    const size_t filesBefore = FilesUnder(folder).size();
    const ProcessResult missed = Rec({"--schedule-run", "Missed lecture"});
    EXPECT_EQ(missed.exitCode, 0) << missed.output;
    EXPECT_EQ(FilesUnder(folder).size(), filesBefore) << "a start whose end has passed records nothing";
    EXPECT_EQ(LastScheduleResult("Missed lecture", LogPath())->outcome, ScheduleOutcome::Missed);
    const std::string log = ReadFileBytes(std::string(std::getenv("XDG_STATE_HOME")) + "/velsona/velsona.log");
    EXPECT_TRUE(Contains(log, "Missed lecture")) << log;
    EXPECT_TRUE(Contains(log, LocalText(now - 60, "%H:%M:%S"))) << "the log names the start missed: " << log;
}

TEST_F(ScheduleService, AFailedRunIsToldOnTheDesktop) {
    NotificationMock desktop;
    ASSERT_EQ(desktop.error(), "");
    MakePreset("Fragile", dir / "fragile");
    ASSERT_EQ(Add("Fragile input", "Fragile", "daily " + LocalText(std::time(nullptr) - 1, "%H:%M:%S"), "MS=0:30").exitCode, 0);
    // The input goes away after a second; the preset does not wait for it.
    const ProcessResult run = Rec({"--capture", "signal:tone=440hz/-12db/1s,loop,drop=60s@1s", "--schedule-run", "Fragile input"},
                                  "DBUS_SESSION_BUS_ADDRESS=" + ShellQuote(desktop.address()));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(LastScheduleResult("Fragile input", LogPath())->outcome, ScheduleOutcome::Failed);
    bool told = false;
    for (const std::string& call : desktop.Calls()) told = told || (Contains(call, "Notify") && Contains(call, "Fragile input"));
    EXPECT_TRUE(told) << "no notification names the entry";
}

TEST_F(ScheduleService, BadInputIsRefusedAndChangesNothing) {
    MakePreset("Kept", dir / "kept");
    ASSERT_EQ(Add("Kept", "Kept", "weekly sun 21:00", "MS=60:00").exitCode, 0);
    const auto state = [] { return std::make_pair(Snapshot(s_manager->ConfigHome()), Snapshot(UnitFolder())); };
    const auto before = state();
    struct Case {
        std::vector<std::string> arguments;
        const char* says;
    };
    const Case cases[] = {
        {{"--schedule-add", "", "--preset", "Kept", "--when", "daily 10:00", "--duration", "MS=1:00"}, "name"},
        {{"--schedule-add", "Kept", "--preset", "Kept", "--when", "daily 10:00", "--duration", "MS=1:00"}, "Kept"},
        {{"--schedule-add", "New", "--preset", "Nope", "--when", "daily 10:00", "--duration", "MS=1:00"}, "Nope"},
        {{"--schedule-add", "New", "--preset", "Kept", "--when", "daily 10:00", "--duration", "MS=0:00"}, "--duration"},
        {{"--schedule-add", "New", "--preset", "Kept", "--when", "daily 10:00", "--duration", "HMS=168:00:01"}, "7"},
        {{"--schedule-add", "New", "--preset", "Kept", "--when", "weekly 10:00", "--duration", "MS=1:00"}, "weekly 10:00"},
        {{"--schedule-add", "New", "--preset", "Kept", "--when", "once 2020-01-01 10:00", "--duration", "MS=1:00"}, "2020-01-01"},
        {{"--schedule-add", "New", "--preset", "Kept", "--duration", "MS=1:00"}, "--when"},
        {{"--schedule-add", "New", "--preset", "Kept", "--when", "daily 10:00"}, "--duration"},
        {{"--schedule-add", "New", "--preset", "Kept", "--when", "daily 10:00", "--duration", "MS=1:00", "--format", "wav"},
         "--keep-days"},
        {{"--schedule-remove", "Nobody"}, "Nobody"},
        {{"--schedule-add", "New", "--schedule-remove", "Kept"}, "one"},
        {{"--schedule-remove", "Kept", "--when", "daily 10:00"}, "--when"},
    };
    for (const Case& test : cases) {
        const ProcessResult result = Rec(test.arguments);
        EXPECT_EQ(result.exitCode, 2) << test.says << ": " << result.output;
        EXPECT_TRUE(Contains(result.output, test.says)) << result.output;
        EXPECT_EQ(state(), before) << test.says;
    }

    // A schedule file that is not one, and a unit edited by hand, stop every change.
    const std::string schedule = ReadFileBytes(ScheduleFile());
    const auto refused = [&](const char* what) {
        const ProcessResult result = Rec({"--schedule-add", "New", "--preset", "Kept", "--when", "daily 10:00", "--duration", "MS=1:00"});
        EXPECT_EQ(result.exitCode, 1) << what << ": " << result.output;
        EXPECT_FALSE(result.output.empty()) << what;
        return result.output;
    };
    WriteFileBytes(ScheduleFile(), schedule.substr(0, schedule.find("duration = ")));
    EXPECT_TRUE(Contains(refused("a truncated file"), "schedule.conf"));
    WriteFileBytes(ScheduleFile(), std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10));
    EXPECT_TRUE(Contains(refused("garbage"), "schedule.conf"));
    std::filesystem::remove(ScheduleFile());
    std::filesystem::create_directory(ScheduleFile());
    refused("a folder");
    EXPECT_TRUE(std::filesystem::is_directory(ScheduleFile()));
    std::filesystem::remove(ScheduleFile());
    WriteFileBytes(ScheduleFile(), schedule);

    const std::string timer = UnitFolder() + "/" + UnitNameOf("Kept") + ".timer";
    WriteFileBytes(timer, ReadFileBytes(timer) + "RandomizedDelaySec=1h\n");
    const auto edited = state();
    EXPECT_TRUE(Contains(refused("a unit edited by hand"), timer));
    EXPECT_EQ(state(), edited);
    EXPECT_EQ(Rec({"--schedule-remove", "Kept"}).exitCode, 1) << "nor is it removed";
    std::filesystem::remove(timer);
}

TEST_F(ScheduleService, TheListShowsSystemdsNextFiveStarts) {
    MakePreset("Listed", dir / "listed");
    ASSERT_EQ(Add("Twice a week", "Listed", "weekly tue,sun 02:30", "MS=90:00").exitCode, 0);
    const ProcessResult listed = Rec({"--schedule-list"}, "TZ=Europe/Berlin");
    ASSERT_EQ(listed.exitCode, 0) << listed.output;
    std::vector<std::string> ours;
    std::istringstream lines(listed.output);
    for (std::string line; std::getline(lines, line);)
        if (const size_t at = line.find("Next start: "); at != std::string::npos) ours.push_back(line.substr(at + 12));
    const ProcessResult analyzed = RunProcess("TZ=Europe/Berlin systemd-analyze calendar --iterations=5 'Tue,Sun *-*-* 02:30:00'");
    std::vector<std::string> systemds;
    std::istringstream elapses(analyzed.output);
    for (std::string line; std::getline(elapses, line);)
        if (Contains(line, "Next elapse: ") || Contains(line, "Iter. #")) systemds.push_back(line.substr(line.find(": ") + 2 + 4));
    EXPECT_EQ(ours, systemds) << listed.output << analyzed.output;
    EXPECT_EQ(ours.size(), 5u);
}

TEST_F(ScheduleService, AChangedEntrysTimerTakesItsNewStartAndADisabledOneGoes) {
    const CScheduleUnits units(UnitFolder(), VELSONA_REC_PATH);
    ScheduleEntry entry;
    entry.name = "Moved programme";
    entry.preset = "(デフォルト設定)";
    entry.durationSeconds = 60;
    ASSERT_TRUE(ParseWhen("daily 04:00", entry));
    ASSERT_TRUE(units.Apply({entry}));
    const std::string timer = UnitNameOf(entry.name) + ".timer";
    const auto nextElapse = [&] {
        return s_manager->Systemctl("show --property=NextElapseUSecRealtime --value " + timer).output;
    };
    const std::string before = nextElapse();
    EXPECT_TRUE(Contains(before, "04:00:00")) << before;
    ASSERT_TRUE(ParseWhen("daily 05:30", entry));
    ASSERT_TRUE(units.Apply({entry}));
    EXPECT_TRUE(Contains(nextElapse(), "05:30:00")) << nextElapse();
    entry.enabled = false;
    ASSERT_TRUE(units.Apply({entry}));
    EXPECT_FALSE(Contains(s_manager->Systemctl("list-timers --all --no-legend").output, timer));
    for (const std::string& path : FilesUnder(UnitFolder())) EXPECT_FALSE(Contains(path, UnitNameOf(entry.name))) << path;
}

}  // namespace
