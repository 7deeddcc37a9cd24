// CFlacTagFile: reads and rewrites the Vorbis comments of a FLAC file, in place in the room its
// padding leaves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tags/TagFile.h"

// Where the first audio frame of a track the FLAC writer wrote begins: the stream marker, the
// STREAMINFO block, the comments and the padding fill the file's first page, so the comments
// rewritten at the close take one write there.
inline constexpr int64_t kFlacTagRoom = 4096;

// One metadata block of a FLAC file: its type, where its 4-byte header starts and its body's length.
struct FlacBlock {
    int type = 0;
    int64_t offset = 0;
    int64_t length = 0;
};
enum FlacBlockType { kFlacStreamInfo = 0, kFlacPadding = 1, kFlacVorbisComment = 4 };

// The metadata blocks of the FLAC stream in `file`, in file order; false when it is no FLAC stream
// or a block runs past the end of the file. `audioOffset` is where the frames begin.
bool ReadFlacBlocks(CFileStream& file, std::vector<FlacBlock>& blocks, int64_t& audioOffset);

// A VORBIS_COMMENT block, header included, with `vendor` and `comments` ("KEY=value" UTF-8 texts).
std::string BuildFlacCommentBlock(const std::string& vendor, const std::vector<std::string>& comments, bool last);
// A PADDING block of `length` zero bytes, header included.
std::string BuildFlacPaddingBlock(int64_t length, bool last);

class CFlacTagFile : public CTagFile {
public:
    CFlacTagFile() : CTagFile(OutputFormat::Flac) {}
    ~CFlacTagFile() override;

    // Reads the comments; fails when the file is no FLAC stream. A stream without comments reads
    // as empty tags.
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    // Replaces every comment by the tag fields. The comment block and the padding right after it
    // are rewritten by one write when the new comments fit there; otherwise the whole file is
    // copied with new comments and room after them, and renamed over the old one. On failure the
    // file stays as it was.
    Result<void> Write() override;

private:
    Result<void> WriteThroughTemporary(const std::vector<std::string>& comments);
    // The blocks read again after a write.
    Result<void> ReadBlocksAgain();

    std::vector<FlacBlock> m_blocks;
    int64_t m_audioOffset = 0;
    std::string m_vendor;
};
