// Template expansion and track paths, with a clock the tests set.
#include "app/FileNameTemplate.h"

#include <gtest/gtest.h>

namespace {

LocalDateTime At(int year, int month, int day, int hour, int minute, int second) {
    return LocalDateTime {year, month, day, hour, minute, second, 0};
}

// A clock that reads whatever the test last set.
struct FixedClock {
    LocalDateTime now = At(2005, 6, 1, 10, 20, 30);
    TrackClocks Clocks() {
        TrackClocks clocks;
        clocks.now = [this] { return now; };
        return clocks;
    }
};

std::string Expand(const char* text, bool endKnown, const TemplateValues& values, TrackClocks& clocks) {
    return ExpandTemplate(text, endKnown, values, clocks).str();
}

}  // namespace

TEST(FileNameTemplate, DefaultTemplateNamesTheFileWhileRecordingThenAtTheEnd) {
    FixedClock clock;
    TrackClocks clocks = clock.Clocks();
    CCharString folder = "/rec";
    const CCharString tmpl = "%TDY%\\No.%RCN%-Track%TKN%_%STM%-%ETM%(%TLN%).wav";
    TemplateValues values;  // recording 1, track 1, opened at 0

    EXPECT_EQ(BuildTrackPath(false, folder, tmpl, OutputFormat::Wav, values, clocks).str(),
              "/rec/2005-06-01/No.01-Track001_0：00-？(？).wav");
    EXPECT_EQ(folder.str(), "/rec/") << "the setting keeps the separator added to it";

    // Closed after 5 minutes, just past midnight: the date folder is the day the track began.
    clock.now = At(2005, 6, 2, 0, 0, 5);
    values.endOffsetMs = 300000;
    values.trackLengthMs = 300000;
    EXPECT_EQ(BuildTrackPath(true, folder, tmpl, OutputFormat::Wav, values, clocks).str(),
              "/rec/2005-06-01/No.01-Track001_0：00-5：00(5：00).wav");
    EXPECT_EQ(folder.str(), "/rec/");
}

TEST(FileNameTemplate, OffsetsAndLengthsInHours) {
    FixedClock clock;
    TrackClocks clocks = clock.Clocks();
    TemplateValues second;
    second.startOffsetMs = 300000;
    second.endOffsetMs = 61 * 60000 + 30000;
    second.trackLengthMs = second.endOffsetMs - second.startOffsetMs;
    EXPECT_EQ(Expand("%STM2%-%ETM2%-%TLN2%", true, second, clocks), "0:05:00-1:01:30-0:56:30");
    EXPECT_EQ(Expand("%STM2%-%ETM2%-%TLN2%", false, second, clocks), "0:05:00-？-？");
    // Minutes are not wrapped at the hour in the short form.
    EXPECT_EQ(Expand("%STM%-%ETM%-%TLN%", true, second, clocks), "5:00-61:30-56:30");

    CCharString folder = "/rec/";
    EXPECT_EQ(BuildTrackPath(true, folder, "%STM2%-%ETM2%-%TLN2%", OutputFormat::Wav, second, clocks).str(),
              "/rec/0：05：00-1：01：30-0：56：30.wav");
}

TEST(FileNameTemplate, TrackNumbersInBothWidths) {
    FixedClock clock;
    TrackClocks clocks = clock.Clocks();
    TemplateValues values;
    values.trackNumber = 7;
    EXPECT_EQ(Expand("%TKN2%|%TKN%", false, values, clocks), "07|007");
    values.trackNumber = 1234;
    EXPECT_EQ(Expand("%TKN2%|%TKN%", false, values, clocks), "1234|1234");
    values.recordingNumber = 3;
    EXPECT_EQ(Expand("%RCN%%RCN%", false, values, clocks), "0303");
}

TEST(FileNameTemplate, ClocksAreStampedByEachExpansion) {
    FixedClock clock;
    TrackClocks clocks = clock.Clocks();
    TemplateValues values;
    EXPECT_EQ(Expand("%TDY2% %TDY% %SNW%-%ENW%", false, values, clocks), "05-06-01 2005-06-01 10:20:30-？");

    clock.now = At(2005, 6, 1, 11, 0, 5);
    EXPECT_EQ(Expand("%SNW%-%ENW%", true, values, clocks), "10:20:30-11:00:05");
    EXPECT_EQ(clocks.start.hour, 10);
    EXPECT_EQ(clocks.end.hour, 11);

    // An expansion while opening moves the start clock, and only it.
    clock.now = At(2010, 1, 2, 3, 4, 5);
    EXPECT_EQ(Expand("%TDY2% %SNW%-%ENW%", false, values, clocks), "10-01-02 03:04:05-？");
    EXPECT_EQ(clocks.end.hour, 11);
}

TEST(FileNameTemplate, TokensAreMatchedExactlyAndUnknownOnesStay) {
    FixedClock clock;
    TrackClocks clocks = clock.Clocks();
    TemplateValues values;
    values.trackNumber = 5;
    EXPECT_EQ(Expand("%tkn% %TKN %FOO% 録音%TKN%曲", false, values, clocks), "%tkn% %TKN %FOO% 録音005曲");
    EXPECT_EQ(Expand("live recording", false, values, clocks), Expand("live recording", true, values, clocks));
}

TEST(FileNameTemplate, DefaultExtensionOnlyWhenTheTemplateHasNoShortOne) {
    FixedClock clock;
    TrackClocks clocks = clock.Clocks();
    TemplateValues values;
    CCharString folder = "/rec/";
    auto build = [&](const char* tmpl, OutputFormat format) {
        return BuildTrackPath(false, folder, tmpl, format, values, clocks).str();
    };
    EXPECT_EQ(build("take", OutputFormat::Mp3), "/rec/take.mp3");
    EXPECT_EQ(build("take.backup", OutputFormat::Mp3), "/rec/take.backup.mp3");
    EXPECT_EQ(build("take.tmp", OutputFormat::Mp3), "/rec/take.tmp");
    EXPECT_EQ(build("take.", OutputFormat::OggVorbis), "/rec/take.") << "a lone dot is an extension of one character";
    // Characters, not bytes: three Japanese characters are a short extension.
    EXPECT_EQ(build("take.録音中", OutputFormat::Wma), "/rec/take.録音中");
    EXPECT_EQ(build("take", OutputFormat::Wma), "/rec/take.wma");
    EXPECT_EQ(build("take", OutputFormat::Wav), "/rec/take.wav");
    // A dot in a folder of the template is no extension.
    EXPECT_EQ(build("v1.0\\take", OutputFormat::OggVorbis), "/rec/v1.0/take.ogg");
}

TEST(FileNameTemplate, BackslashesMakeSubFolders) {
    FixedClock clock;
    TrackClocks clocks = clock.Clocks();
    TemplateValues values;
    CCharString folder = "/music\\rec\\";
    EXPECT_EQ(BuildTrackPath(false, folder, "%TDY%\\%RCN%\\a?b.wav", OutputFormat::Wav, values, clocks).str(),
              "/music/rec/2005-06-01/01/a？b.wav");
    EXPECT_EQ(folder.str(), "/music\\rec\\") << "a folder ending in either separator is left alone";
}

TEST(FileNameTemplate, CleanUpModes) {
    EXPECT_EQ(CleanUpName("a:b", CleanUpMode::Template).str(), "a：b");
    EXPECT_EQ(CleanUpName("%TDY%\\a:b/c", CleanUpMode::Template).str(), "%TDY%\\a：b/c");
    EXPECT_EQ(CleanUpName("C:\\x:y", CleanUpMode::Path).str(), "C:\\x：y");
    EXPECT_EQ(CleanUpName("my/preset:1", CleanUpMode::Strict).str(), "my／preset：1");
}
