// CTagFile: the base of the per-format tag editors, with the stream facts a reader found.
#pragma once

#include <cstdint>
#include <functional>
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
    virtual Result<void> Open(const char* name);
    // Takes the open file; editors override this to read the tags from it.
    virtual Result<void> AttachFile(std::unique_ptr<CFileStream> file);
    virtual Result<void> Write() = 0;
    // All texts empty, numbers and stream facts -1.
    virtual void Clear();
    // Fails when nothing was open, or when an editor that stores at its close could not.
    virtual Result<void> Close();
    virtual Result<void> OpenFile(const char* name);

    TagFieldSet& Tags() { return m_tags; }
    const TagFieldSet& Tags() const { return m_tags; }
    StreamInfo& Stream() { return m_stream; }
    const StreamInfo& Stream() const { return m_stream; }
    OutputFormat Kind() const { return m_kind; }
    bool IsOpen() const { return m_open; }
    const CCharString& Name() const { return m_name; }

protected:
    // The file rewritten whole through ReplaceThroughTemporary; the editor is then open on the
    // result, its tags read again. On failure the editor stays open on the file as it was.
    Result<void> RewriteAndReopen(const std::function<Result<void>(CFileStream& copy)>& writeCopy);

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

// Has `writeCopy` write a complete new file under "<name>.vctemp" (created new, never through a
// planted link; a regular file left there by an interrupted rewrite goes first), forces it to the
// disk with the original's permissions and renames it over `name`: at every moment the name holds
// the old file or the new one whole. On failure the old file is as it was and the copy is gone.
Result<void> ReplaceThroughTemporary(const CCharString& name,
                                     const std::function<Result<void>(CFileStream& copy)>& writeCopy);

// Writes `head`, the `audioLength` bytes at `audioOffset` of `file` and `trailer` as the new file
// through ReplaceThroughTemporary, so the audio is never moved inside the file it lives in. `file`
// is then open on the new file.
Result<void> RewriteThroughTemporary(CFileStream& file, const std::string& head, int64_t audioOffset,
                                     int64_t audioLength, const std::string& trailer);

// Opens `name` with `editor`, gives it `tags` and writes them: what a writer does with its tags once
// the encoder has finished the file. Fails when the file would not open or the write failed.
Result<void> RewriteTags(CTagFile& editor, const char* name, const TagFieldSet& tags);
