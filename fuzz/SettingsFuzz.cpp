// Fuzz target: the settings store loading a damaged or hostile settings file.
#include "fuzz/FuzzFile.h"
#include "fuzz/Replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const CFuzzFile file(data, size, ".conf");
    ReplaySettings(file.Name());
    return 0;
}
