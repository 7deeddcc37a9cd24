// What the file-based fuzz targets run on one input, shared with the test that replays kept inputs.
#pragma once

#include <cstdint>

// Opens `path` with the reader its extension picks, decodes some blocks and seeks to `seekMs`,
// then rewrites its tags with that format's editor. False when a promise broke: a block
// reported without bytes, or a rewrite that reported failure but changed the file.
bool ReplayReader(const char* path, int64_t seekMs);

// Loads the start-up preset and every preset the file's history names from a settings file.
void ReplaySettings(const char* path);
