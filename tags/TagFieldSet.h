// TagFieldSet: the descriptive data of one track, and the ID3 genre table.
#pragma once

#include "foundation/CharString.h"

struct TagFieldSet {
    CCharString title;
    CCharString artist;
    CCharString album;
    CCharString year;
    CCharString genre;
    CCharString comment;
    int trackNumber = -1;  // -1: none
    int genreNumber = -1;  // -1: none
};

constexpr int kGenreCount = 256;
// The genre's name; empty for numbers outside 0..255 and for the unnamed entries.
const char* GenreName(int number);
