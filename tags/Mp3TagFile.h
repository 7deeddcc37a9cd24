// CMp3TagFile: tags of plain MP3 (ID3v2 in front, ID3v1 behind) and RIFF-MP3 (RIFF INFO) files.
#pragma once

#include <cstdint>

#include "tags/Id3v2Tag.h"
#include "tags/Mp3FileInfo.h"
#include "tags/TagFile.h"

struct Mp3TagOptions {
    int16_t container = kContainerUnknown;
    int16_t flags = 0;  // Mp3TagFlags
};

constexpr int kRiffMp3HeaderSize = 20;
// The room an MP3 writer leaves for the ID3v2 tag in front of the first frame: one page, so the
// tag is later written in place by a single write that a kill cannot tear.
constexpr int kMp3TagRoom = 4096;

class CMp3TagFile : public CTagFile {
public:
    CMp3TagFile() : CTagFile(OutputFormat::Mp3) {}
    ~CMp3TagFile() override;

    // Opening by name also reads the tags at the end of the file.
    Result<void> Open(const char* name) override;
    // Analyses the file; fails (and the file is released) when it holds no MPEG audio.
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    // Marks the tags for writing at Close; missing options become a plain MP3 with ID3v1 (with track) and ID3v2.
    Result<void> Write() override;
    // Writes marked tags, then releases the file; fails when writing failed.
    Result<void> Close() override;

    const Mp3FileInfo& Info() const { return m_info; }
    Mp3TagOptions& Options() { return m_options; }

private:
    Mp3TagOptions m_options;
    bool m_changed = false;
    Mp3FileInfo m_info;
    CId3v2Tag m_id3v2;
    bool m_skipTrailingTags = true;
};

// The 20-byte RIFF-MP3 header for that much audio.
void BuildRiffMp3Header(unsigned char* header, uint32_t audioLength);
// Rewrites the file's tags as the options say, keeping its audio; `id3v2` (optional) receives the
// frames written. In place when the new head fits the room before the audio; otherwise a complete
// new file is written beside it and renamed over it, and `file` is reopened on that. Leaves the
// file at 0.
Result<void> WriteMp3Tags(CFileStream& file, Mp3TagOptions options, const TagFieldSet& tags,
                          CId3v2Tag* id3v2 = nullptr);
Result<void> WriteMp3TagsByName(const char* name, Mp3TagOptions options, const TagFieldSet& tags);
