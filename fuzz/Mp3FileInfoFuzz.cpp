// Fuzz target: ReadMp3FileInfo with its ID3v2, ID3v1 and RIFF INFO reading.
#include "fuzz/MemoryStream.h"
#include "tags/Id3v2Tag.h"
#include "tags/Mp3FileInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemoryStream stream(data, size);
    Mp3FileInfo info;
    CId3v2Tag tag;
    TagFieldSet tags;
    if (ReadMp3FileInfo(stream, info, true, &tag, &tags) &&
        (info.audioOffset < 0 || info.audioLength < 0 || info.audioOffset + info.audioLength > info.fileSize))
        __builtin_trap();  // the audio must lie inside the file
    return 0;
}
