// Fuzz target, built once per format (FUZZ_EXTENSION): the format's reader, its decoding, its tag
// rewrite and the repair of a cut track, on the input as a file.
#include "fuzz/FuzzFile.h"
#include "fuzz/Replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CFuzzFile file(data, size, FUZZ_EXTENSION);
    // The seek time comes from the input's last bytes, so far and negative times are tried too.
    uint64_t seekMs = 0;
    for (size_t i = 0; i < size && i < 8; ++i) seekMs = seekMs << 8 | data[size - 1 - i];
    if (!ReplayReader(file.Name(), static_cast<int64_t>(seekMs))) __builtin_trap();
    return 0;
}
