// COggPageOutput: writes a track's Ogg pages whole, and ends the stream properly after a full disk.
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
    // after a gap. False from the first failure on.
    bool Write(const ogg_page& page);
    bool Failed() const { return m_failed; }
    // The errno of the write that failed, 0 before one has.
    int FileError() const { return m_fileError; }
    // Cuts the file after the last whole page (an existing file written over from its start must
    // not keep its old tail). After a failure, what was written stays, ended like any stream:
    // the last page gets the end-of-stream mark in place, without a byte more. False after a
    // failure or when the file cannot be cut.
    bool Finish();

private:
    bool MarkLastPageEndOfStream();

    CFileStream* m_file = nullptr;
    bool m_failed = false;
    int m_fileError = 0;
    int64_t m_end = 0;
    OggPageBytes m_lastPage;  // a copy of that page, reserved for the largest one
};
