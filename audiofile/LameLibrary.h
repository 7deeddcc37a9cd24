// CLameLibrary and LoadLameLibrary: the LAME encoder module, present only with every function it must export.
#pragma once

#include "foundation/Result.h"
#include "abi/LameEnc.h"
#include "platform/RuntimeModule.h"

struct LameFunctions {
    BEINITSTREAM initStream = nullptr;
    BEENCODECHUNK encodeChunk = nullptr;
    BEDEINITSTREAM deinitStream = nullptr;
    BECLOSESTREAM closeStream = nullptr;
    BEVERSION version = nullptr;
    BEWRITEVBRHEADER writeVbrHeader = nullptr;
};

class CLameLibrary {
public:
    // Loads the module (the program's folder first, then by name) and resolves every function;
    // unloads it again when one is missing. The failure says why, for the user.
    Result<void> Load(const char* moduleName);
    bool IsLoaded() const { return m_module.IsLoaded(); }
    const LameFunctions& Functions() const { return m_functions; }

private:
    CRuntimeModule m_module;
    LameFunctions m_functions;
};

// The process's "lame_enc" module, loaded on the first successful call and kept for the life of
// the process; while it cannot be loaded (MP3 output unavailable) the failure says why.
Result<const LameFunctions*> LoadLameLibrary();
