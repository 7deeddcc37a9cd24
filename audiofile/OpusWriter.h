// COpusWriter: encodes a track to Ogg Opus with libopusenc; the Opus quality list.
#pragma once

#include <cstdint>

#include "audiofile/AudioWriter.h"
#include "audiofile/OggPageOutput.h"
#include "audiofile/QualityTable.h"

struct OggOpusEnc;

// Bitrates for stereo, then mono. Opus decodes at 48 kHz whatever it was given, so every row
// shows that rate; the writer takes the input at the rate it was captured.
constexpr int kOpusQualityCount = 20;
constexpr int kOpusDefaultQuality = 5;  // "64k bps / 48.0 kHz / Stereo"
// A mono input gets 32k bps mono, where the stereo default would spend twice that on it.
constexpr int kOpusMonoDefaultQuality = 14;
extern const QualityEntry kOpusQualities[kOpusQualityCount];

class COpusWriter : public CAudioWriter {
public:
    COpusWriter() : CAudioWriter(OutputFormat::Opus) {}
    ~COpusWriter() override;

    Result<void> Open(const char* name) override { return OpenFile(name); }
    // Any sample rate: libopusenc resamples to 48 kHz, and the header keeps the rate given. The
    // bitrate is the encoder's target in bit/s. The headers are written here, on pages of their own.
    Result<void> Begin() override;
    // Drains the encoder: the last page carries the end of the stream and the exact length.
    Result<void> EndStream() override;
    // Closes the file, then rewrites its comments from the tags, when tags were given.
    Result<void> Close() override;

protected:
    Result<void> WriteBlock(const void* data, int length) override;

private:
    // Writes the pages the encoder has ready; `flush` forces out the one it is filling.
    Result<void> WritePages(bool flush);
    void DestroyEncoder();

    OggOpusEnc* m_encoder = nullptr;
    int64_t m_framesFed = 0;
    COggPageOutput m_output;
};
