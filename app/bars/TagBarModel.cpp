// The tag bar's exchange of its five fields.
#include "app/bars/TagBarModel.h"

bool CTagBarModel::Pull(bool tell) {
    ReadControls();
    album = controls.album;
    artist = controls.artist;
    title = controls.title;
    comment = controls.comment;
    if (!ParseBarInteger(controls.yearText, year)) return RefuseNumber(kYear, tell);
    return true;
}

void CTagBarModel::Push() {
    controls.album = album;
    controls.artist = artist;
    controls.title = title;
    controls.comment = comment;
    controls.yearText = CCharString::Formatted("%d", year);
    WriteControls();
}
