// Files for the reader tests: tracks through our writers or external encoders, and decoding them back.
#pragma once

#include <cstdint>
#include <string>

#include "audiofile/AudioReader.h"
#include "audiofile/AudioWriter.h"
#include "audiofile/FormatTable.h"
#include "tags/TagFieldSet.h"

// What a recording at the row's default line hands the format's writer: the slider's quality
// for a format that takes it, else the row's value.
inline int DefaultWriterQuality(const FormatRow& row, int sliderQuality) {
    return row.sliderQuality ? sliderQuality : row.qualities.Row(row.qualities.defaultRow)->value;
}
// Encodes `frames` of tone through the writer in 100 ms buffers, as the recorder feeds it.
bool WriteToneTrack(CAudioWriter& writer, const std::string& path, int bitrate, int sampleRate, int channels,
                    int64_t frames, TagFieldSet* tags = nullptr);
// A WAV of `frames` of tone for the external encoders to read.
std::string ToneWav(const std::string& path, int sampleRate, int channels, int64_t frames);
// Runs an encoder command line; true when it exits 0.
bool RunEncoder(const std::string& command);
// Everything the reader decodes from Begin to the end of the audio, joined.
std::string DecodeAll(CAudioReader& reader);
// Root mean square of the difference between two 16-bit PCM streams over their common length.
double RmsDifference(const std::string& a, const std::string& b);
TagFieldSet SampleTags();
// Writes `bytes` to `path`; true when the reader refuses the file and holds nothing of it.
bool RefusesFile(CAudioReader& reader, const std::string& path, const std::string& bytes);
