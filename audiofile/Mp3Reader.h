// CMp3Reader: stream information, tags and decoding (libmpg123) of MP3 and RIFF-MP3 files.
#pragma once

#include <vector>

#include "audiofile/AudioReader.h"
#include "tags/Mp3FileInfo.h"

struct mpg123_handle_struct;

class CMp3Reader : public CAudioReader {
public:
    CMp3Reader() : CAudioReader(OutputFormat::Mp3) {}
    ~CMp3Reader() override;

    // Refuses a file without an MPEG audio frame where its audio should start.
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    Result<void> Close() override;
    Result<void> Begin() override;
    // Decodes from the next frame on until some PCM comes out (the first frames may give none).
    bool ReadBlock() override;
    // Moves by the stream's bitrate, in bytes; decoding resynchronises at the next frame.
    Result<void> Seek(int64_t ms) override;
    Result<void> End() override;
    int64_t GetDuration() const override { return m_duration; }

    const Mp3FileInfo& Info() const { return m_info; }

protected:
    std::unique_ptr<CTagFile> NewTagFile() const override;

private:
    // The next whole frame from the current position into m_frame; false at the end of the audio.
    bool ReadFrame();
    int64_t AudioEnd() const;

    Mp3FileInfo m_info;
    int64_t m_duration = -1;
    mpg123_handle_struct* m_decoder = nullptr;
    std::vector<unsigned char> m_frame;
    std::vector<unsigned char> m_pcm;
};
