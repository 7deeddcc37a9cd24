// The process-wide table of encoder plug-ins: libraries loaded at run time by name, kept loaded.
#pragma once

#include "abi/EncoderPlugInAbi.h"

constexpr int kPlugInSlotCount = 99;
constexpr int kWmaPlugInSlot = 1;

// A loaded plug-in's prefixed exports.
struct PlugInFunctions {
    PlugInOpenFn* open = nullptr;
    PlugInOutputFn* output = nullptr;
    PlugInStartFn* start = nullptr;
    PlugInWriteDeviceFn* writeDevice = nullptr;
    PlugInEndFn* end = nullptr;
    PlugInCloseFn* close = nullptr;
    PlugInSetOptFn* setOpt = nullptr;
    PlugInGetInfoFn* getInfo = nullptr;
    PlugInOpenFromHandlerFn* openFromHandler = nullptr;
    PlugInWriteSampleFn* writeSample = nullptr;
};

// Loads "<library>.so" (program folder first) into the slot, unless the slot already holds a
// plug-in. A plug-in counts only when PlugIn_Info succeeds and all ten prefixed exports exist;
// otherwise it is unloaded again and a later call starts afresh. A prefix whose export names
// would not fit 31 characters is refused the same way. Thread-safe.
bool LoadEncoderPlugIn(int slot, const char* library);
// The slot's exports, or null while it is empty. Valid for the life of the process.
const PlugInFunctions* EncoderPlugInFunctions(int slot);
