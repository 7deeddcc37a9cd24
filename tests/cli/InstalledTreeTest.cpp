// The tree `cmake --install` lays out, used as a user would: both installed programs find their
// modules in the private folder and velsona its manual, velsona-rec records in every format, the
// manual pages and the service file work, the desktop files validate.
#include <gtest/gtest.h>

#include <algorithm>

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

    // An installed program with a private settings folder and no display, started from a folder
    // of its own with no library path, so nothing of the build tree is found but through the program.
    ProcessResult RunInstalled(const char* program, const std::string& arguments) {
        return RunProcess("cd " + ShellQuote(home.path()) +
                          " && env -u LD_LIBRARY_PATH -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME=" +
                          ShellQuote(home / "config") + " DBUS_SYSTEM_BUS_ADDRESS=unix:path=" + ShellQuote(home / "no-bus") +
                          " " + ShellQuote(Installed(std::string("bin/") + program)) + " " + arguments + " 2>&1");
    }
    static std::string Installed(const std::string& relative) { return *s_prefix / relative; }

    static TempDir* s_prefix;
    static ProcessResult s_install;
    TempDir home;
};
TempDir* InstalledTree::s_prefix = nullptr;
ProcessResult InstalledTree::s_install;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(InstalledTree, BothProgramsNameEachModuleFromThePrivateFolder) {
    for (const char* program : {"velsona-rec", "velsona"}) {
        SCOPED_TRACE(program);
        const ProcessResult version = RunInstalled(program, "--version");
        ASSERT_EQ(version.exitCode, 0) << version.output;
        EXPECT_EQ(version.output.rfind(std::string(program) + " ", 0), 0u) << version.output;
        for (const char* module : {"lame_enc", "WMAENC", "vorbisdec", "WMADEC9"}) {
            const std::string line =
                std::string("  ") + module + ".so: " + Installed(VELSONA_MODULE_DIR "/" + std::string(module)) + ".so\n";
            EXPECT_TRUE(Contains(version.output, line)) << line << "in:\n" << version.output;
        }
        EXPECT_FALSE(Contains(version.output, VELSONA_BUILD_DIR)) << version.output;
    }
    // The window's help opens the installed manual (the one of the test's language), and its
    // options need no display either.
    const std::string window = RunInstalled("velsona", "--version").output;
    EXPECT_TRUE(Contains(window, ": " + Installed(VELSONA_DATA_DIR "/Velsona.en.html") + "\n") ||
                Contains(window, ": " + Installed(VELSONA_DATA_DIR "/Velsona.html") + "\n"))
        << window;
    const ProcessResult help = RunInstalled("velsona", "--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(Contains(help.output, "/S NOW")) << help.output;
}

TEST_F(InstalledTree, RecordsATaggedTrackInEveryFormat) {
    struct Format {
        const char* option;
        const char* codec;
    };
    for (const Format format : {Format{"wav", "pcm_s16le"}, Format{"mp3", "mp3"}, Format{"ogg", "vorbis"},
                                Format{"wma", "wmav2"}, Format{"flac", "flac"}}) {
        SCOPED_TRACE(format.option);
        const std::string folder = home / format.option;
        const ProcessResult run = RunInstalled(
            "velsona-rec", "--capture signal:tone=1000hz/-6db/1s,silence=500ms,loop,fast --format " +
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
        EXPECT_TRUE(Contains(artist.output, "Installed")) << artist.output;
    }
}

TEST_F(InstalledTree, ManualPagesAndServiceTemplate) {
    // The options come from --help itself; the other sections from our own additions.
    struct Page {
        const char* file;
        std::vector<std::string> parts;
    };
    for (const Page& page :
         {Page{"velsona-rec.1.gz", {"record sound without a window", "--split-time", "--list-devices",
                                    "--schedule-add \"Friday radio\"", "weekly fri 21:00", "velsona-rec@radio", "/usr/" VELSONA_MODULE_DIR "/"}},
          Page{"velsona.1.gz", {"sound recorder for long", "SYNOPSIS", "/S NOW", "/usr/" VELSONA_DATA_DIR "/Velsona.en.html",
                                "velsona-rec(1)"}},
          // The Japanese pages: help2man's headings, the Japanese --help and our Japanese additions.
          Page{"ja/velsona-rec.1.gz", {"ウィンドウなしで", "書式", "--split-time H:M:S", "分割の間隔",
                                       "--schedule-add \"Friday radio\"", "逃した開始", "/usr/" VELSONA_MODULE_DIR "/"}},
          Page{"ja/velsona.1.gz", {"長時間の無人録音", "書式", "/S NOW", "/usr/" VELSONA_DATA_DIR "/Velsona.html", "velsona-rec(1)"}}}) {
        SCOPED_TRACE(page.file);
        const std::string file = page.file;
        const std::string installed = file.starts_with("ja/") ? "share/man/ja/man1/" + file.substr(3) : "share/man/man1/" + file;
        const ProcessResult shown = RunProcess("LANG=C.UTF-8 MANWIDTH=200 man -l " + ShellQuote(Installed(installed)) + " 2>/dev/null");
        ASSERT_EQ(shown.exitCode, 0) << shown.output;
        for (const std::string& part : page.parts) EXPECT_TRUE(Contains(shown.output, part)) << part;
    }

    const std::string service = ReadFileBytes(Installed("lib/systemd/user/velsona-rec@.service"));
    EXPECT_TRUE(Contains(service, "ExecStart=" + Installed("bin/velsona-rec") + " --preset %I")) << service;
    // systemd's own reading of an instance, the manual page it names included.
    WriteFileBytes(home / "velsona-rec@radio.service", service);
    const ProcessResult verify = RunProcess("MANPATH=" + ShellQuote(Installed("share/man")) + " systemd-analyze verify " +
                                            ShellQuote(home / "velsona-rec@radio.service") + " 2>&1");
    EXPECT_EQ(verify.output, "");
}

TEST_F(InstalledTree, DesktopEntryIconAndMetainfoAgreeAndValidate) {
    const std::string desktop = Installed("share/applications/velsona.desktop");
    const std::string metainfo = Installed("share/metainfo/example.velsona.velsona.metainfo.xml");
    for (const std::string& check : {"desktop-file-validate " + ShellQuote(desktop),
                                     "appstreamcli validate --no-net " + ShellQuote(metainfo)}) {
        const ProcessResult result = RunProcess(check + " 2>&1");
        EXPECT_EQ(result.exitCode, 0) << check << "\n" << result.output;
    }
    // The software centre finds the entry through the launchable, the menu the icon through its name.
    EXPECT_TRUE(Contains(ReadFileBytes(metainfo), "<launchable type=\"desktop-id\">velsona.desktop</launchable>"));
    EXPECT_TRUE(Contains(ReadFileBytes(desktop), "\nIcon=velsona\n"));
    EXPECT_TRUE(PathExists(Installed("share/icons/hicolor/scalable/apps/velsona.svg")));
}

}  // namespace
