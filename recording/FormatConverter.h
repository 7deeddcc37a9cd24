// CFormatConverter: sits in front of a track's writer and converts sample rate and channels.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audiofile/AudioWriter.h"

// Converts in blocks of exactly 200 ms of input, each resampled on its own to exactly 200 ms of
// output, so long recordings cannot drift. The recorded format of the base is the output format.
class CFormatConverter : public CAudioWriter {
public:
    explicit CFormatConverter(std::unique_ptr<CAudioWriter> writer);
    ~CFormatConverter() override;

    // Forwarded to the wrapped writer; a failure while no writer is wrapped.
    Result<void> Open(const char* name) override;
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    // Also makes the input format equal to the output until SetInputFormat says otherwise.
    Result<void> SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                           int minBitrate) override;
    Result<void> SetOptions(const void* record, int size) override;
    Result<void> Close() override;
    // A failure also for a conversion it cannot do (other than 16-bit mono or stereo).
    Result<void> Begin() override;
    Result<void> Write(const void* data, int length) override;
    Result<void> EndStream() override;
    Result<void> FinishEnd() override;
    // The wrapped writer writes the tags; it is handed these.
    void SetTags(TagFieldSet* tags) override;
    // The wrapped writer's: what it was given after the conversion.
    int64_t SampleFramesWritten() const override;

    // Takes ownership; true when a writer is now wrapped.
    bool SetWrappedWriter(std::unique_ptr<CAudioWriter> writer);
    // The format of the PCM handed to Write.
    void SetInputFormat(int sampleRate, int channels, int bitsPerSample);
    bool IsConverting() const { return m_convert; }

protected:
    Result<void> WriteBlock(const void* data, int length) override;

private:
    // Takes the format a writer may have adjusted in its own SetFormat when ours is incomplete.
    void AdoptIncompleteFormat();
    Result<void> ConvertBlock(const int16_t* samples, int sampleCount);

    std::unique_ptr<CAudioWriter> m_writer;
    int m_inputRate = 44100;
    int m_inputChannels = 2;
    int m_inputBits = 16;
    bool m_convert = false;
    std::vector<int16_t> m_outputBlock;
};
