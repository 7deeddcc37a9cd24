// What recovery writes into a track cut off by a kill that the encoder's end would have written.
#pragma once

#include <cstdint>

struct CutTrack {
    const char* path = nullptr;
    bool stillRecording = false;  // cut while audio went in, not after the stream's end
    int64_t sampleFrames = 0;     // as the journal last counted them
};

// A WAV's sizes from the whole sample frames present, only while it was recording: once ended
// they are right, and a tag list may follow the audio.
bool RepairCutWav(const CutTrack& cut);
// An MP3's Info frame, and its whole frames only.
bool RepairCutMp3(const CutTrack& cut);
// A FLAC stream's totals.
bool RepairCutFlac(const CutTrack& cut);
// A WMA stream's header totals, and its whole packets only.
bool RepairCutWma(const CutTrack& cut);
// An Opus stream the encoder never drained ends at its last whole page; a torn page after it goes.
bool RepairCutOpus(const CutTrack& cut);
