// Building and reading the ID3v1 block.
#include "tags/Id3v1.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

void Put(unsigned char* field, int width, const CCharString& text) {
    const std::string bytes = text.ToCp932();
    memcpy(field, bytes.data(), std::min<size_t>(bytes.size(), width));
}

// Fixed-width fields end at a NUL or are padded with spaces.
CCharString Get(const unsigned char* field, int width) {
    size_t n = strnlen(reinterpret_cast<const char*>(field), width);
    while (n > 0 && field[n - 1] == ' ') --n;
    return CCharString::FromCp932(std::string_view(reinterpret_cast<const char*>(field), n));
}

}  // namespace

void BuildId3v1(unsigned char* record, const TagFieldSet& tags, bool trackForm) {
    memset(record, ' ', kId3v1Size);
    memcpy(record, "TAG", 3);
    Put(record + 3, 30, tags.title);
    Put(record + 33, 30, tags.artist);
    Put(record + 63, 30, tags.album);
    Put(record + 93, 4, tags.year);
    Put(record + 97, 30, tags.comment);
    if (trackForm && tags.trackNumber >= 0) {
        record[125] = 0;
        record[126] = static_cast<unsigned char>(tags.trackNumber);
    }
    record[127] = tags.genreNumber >= 0 && tags.genreNumber <= 255 ? static_cast<unsigned char>(tags.genreNumber) : 250;
}

bool ReadId3v1(const unsigned char* record, TagFieldSet& tags) {
    const bool hasTrack = record[125] == 0 && record[126] != 0;
    tags.title = Get(record + 3, 30);
    tags.artist = Get(record + 33, 30);
    tags.album = Get(record + 63, 30);
    tags.year = Get(record + 93, 4);
    tags.comment = Get(record + 97, hasTrack ? 28 : 30);
    tags.trackNumber = hasTrack ? record[126] : -1;
    tags.genreNumber = record[127];
    tags.genre = GenreName(record[127]);
    return hasTrack;
}
