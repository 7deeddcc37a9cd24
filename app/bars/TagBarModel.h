// CTagBarModel: the tag bar without its widgets: the four tag templates, the year and the loudness tags.
#pragma once

#include "app/bars/BarModel.h"

struct TagBarControls {
    CCharString title;
    CCharString comment;
    CCharString artist;
    CCharString album;
    CCharString yearText;
    bool loudnessTags = false;
};

class CTagBarModel : public CBarModel {
public:
    enum ControlId { kTitle = 1025, kAlbum = 1026, kArtist = 1027, kComment = 1029, kYear = 1030, kLoudnessTags = 1042 };

    // Fields, in the bar's order, as constructed (loading the settings replaces them).
    CCharString album = "アルバム";  // untranslated: a template, replaced by the loaded one
    CCharString artist = "アーティスト";  // untranslated: a template, replaced by the loaded one
    CCharString title = "タイトル";  // untranslated: a template, replaced by the loaded one
    CCharString comment = "コメント";  // untranslated: a template, replaced by the loaded one
    int year = 2005;
    bool loudnessTags = false;

    TagBarControls controls;

    // False when the year is empty or no number: the texts are taken, the year keeps its value;
    // `tell` shows the message and takes the focus back.
    bool Pull(bool tell = true);
    void Push();
};
