// The RIFF INFO list that carries tags at the end of WAV and RIFF-MP3 files.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/FileStream.h"
#include "tags/TagFieldSet.h"

// The whole list: "LIST", size, "INFO", then INAM IART IPRD ICRD ICMT IGNR (UTF-8, NUL-terminated,
// padded to even) and IID3 (the ID3v1 block, with the track number when it is above 0).
std::string BuildInfoList(const TagFieldSet& tags);
// Reads a list at the file's position into `tags`; false when there is none or a sub-chunk is
// above 512 KiB. `listLength` gets the bytes the list takes (header included).
bool ReadInfoList(CFileStream& file, TagFieldSet& tags, int64_t* listLength = nullptr);
