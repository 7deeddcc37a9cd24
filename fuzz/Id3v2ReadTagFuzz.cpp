// Fuzz target: CId3v2Tag::ReadTag, then writing back what it read.
#include "fuzz/MemoryStream.h"
#include "tags/Id3v2Tag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemoryStream stream(data, size);
    CId3v2Tag tag;
    if (tag.ReadTag(stream)) {
        tag.GetFrameText("TIT2");
        static_cast<void>(tag.SetFrameText("COMM", "x"));
        tag.Render();
    }
    return 0;
}
