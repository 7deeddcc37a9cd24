// Fuzz target: ParseWavHeader.
#include "fuzz/MemoryStream.h"
#include "tags/WavHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemoryStream stream(data, size);
    int64_t offset = 0;
    uint32_t dataSize = 0;
    PcmFormatBlock format;
    if (ParseWavHeader(stream, offset, dataSize, &format) && offset < 44) __builtin_trap();
    return 0;
}
