// Ogg pages read whole from a file, their end-of-stream mark and checksum, and the end a killed
// writer never wrote.
#pragma once

#include <cstdint>
#include <vector>

#include <ogg/ogg.h>

#include "foundation/FileStream.h"

// One page: its header (27 bytes and the lacing values) followed by its body.
struct OggPageBytes {
    std::vector<unsigned char> bytes;
    long headerLength = 0;

    // A libogg view of the bytes; valid while they are not changed in size.
    ogg_page View();
    uint32_t Sequence() const;
    void SetSequence(uint32_t sequence);
    bool EndsStream() const { return bytes.size() > 5 && (bytes[5] & 0x04) != 0; }
    void MarkEndOfStream() { bytes[5] |= 0x04; }
    // After a header field changed.
    void SetChecksum();
};

// Reads the page at the file's position. False at the end of the file and when what is there is
// not a whole page with a right checksum (a torn last page, other data).
bool ReadOggPage(CFileStream& file, OggPageBytes& page);

// What a writer's end would have done to an Ogg stream it left: the file is cut after its last
// whole page, and that page is marked as the end of the stream. False when no whole page is there.
bool EndOggStreamAtLastWholePage(CFileStream& file);
