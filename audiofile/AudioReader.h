// CAudioReader: the interface of the readers that describe (and decode) existing audio files.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/CharString.h"
#include "foundation/FileStream.h"
#include "tags/FormatFailures.h"
#include "tags/OutputFormat.h"
#include "tags/TagFile.h"

class CAudioReader {
public:
    explicit CAudioReader(OutputFormat kind) : m_kind(kind) {}
    virtual ~CAudioReader();
    CAudioReader(const CAudioReader&) = delete;
    CAudioReader& operator=(const CAudioReader&) = delete;

    // Opens the file read-only, reads its tags by name and its stream information. On failure
    // nothing of the file stays open.
    virtual Result<void> Open(const char* name);
    // Takes an open file; the formats read their stream information and then run this base step,
    // which reads the tags from the same file when the editor has not read them by name.
    virtual Result<void> AttachFile(std::unique_ptr<CFileStream> file);
    // Fails when nothing was open.
    virtual Result<void> Close();

    // Block decoding: Begin prepares, each ReadBlock decodes the next block into Block() (false
    // at the end of the audio or where decoding stops), Seek moves to a time, End releases the
    // decoder (failing when there was none). Where the decoder lives as long as the file is open,
    // Begin and End only ask for an open file.
    virtual Result<void> Begin();
    virtual bool ReadBlock() = 0;
    virtual Result<void> Seek(int64_t ms) = 0;
    virtual Result<void> End();

    // Milliseconds; -1 when unknown.
    virtual int64_t GetDuration() const = 0;

    OutputFormat Kind() const { return m_kind; }
    bool IsOpen() const { return m_open; }
    int Channels() const { return m_channels; }
    int SampleRate() const { return m_sampleRate; }
    int Bitrate() const { return m_bitrate; }  // bits per second
    int BitsPerSample() const { return m_bitsPerSample; }
    bool IsVbr() const { return m_vbr; }
    // Bytes for WAV and MP3, sample frames for Ogg Vorbis, 100-ns units for WMA.
    int64_t Length() const { return m_length; }
    int64_t Position() const { return m_position; }
    // The format's tag editor with the tags read and the stream information copied; null when closed.
    const CTagFile* TagFile() const { return m_tagFile.get(); }
    const unsigned char* Block() const { return m_block; }
    int BlockBytes() const { return m_blockBytes; }

protected:
    static Failure NoDecoder() {
        return KindFailure(FailureKind::kMissing, UserText("AudioReader", "デコードがまだ始まっていません"));
    }
    static Failure Undecodable(UserText what) { return KindFailure(FailureKind::kCodec, std::move(what)); }
    // Names the file in a failure to open it, keeping its kind and errno.
    static Failure Unreadable(const char* name, Failure why);
    static Failure NoSuchTime() {
        return KindFailure(FailureKind::kBadValue, UserText("AudioReader", "音声にその時刻はありません"));
    }

    // Creates the format's tag editor.
    virtual std::unique_ptr<CTagFile> NewTagFile() const = 0;
    // Creates the editor if there is none and lets it read the tags by name.
    Result<void> OpenTagFile(const char* name);
    void CopyStreamInfo(CTagFile& editor) const;
    // Hands the editor a view of `file` it may read but not close, so both see one file object.
    static std::unique_ptr<CFileStream> BorrowFile(CFileStream& file);

    std::unique_ptr<CFileStream> m_file;
    std::unique_ptr<CTagFile> m_tagFile;
    CCharString m_name;
    bool m_openedByName = false;
    bool m_open = false;
    int m_channels = 0;
    int m_sampleRate = 0;
    int m_bitrate = 0;
    int m_bitsPerSample = 16;
    bool m_vbr = false;
    int64_t m_length = 0;
    int64_t m_position = 0;
    const unsigned char* m_block = nullptr;
    int m_blockBytes = 0;

private:
    OutputFormat m_kind;
};
