// CWavWriter: tracks as uncompressed RIFF/WAVE PCM files, and the PCM quality list.
#pragma once

#include <array>
#include <cstdint>

#include "audiofile/AudioWriter.h"
#include "audiofile/QualityTable.h"
#include "tags/WavHeader.h"

// The quality list offered for WAV and Ogg Vorbis output; the value is the bits per sample.
extern const std::array<QualityEntry, 12> kPcmQualityTable;
// The entry preselected when the format is chosen.
constexpr int kPcmQualityDefault = 2;

class CWavWriter : public CAudioWriter {
public:
    // Sizes a header carries until End knows them; a file cut off before End keeps them.
    static constexpr uint32_t kUnknownDataSize = 0xFFFFFFFF;

    CWavWriter() : CAudioWriter(OutputFormat::Wav) {}

    Result<void> Open(const char* name) override { return OpenFile(name); }
    // Takes a 16-byte PCM format block; one with format tag 1 is written as it is.
    Result<void> SetOptions(const void* record, int size) override;
    // Writes the 44-byte header with the sizes still unknown.
    Result<void> Begin() override;
    // Writes the real sizes into the header of a file opened by name.
    Result<void> EndStream() override;
    // Writes the tags (a RIFF INFO list after the audio).
    Result<void> FinishEnd() override;

protected:
    Result<void> WriteBlock(const void* data, int length) override;

private:
    PcmFormatBlock m_format;
};
