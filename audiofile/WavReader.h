// CWavReader: the PCM audio and RIFF INFO tags of an existing WAV file.
#pragma once

#include <vector>

#include "audiofile/AudioReader.h"

class CWavReader : public CAudioReader {
public:
    CWavReader() : CAudioReader(OutputFormat::Wav) {}
    ~CWavReader() override;

    // Refuses anything but PCM WAV.
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    Result<void> Begin() override;
    // Up to 49152 bytes of the data chunk.
    bool ReadBlock() override;
    // Whole seconds only.
    Result<void> Seek(int64_t ms) override;
    int64_t GetDuration() const override;

protected:
    std::unique_ptr<CTagFile> NewTagFile() const override;

private:
    int BytesPerSecond() const { return m_bitsPerSample / 8 * m_channels * m_sampleRate; }

    int64_t m_dataOffset = 0;
    std::vector<unsigned char> m_buffer;
};
