// CFlacWriter: 16-bit FLAC tracks through libFLAC, their comments rewritten in place when closed.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <FLAC/stream_encoder.h>

#include "audiofile/AudioWriter.h"
#include "audiofile/QualityTable.h"

// Every compression level, strongest first, at each rate and channel count of the PCM list; the
// value is the level.
constexpr int kFlacQualityCount = 9 * 12;
constexpr int kFlacDefaultQuality = 38;  // "Level 5 / 44.1 kHz / Stereo"
extern const std::array<QualityEntry, kFlacQualityCount> kFlacQualities;
// What the free-space estimate counts a FLAC track at, against its PCM size: a usual figure for
// music and speech (noise compresses less, silence far more).
constexpr double kFlacSizeOfPcm = 0.6;

class CFlacWriter : public CAudioWriter {
public:
    CFlacWriter() : CAudioWriter(OutputFormat::Flac) {}
    ~CFlacWriter() override;

    Result<void> Open(const char* name) override { return OpenFile(name); }
    // libFLAC's levels 0 (fastest) to 8 (smallest); 5 unless set.
    Result<void> SetCompressionLevel(int level);
    // STREAMINFO, the comments and padding up to kFlacTagRoom, where the first frame begins.
    Result<void> Begin() override;
    // The last frame, and STREAMINFO's totals, frame sizes and MD5; after a failed write, the
    // totals of the frames that reached the file.
    Result<void> EndStream() override;
    // Closes the file, then rewrites the comments from the tags.
    Result<void> Close() override;

protected:
    Result<void> WriteBlock(const void* data, int length) override;

private:
    static FLAC__StreamEncoderWriteStatus WriteFrame(const FLAC__StreamEncoder* encoder, const FLAC__byte buffer[],
                                                     size_t bytes, uint32_t samples, uint32_t frame, void* writer);
    static FLAC__StreamEncoderSeekStatus SeekFile(const FLAC__StreamEncoder* encoder, FLAC__uint64 offset,
                                                  void* writer);
    static FLAC__StreamEncoderTellStatus TellFile(const FLAC__StreamEncoder* encoder, FLAC__uint64* offset,
                                                  void* writer);
    bool AddMetadata();
    void DeleteEncoder();

    FLAC__StreamEncoder* m_encoder = nullptr;
    FLAC__StreamMetadata* m_comments = nullptr;
    FLAC__StreamMetadata* m_padding = nullptr;
    std::vector<FLAC__int32> m_samples;
    int m_level = 5;
    // libFLAC rewrites STREAMINFO at the end; those writes are no frames.
    bool m_finishing = false;
    // Once a frame could not be written, no later one is: the file ends at its last whole frame.
    // Success until then; then that write's failure.
    Result<void> m_framesWritten;
    int64_t m_framesEnd = 0;  // file offset after the last whole frame
    uint64_t m_framesSamples = 0;
    uint32_t m_minFrameBytes = 0;
    uint32_t m_maxFrameBytes = 0;
};

// Sets STREAMINFO's total sample count and frame sizes in the FLAC stream of `file`, in place,
// without reading it (a writer's file is open for writing only).
Result<void> SetFlacStreamTotals(CFileStream& file, int bitsPerSample, uint64_t totalSamples,
                                 uint32_t minFrameBytes, uint32_t maxFrameBytes);
