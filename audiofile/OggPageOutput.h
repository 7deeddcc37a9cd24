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
    // After a failure: sets the end-of-stream mark on the last page in the file, in place, so a
    // stream cut short by a full disk still ends properly without a byte more.
    bool MarkLastPageEndOfStream();
    // The file offset after the last whole page.
    int64_t End() const { return m_end; }

private:
    CFileStream* m_file = nullptr;
    bool m_failed = false;
    int64_t m_end = 0;
    OggPageBytes m_lastPage;  // a copy of that page, reserved for the largest one
};
