// CAudioWriter: the interface every track writer offers, with the block-buffered feed.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/CharString.h"
#include "foundation/FileStream.h"
#include "foundation/Result.h"
#include "tags/OutputFormat.h"
#include "tags/TagFieldSet.h"

class CAudioWriter {
public:
    explicit CAudioWriter(OutputFormat kind) : m_kind(kind) {}
    virtual ~CAudioWriter();
    CAudioWriter(const CAudioWriter&) = delete;
    CAudioWriter& operator=(const CAudioWriter&) = delete;

    // A failure says why; where a file operation failed, it carries that operation's errno.
    virtual Result<void> Open(const char* name);
    virtual Result<void> AttachFile(std::unique_ptr<CFileStream> file);
    // A positive maximum or minimum bitrate sets a bitrate range; -1 for both means none.
    virtual Result<void> SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                                   int minBitrate);
    virtual Result<void> SetOptions(const void* record, int size);
    // A failure also when it was not open.
    virtual Result<void> Close();
    virtual Result<void> Begin();
    // Feeds PCM; every WriteBlock but a track's last gets exactly one block.
    virtual Result<void> Write(const void* data, int length);
    // EndStream, then FinishEnd whatever EndStream gave; the first failure of the two.
    Result<void> End();
    // End in two parts, so that a recorder can end one track and open the next at once: EndStream
    // writes the encoder's last frames and ends the stream, short whatever the track's length;
    // FinishEnd does the rest (tags written into the finished file), which may take as long as
    // the file is big and may run on another thread, before Close.
    virtual Result<void> EndStream();
    virtual Result<void> FinishEnd() { return {}; }
    virtual void SetTags(TagFieldSet* tags);
    // Opens the file `name`, which must be empty, as the writer's file: the writers that write
    // their own file open by this.
    virtual Result<void> OpenFile(const char* name);

    OutputFormat Kind() const { return m_kind; }
    bool IsOpen() const { return m_open; }
    int64_t BytesWritten() const { return m_byteCount; }
    // The PCM sample frames the encoder was given, in its own format: what the padding it adds at
    // the end is counted from.
    virtual int64_t SampleFramesWritten() const;
    int SampleRate() const { return m_sampleRate; }
    int Channels() const { return m_channels; }
    int BitsPerSample() const { return m_bitsPerSample; }
    int Bitrate() const { return m_bitrate; }
    bool HasBitrateRange() const { return m_hasBitrateRange; }
    int MaxBitrate() const { return m_maxBitrate; }
    int MinBitrate() const { return m_minBitrate; }

protected:
    // The format's encoder and file output for one block.
    virtual Result<void> WriteBlock(const void* data, int length) = 0;
    // What an operation that needs the file gives without one.
    static Failure NoFile();
    // What the encoders check before they begin: a file, a stream not begun yet, and the 16-bit
    // mono or stereo PCM they convert.
    Result<void> ReadyToEncode(bool begun) const;

    // Concrete writers set this before calling the base Begin; 0 means no buffering.
    int m_blockSize = 0;
    std::unique_ptr<CFileStream> m_file;
    CCharString m_name;
    TagFieldSet* m_tags = nullptr;

private:
    Result<void> FlushBlockBuffer();

    OutputFormat m_kind;
    bool m_open = false;
    int m_sampleRate = 44100;
    int m_channels = 2;
    int m_bitsPerSample = 16;
    int m_bitrate = 0;
    bool m_hasBitrateRange = false;
    int m_maxBitrate = 0;
    int m_minBitrate = 0;
    std::vector<unsigned char> m_blockBuffer;
    int m_blockFill = 0;
    int64_t m_byteCount = 0;
};
