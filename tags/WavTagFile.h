// CWavTagFile: the RIFF INFO list at the end of a PCM WAV file.
#pragma once

#include <cstdint>

#include "tags/TagFile.h"

class CWavTagFile : public CTagFile {
public:
    CWavTagFile() : CTagFile(OutputFormat::Wav) {}

    // Finds the data chunk and reads an INFO list behind it; fails (file released) for anything but PCM WAV.
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    // Puts the INFO list right after the audio, replacing one that was there, and fixes the RIFF size.
    // Refuses (file untouched) when the data chunk's size cannot say where the audio ends (a
    // saturated size of a file beyond 4 GiB, a size beyond the end of the file) or when chunks
    // other than INFO lists follow the audio.
    Result<void> Write() override;

private:
    int64_t m_dataEnd = -1;
    bool m_sizeKnown = false;
};
