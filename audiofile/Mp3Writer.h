// CMp3Writer: MP3 tracks through the LAME encoder module, tagged with ID3v2 and ID3v1 when closed,
// the ID3v2 tag in room reserved in front of the first frame.
#pragma once

#include <cstdint>
#include <vector>

#include "audiofile/AudioWriter.h"
#include "audiofile/LameLibrary.h"
#include "audiofile/QualityTable.h"

constexpr int kMp3QualityCount = 42;
constexpr int kMp3DefaultQuality = 16;  // "128k bps / 44.1 kHz / Stereo"
extern const QualityEntry kMp3Qualities[kMp3QualityCount];

class CMp3Writer : public CAudioWriter {
public:
    CMp3Writer();
    ~CMp3Writer() override;

    // False when the LAME module could not be loaded; such a writer refuses to begin.
    bool IsAvailable() const { return m_lame != nullptr; }

    Result<void> Open(const char* name) override { return OpenFile(name); }
    // Rates, channel mode (mono for 1 channel) and, unless VBR is on, the bitrate go into the configuration.
    Result<void> SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                           int minBitrate) override;
    // Replaces the whole configuration with a 331-byte record.
    Result<void> SetOptions(const void* record, int size) override;
    Result<void> Begin() override;
    // The encoder's last frames; the tags follow in Close.
    Result<void> EndStream() override;
    // Closes the stream and the file, lets LAME rewrite the first frame, then writes the tags.
    Result<void> Close() override;

    const BE_CONFIG& Config() const { return m_config; }

protected:
    Result<void> WriteBlock(const void* data, int length) override;

private:
    Result<void> WriteOutput(uint32_t bytes);

    const LameFunctions* m_lame = nullptr;
    BE_CONFIG m_config{};
    BE_VERSION m_version{};
    HBE_STREAM m_stream = 0;
    std::vector<uint8_t> m_output;
    uint32_t m_outputSize = 0;
};
