// File-name and tag templates: %TOKEN% expansion and the path of a track's file.
#pragma once

#include <cstdint>

#include "app/files/LocalDateTime.h"
#include "foundation/CharString.h"
#include "foundation/UserText.h"
#include "tags/OutputFormat.h"

// The numbers and times one expansion reads.
struct TemplateValues {
    int recordingNumber = 1;  // "収録No" of the output bar
    int trackNumber = 1;      // "ﾄﾗｯｸNo" of the output bar
    int64_t startOffsetMs = 0;  // the session's "track opened at"
    int64_t endOffsetMs = 0;    // the session's "track closed at"
    int64_t trackLengthMs = 0;  // the session's track time
};

// The start and end clocks a session keeps for its templates. Every expansion stamps one of
// them from `now`: the start clock while a track opens, the end clock while it closes.
struct TrackClocks {
    LocalDateTime start;
    LocalDateTime end;
    LocalClock now = CurrentLocalTime;
};

// Unknown %WORDS% stay as typed; values not known before the end become "？".
CCharString ExpandTemplate(const CCharString& text, bool endKnown, const TemplateValues& values, TrackClocks& clocks);

// ".wav", ".wma", ".ogg", ".mp3", ".flac" or ".opus".
const char* DefaultExtension(OutputFormat format);

// The template after a switch to `format`, as the output bar keeps it: an extension of up to
// four characters (dot included) or a format's own (".flac", ".opus") is replaced, any other
// longer one is part of the name and the new extension follows it, a name without one gets it
// appended.
CCharString TemplateWithFormatExtension(const CCharString& fileNameTemplate, OutputFormat format);

// The template's extension when it is a format's (at most four characters, dot included, or a
// format's own), else empty: a longer one is part of the name. Histories and the file-name dialog hold
// templates without it.
CCharString FormatExtensionOf(const CCharString& fileNameTemplate);
// The template without that extension.
CCharString WithoutFormatExtension(const CCharString& fileNameTemplate);

// Folder + expanded template, with the format's extension when the template has none of 1 to 3
// characters nor a format's own. Only the template's part is cleaned up (full-width look-alikes, control characters
// and bytes that are not UTF-8 as U+FFFD, parts cut to what the file system takes, keeping the
// extension and room for a number or marker); the folder is used as given. "\" in the folder or
// template is a separator and comes out as "/". A folder without a trailing separator gets one,
// and keeps it (it is the setting). The template's part always stays inside the folder: a "." or
// ".." part becomes "．" or "．．". Only forms the text: creates nothing.
CCharString BuildTrackPath(bool endKnown, CCharString& outputFolder, const CCharString& fileNameTemplate,
                           OutputFormat format, const TemplateValues& values, TrackClocks& clocks);

// What to tell the user when the file-name template has "." or ".." parts (which BuildTrackPath
// keeps inside the output folder as "．" and "．．"); empty when it has none.
UserText FileNameTemplateWarning(const CCharString& fileNameTemplate);

// The folder tracks go to for an output folder as the user gave it: the same path, "\" being a
// separator as in templates.
CCharString OutputFolderInUse(const CCharString& outputFolder);
// What to tell the user when that is not the folder as given; empty when it is.
UserText OutputFolderWarning(const CCharString& outputFolder);

// How much of a text is kept when it is cleaned up for use in a name:
// Strict (preset names) keeps no separators, Template (the file-name template) keeps "/" and "\".
enum class CleanUpMode { Strict, Template };
CCharString CleanUpName(const CCharString& text, CleanUpMode mode);
