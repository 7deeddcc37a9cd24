// CLameLibrary and LoadLameLibrary: the LAME encoder module, present only with every function it must export.
#pragma once

#include "foundation/CharString.h"
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
    // unloads it again when one is missing.
    bool Load(const char* moduleName);
    bool IsLoaded() const { return m_module.IsLoaded(); }
    const LameFunctions& Functions() const { return m_functions; }
    // Why the last Load failed, for the user.
    const CCharString& Error() const { return m_error; }

private:
    CRuntimeModule m_module;
    LameFunctions m_functions;
    CCharString m_error;
};

// The process's "lame_enc" module, loaded on the first successful call and kept for the life of
// the process; null while it cannot be loaded (MP3 output unavailable).
const LameFunctions* LoadLameLibrary();
// Why MP3 output is unavailable; empty once the module is loaded.
CCharString LameLibraryError();
