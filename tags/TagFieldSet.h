// TagFieldSet: the descriptive data of one track, and the ID3 genre table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/CharString.h"

// A track's loudness as measured once it is closed, from which each format makes the gain tags
// players read.
struct TrackLoudness {
    double integratedLufs = 0;  // EBU R128 integrated loudness
    double peak = 0;            // sample peak, 1.0 at full scale
};

// ReplayGain 2.0 aims at -18 LUFS, Opus (RFC 7845) at -23 LUFS.
inline double ReplayGainDb(const TrackLoudness& loudness) { return -18.0 - loudness.integratedLufs; }
inline double R128GainDb(const TrackLoudness& loudness) { return -23.0 - loudness.integratedLufs; }

// The gain tags' texts, with a point whatever the user's locale: "-3.21 dB", "0.987654", and the
// Opus gain in 1/256 dB ("-842").
std::string ReplayGainText(const TrackLoudness& loudness);
std::string ReplayPeakText(const TrackLoudness& loudness);
std::string R128GainText(const TrackLoudness& loudness);
// "-21.3 LUFS", for the log.
std::string LoudnessText(const TrackLoudness& loudness);
// Reads a gain tag back into `loudness` by its key (any case); false for any other key.
bool ReadGainTag(std::string_view key, std::string_view value, std::optional<TrackLoudness>& loudness);

struct TagFieldSet {
    CCharString title;
    CCharString artist;
    CCharString album;
    CCharString year;
    CCharString genre;
    CCharString comment;
    int trackNumber = -1;  // -1: none
    int genreNumber = -1;  // -1: none
    std::optional<TrackLoudness> loudness;  // none: no gain tags
};

constexpr int kGenreCount = 256;
// The genre's name; empty for numbers outside 0..255 and for the unnamed entries.
const char* GenreName(int number);
