// A track's tags: what the user's templates and the recording give it, at its close and at its recovery alike.
#pragma once

#include "app/files/FileNameTemplate.h"
#include "foundation/CharString.h"
#include "tags/TagFieldSet.h"

// The genre every recording is tagged with.
inline constexpr int kRecordingGenreNumber = 146;
// untranslated: a stored tag value, the same in every file whatever the language
inline constexpr const char* kRecordingGenre = "♪Velsona - オリジナルレコーディング";

// What a track's tags are made from, as the settings or a track's journal hold it.
struct TrackTagSource {
    CCharString title, artist, album, comment;  // templates
    CCharString year;
    CCharString genre = kRecordingGenre;
    int genreNumber = kRecordingGenreNumber;
};

// The templates expanded for the track (what only its end tells is "？" until `endKnown`),
// the other fields as given.
TagFieldSet TrackTags(const TrackTagSource& source, int trackNumber, bool endKnown, const TemplateValues& values,
                      TrackClocks& clocks);
