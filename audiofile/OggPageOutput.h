// COggPageOutput: writes a track's Ogg pages whole with room for the comments, and ends the stream
// properly after a full disk.
#pragma once

#include <cstdint>

#include <ogg/ogg.h>

#include "foundation/FileStream.h"
#include "tags/OggPages.h"

class COggPageOutput {
public:
    // Starts at the file's position.
    void Begin(CFileStream* file);
    // Writes the page whole, or cuts the file back to the pages before it. Once a page could not
    // be written no later page is, so the file ends at its last whole page instead of going on
    // after a gap. From the first failure on, that failure. A stream's second page, the comment
    // header's when it holds that packet alone, is padded to the room for the comments of the close
    // (PadToCommentRoom).
    Result<void> Write(const ogg_page& page);
    // Success until a page could not be written; then that write's failure.
    const Result<void>& Written() const { return m_written; }
    // Cuts the file after the last whole page (an existing file written over from its start must
    // not keep its old tail). After a failure, what was written stays, ended like any stream:
    // the last page gets the end-of-stream mark in place, without a byte more. The failure of
    // the page that could not be written, else of the cut.
    Result<void> Finish();

private:
    Result<void> WriteWhole(const ogg_page& page);
    Result<void> MarkLastPageEndOfStream();

    CFileStream* m_file = nullptr;
    Result<void> m_written;
    int64_t m_end = 0;
    OggPageBytes m_lastPage;  // a copy of that page, reserved for the largest one
};
