// Moving a finished track without ever losing it, and finding a free name for it.
#pragma once

#include <fcntl.h>
#include <functional>
#include <optional>

#include "foundation/CharString.h"
#include "foundation/Result.h"

// A file named in an open folder, so that no link planted on the folder's path can redirect
// it; or, with AT_FDCWD, a path.
struct FileAt {
    FileAt(const CCharString& path) : name(path) {}  // NOLINT: a path is a file at AT_FDCWD
    FileAt(const char* path) : name(path) {}         // NOLINT
    FileAt(int folder, CCharString name) : folder(folder), name(std::move(name)) {}
    int folder = AT_FDCWD;
    CCharString name;
};

// True when anything (file, folder, link, even a dangling one) exists there.
bool PathTaken(const FileAt& file);

// The path itself when nothing exists there, else the first free "%s_%d%s" variant
// (part before the extension, 2, 3, …, extension).
CCharString MakeUniquePath(const CCharString& path);
// The same within an open folder: the name or its first free variant.
CCharString MakeUniqueName(const FileAt& file);

// Takes the name, or the first free numbered variant as MakeUniqueName would, by creating an
// empty file there in the same step that checks it is free, so two recorders choosing at the
// same moment never get the same name and a planted link is never followed. The created name,
// or nothing when no file can be created (folder missing or refusing). `beforeCreate`, when
// given, is told each candidate name before the file is created there.
std::optional<CCharString> CreateUniqueFile(const FileAt& file,
                                            const std::function<void(const CCharString&)>& beforeCreate = {});

// Removes a file created by CreateUniqueFile that its writer never wrote to.
void RemoveIfUnused(const CCharString& path);

// Moves a file; never replaces anything at the target. Within one file system this is a
// rename; across file systems the data is copied, forced to disk, and only then is the source
// removed. On failure the source is untouched and no partial target is left behind.
// Moving a file onto its own path succeeds without change.
bool MoveFile(const FileAt& from, const FileAt& to);

// Forces the file's data and its folder's entry for it (a rename) to the disk.
Result<void> SyncToDisk(const CCharString& path);
