// RecordingSettings: every value stored per preset, with the defaults of a first start, and the
// list of its fields by which they are stored and overridden.
#pragma once

#include <QtGlobal>
#include <climits>
#include <cstdint>
#include <variant>

#include "audiofile/FormatTable.h"
#include "foundation/CharString.h"
#include "tags/OutputFormat.h"

// The split time is a duration held as a time of day.
struct SplitTime {
    uint16_t hours = 0;
    uint16_t minutes = 0;
    uint16_t seconds = 0;
    uint16_t milliseconds = 0;  // stored, never used for splitting

    int TotalSeconds() const { return hours * 3600 + minutes * 60 + seconds; }
};

enum SplitMethod : int { kSplitManual = 0, kSplitInterval = 1, kSplitSilence = 2 };

// The Ogg Vorbis quality of a first start, and of a format newly chosen.
inline constexpr int kDefaultOggQuality = 40;
// Stored as it stands whatever the language; shown as the catalogue's entry.
inline constexpr const char* kDefaultPresetName = QT_TRANSLATE_NOOP("RecordingSettings", "(デフォルト設定)");
// untranslated: a template of file-name tokens, the same in every language
inline constexpr const char* kDefaultFileNameTemplate = "%TDY%/No.%RCN%-Track%TKN%_%STM%-%ETM%(%TLN%).wav";
// The tag templates a new user starts with, in his language (the store says them for a preset
// that has none stored); a stored preset keeps the words it has.
inline constexpr const char* kDefaultTagTitle = QT_TRANSLATE_NOOP("RecordingSettings", "タイトルNo%TKN% - %TDY%");
inline constexpr const char* kDefaultTagArtist = QT_TRANSLATE_NOOP("RecordingSettings", "アーティスト");
inline constexpr const char* kDefaultTagAlbum = QT_TRANSLATE_NOOP("RecordingSettings", "アルバムNo%RCN%");
inline constexpr const char* kDefaultTagComment = QT_TRANSLATE_NOOP("RecordingSettings", "コメント%STM%-%ETM%(%TLN%)");

struct RecordingSettings {
    CCharString outputFolder;  // empty is replaced by DefaultOutputFolder() when loading
    CCharString fileNameTemplate = kDefaultFileNameTemplate;
    int inputDevice = -1;  // the default input
    int sampleRate = 44100;
    int channels = 2;
    int bitsPerSample = 16;
    OutputFormat outputFormat = OutputFormat::Wav;
    int qualityIndex = DefaultQualityIndex(OutputFormat::Wav);
    int oggQuality = kDefaultOggQuality;
    int recordingNumber = 1;
    int splitMethod = kSplitManual;
    SplitTime splitTime;
    int silenceLeft = -450;  // tenths of a decibel
    int silenceRight = -450;
    CCharString tagTitle = kDefaultTagTitle;
    CCharString tagArtist = kDefaultTagArtist;
    CCharString tagAlbum = kDefaultTagAlbum;
    CCharString tagComment = kDefaultTagComment;
    int tagYear = 0;  // the current year when loading finds none
    // "resume when the input returns": a failed input closes the track, and the recording waits
    // for the input to come back instead of stopping.
    bool resumeInput = false;
    // "record only while there is sound": with the silence split, silence of the split length
    // closes the track and nothing is written until sound returns; the next track then begins
    // with the last `preRollSeconds` before the sound, so no onset is lost.
    bool skipSilence = false;
    int preRollSeconds = 1;
    // "cut on the clock": interval splits fall on multiples of the interval from local midnight.
    bool alignToClock = false;
    // "loudness tags": each finished track is measured (EBU R128) and tagged with the gain players
    // apply to play it at one loudness.
    bool loudnessTags = false;
    // Keeping recordings: the oldest finished recordings go once older than this many days, and
    // while the output folder's disk has less free room than this (0: off).
    int keepDays = 0;
    int keepFreeMb = 0;

    // The split length of the interval and silence methods, -1 for manual splitting.
    int SplitLengthSeconds() const {
        return splitMethod == kSplitInterval || splitMethod == kSplitSilence ? splitTime.TotalSeconds() : -1;
    }
    // The silence split's thresholds and length are what tell sound from silence; with another
    // method the setting is kept but means nothing.
    bool SkipsSilence() const { return skipSilence && splitMethod == kSplitSilence; }
};

// 1 PiB: more room than any disk kept free.
inline constexpr int kLargestKeepFreeMb = 1 << 30;

// What the output bar proposes when its split method changes.
inline SplitTime DefaultSplitTime(int splitMethod) {
    if (splitMethod == kSplitInterval) return SplitTime{0, 30, 0, 0};
    if (splitMethod == kSplitSilence) return SplitTime{0, 0, 3, 0};
    return SplitTime{};
}

// The longest pre-roll: the audio thread keeps this much of every silence in a ring.
inline constexpr int kMaxPreRollSeconds = 10;

// One value of a preset: its key in the settings file, the member that holds it (its type is the
// value's kind, its initializer the default), velsona-rec's option that overrides it (none: no
// option), and for a number the range a stored one must keep to. The store reads and writes every
// value through this list, in this order (the order of its reports of unusable values);
// velsona-rec parses and applies its overrides through it.
struct SettingField {
    using Member = std::variant<CCharString RecordingSettings::*, int RecordingSettings::*, bool RecordingSettings::*,
                                OutputFormat RecordingSettings::*, SplitTime RecordingSettings::*>;
    const char* key;
    Member member;
    const char* option = nullptr;
    int low = INT_MIN;
    int high = INT_MAX;
};

inline constexpr SettingField kSettingFields[] = {
    {"OUT_FOLDER", &RecordingSettings::outputFolder, "folder"},
    {"IN_QUALITY_DEVICE", &RecordingSettings::inputDevice, "device", -1},
    {"IN_QUALITY_SAMPLE", &RecordingSettings::sampleRate, nullptr, 1},
    {"IN_QUALITY_CHANNEL", &RecordingSettings::channels, nullptr, 1, 2},
    {"IN_QUALITY_BIT", &RecordingSettings::bitsPerSample, nullptr, 8, 16},
    {"OUT_FILEFMT", &RecordingSettings::outputFormat, "format"},
    {"OUT_FILENAME", &RecordingSettings::fileNameTemplate, "template"},
    // The highest row is the last of the format's table.
    {"OUT_QUALITY", &RecordingSettings::qualityIndex, "quality", 0},
    {"OUT_OGG-QUALITY", &RecordingSettings::oggQuality, "ogg-quality", 0, 100},
    // Room for the raise after each recording.
    {"TRACK_RECNO", &RecordingSettings::recordingNumber, nullptr, 1, INT_MAX - 1},
    {"TRACK_SPLITTYPE", &RecordingSettings::splitMethod, "split", kSplitManual, kSplitSilence},
    {"SILENT_VOLLEFT", &RecordingSettings::silenceLeft, nullptr, -1300, 0},
    {"SILENT_VOLRIGHT", &RecordingSettings::silenceRight, nullptr, -1300, 0},
    {"TAG_TITLE", &RecordingSettings::tagTitle, "title"},
    {"TAG_ARTIST", &RecordingSettings::tagArtist, "artist"},
    {"TAG_ALBUM", &RecordingSettings::tagAlbum, "album"},
    {"TAG_COMMENT", &RecordingSettings::tagComment, "comment"},
    {"TAG_YEAR", &RecordingSettings::tagYear},
    {"TRACK_SPLITTIME", &RecordingSettings::splitTime, "split-time"},
    {"IN_RECONNECT", &RecordingSettings::resumeInput, "reconnect"},
    {"TRACK_SKIPSILENCE", &RecordingSettings::skipSilence, "skip-silence"},
    {"TRACK_PREROLL", &RecordingSettings::preRollSeconds, "pre-roll", 0, kMaxPreRollSeconds},
    {"TRACK_SPLITONCLOCK", &RecordingSettings::alignToClock, "align-to-clock"},
    {"TAG_LOUDNESS", &RecordingSettings::loudnessTags, "loudness-tags"},
    {"KEEP_DAYS", &RecordingSettings::keepDays, "keep-days", 0, 36500},
    {"KEEP_FREE_MB", &RecordingSettings::keepFreeMb, "keep-free", 0, kLargestKeepFreeMb},
};
