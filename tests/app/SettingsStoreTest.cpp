// The settings store against real QSettings files in a temporary folder.
#include "app/settings/SettingsStore.h"

#include <QByteArray>
#include <QSettings>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "audiofile/QualityTable.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserLanguage.h"

namespace {

using Entries = std::vector<CCharString>;

int ThisYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

// A home whose music folder is "Tunes", so the default folder does not depend on the machine.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("HOME", dir.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        mkdir((dir / "config").c_str(), 0700);
        WriteFileBytes(dir / "config/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Tunes\"\n");
    }

    std::string File() const { return dir / "VelsonaF.conf"; }
    // Writes values the way another run (or another version) left them.
    void Store(const QString& key, const QVariant& value) const {
        QSettings raw(QString::fromStdString(File()), QSettings::IniFormat);
        raw.setValue(key, value);
    }

    TempDir dir;
};

RecordingSettings Changed() {
    RecordingSettings s;
    s.outputFolder = "/srv/rec";
    s.fileNameTemplate = "%TDY%/No.%RCN%.mp3";
    s.inputDevice = 3;
    s.sampleRate = 48000;
    s.channels = 1;
    s.outputFormat = OutputFormat::Mp3;
    s.qualityIndex = 20;
    s.oggQuality = 55;
    s.recordingNumber = 12;
    s.splitMethod = kSplitSilence;
    s.splitTime = {0, 0, 3, 250};
    s.silenceLeft = -383;
    s.silenceRight = -400;
    s.tagTitle = "ラジオ, 第%TKN%回";
    s.tagArtist = "";
    s.tagYear = 1999;
    s.resumeInput = true;
    s.alignToClock = true;
    s.keepDays = 90;
    s.keepFreeMb = 20 * 1024;
    return s;
}

void ExpectSame(const RecordingSettings& a, const RecordingSettings& b) {
    EXPECT_EQ(a.outputFolder, b.outputFolder);
    EXPECT_EQ(a.fileNameTemplate, b.fileNameTemplate);
    EXPECT_EQ(a.inputDevice, b.inputDevice);
    EXPECT_EQ(a.sampleRate, b.sampleRate);
    EXPECT_EQ(a.channels, b.channels);
    EXPECT_EQ(a.bitsPerSample, b.bitsPerSample);
    EXPECT_EQ(a.outputFormat, b.outputFormat);
    EXPECT_EQ(a.qualityIndex, b.qualityIndex);
    EXPECT_EQ(a.oggQuality, b.oggQuality);
    EXPECT_EQ(a.recordingNumber, b.recordingNumber);
    EXPECT_EQ(a.splitMethod, b.splitMethod);
    EXPECT_EQ(a.splitTime.TotalSeconds(), b.splitTime.TotalSeconds());
    EXPECT_EQ(a.splitTime.milliseconds, b.splitTime.milliseconds);
    EXPECT_EQ(a.silenceLeft, b.silenceLeft);
    EXPECT_EQ(a.silenceRight, b.silenceRight);
    EXPECT_EQ(a.tagTitle, b.tagTitle);
    EXPECT_EQ(a.tagArtist, b.tagArtist);
    EXPECT_EQ(a.tagAlbum, b.tagAlbum);
    EXPECT_EQ(a.tagComment, b.tagComment);
    EXPECT_EQ(a.tagYear, b.tagYear);
    EXPECT_EQ(a.resumeInput, b.resumeInput);
    EXPECT_EQ(a.alignToClock, b.alignToClock);
    EXPECT_EQ(a.keepDays, b.keepDays);
    EXPECT_EQ(a.keepFreeMb, b.keepFreeMb);
}

}  // namespace

TEST_F(SettingsStoreTest, FirstStartOnACleanMachine) {
    CSettingsStore store(File().c_str());
    ProfileState state;
    store.LoadProfile(kDefaultPresetName, state);
    EXPECT_EQ(state.presets.entries, Entries{kDefaultPresetName});
    EXPECT_EQ(state.presetName, kDefaultPresetName);
    EXPECT_TRUE(state.folders.entries.empty());
    const RecordingSettings& s = state.settings;
    EXPECT_EQ(s.outputFolder.str(), dir / "Tunes/My Recording");
    EXPECT_EQ(s.fileNameTemplate, "%TDY%/No.%RCN%-Track%TKN%_%STM%-%ETM%(%TLN%).wav");
    EXPECT_EQ(s.inputDevice, -1);
    EXPECT_EQ(s.sampleRate, 44100);
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(s.bitsPerSample, 16);
    EXPECT_EQ(s.outputFormat, OutputFormat::Wav);
    EXPECT_EQ(s.qualityIndex, 2);
    EXPECT_EQ(s.oggQuality, 40);
    EXPECT_EQ(s.recordingNumber, 1);
    EXPECT_EQ(s.splitMethod, kSplitManual);
    EXPECT_EQ(s.SplitLengthSeconds(), -1);
    EXPECT_EQ(s.silenceLeft, -450);
    EXPECT_EQ(s.silenceRight, -450);
    EXPECT_EQ(s.tagTitle, "タイトルNo%TKN% - %TDY%");
    EXPECT_EQ(s.tagAlbum, "アルバムNo%RCN%");
    const int year = ThisYear();
    EXPECT_TRUE(s.tagYear == year || s.tagYear == year - 1) << s.tagYear;
    EXPECT_FALSE(PathExists(File())) << "loading writes nothing";
}

TEST_F(SettingsStoreTest, TheUsersStoreLivesUnderMorvVelsonaF) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir / "user"));
    CSettingsStore store;
    EXPECT_EQ(store.FilePath().str(), dir / "user/MORV/VelsonaF.conf");
    ASSERT_TRUE(store.SaveSettings(kDefaultPresetName, Changed()));
    ExpectSame(CSettingsStore((dir / "user/MORV/VelsonaF.conf").c_str()).LoadSettings(kDefaultPresetName), Changed());
}

TEST_F(SettingsStoreTest, EverySettingSurvivesSaveAndLoadWithItsType) {
    {
        CSettingsStore store(File().c_str());
        ASSERT_TRUE(store.SaveSettings("radio", Changed()));
    }
    ExpectSame(CSettingsStore(File().c_str()).LoadSettings("radio"), Changed());
    QSettings raw(QString::fromStdString(File()), QSettings::IniFormat);
    EXPECT_EQ(raw.value("SETTING/VERSION").toInt(), 48);
    EXPECT_EQ(raw.value("SETTING/radio/PRESET_VERSION").toInt(), 48);
    EXPECT_EQ(raw.value("SETTING/radio/TRACK_SPLITTIME").toByteArray(), QByteArray("\0\0\0\0\3\0\xFA\0", 8));
    EXPECT_EQ(raw.value("SETTING/radio/TRACK_RECNO").toString(), "12");
}

TEST_F(SettingsStoreTest, PresetNamesAreTrimmedAndMadeSafe) {
    CSettingsStore store(File().c_str());
    ProfileState state;
    store.LoadProfile(kDefaultPresetName, state);
    state.presetName = "  live:set/1 ";
    state.settings = Changed();
    const Result<bool> saved = store.SavePreset(state);
    ASSERT_TRUE(saved) << saved.error().message.SourceText();
    EXPECT_TRUE(*saved);
    EXPECT_EQ(state.presetName, "live：set／1");
    EXPECT_EQ(state.presets.entries, (Entries{kDefaultPresetName, "live：set／1"}));
    EXPECT_EQ(state.presets.selected, 1);
    ExpectSame(store.LoadSettings("live：set／1"), Changed());
    EXPECT_EQ(CSettingsStore(File().c_str()).LoadHistory(kPresetHistory).entries, state.presets.entries);

    state.presetName = " \t ";
    EXPECT_EQ(store.SavePreset(state).error().message.SourceText(), "録音プリセットが未入力です。");
}

TEST_F(SettingsStoreTest, SavingUnderAnExistingNameOverwritesIt) {
    CSettingsStore store(File().c_str());
    ProfileState state;
    store.LoadProfile(kDefaultPresetName, state);
    state.presetName = "radio";
    ASSERT_TRUE(store.SavePreset(state).value_or(false));
    state.presetName = "night";
    ASSERT_TRUE(store.SavePreset(state).value_or(false));
    state.presetName = "radio";
    state.settings = Changed();
    ASSERT_TRUE(store.SavePreset(state).value_or(false));
    EXPECT_EQ(state.presets.entries, (Entries{kDefaultPresetName, "radio", "night"}));
    EXPECT_EQ(state.presets.selected, 1);
    ExpectSame(store.LoadSettings("radio"), Changed());
}

TEST_F(SettingsStoreTest, DeletingRefusesTheFirstEntryAndLoadsItAfterADeletion) {
    CSettingsStore store(File().c_str());
    ProfileState state;
    store.LoadProfile(kDefaultPresetName, state);
    ASSERT_TRUE(store.SaveSettings(kDefaultPresetName, RecordingSettings{}));
    state.settings = Changed();
    for (const char* name : {"radio", "night"}) {
        state.presetName = name;
        ASSERT_TRUE(store.SavePreset(state).value_or(false));
    }
    const std::string refusal = "(デフォルト設定) の録音プリセットは削除できません。";

    // Entry 0 is refused whatever its name; the message names the default preset.
    state.presets.entries = {"radio", kDefaultPresetName, "night"};
    state.presets.selected = 0;
    state.presetName = "radio";
    EXPECT_EQ(store.DeletePreset(state).error().message.SourceText(), refusal);
    state.presets.selected = 1;
    state.presetName = kDefaultPresetName;
    EXPECT_EQ(store.DeletePreset(state).error().message.SourceText(), refusal);
    state.presetName = "";
    EXPECT_EQ(store.DeletePreset(state).error().message.SourceText(), "録音プリセットが未入力です。");
    state.presetName = "unknown";
    const Result<bool> unknown = store.DeletePreset(state);
    ASSERT_TRUE(unknown) << "nothing to delete is no failure";
    EXPECT_FALSE(*unknown);
    EXPECT_EQ(state.presets.entries.size(), 3u);

    state.presets.selected = 2;
    state.presetName = "night";
    const Result<bool> deleted = store.DeletePreset(state);
    ASSERT_TRUE(deleted) << deleted.error().message.SourceText();
    EXPECT_TRUE(*deleted);
    EXPECT_EQ(state.presets.entries, (Entries{"radio", kDefaultPresetName}));
    EXPECT_EQ(state.presets.selected, 0);
    EXPECT_EQ(state.presetName, "radio");
    ExpectSame(state.settings, Changed());
    QSettings raw(QString::fromStdString(File()), QSettings::IniFormat);
    EXPECT_FALSE(raw.contains("SETTING/night/OUT_FOLDER"));
    EXPECT_TRUE(raw.contains("SETTING/radio/OUT_FOLDER"));
    EXPECT_EQ(store.LoadHistory(kPresetHistory).entries, state.presets.entries);
}

TEST_F(SettingsStoreTest, ClosingStoresUnderTheDefaultPresetWithTheHistories) {
    CSettingsStore store(File().c_str());
    ProfileState state;
    store.LoadProfile(kDefaultPresetName, state);
    state.presetName = "radio";
    ASSERT_TRUE(store.SavePreset(state).value_or(false));
    state.settings = Changed();
    state.settings.fileNameTemplate = "%TDY%/No.%RCN%.mp3";
    ASSERT_TRUE(store.SaveProfile(kDefaultPresetName, state));

    ProfileState next;
    CSettingsStore(File().c_str()).LoadProfile(kDefaultPresetName, next);
    ExpectSame(next.settings, state.settings);
    EXPECT_EQ(store.LoadSettings("radio").outputFolder, DefaultOutputFolder()) << "the named preset is unchanged";
    EXPECT_EQ(next.presets.entries, (Entries{kDefaultPresetName, "radio"}));
    EXPECT_EQ(next.folders.entries, Entries{"/srv/rec"});
    EXPECT_EQ(next.templates.entries, Entries{"%TDY%/No.%RCN%"}) << "stored without the extension";
    EXPECT_EQ(next.templates.selected, 0);
}

TEST_F(SettingsStoreTest, SplitTimeBlock) {
    const struct {
        QByteArray stored;
        int seconds;
        int milliseconds;
    } cases[] = {
        {QByteArray("\x01\x00\x1E\x00\x00\x00\x00\x00", 8), 5400, 0},
        {QByteArray("\x00\x00\x00\x00\x03\x00\xF4\x01" "extra", 13), 3, 500},  // only 8 bytes count
        {QByteArray("\x02\x00\x01", 3), 2 * 3600 + 60, 0},                     // the rest stays zero
        {QByteArray("\x18\x00\x00\x00\x00\x00\x00\x00", 8), 0, 0},             // 24 h is no time of day
        {QByteArray(), 0, 0},
    };
    for (const auto& c : cases) {
        Store("SETTING/p/TRACK_SPLITTIME", c.stored);
        Store("SETTING/p/TRACK_SPLITTYPE", 1);
        const RecordingSettings s = CSettingsStore(File().c_str()).LoadSettings("p");
        EXPECT_EQ(s.SplitLengthSeconds(), c.seconds) << c.stored.toHex().toStdString();
        EXPECT_EQ(s.splitTime.milliseconds, c.milliseconds) << c.stored.toHex().toStdString();
    }
}

TEST_F(SettingsStoreTest, AHistoryStopsAtItsFirstEmptyEntry) {
    Store("MRU_OUTFOLDERS/MRUCOUNT", 5);
    Store("MRU_OUTFOLDERS/HISTORY_0", "/srv/a");
    Store("MRU_OUTFOLDERS/HISTORY_1", "");
    Store("MRU_OUTFOLDERS/HISTORY_2", "/srv/c");
    const HistoryList list = CSettingsStore(File().c_str()).LoadHistory(kFolderHistory);
    EXPECT_EQ(list.entries, Entries{"/srv/a"});
    EXPECT_EQ(list.selected, 0);
}

// An Opus preset without its row takes the default of its input: 64k bps stereo, or 32k bps mono
// for a mono input; its template gets ".opus".
TEST_F(SettingsStoreTest, AnOpusPresetWithoutItsRowTakesTheDefaultOfItsInput) {
    WriteFileBytes(File(), "[SETTING]\n"
                           "mono\\OUT_FILEFMT=5\nmono\\IN_QUALITY_CHANNEL=1\nmono\\OUT_FILENAME=%TDY%/take.wav\n"
                           "stereo\\OUT_FILEFMT=5\nstereo\\IN_QUALITY_CHANNEL=2\nstereo\\OUT_FILENAME=%TDY%/take.wav\n");
    const CSettingsStore store(File().c_str());
    for (const int channels : {1, 2}) {
        const RecordingSettings s = store.LoadSettings(channels == 1 ? "mono" : "stereo");
        EXPECT_EQ(s.outputFormat, OutputFormat::Opus);
        const QualityEntry* row = QualityTableFor(OutputFormat::Opus).Row(s.qualityIndex);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->value, channels == 1 ? 32000 : 64000);
        EXPECT_EQ(row->channels, channels);
        EXPECT_EQ(s.fileNameTemplate, "%TDY%/take.opus");
    }
}

TEST_F(SettingsStoreTest, DamagedOrForeignValuesReadAsDefaults) {
    WriteFileBytes(File(),
                   "[SETTING]\nVERSION=9000\n"
                   "p\\TRACK_RECNO=abc\np\\OUT_FILEFMT=9\np\\IN_QUALITY_CHANNEL=6\np\\OUT_OGG-QUALITY=101\n"
                   "p\\TRACK_SPLITTIME=01:30:00\np\\SILENT_VOLLEFT=-383\np\\SILENT_VOLRIGHT=99999999999\n"
                   "p\\TAG_YEAR=@ByteArray(2024)\np\\TAG_TITLE=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x10)\n"
                   "p\\NEW_IN_VERSION_9=1\np\\OUT_FOLDER=/srv/rec\np\\OUT_QUALI\n"
                   "[MRU_PRESETS]\nMRUCOUNT=-3\n");
    CSettingsStore store(File().c_str());
    const RecordingSettings s = store.LoadSettings("p");
    const RecordingSettings d;
    EXPECT_EQ(s.recordingNumber, d.recordingNumber);
    EXPECT_EQ(s.outputFormat, d.outputFormat);
    EXPECT_EQ(s.qualityIndex, DefaultQualityIndex(OutputFormat::Wav));
    EXPECT_EQ(s.channels, d.channels);
    EXPECT_EQ(s.oggQuality, d.oggQuality);
    EXPECT_EQ(s.SplitLengthSeconds(), -1);
    EXPECT_EQ(s.splitTime.TotalSeconds(), 0) << "text is no split-time block";
    EXPECT_EQ(s.silenceLeft, -383) << "what can be read is kept";
    EXPECT_EQ(s.silenceRight, d.silenceRight);
    EXPECT_EQ(s.tagTitle, d.tagTitle);
    EXPECT_GT(s.tagYear, 2000);
    EXPECT_EQ(s.outputFolder, "/srv/rec");
    EXPECT_FALSE(s.resumeInput) << "a preset from before the setting stops at a lost input";
    EXPECT_FALSE(s.alignToClock) << "nor does it cut on the clock";
    EXPECT_EQ(s.keepDays, 0) << "a preset from before keeping recordings removes nothing";
    EXPECT_EQ(s.keepFreeMb, 0);
    EXPECT_TRUE(store.LoadHistory(kPresetHistory).entries.empty());

    // Saving over it leaves a file that reads back whole, with what was readable kept.
    ASSERT_TRUE(store.SaveSettings("q", Changed()));
    CSettingsStore reopened(File().c_str());
    ExpectSame(reopened.LoadSettings("q"), Changed());
    EXPECT_EQ(reopened.LoadSettings("p").silenceLeft, -383);
    EXPECT_TRUE(PathExists(File() + ".damaged")) << "the damaged file is kept aside";
}

TEST_F(SettingsStoreTest, GarbageFilesLoadAsDefaultsAndCanBeSavedOver) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919 + 13) % 256);
    const std::string files[] = {
        binary,
        std::string("[SETTING]\n\0\0\0p\\OUT_FOLDER=/srv\0x\n", 32),
        "[SETTING\np\\OUT_FOLDER=\"unterminated\np\\TRACK_SPLITTIME=@ByteArray(\\x1",  // cut off mid-write
        "[[[]]]=\n=\n\\\\\\=@\n[%FF%FE]\nMRUCOUNT=2147483647\n",
    };
    for (const std::string& content : files) {
        WriteFileBytes(File(), content);
        CSettingsStore store(File().c_str());
        ProfileState state;
        store.LoadProfile("p", state);
        EXPECT_EQ(state.settings.sampleRate, 44100);
        EXPECT_EQ(state.settings.fileNameTemplate, kDefaultFileNameTemplate);
        EXPECT_EQ(state.presets.entries, Entries{kDefaultPresetName});
        ASSERT_TRUE(store.SaveSettings("p", Changed()));
        ExpectSame(CSettingsStore(File().c_str()).LoadSettings("p"), Changed());
    }
}

TEST_F(SettingsStoreTest, SavingReplacesTheFileInsteadOfRewritingIt) {
    CSettingsStore store(File().c_str());
    ASSERT_TRUE(store.SaveSettings("p", RecordingSettings{}));
    struct stat before {}, after {};
    ASSERT_EQ(stat(File().c_str(), &before), 0);
    ASSERT_TRUE(store.SaveSettings("p", Changed()));
    ASSERT_EQ(stat(File().c_str(), &after), 0);
    // A new file renamed over the old one: a crash mid-save leaves the old file whole.
    EXPECT_NE(before.st_ino, after.st_ino);

    // A store that cannot be written says so.
    WriteFileBytes(dir / "blocked", "a file where a folder should be");
    CSettingsStore blocked((dir / "blocked/VelsonaF.conf").c_str());
    EXPECT_FALSE(blocked.SaveSettings("p", Changed()));
}

TEST(History, AddMovesToTheTopIgnoringCaseAndKeepsTheLimit) {
    HistoryList list;
    for (int i = 0; i < 12; ++i) AddToHistory(list, 10, CCharString::Formatted("/rec/%d", i));
    ASSERT_EQ(list.entries.size(), 10u);
    EXPECT_EQ(list.entries.front(), "/rec/11");
    EXPECT_EQ(list.entries.back(), "/rec/2");
    AddToHistory(list, 10, "/REC/5");
    EXPECT_EQ(list.entries.size(), 10u) << "the equal entry went, not the last one";
    EXPECT_EQ(list.entries.front(), "/REC/5");
    EXPECT_EQ(list.entries.back(), "/rec/2");
    EXPECT_EQ(list.selected, 0);
    HistoryList unlimited;
    for (int i = 0; i < 12; ++i) AddToHistory(unlimited, 0, CCharString::Formatted("%d", i));
    EXPECT_EQ(unlimited.entries.size(), 12u);
}

TEST(History, TemplatesLoseOnlyAShortExtension) {
    ProfileState state;
    state.settings.outputFolder = "";
    state.settings.fileNameTemplate = "%TDY%/No.%RCN%.mp3";
    PushIntoHistories(state);
    state.settings.fileNameTemplate = "No.%RCN%.longer";
    PushIntoHistories(state);
    state.settings.fileNameTemplate = "%tdy%/no.%rcn%.ogg";
    PushIntoHistories(state);
    EXPECT_EQ(state.templates.entries, (Entries{"%tdy%/no.%rcn%", "No.%RCN%.longer"}));
    EXPECT_TRUE(state.folders.entries.empty()) << "an empty folder is not remembered";
}

namespace {

bool AnyContains(const std::vector<UserText>& lines, const std::string& part) {
    for (const UserText& line : lines)
        if (line.SourceText().find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

// A hand-edited preset loads as the output bar would show it, never as MP3 data under a ".wav"
// name or a row outside the table; what was replaced is told.
TEST_F(SettingsStoreTest, DisagreeingOrOutOfRangeValuesLoadAsTheBarWouldShowThem) {
    WriteFileBytes(File(), "[SETTING]\n"
                           "p\\OUT_FILEFMT=3\np\\OUT_FILENAME=rec/No.%RCN%.wav\np\\OUT_QUALITY=99999\n"
                           "p\\TRACK_RECNO=99999999999\np\\SILENT_VOLLEFT=-383\n"
                           "q\\OUT_FILEFMT=2\np\\X=1\nq\\OUT_FILENAME=name.longext\nq\\OUT_QUALITY=11\n"
                           "r\\OUT_FILEFMT=4\nr\\OUT_FILENAME=rec.wav\nr\\OUT_QUALITY=107\n");
    CSettingsStore store(File().c_str());
    std::vector<UserText> problems;
    const RecordingSettings p = store.LoadSettings("p", &problems);
    EXPECT_EQ(p.fileNameTemplate, "rec/No.%RCN%.mp3");
    EXPECT_EQ(p.qualityIndex, 16) << "the MP3 table's default row";
    EXPECT_EQ(p.recordingNumber, 1);
    EXPECT_EQ(p.silenceLeft, -383);
    EXPECT_EQ(problems.size(), 2u);
    EXPECT_TRUE(AnyContains(problems, "OUT_QUALITY=99999 は使えないため、既定値 16")) << problems[0].SourceText();
    EXPECT_TRUE(AnyContains(problems, "TRACK_RECNO=99999999999"));

    problems.clear();
    const RecordingSettings q = store.LoadSettings("q", &problems);
    EXPECT_EQ(q.fileNameTemplate, "name.longext.ogg") << "a long extension is part of the name";
    EXPECT_EQ(q.qualityIndex, 11) << "the last row of the PCM table is a row";
    EXPECT_TRUE(problems.empty());

    const RecordingSettings r = store.LoadSettings("r", &problems);
    EXPECT_EQ(r.outputFormat, OutputFormat::Flac);
    EXPECT_EQ(r.fileNameTemplate, "rec.flac");
    EXPECT_EQ(r.qualityIndex, 107) << "the last row of the FLAC table is a row";
    EXPECT_TRUE(problems.empty());
}

TEST_F(SettingsStoreTest, ANamedPresetThatDoesNotExistIsReported) {
    CSettingsStore store(File().c_str());
    ASSERT_TRUE(store.SaveSettings("live", Changed()));
    const struct {
        const char* name;
        bool missing;
    } cases[] = {{"live", false}, {" live ", false}, {"studio", true}, {kDefaultPresetName, false}};
    for (const auto& c : cases) {
        ProfileState state;
        LoadReport report;
        store.LoadProfile(c.name, state, &report);
        EXPECT_EQ(report.presetMissing, c.missing) << c.name;
        EXPECT_EQ(AnyContains(report.problems, "はありません"), c.missing) << c.name;
    }
}

TEST_F(SettingsStoreTest, ADamagedFileIsReportedOnceWithItsKeptCopy) {
    WriteFileBytes(File(), "[SETTING]\np\\OUT_FOLDER=/srv/rec\np\\OUT_QUALI\n");
    {
        CSettingsStore store(File().c_str());
        ASSERT_EQ(store.FileProblems().size(), 1u);
        EXPECT_TRUE(AnyContains(store.FileProblems(), File() + ".damaged として残し")) << store.FileProblems()[0].SourceText();
        EXPECT_TRUE(PathExists(File() + ".damaged"));
        EXPECT_EQ(store.LoadSettings("p").outputFolder, "/srv/rec") << "what could be read is used";
    }
    EXPECT_TRUE(CSettingsStore(File().c_str()).FileProblems().empty()) << "the next start finds a sound file";
}

TEST_F(SettingsStoreTest, AStraySectionLineNeverMovesAPresetAway) {
    WriteFileBytes(File(), "[SETTING]\nVERSION=48\np\\OUT_FOLDER=/srv/rec\n[junk]\np\\OUT_FILEFMT=3\n"
                           "p\\TAG_ARTIST=Band\n[MRU_PRESETS]\nMRUCOUNT=1\nHISTORY_0=p\n");
    {
        CSettingsStore store(File().c_str());
        ASSERT_EQ(store.FileProblems().size(), 1u);
        EXPECT_TRUE(AnyContains(store.FileProblems(), "[junk]")) << store.FileProblems()[0].SourceText();
        RecordingSettings p = store.LoadSettings("p");
        EXPECT_EQ(p.outputFormat, OutputFormat::Mp3);
        EXPECT_EQ(p.tagArtist, "Band");
        p.tagAlbum = "saved";
        ASSERT_TRUE(store.SaveSettings("p", p));
    }
    const std::string saved = ReadFileBytes(File());
    EXPECT_EQ(saved.find("junk"), std::string::npos) << saved;
    const RecordingSettings reread = CSettingsStore(File().c_str()).LoadSettings("p");
    EXPECT_EQ(reread.tagArtist, "Band");
    EXPECT_EQ(reread.tagAlbum, "saved");
    EXPECT_EQ(reread.outputFolder, "/srv/rec");
}

TEST_F(SettingsStoreTest, AnUnreadableFileIsReportedAtOnceAndNeverSavedOver) {
    // Root reads any file, so a folder in its place is what nobody can read.
    ASSERT_EQ(mkdir(File().c_str(), 0700), 0);
    WriteFileBytes(File() + "/keep", "x");
    CSettingsStore store(File().c_str());
    ASSERT_EQ(store.FileProblems().size(), 1u);
    EXPECT_TRUE(AnyContains(store.FileProblems(), "を読めません")) << store.FileProblems()[0].SourceText();
    ProfileState state;
    store.LoadProfile(kDefaultPresetName, state);
    EXPECT_EQ(state.settings.sampleRate, 44100);
    EXPECT_FALSE(store.SaveProfile(kDefaultPresetName, state));
    // The preset bar's save says it failed, naming the file, rather than going on as if saved.
    state.presetName = "radio";
    const Result<bool> saved = store.SavePreset(state);
    ASSERT_FALSE(saved);
    EXPECT_NE(saved.error().message.SourceText().find(File()), std::string::npos) << saved.error().message.SourceText();
    EXPECT_TRUE(PathExists(File() + "/keep"));
}

// A new English-speaking user's tags start from English words; a preset stored before keeps the
// words it has, and the default preset keeps its stored name.
TEST_F(SettingsStoreTest, DefaultTagTemplatesAreInTheUsersLanguageUntilStored) {
    {
        CSettingsStore store(File().c_str());
        ProfileState state;
        store.LoadProfile(kDefaultPresetName, state);
        ASSERT_TRUE(store.SaveProfile(kDefaultPresetName, state));
    }
    UserLanguage english(Language::kEnglish);
    ASSERT_TRUE(english.active());
    CSettingsStore store(File().c_str());
    const RecordingSettings stored = store.LoadSettings(kDefaultPresetName);
    EXPECT_EQ(stored.tagTitle, "タイトルNo%TKN% - %TDY%");
    EXPECT_EQ(stored.tagComment, "コメント%STM%-%ETM%(%TLN%)");
    const RecordingSettings fresh = CSettingsStore((dir / "new.conf").c_str()).LoadSettings(kDefaultPresetName);
    EXPECT_EQ(fresh.tagTitle, "Title No%TKN% - %TDY%");
    EXPECT_EQ(fresh.tagArtist, "Artist");
    EXPECT_EQ(fresh.tagAlbum, "Album No%RCN%");
    EXPECT_EQ(fresh.tagComment, "Comment %STM%-%ETM%(%TLN%)");
    EXPECT_EQ(SaidUtf8(PresetDisplayName(kDefaultPresetName)), "(Default settings)");
    EXPECT_EQ(store.LoadHistory(kPresetHistory).entries.at(0), kDefaultPresetName) << "stored as it stands";
}
