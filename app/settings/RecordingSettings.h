// RecordingSettings: every value stored per preset, with the defaults of a first start.
#pragma once

#include <cstdint>
#include <iterator>

#include "foundation/CharString.h"
#include "tags/FileKind.h"

// The split time is a duration held as a time of day.
struct SplitTime {
    uint16_t hours = 0;
    uint16_t minutes = 0;
    uint16_t seconds = 0;
    uint16_t milliseconds = 0;  // stored, never used for splitting

    int TotalSeconds() const { return hours * 3600 + minutes * 60 + seconds; }
};

enum SplitMethod : int { kSplitManual = 0, kSplitInterval = 1, kSplitSilence = 2 };

inline constexpr const char* kDefaultPresetName = "(デフォルト設定)";
inline constexpr const char* kDefaultFileNameTemplate = "%TDY%/No.%RCN%-Track%TKN%_%STM%-%ETM%(%TLN%).wav";

// The row the output bar selects when it switches to a format (WAV, WMA, Ogg, MP3, FLAC, Opus).
// Opus takes a mono input at 32k bps mono, where the stereo default would spend twice that on it.
inline int DefaultQualityIndex(int outputFormat, int inputChannels = 2) {
    constexpr int kOpusStereoDefault = 5;  // 64k bps stereo
    constexpr int kOpusMonoDefault = 14;   // 32k bps mono
    if (outputFormat == static_cast<int>(OutputFormat::Opus))
        return inputChannels == 1 ? kOpusMonoDefault : kOpusStereoDefault;
    static constexpr int kDefaults[] = {2, 6, 2, 16, 38};
    return outputFormat >= 0 && outputFormat < static_cast<int>(std::size(kDefaults)) ? kDefaults[outputFormat] : 0;
}

struct RecordingSettings {
    CCharString outputFolder;  // empty is replaced by DefaultOutputFolder() when loading
    CCharString fileNameTemplate = kDefaultFileNameTemplate;
    int inputDevice = -1;  // the default input
    int sampleRate = 44100;
    int channels = 2;
    int bitsPerSample = 16;
    int outputFormat = 0;  // an OutputFormat: 0 WAV, 1 WMA, 2 Ogg Vorbis, 3 MP3, 4 FLAC, 5 Opus
    int qualityIndex = DefaultQualityIndex(0);
    int oggQuality = 40;
    int recordingNumber = 1;
    int splitMethod = kSplitManual;
    SplitTime splitTime;
    int silenceLeft = -450;  // tenths of a decibel
    int silenceRight = -450;
    CCharString tagTitle = "タイトルNo%TKN% - %TDY%";
    CCharString tagArtist = "アーティスト";
    CCharString tagAlbum = "アルバムNo%RCN%";
    CCharString tagComment = "コメント%STM%-%ETM%(%TLN%)";
    int tagYear = 0;  // the current year when loading finds none
    // "resume when the input returns": a failed input closes the track, and the recording waits
    // for the input to come back instead of stopping.
    bool resumeInput = false;

    // The split length of the interval and silence methods, -1 for manual splitting.
    int SplitLengthSeconds() const {
        return splitMethod == kSplitInterval || splitMethod == kSplitSilence ? splitTime.TotalSeconds() : -1;
    }
};
