// The WMA decoder and attribute module, loaded once per process: "WMADEC9", else "WMADEC8".
#pragma once

#include "abi/WmaDecoderAbi.h"
#include "foundation/Result.h"

// Every export the program uses; a module lacking one does not count.
struct WmaDecoderFunctions {
    WmaOpenFn* open = nullptr;
    WmaStartFn* start = nullptr;
    WmaDecodeFn* decode = nullptr;
    WmaSeekFn* seek = nullptr;
    WmaEndFn* end = nullptr;
    WmaCloseFn* close = nullptr;
    WmaGetInfoFn* getInfo = nullptr;
    WmaTagOpenFn* tagOpen = nullptr;
    WmaTagGetAttrbFn* tagGetAttrb = nullptr;
    WmaTagSetAttrbFn* tagSetAttrb = nullptr;
    WmaTagCloseFn* tagClose = nullptr;
};

// 9 or 8 for the module found; fails when neither is there with every export (WMA is then
// unavailable). The first call loads; later calls report what it found. Thread-safe.
Result<int> LoadWmaDecoder();
// The module's exports, or null when LoadWmaDecoder fails.
const WmaDecoderFunctions* WmaDecoder();
