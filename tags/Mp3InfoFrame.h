// The LAME Info frame of a track whose encoder never finished it: filled in from the frames present.
#pragma once

#include <cstdint>

#include "foundation/FileStream.h"

// LAME's encoder delay in sample frames; decoders skip it (and their own 529) at the start.
constexpr int kLameEncoderDelay = 576;

// Makes the MP3 stream of `file` (behind its ID3v2 tag) end after its last whole frame, and fills
// in the Info frame LAME reserves as the first frame when it is still the blank placeholder or
// was left half written: frame and byte counts, seek table, the encoder delay and, when
// `sampleFrames` (the PCM sample frames given to the encoder) is known (not -1), the padding at
// the end, so players drop exactly what the encoder added. `encoder` is the version text the tag
// names ("LAME3.100"). A frame header LAME already completed is left as it is. False when the file
// holds no frames or cannot be written.
bool CompleteMp3Stream(CFileStream& file, int64_t sampleFrames, const char* encoder);
