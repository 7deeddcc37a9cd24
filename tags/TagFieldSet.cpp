// The genre table.
#include "tags/TagFieldSet.h"

#include <array>

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
