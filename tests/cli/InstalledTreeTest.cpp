// The tree `cmake --install` lays out, used as a user would: the installed velsona-rec records
// in every format with the modules of its private folder, its manual page and service file work.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tests/support/AudioProbe.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

class InstalledTree : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_prefix = new TempDir;
        s_install = RunProcess(std::string(CMAKE_COMMAND) + " --install " + ShellQuote(VELSONA_BUILD_DIR) +
                               " --prefix " + ShellQuote(s_prefix->path()) + " 2>&1");
    }
    static void TearDownTestSuite() {
        delete s_prefix;
        s_prefix = nullptr;
    }
    void SetUp() override { ASSERT_EQ(s_install.exitCode, 0) << s_install.output; }

    // The installed program with a private settings folder, started from a folder of its own
    // with no library path, so nothing of the build tree is found but through the program.
    ProcessResult RunInstalled(const std::string& arguments) {
        return RunProcess("cd " + ShellQuote(home.path()) + " && env -u LD_LIBRARY_PATH XDG_CONFIG_HOME=" +
                          ShellQuote(home / "config") + " DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + ShellQuote(home / "no-bus") +
                          " " + ShellQuote(*s_prefix / "bin/velsona-rec") + " " + arguments + " 2>&1");
    }

    static TempDir* s_prefix;
    static ProcessResult s_install;
    TempDir home;
};
TempDir* InstalledTree::s_prefix = nullptr;
ProcessResult InstalledTree::s_install;

TEST_F(InstalledTree, VersionNamesEachModuleFromThePrivateFolder) {
    const ProcessResult version = RunInstalled("--version");
    ASSERT_EQ(version.exitCode, 0) << version.output;
    for (const char* module : {"lame_enc", "WMAENC", "vorbisdec", "WMADEC9"}) {
        const std::string line = std::string(module) + ".so: " + *s_prefix / "lib/velsona/" + module + ".so\n";
        EXPECT_NE(version.output.find(line), std::string::npos) << line << "in:\n" << version.output;
    }
    EXPECT_EQ(version.output.find(VELSONA_BUILD_DIR), std::string::npos) << version.output;
}

TEST_F(InstalledTree, RecordsATaggedTrackInEveryFormat) {
    struct Format {
        const char* option;
        const char* codec;
    };
    for (const Format format : {Format{"wav", "pcm_s16le"}, Format{"mp3", "mp3"}, Format{"ogg", "vorbis"},
                                Format{"wma", "wmav2"}}) {
        SCOPED_TRACE(format.option);
        const std::string folder = home / format.option;
        const ProcessResult run = RunInstalled("--capture signal:tone=1000hz/-6db/1s,silence=500ms,loop,fast --format " +
                                               std::string(format.option) + " --folder " + ShellQuote(folder) +
                                               " --artist Installed /S NOW /T MS=0:02");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const ProcessResult found = RunProcess("find " + ShellQuote(folder) + " -type f");
        ASSERT_EQ(std::count(found.output.begin(), found.output.end(), '\n'), 1) << found.output;
        const std::string file = found.output.substr(0, found.output.size() - 1);
        EXPECT_EQ(ProbeWithFfprobe(file).codec, format.codec);
        // The tags of Ogg and WMA go through the decoder modules: found, or the tag is missing.
        const ProcessResult artist = RunProcess("ffprobe -v error -show_entries format_tags=artist:stream_tags=artist "
                                                "-of default=nw=1:nk=1 " + ShellQuote(file));
        EXPECT_NE(artist.output.find("Installed"), std::string::npos) << artist.output;
    }
}

TEST_F(InstalledTree, ManualPageAndServiceTemplate) {
    const ProcessResult page = RunProcess("MANWIDTH=100 man -l " + ShellQuote(*s_prefix / "share/man/man1/velsona-rec.1.gz") +
                                          " 2>&1");
    ASSERT_EQ(page.exitCode, 0) << page.output;
    // The options come from --help itself; the service section from our own addition.
    for (const char* part : {"record sound without a window", "--split-time", "--list-devices", "OnCalendar=Fri 21:00",
                             "velsona-rec@radio"})
        EXPECT_NE(page.output.find(part), std::string::npos) << part;

    const std::string service = ReadFileBytes(*s_prefix / "lib/systemd/user/velsona-rec@.service");
    EXPECT_NE(service.find("ExecStart=" + *s_prefix / "bin/velsona-rec --preset %I"), std::string::npos) << service;
    // systemd's own reading of an instance, the manual page it names included.
    WriteFileBytes(home / "velsona-rec@radio.service", service);
    const ProcessResult verify = RunProcess("MANPATH=" + ShellQuote(*s_prefix / "share/man") + " systemd-analyze verify " +
                                            ShellQuote(home / "velsona-rec@radio.service") + " 2>&1");
    EXPECT_EQ(verify.output, "");
}

TEST_F(InstalledTree, DesktopEntriesAndMetainfoValidate) {
    const ProcessResult files = RunProcess("find " + ShellQuote(*s_prefix / "share") +
                                           " \\( -name '*.desktop' -o -name '*.metainfo.xml' \\) -type f");
    if (files.output.empty()) GTEST_SKIP() << "no desktop entry or metainfo installed";
    std::istringstream lines(files.output);
    for (std::string file; std::getline(lines, file);) {
        const std::string check = file.ends_with(".desktop") ? "desktop-file-validate " : "appstreamcli validate --no-net ";
        const ProcessResult result = RunProcess(check + ShellQuote(file) + " 2>&1");
        EXPECT_EQ(result.exitCode, 0) << file << "\n" << result.output;
    }
}

}  // namespace
