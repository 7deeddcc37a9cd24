// Moving a finished track without ever losing it, and finding a free name for it.
#pragma once

#include <functional>
#include <optional>

#include "foundation/CharString.h"

// True when anything (file, folder, link, even a dangling one) exists at the path.
bool PathTaken(const CCharString& path);

// The path itself when nothing exists there, else the first free "%s_%d%s" variant
// (part before the extension, 2, 3, …, extension).
CCharString MakeUniquePath(const CCharString& path);

// Takes the path, or the first free numbered variant as MakeUniquePath would, by creating an
// empty file there in the same step that checks it is free, so two recorders choosing at the
// same moment never get the same name and a planted link is never followed. The created path,
// or nothing when no file can be created (folder missing or refusing). `beforeCreate`, when
// given, is told each candidate before the file is created there.
std::optional<CCharString> CreateUniqueFile(const CCharString& path,
                                            const std::function<void(const CCharString&)>& beforeCreate = {});

// Removes a file created by CreateUniqueFile that its writer never wrote to.
void RemoveIfUnused(const CCharString& path);

// Moves a file; never replaces anything at the target. Within one file system this is a
// rename; across file systems the data is copied, forced to disk, and only then is the source
// removed. On failure the source is untouched and no partial target is left behind.
// Moving a file onto its own path succeeds without change.
bool MoveFile(const CCharString& from, const CCharString& to);
