// The velsona program as a user starts it: help without a display, and a scheduled recording
// from the command line that ends the program by itself.
#include <gtest/gtest.h>

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
}

TEST(Program, ACommandLineScheduleRecordsAndExitsByItself) {
    TempDir home;
    const ProcessResult run = RunProcess(
        "HOME=" + ShellQuote(home.path()) + " XDG_CONFIG_HOME=" + ShellQuote(home / "config") +
        " XDG_DATA_HOME=" + ShellQuote(home / "data") + " QT_QPA_PLATFORM=offscreen" +
        " DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/velsona-tests-no-bus" +
        " VELSONA_CAPTURE='signal:tone=440hz/-12db/1s,silence=500ms,loop' timeout 60 " + ShellQuote(VELSONA_PATH) +
        " /S NOW /T MS=0:03 /E exit");
    EXPECT_EQ(run.exitCode, 0);
    const std::vector<std::string> files = FilesUnder(home / "Music");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].ends_with("(0：03).wav")) << files[0];
    EXPECT_EQ(files[0].find("？"), std::string::npos) << files[0];
    // The settings were saved on the way out.
    EXPECT_TRUE(PathExists(home / "config/MORV/VelsonaF.conf"));
}

}  // namespace
