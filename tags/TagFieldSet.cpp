// The genre table.
#include "tags/TagFieldSet.h"

#include <strings.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// Numbers 0-147 as ID3v1 defines them (spellings kept as stored in existing files),
// 148-247 unnamed, 248-255 Japanese additions.
constexpr const char* kNamedGenres[] = {
    "Blues", "Classic Rock", "Country", "Dance",
    "Disco", "Funk", "Grunge", "Hip-Hop",
    "Jazz", "Metal", "New Age", "Oldies",
    "Other", "Pop", "R&B", "Rap",
    "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks",
    "Soundtrack", "Euro-tecno", "Ambient", "Trip-Hop",
    "Vocal", "Juzz+Funk", "Fusion", "Trance",
    "Classical", "Instrumental", "Acid", "House",
    "Game", "Sound Clip", "Gospel", "Noise",
    "AlternRock", "Bass", "Soul", "Punk",
    "Space", "Meditative", "Instrumental Pop", "Instrumental Rock",
    "Ethnic", "Gothic", "Darkwave", "Techno-Industrial",
    "Electronic", "Pop-Folk", "Eurodance", "Dream",
    "Southern Rock", "Comedy", "Cult", "Gangsta",
    "Top 40", "Christian Rap", "Pop/Funk", "Jungle",
    "Native American", "Cabaret", "New Wave", "Psychadelic",
    "Rave", "Showtunes", "Trailer", "Lo-Fi",
    "Tribal", "Acid Punk", "Acid Jazz", "Polka",
    "Retro", "Musical", "Rock & Roll", "Hard Rock",
    "Folk", "Folk/Rock", "National Folk", "Swing",
    "Fast-Fusion", "Bedob", "Latin", "Revival",
    "Celtic", "Bluegrass", "Avantagarde", "Gothic Rock",
    "Progressive Rock", "Psychadelic Rock", "Symphonic Rock", "Slow Rock",
    "Big band", "Chorus", "Easy Listening", "Acoustic",
    "Humour", "SpeechChanson", "Chanson", "Opera",
    "Chamber Music", "Sonata", "Symphony", "Booty Bass",
    "Primus", "Porn Groove", "Satire", "Slow Jam",
    "Club", "Tango", "Samba", "Folklore",
    "Ballad", "Power Ballad", "Rhytmic Soul", "Freestyle",
    "Duet", "Punk Rock", "Drum Solo", "Acapella",
    "Euro-House", "Dance Hall", "Goa", "Dram & Bass",
    "Club-House", "Hardcore", "Terror", "Indie",
    "BritPop", "Negerpunk", "Polsk Punk", "Beat",
    "Chiristian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover",
    "Contemporary Christian", "Christian Rock", "Merengue", "Salsa",
    "Thrash Metal", "Anime", "JPop", "Synthpop",
};
constexpr const char* kJapaneseGenres[] = {
    "Heavy Rock(J)", "Doom Rock(J)", "J-POP(J)", "Seiyu(J)", "Tecno Ambient(J)", "Moemoe(J)", "Tokusatsu(J)", "Anime(J)",
};
constexpr int kFirstJapaneseGenre = 248;

}  // namespace

static_assert(std::size(kNamedGenres) == 148);

const char* GenreName(int number) {
    constexpr int named = static_cast<int>(std::size(kNamedGenres));
    if (number >= 0 && number < named) return kNamedGenres[number];
    if (number >= kFirstJapaneseGenre && number < kGenreCount) return kJapaneseGenres[number - kFirstJapaneseGenre];
    return "";
}

namespace {

std::string Fixed(double value, int decimals) {
    char text[64];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return error == std::errc() ? std::string(text, end) : std::string();
}

// The number a tag's text starts with, after blanks; "-3.21 dB" gives -3.21.
std::optional<double> LeadingDecimal(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '+')) text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

bool KeyIs(std::string_view key, const char* name) {
    return key.size() == strlen(name) && strncasecmp(key.data(), name, key.size()) == 0;
}

}  // namespace

std::string ReplayGainText(const TrackLoudness& loudness) { return Fixed(ReplayGainDb(loudness), 2) + " dB"; }

std::string LoudnessText(const TrackLoudness& loudness) { return Fixed(loudness.integratedLufs, 1) + " LUFS"; }

std::string ReplayPeakText(const TrackLoudness& loudness) { return Fixed(loudness.peak, 6); }

std::string R128GainText(const TrackLoudness& loudness) {
    // A signed 16-bit Q7.8 number.
    const double q78 = std::clamp(std::round(R128GainDb(loudness) * 256.0), -32768.0, 32767.0);
    return std::to_string(static_cast<int>(q78));
}

bool ReadGainTag(std::string_view key, std::string_view value, std::optional<TrackLoudness>& loudness) {
    const bool replayGain = KeyIs(key, "REPLAYGAIN_TRACK_GAIN");
    const bool r128 = KeyIs(key, "R128_TRACK_GAIN");
    const bool peak = KeyIs(key, "REPLAYGAIN_TRACK_PEAK");
    if (!replayGain && !r128 && !peak) return false;
    const std::optional<double> number = LeadingDecimal(value);
    if (!number) return true;
    // A peak alone makes no gain; ours come after their gain.
    if (peak) {
        if (loudness) loudness->peak = *number;
        return true;
    }
    if (!loudness) loudness = TrackLoudness{};
    loudness->integratedLufs = replayGain ? -18.0 - *number : -23.0 - *number / 256.0;
    return true;
}
