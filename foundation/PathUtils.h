// Path, file-name and number helpers shared by the recorder, templates and the items list.
// "/" is the separator; a "\" is accepted as one too.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/CharString.h"

bool IsPathSeparator(char c);
CCharString FolderOf(const CCharString& path);
CCharString FileNameOf(const CCharString& path);
CCharString ExtensionOf(const CCharString& path);
CCharString ReplaceExtension(const CCharString& path, const char* extension);
bool EndsWithChar(const CCharString& text, char c);
// Every "\" becomes "/".
CCharString NormalizeSeparators(const CCharString& path);

// Creates the folder and every missing parent; false when a level exists as a file or cannot be
// made, and then none of the levels it made is left (errno tells why). `created` receives the
// levels it made, outermost first.
bool EnsureFolder(const CCharString& path, std::vector<CCharString>* created = nullptr);
// Removes folders EnsureFolder made, innermost first, each only while it is still empty.
void RemoveCreatedFolders(const std::vector<CCharString>& created);

// The longest file name, in bytes, the file system at `path` takes: its nearest existing folder
// is asked, NAME_MAX when none answers.
int FileNameLimit(const CCharString& path);
// The file name cut to at most `maxBytes` bytes, never inside a UTF-8 character, its extension
// kept: the part before the extension is what gets shorter.
CCharString ShortenFileName(const CCharString& name, int maxBytes);

// Replaces what file systems (FAT/NTFS included) refuse with full-width look-alikes.
CCharString SanitizeFileName(const CCharString& text, bool keepSeparators, bool keepDrive);

CCharString GroupDigits(int64_t value);
CCharString FormatDecimal(double value, int decimals);
// Reads a decimal number ("1.5", "-6", "2e3") after optional blanks, in any locale; returns
// where the number ends, or null when there is none.
const char* ParseDecimal(const char* text, double& value);
