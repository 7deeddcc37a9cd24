// The 128-byte ID3v1 block at the end of an MP3 file (with the ID3v1.1 track byte).
#pragma once

#include "tags/TagFieldSet.h"

constexpr int kId3v1Size = 128;

// Fills `record` from the tags; texts are Shift-JIS bytes, cut at the field width.
// With `trackForm` a track number of 0 or more goes into bytes 125 and 126.
void BuildId3v1(unsigned char* record, const TagFieldSet& tags, bool trackForm);
// Reads a block that starts with "TAG" into the tags; true when it carries a track number.
bool ReadId3v1(const unsigned char* record, TagFieldSet& tags);
