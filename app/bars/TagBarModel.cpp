// The tag bar's exchange of its fields.
#include "app/bars/TagBarModel.h"

bool CTagBarModel::Pull(bool tell) {
    ReadControls();
    album = controls.album;
    artist = controls.artist;
    title = controls.title;
    comment = controls.comment;
    loudnessTags = controls.loudnessTags;
    if (!ParseBarInteger(controls.yearText, year)) return RefuseNumber(kYear, tell);
    return true;
}

void CTagBarModel::Push() {
    controls.album = album;
    controls.artist = artist;
    controls.title = title;
    controls.comment = comment;
    controls.loudnessTags = loudnessTags;
    controls.yearText = CCharString::Formatted("%d", year);
    WriteControls();
}
