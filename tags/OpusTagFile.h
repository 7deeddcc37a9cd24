// COpusTagFile: reads and rewrites the OpusTags header of an Ogg Opus file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tags/OggCommentHeader.h"
#include "tags/TagFile.h"

class COpusTagFile : public CTagFile {
public:
    COpusTagFile() : CTagFile(OutputFormat::Opus) {}
    ~COpusTagFile() override;

    // Reads the comments; fails when the file does not start with the two Opus header packets.
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    // Replaces every comment by the tag fields: in place when they fit in the packet they replace
    // (RewriteCommentPacketInPlace), else through "<name>.vctemp" and an atomic rename, the
    // identification page and every audio page copied as they are (renumbered when the comments
    // take another number of pages). On any failure the file stays as it was.
    Result<void> Write() override;
    // The file offset of the first audio page: the file's size when it holds the headers only.
    int64_t AudioStart() const { return m_audioStart; }

private:
    bool ReadHeaders();
    Result<void> WriteCopy(CFileStream& copy, const std::string& packet);

    OggCommentHeader m_header;  // OpusHead alone on the first page, then OpusTags
    std::string m_vendor;
    int64_t m_audioStart = 0;  // the file offset of the first page after the headers
};
