// COpusReader: stream information, comments and decoding of Ogg Opus files through libopusfile.
#pragma once

#include "audiofile/AudioReader.h"

struct OggOpusFile;

class COpusReader : public CAudioReader {
public:
    COpusReader() : CAudioReader(OutputFormat::Opus) {}
    ~COpusReader() override;

    // Refuses the file when it is not Ogg Opus. Opus decodes at 48 kHz: that is the sample rate
    // and the unit of the length, whatever rate the header says the input had.
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    Result<void> Close() override;
    // Up to 8192 bytes of 16-bit little-endian PCM.
    bool ReadBlock() override;
    Result<void> Seek(int64_t ms) override;
    int64_t GetDuration() const override;

protected:
    std::unique_ptr<CTagFile> NewTagFile() const override;

private:
    OggOpusFile* m_opus = nullptr;
    int16_t m_buffer[4096];
};
