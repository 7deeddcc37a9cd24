// CTagFile: the base of the per-format tag editors, with the stream facts a reader found.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/CharString.h"
#include "foundation/FileStream.h"
#include "tags/OutputFormat.h"
#include "tags/TagFieldSet.h"

// Stream facts a reader copies into its editor for the items list.
struct StreamInfo {
    bool present = false;
    int sampleRate = -1;
    int channels = -1;
    int bitsPerSample = -1;
    int bitrate = -1;          // bits per second
    int64_t durationMs = -1;
};

class CTagFile {
public:
    explicit CTagFile(OutputFormat kind) : m_kind(kind) {}
    virtual ~CTagFile();
    CTagFile(const CTagFile&) = delete;
    CTagFile& operator=(const CTagFile&) = delete;

    // Closes what is open, opens the file (read/write, else read only) and reads its tags.
    virtual int Open(const char* name);
    // Takes the open file; editors override this to read the tags from it.
    virtual int AttachFile(std::unique_ptr<CFileStream> file);
    virtual int Write() = 0;
    // All texts empty, numbers and stream facts -1.
    virtual void Clear();
    virtual int Close();
    virtual int OpenFile(const char* name);

    TagFieldSet& Tags() { return m_tags; }
    const TagFieldSet& Tags() const { return m_tags; }
    StreamInfo& Stream() { return m_stream; }
    const StreamInfo& Stream() const { return m_stream; }
    OutputFormat Kind() const { return m_kind; }
    bool IsOpen() const { return m_open; }
    const CCharString& Name() const { return m_name; }

protected:
    // Puts a complete rewrite, `written` or not, in the file's place: the rename replaces the
    // track atomically, so the name holds either the file as it was or the rewrite, never less.
    // The editor is closed and then open on the result; a failure removes the temporary file.
    int ReplaceWithRewrite(const CCharString& temporary, bool written);

    TagFieldSet m_tags;
    StreamInfo m_stream;
    CCharString m_name;
    std::unique_ptr<CFileStream> m_file;
    bool m_open = false;

private:
    OutputFormat m_kind;
};

// Where a tag editor writes a complete new file before renaming it over the old one; a file left
// under this name by an interrupted rewrite is never the track.
inline constexpr const char* kRewriteSuffix = ".vctemp";
// Creates that file new, never through a planted link. A regular file left under its name by an
// interrupted rewrite is ours and goes; anything else there fails.
bool CreateRewriteFile(CFileStream& file, const CCharString& temporary);

// Writes `head`, the `audioLength` bytes at `audioOffset` of `file` and `trailer` to a complete new
// file beside it and renames that over it: at every moment the name holds the old file or the new
// one whole, and the audio is never moved inside the file it lives in. `file` is then open on the
// new file. False, with the old file as it was, when any step fails.
bool RewriteThroughTemporary(CFileStream& file, const std::string& head, int64_t audioOffset, int64_t audioLength,
                             const std::string& trailer);

// Opens `name` with `editor`, gives it `tags` and writes them: what a writer does with its tags once
// the encoder has finished the file. False when the file would not open or the write failed.
bool RewriteTags(CTagFile& editor, const char* name, const TagFieldSet& tags);
