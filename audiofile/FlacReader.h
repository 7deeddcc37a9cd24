// CFlacReader: stream information, comments and decoding of FLAC files through libFLAC; the
// completion of a stream its writer never ended.
#pragma once

#include <vector>

#include <FLAC/stream_decoder.h>

#include "audiofile/AudioReader.h"

// What libFLAC's decoder callbacks get: the file, and whoever takes the frames.
struct FlacDecodeSource {
    CFileStream* file = nullptr;
    void* owner = nullptr;
};

class CFlacReader : public CAudioReader {
public:
    CFlacReader() : CAudioReader(OutputFormat::Flac) {}
    ~CFlacReader() override;

    // Refuses a file whose metadata libFLAC cannot read.
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    Result<void> Close() override;
    Result<void> Begin() override { return m_decoder ? Result<void>() : NoFileOpen(); }
    // One frame as 16-bit little-endian PCM; false at the end of the audio or at a damaged frame.
    bool ReadBlock() override;
    Result<void> Seek(int64_t ms) override;
    Result<void> End() override { return m_decoder ? Result<void>() : NoFileOpen(); }
    int64_t GetDuration() const override;

protected:
    std::unique_ptr<CTagFile> NewTagFile() const override;

private:
    static FLAC__StreamDecoderWriteStatus TakeFrame(const FLAC__StreamDecoder* decoder, const FLAC__Frame* frame,
                                                    const FLAC__int32* const channels[], void* reader);
    static void TakeMetadata(const FLAC__StreamDecoder* decoder, const FLAC__StreamMetadata* metadata, void* reader);
    static void TakeError(const FLAC__StreamDecoder* decoder, FLAC__StreamDecoderErrorStatus status, void* reader);

    FlacDecodeSource m_source;
    FLAC__StreamDecoder* m_decoder = nullptr;
    bool m_damaged = false;
    std::vector<unsigned char> m_buffer;
};

// A stream whose writer was killed: STREAMINFO's total samples and frame sizes set from the whole
// frames in the file, and a frame cut off by the kill removed. A stream whose total is already set
// is left as it is. False when the file is no FLAC stream or cannot be written.
bool CompleteFlacStream(const char* path);
