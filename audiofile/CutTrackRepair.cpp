// The repairs of cut tracks, one per format whose end writes something the audio needs.
#include "audiofile/CutTrackRepair.h"

#include "audiofile/FlacReader.h"
#include "audiofile/LameLibrary.h"
#include "audiofile/WavWriter.h"
#include "foundation/CharString.h"
#include "foundation/FileStream.h"
#include "tags/AsfTotals.h"
#include "tags/Mp3InfoFrame.h"
#include "tags/OggPages.h"
#include "tags/WavHeader.h"

bool RepairCutWav(const CutTrack& cut) {
    if (!cut.stillRecording) return true;
    CFileStream file;
    if (!file.Open(cut.path, CFileStream::kReadWrite)) return false;
    int64_t dataOffset = 0;
    uint32_t dataSize = 0;
    PcmFormatBlock format;
    if (!ParseWavHeader(file, dataOffset, dataSize, &format) || dataOffset != kWavHeaderSize) return false;
    const int64_t length = file.GetSize();
    // Sizes the writer set at the close: what follows the audio is its tags, not more audio.
    if (dataSize != CWavWriter::kUnknownDataSize && dataOffset + dataSize <= length) return true;
    const int64_t frame = format.blockAlign > 0 ? format.blockAlign : 1;
    const int64_t whole = kWavHeaderSize + (length - kWavHeaderSize) / frame * frame;
    // Half a sample frame is no audio, and a tag list after it would be read as samples.
    if (whole != length && !file.SetLength(whole)) return false;
    return WriteWavSizes(file, whole).has_value();
}

bool RepairCutMp3(const CutTrack& cut) {
    CFileStream file;
    if (!file.Open(cut.path, CFileStream::kReadWrite)) return false;
    BE_VERSION version{};
    if (const LameFunctions* lame = LoadLameLibrary().value_or(nullptr)) lame->version(&version);
    const CCharString encoder = CCharString::Formatted("LAME%d.%d", version.byMajorVersion, version.byMinorVersion);
    return CompleteMp3Stream(file, cut.sampleFrames, encoder.c_str());
}

bool RepairCutFlac(const CutTrack& cut) { return CompleteFlacStream(cut.path); }

bool RepairCutWma(const CutTrack& cut) {
    CFileStream file;
    return file.Open(cut.path, CFileStream::kReadWrite) && CompleteAsfStream(file);
}

bool RepairCutOpus(const CutTrack& cut) {
    if (!cut.stillRecording) return true;
    CFileStream file;
    return file.Open(cut.path, CFileStream::kReadWrite) && EndOggStreamAtLastWholePage(file);
}
