// CVorbisTagFile: reads and rewrites the comment header of an Ogg Vorbis file; the comment list builder.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tags/TagFile.h"
#include "tags/VorbisDecoder.h"

// The gain keys a format's players read: ReplayGain's track gain and peak, or Opus's own
// R128_TRACK_GAIN.
enum class GainComments { ReplayGain, R128 };

// The track's comments as "KEY=value" UTF-8 texts in their fixed order (TITLE, ARTIST, ALBUM,
// TRACKNUMBER, DATE, GENRE, COMMENT, GENREID, then the gain keys when the loudness was measured),
// the empty optional ones left out. Fails when a text cannot be converted.
Result<void> StandardCommentLines(const TagFieldSet& tags, std::vector<std::string>& lines,
                                  GainComments gains = GainComments::ReplayGain);
// The same comments as UTF-8 key and value pairs, for the comment lists of other Ogg codecs.
Result<void> StandardComments(const TagFieldSet& tags, std::vector<std::pair<std::string, std::string>>& comments,
                              GainComments gains = GainComments::ReplayGain);
// A comment list as Vorbis, OpusTags and FLAC store it: the vendor, the count, then each comment,
// every text after its 32-bit little-endian length.
std::string CommentListBytes(std::string_view vendor, const std::vector<std::string>& comments);
// Reads the comment list at `at` of `data`, moving past it; false when a length or the count runs
// past the end.
bool ParseCommentList(std::string_view data, size_t& at, std::string& vendor, std::vector<std::string_view>& comments);
// Sets the field a "KEY=value" comment carries (a gain key: the loudness), its key matched without
// regard to case; a comment with another key is ignored.
void ReadStandardComment(std::string_view comment, TagFieldSet& tags);

using VorbisCommentAdd = void (*)(vorbis_comment* comments, const char* key, const char* value);

// Adds the track's comments (StandardCommentLines) through `add`; nothing when one cannot be made.
Result<void> AddStandardComments(const TagFieldSet& tags, vorbis_comment* comments, VorbisCommentAdd add);

class CVorbisTagFile : public CTagFile {
public:
    CVorbisTagFile() : CTagFile(OutputFormat::OggVorbis) {}
    ~CVorbisTagFile() override;

    // Reads the comments; fails when the decoding module is missing or the file is not Ogg Vorbis.
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    // Replaces every comment by the tag fields: in place when they fit in the packet they replace
    // and it has its pages to itself (RewriteCommentPacketInPlace), else through "<name>.vctemp"
    // and an atomic rename. On any failure the file stays as it was and no temporary file is left.
    Result<void> Write() override;
    Result<void> Close() override;

private:
    static size_t ReadFromFile(void* buffer, size_t size, size_t count, void* editor);
    static size_t WriteToFile(const void* buffer, size_t size, size_t count, void* sink);
    void ReadComments(const vorbis_comment& comments);
    bool RewriteInPlace();

    const CVorbisDecoder* m_decoder = nullptr;
    vcedit_state* m_state = nullptr;
};
