// Fuzz target: ReadInfoList.
#include "fuzz/MemoryStream.h"
#include "tags/RiffInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemoryStream stream(data, size);
    TagFieldSet tags;
    int64_t length = 0;
    ReadInfoList(stream, tags, &length);
    return 0;
}
