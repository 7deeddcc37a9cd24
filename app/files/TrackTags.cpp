// Filling a track's tags from its templates.
#include "app/files/TrackTags.h"

TagFieldSet TrackTags(const TrackTagSource& source, int trackNumber, bool endKnown, const TemplateValues& values,
                      TrackClocks& clocks) {
    TagFieldSet tags;
    tags.title = ExpandTemplate(source.title, endKnown, values, clocks);
    tags.artist = ExpandTemplate(source.artist, endKnown, values, clocks);
    tags.album = ExpandTemplate(source.album, endKnown, values, clocks);
    tags.comment = ExpandTemplate(source.comment, endKnown, values, clocks);
    tags.year = source.year;
    tags.genre = source.genre;
    tags.genreNumber = source.genreNumber;
    tags.trackNumber = trackNumber;
    return tags;
}
