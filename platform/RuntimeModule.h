// CRuntimeModule: a shared library loaded at run time (the encoder and decoder modules).
#pragma once

#include "foundation/CharString.h"

class CRuntimeModule {
public:
    CRuntimeModule() = default;
    ~CRuntimeModule();
    CRuntimeModule(const CRuntimeModule&) = delete;
    CRuntimeModule& operator=(const CRuntimeModule&) = delete;

    // Loads "<name>.so" from the program's own folder first, then by name through the dynamic
    // loader's search path. Unloads what was loaded before. A missing module is a normal state.
    bool Load(const char* name);
    bool IsLoaded() const { return m_handle != nullptr; }
    // The exported function or object, or null.
    void* Symbol(const char* name) const;
    void Unload();
    // Why the last Load failed, for messages.
    const CCharString& Error() const { return m_error; }

private:
    void* m_handle = nullptr;
    CCharString m_error;
};

// The folder of the running program, with a trailing "/".
CCharString ProgramFolder();
