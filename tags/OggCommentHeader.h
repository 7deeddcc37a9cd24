// The comment header of an Ogg Vorbis or Opus stream: the pages that carry it, the room our
// writers leave in it, and its rewrite in place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tags/OggPages.h"

// Our writers pad the comment packet, alone on the second page, until that page ends here: the
// comments of the close then fit where the encoder's went, and are written by one write within
// the file's first page of the page cache, which a kill leaves undone or done.
inline constexpr int64_t kOggCommentRoomEnd = 4096;

struct OggCommentHeader {
    OggPageBytes identification;      // the first page, its one packet alone
    int64_t offset = 0;               // where the comment packet's first page starts
    std::vector<OggPageBytes> pages;  // the comment packet's pages, in order
    int64_t end = 0;                  // the file offset after the last of them
    std::string packet;
    bool alone = false;  // no other packet begins on its last page
};

// Reads the first page (a stream's first, one packet on it) and the pages of the packet after
// it; false when the file does not begin so.
bool ReadOggCommentHeader(CFileStream& file, OggCommentHeader& header);

// Puts `packet`, padded with zeros to the old packet's length, in the old one's place: the pages
// keep their size, sequence, serial and granule, with new checksums, and nothing after them moves.
// Done only when the packet fits, has its pages to itself and they lie within one 4096 bytes of the
// file, so the one write leaves the old pages or the new ones whole. False when not done; the file
// is then as it was.
bool RewriteCommentPacketInPlace(CFileStream& file, OggCommentHeader& header, std::string packet);

// Grows a page that holds one whole packet, starting at `offset`, with zeros after that packet so
// the page ends at kOggCommentRoomEnd or a byte before. Any other page is left as it is.
void PadToCommentRoom(OggPageBytes& page, int64_t offset);
