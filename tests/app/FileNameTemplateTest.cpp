// Template expansion and track paths, with a clock the tests set.
#include "app/files/FileNameTemplate.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "foundation/PathUtils.h"
#include "tests/support/TempDir.h"

namespace {

LocalDateTime At(int year, int month, int day, int hour, int minute, int second) {
    return LocalDateTime {year, month, day, hour, minute, second, 0};
}

// Expansions for one track, under a clock that reads whatever the test last set.
class FileNameTemplate : public ::testing::Test {
protected:
    FileNameTemplate() { clocks.now = [this] { return now; }; }

    std::string Expand(const char* text, bool endKnown) { return ExpandTemplate(text, endKnown, values, clocks).str(); }
    std::string Build(bool endKnown, const char* tmpl, OutputFormat format = OutputFormat::Wav) {
        return BuildTrackPath(endKnown, folder, tmpl, format, values, clocks).str();
    }

    LocalDateTime now = At(2005, 6, 1, 10, 20, 30);
    TrackClocks clocks;
    TemplateValues values;  // recording 1, track 1, opened at 0
    CCharString folder = "/rec/";
};

}  // namespace

TEST_F(FileNameTemplate, DefaultTemplateNamesTheFileWhileRecordingThenAtTheEnd) {
    const char* tmpl = "%TDY%\\No.%RCN%-Track%TKN%_%STM%-%ETM%(%TLN%).wav";
    folder = "/rec";
    EXPECT_EQ(Build(false, tmpl), "/rec/2005-06-01/No.01-Track001_0：00-？(？).wav");
    EXPECT_EQ(folder.str(), "/rec/") << "the setting keeps the separator added to it";

    // Closed after 5 minutes, just past midnight: the date folder is the day the track began.
    now = At(2005, 6, 2, 0, 0, 5);
    values.endOffsetMs = 300000;
    values.trackLengthMs = 300000;
    EXPECT_EQ(Build(true, tmpl), "/rec/2005-06-01/No.01-Track001_0：00-5：00(5：00).wav");
    EXPECT_EQ(folder.str(), "/rec/");
}

TEST_F(FileNameTemplate, OffsetsAndLengthsInHours) {
    // The second track, opened at 5:00 and closed at 61:30.
    values.startOffsetMs = 300000;
    values.endOffsetMs = 61 * 60000 + 30000;
    values.trackLengthMs = values.endOffsetMs - values.startOffsetMs;
    EXPECT_EQ(Expand("%STM2%-%ETM2%-%TLN2%", true), "0:05:00-1:01:30-0:56:30");
    EXPECT_EQ(Expand("%STM2%-%ETM2%-%TLN2%", false), "0:05:00-？-？");
    // Minutes are not wrapped at the hour in the short form.
    EXPECT_EQ(Expand("%STM%-%ETM%-%TLN%", true), "5:00-61:30-56:30");
    EXPECT_EQ(Build(true, "%STM2%-%ETM2%-%TLN2%"), "/rec/0：05：00-1：01：30-0：56：30.wav");
}

TEST_F(FileNameTemplate, TrackNumbersInBothWidths) {
    values.trackNumber = 7;
    EXPECT_EQ(Expand("%TKN2%|%TKN%", false), "07|007");
    values.trackNumber = 1234;
    EXPECT_EQ(Expand("%TKN2%|%TKN%", false), "1234|1234");
    values.recordingNumber = 3;
    EXPECT_EQ(Expand("%RCN%%RCN%", false), "0303");
}

TEST_F(FileNameTemplate, ClocksAreStampedByEachExpansion) {
    EXPECT_EQ(Expand("%TDY2% %TDY% %SNW%-%ENW%", false), "05-06-01 2005-06-01 10:20:30-？");

    now = At(2005, 6, 1, 11, 0, 5);
    EXPECT_EQ(Expand("%SNW%-%ENW%", true), "10:20:30-11:00:05");
    EXPECT_EQ(clocks.start.hour, 10);
    EXPECT_EQ(clocks.end.hour, 11);

    // An expansion while opening moves the start clock, and only it.
    now = At(2010, 1, 2, 3, 4, 5);
    EXPECT_EQ(Expand("%TDY2% %SNW%-%ENW%", false), "10-01-02 03:04:05-？");
    EXPECT_EQ(clocks.end.hour, 11);
}

TEST_F(FileNameTemplate, TokensAreMatchedExactlyAndUnknownOnesStay) {
    values.trackNumber = 5;
    EXPECT_EQ(Expand("%tkn% %TKN %FOO% 録音%TKN%曲", false), "%tkn% %TKN %FOO% 録音005曲");
    EXPECT_EQ(Expand("live recording", false), Expand("live recording", true));
}

TEST_F(FileNameTemplate, DefaultExtensionOnlyWhenTheTemplateHasNoShortOne) {
    EXPECT_EQ(Build(false, "take", OutputFormat::Mp3), "/rec/take.mp3");
    EXPECT_EQ(Build(false, "take.backup", OutputFormat::Mp3), "/rec/take.backup.mp3");
    EXPECT_EQ(Build(false, "take.tmp", OutputFormat::Mp3), "/rec/take.tmp");
    EXPECT_EQ(Build(false, "take.", OutputFormat::OggVorbis), "/rec/take.") << "a lone dot is a 1-character extension";
    // Characters, not bytes: three Japanese characters are a short extension.
    EXPECT_EQ(Build(false, "take.録音中", OutputFormat::Wma), "/rec/take.録音中");
    EXPECT_EQ(Build(false, "take", OutputFormat::Wma), "/rec/take.wma");
    EXPECT_EQ(Build(false, "take", OutputFormat::Wav), "/rec/take.wav");
    // A dot in a folder of the template is no extension.
    EXPECT_EQ(Build(false, "v1.0\\take", OutputFormat::OggVorbis), "/rec/v1.0/take.ogg");
}

// The folder is a path on this system: it keeps what only names must not hold.
TEST_F(FileNameTemplate, TheFolderIsUsedAsGivenAndOnlyTheNameIsCleanedUp) {
    folder = "/home/u/rec:1?\"*\"";
    EXPECT_EQ(Build(false, "a:b?%TLN%/c|d"), "/home/u/rec:1?\"*\"/a：b？？/c｜d.wav");
    EXPECT_TRUE(OutputFolderWarning(folder).empty());
}

// Every part stays within what the file system takes; the file name keeps its extension and
// room for a number or a marker.
TEST_F(FileNameTemplate, LongNamesAreCutAtACharacter) {
    const std::string part(300, 'p');
    std::string name;
    for (int i = 0; i < 100; ++i) name += "録";
    const std::string built = Build(false, (part + "/" + name + ".mp3").c_str());
    EXPECT_EQ(built, "/rec/" + part.substr(0, 255) + "/" + [] {
        std::string fits;
        for (int i = 0; i < 73; ++i) fits += "録";  // 219 bytes and ".mp3": 32 bytes under 255
        return fits;
    }() + ".mp3");
}

TEST_F(FileNameTemplate, BackslashesMakeSubFolders) {
    folder = "/music\\rec\\";
    EXPECT_EQ(Build(false, "%TDY%\\%RCN%\\a?b.wav"), "/music/rec/2005-06-01/01/a？b.wav");
    EXPECT_EQ(folder.str(), "/music\\rec\\") << "a folder ending in either separator is left alone";
    EXPECT_NE(OutputFolderWarning(folder).SourceText().find("/music/rec/"), std::string::npos) << "the user hears of the folder used";
}

TEST_F(FileNameTemplate, NamesNeverLeaveTheOutputFolder) {
    const struct {
        const char* tmpl;
        const char* path;
        bool warned;
    } cases[] = {
        {"..", "/rec/．．.wav", true},
        {".", "/rec/．.wav", true},
        {"%TDY%/../..", "/rec/2005-06-01/．．/．．.wav", true},
        {"..\\..\\etc\\x.wav", "/rec/．．/．．/etc/x.wav", true},
        {"sub/./a.wav", "/rec/sub/．/a.wav", true},
        {"sub/a..b/..c.wav", "/rec/sub/a..b/..c.wav", false},
        {"No.%RCN%/take.wav", "/rec/No.01/take.wav", false},
        // Bytes that are not UTF-8 (Shift-JIS, a cut character) become U+FFFD, as in the tags.
        {"\x83\x65\x83\x58\x83\x67.wav", "/rec/\uFFFDe\uFFFDX\uFFFDg.wav", false},
        {"cut\xE3\x81.wav", "/rec/cut\uFFFD\uFFFD.wav", false},
        // So do control characters; a tab keeps its full-width space.
        {"a\nb\x1b[0m\x7f\xC2\x85\tc", "/rec/a\uFFFDb\uFFFD[0m\uFFFD\uFFFD\u3000c.wav", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Build(false, c.tmpl), c.path) << c.tmpl;
        EXPECT_EQ(!FileNameTemplateWarning(c.tmpl).empty(), c.warned) << c.tmpl;
    }
    EXPECT_NE(FileNameTemplateWarning("%TDY%\\..\\x").SourceText().find("%TDY%\\..\\x"), std::string::npos) << "the message names the template";
}

TEST(FileNameCleanUp, ModesKeepWhatEachUseNeeds) {
    EXPECT_EQ(CleanUpName("a:b", CleanUpMode::Template).str(), "a：b");
    EXPECT_EQ(CleanUpName("%TDY%\\a:b/c", CleanUpMode::Template).str(), "%TDY%\\a：b/c");
    EXPECT_EQ(CleanUpName("my/preset:1", CleanUpMode::Strict).str(), "my／preset：1");
}

// The output bar's cases: a short extension is swapped, six letters after a dot stay part of
// the name, a dot in a folder part is no extension.
TEST(TemplateWithFormatExtension, FollowsTheChosenFormat) {
    EXPECT_STREQ(TemplateWithFormatExtension("%TDY%\\No.%RCN%.wav", OutputFormat::Mp3).c_str(), "%TDY%\\No.%RCN%.mp3");
    EXPECT_STREQ(TemplateWithFormatExtension("live.abcdef", OutputFormat::Mp3).c_str(), "live.abcdef.mp3");
    EXPECT_STREQ(TemplateWithFormatExtension("take", OutputFormat::OggVorbis).c_str(), "take.ogg");
    EXPECT_STREQ(TemplateWithFormatExtension("v1.2/take", OutputFormat::Wma).c_str(), "v1.2/take.wma");
    EXPECT_STREQ(TemplateWithFormatExtension("a.b\\take", OutputFormat::Wav).c_str(), "a.b\\take.wav");
    EXPECT_STREQ(TemplateWithFormatExtension("x.flac", OutputFormat::Wav).c_str(), "x.wav");
    EXPECT_STREQ(TemplateWithFormatExtension("x.flac", OutputFormat::Opus).c_str(), "x.opus");
    EXPECT_STREQ(TemplateWithFormatExtension("x.opus", OutputFormat::Flac).c_str(), "x.flac");
    EXPECT_STREQ(FormatExtensionOf("Track(%TLN%).opus").c_str(), ".opus");
}

// The formats' five-character extensions name the file once, as the three-letter ones do.
TEST_F(FileNameTemplate, AFlacOrOpusTemplateGetsNoSecondExtension) {
    EXPECT_EQ(Build(true, "take.flac", OutputFormat::Flac), "/rec/take.flac");
    EXPECT_EQ(Build(true, "take.opus", OutputFormat::Opus), "/rec/take.opus");
    EXPECT_EQ(Build(true, "take.abcde", OutputFormat::Opus), "/rec/take.abcde.opus");
}

// A template too long for the file system loses its own words, not the values that tell tracks
// apart nor the extension; on a real folder each track's file can be created, its name cut at a
// character.
TEST_F(FileNameTemplate, ATooLongTemplateKeepsTheTrackNumbersAndTheExtension) {
    TempDir dir;
    folder = dir.path().c_str();
    std::string kana;
    while (kana.size() < 300) kana += "録音";
    const struct {
        std::string tmpl;
        std::vector<std::string> ends;  // of tracks 1 and 2, extension included
        std::string kept;               // what the cut leaves of the template's start
    } cases[] = {
        {std::string(294, 'a') + "_%TKN%", {"_001.wav", "_002.wav"}, "aaaa"},
        {kana + "_%TKN%.mp3", {"_001.mp3", "_002.mp3"}, "録音録"},
        {"%TKN% - " + kana + " (%TLN%)", {" (5：00).wav", " (5：00).wav"}, " - 録音録"},
        {"Live " + std::string(300, 'x') + "%STM2%-%TKN2%", {"x0：00：00-01.wav", "x0：00：00-02.wav"}, "Live x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tmpl);
        for (int track = 1; track <= 2; ++track) {
            values.trackNumber = track;
            values.endOffsetMs = values.trackLengthMs = 300000;
            const std::string path = Build(true, c.tmpl.c_str());
            const std::string name = FileNameOf(path.c_str()).str();
            EXPECT_TRUE(name.ends_with(c.ends[static_cast<size_t>(track - 1)])) << name;
        if (c.tmpl.starts_with("%TKN%")) {
            EXPECT_TRUE(name.starts_with(track == 1 ? "001" : "002")) << name;
        }
            EXPECT_NE(name.find(c.kept), std::string::npos) << name;
            EXPECT_LE(name.size(), 255u - 32u) << "room is left for a number or a marker";
            CCharString valid;
            EXPECT_TRUE(CCharString::FromUtf8(name, valid)) << "cut at a character: " << name;
            const int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
            EXPECT_GE(fd, 0) << path;
            if (fd >= 0) close(fd);
        }
    }
    // Where only values are left, they are cut from the end, the extension still kept.
    std::string tokens, expected;
    for (int i = 0; i < 40; ++i) tokens += "%TDY%";
    for (int i = 0; i < 21; ++i) expected += "2005-06-01";
    EXPECT_EQ(FileNameOf(Build(false, tokens.c_str()).c_str()).str(), expected + "2005-06-0.wav");
}
