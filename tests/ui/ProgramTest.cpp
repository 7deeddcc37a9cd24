// The velsona program as a user starts it: help without a display, and recordings started from
// the command line.
#include <gtest/gtest.h>

#include "app/files/FileNameTemplate.h"
#include "app/settings/SettingsStore.h"
#include "foundation/PathUtils.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

TEST(Program, HelpAndVersionNeedNoDisplay) {
    const std::string noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
    const ProcessResult help = RunProcess(noDisplay + ShellQuote(VELSONA_PATH) + " --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("/S NOW"), std::string::npos) << help.output;
    const ProcessResult version = RunProcess(noDisplay + ShellQuote(VELSONA_PATH) + " --version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output.rfind("velsona ", 0), 0u) << version.output;
    // The licence line, in the language the program speaks.
    EXPECT_NE(version.output.find(" GPLv3+: GNU GPL "), std::string::npos) << version.output;
}

// Both ends of a recording started from the command line leave a finished, finally named track
// and saved settings: the duration with /E exit, and SIGTERM (as at logout) or Ctrl+C.
struct EndCase {
    const char* name;
    const char* arguments;
    const char* stopSignal;  // sent after two seconds; null: the program ends by itself
    const char* nameEnd;
};

class ProgramEnd : public testing::TestWithParam<EndCase> {};

TEST_P(ProgramEnd, LeavesAFinishedTrack) {
    const EndCase& c = GetParam();
    TempDir home;
    std::string command = "HOME=" + ShellQuote(home.path()) + " XDG_CONFIG_HOME=" + ShellQuote(home / "config") +
                          " XDG_DATA_HOME=" + ShellQuote(home / "data") + " QT_QPA_PLATFORM=offscreen" +
                          " DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/velsona-tests-no-bus" +
                          " VELSONA_CAPTURE='signal:tone=440hz/-12db/1s,silence=500ms,loop' timeout 60 " +
                          ShellQuote(VELSONA_PATH) + " " + c.arguments;
    if (c.stopSignal) command += " & pid=$!; sleep 2; kill -" + std::string(c.stopSignal) + " $pid; wait $pid";
    const ProcessResult run = RunProcess("{ " + command + "; } 2>&1");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const bool unknownWords = std::string(c.arguments).starts_with("/Start");
    for (const char* word : {"velsona: \"/Start\" ", "velsona: \"NOW\" "})
        EXPECT_EQ(run.output.find(word) != std::string::npos, unknownWords) << word << run.output;
    const std::vector<std::string> files = FilesUnder(home / "Music");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].ends_with(c.nameEnd)) << files[0];
    EXPECT_EQ(files[0].find("？"), std::string::npos) << files[0];
    EXPECT_TRUE(PathExists(home / "config/MORV/VelsonaF.conf"));
}

INSTANTIATE_TEST_SUITE_P(Ways, ProgramEnd,
                         testing::Values(EndCase{"DurationAndExit", "/S NOW /T MS=0:03 /E exit", nullptr, "(0：03).wav"},
                                         // Words it does not understand are said and the rest runs.
                                         EndCase{"UnknownWordsSaid", "/Start NOW /T MS=0:02 /E exit", nullptr, "(0：02).wav"},
                                         EndCase{"Terminated", "/S NOW", "TERM", ".wav"},
                                         EndCase{"Interrupted", "/S NOW", "INT", ".wav"}),
                         [](const testing::TestParamInfo<EndCase>& info) { return info.param.name; });

// A start nobody watches, from a preset whose format has no encoder here: a copy of the program
// with the comment module but no encoder beside it records the fall-back format at once, asking
// nothing (a question would hold it until the timeout), and says so in its log.
struct MissingEncoderCase {
    const char* name;
    OutputFormat format;
    const char* module;
};

class ProgramWithoutTheEncoder : public testing::TestWithParam<MissingEncoderCase> {};

TEST_P(ProgramWithoutTheEncoder, RecordsOggVorbisWithoutAsking) {
    const MissingEncoderCase& c = GetParam();
    TempDir home;
    const std::string copy = home / "velsona";
    ASSERT_EQ(RunProcess("mkdir -p " + ShellQuote(home / "config/MORV") + " && cp " + ShellQuote(VELSONA_PATH) + " " + ShellQuote(FolderOf(VELSONA_PATH).str() + "vorbisdec.so") +
                         " " + ShellQuote(home.path()))
                  .exitCode,
              0);
    RecordingSettings preset;
    preset.outputFolder = (home / "rec").c_str();
    preset.outputFormat = c.format;
    preset.fileNameTemplate = TemplateWithFormatExtension("take-%TKN%", c.format);
    ASSERT_TRUE(CSettingsStore((home / "config/MORV/VelsonaF.conf").c_str()).SaveSettings("broadcast", preset));

    const ProcessResult run = RunProcess(
        "HOME=" + ShellQuote(home.path()) + " XDG_CONFIG_HOME=" + ShellQuote(home / "config") +
        " XDG_STATE_HOME=" + ShellQuote(home / "state") + " QT_QPA_PLATFORM=offscreen" +
        " DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/velsona-tests-no-bus" +
        " VELSONA_CAPTURE='signal:tone=440hz/-12db/1s,silence=500ms,loop' timeout 60 " + ShellQuote(copy) +
        " /S NOW /T MS=0:03 /E exit /P broadcast");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::vector<std::string> files = FilesUnder(home / "rec");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].ends_with("take-001.ogg")) << files[0];
    EXPECT_EQ(ReadFileBytes(files[0]).substr(0, 4), "OggS");
    const std::string log = ReadFileBytes(home / "state/velsona/velsona.log");
    EXPECT_NE(log.find(c.module), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Formats, ProgramWithoutTheEncoder,
                         testing::Values(MissingEncoderCase{"Mp3", OutputFormat::Mp3, "lame_enc.so"},
                                         MissingEncoderCase{"Wma", OutputFormat::Wma, "WMAENC.so"}),
                         [](const testing::TestParamInfo<MissingEncoderCase>& info) { return info.param.name; });

// SIGTERM while a box waits for an answer (here the refused start of /S NOW, its output folder a
// file) ends the program as it does without one: the box is cancelled, the settings saved.
TEST(Program, TerminatedWithABoxOpenEnds) {
    TempDir home;
    WriteFileBytes(home / "Music", "not a folder");
    const std::string command =
        "HOME=" + ShellQuote(home.path()) + " XDG_CONFIG_HOME=" + ShellQuote(home / "config") +
        " XDG_DATA_HOME=" + ShellQuote(home / "data") + " QT_QPA_PLATFORM=offscreen" +
        " DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/velsona-tests-no-bus" +
        " VELSONA_CAPTURE='signal:tone=440hz/-12db/1s,silence=500ms,loop' timeout -k 5 30 " + ShellQuote(VELSONA_PATH) +
        " /S NOW & pid=$!; sleep 3; kill -TERM $pid; wait $pid";
    const ProcessResult run = RunProcess(command);
    EXPECT_EQ(run.exitCode, 0) << "124 or 137: still running when timeout ended it\n" << run.output;
    EXPECT_TRUE(PathExists(home / "config/MORV/VelsonaF.conf"));
}

}  // namespace
