// Loading the LAME encoder module once per process.
#include "audiofile/LameLibrary.h"

#include <mutex>

#include "foundation/CharString.h"

namespace {

std::mutex g_lock;
CLameLibrary g_library;

template <typename T>
bool Resolve(const CRuntimeModule& module, const char* name, T& function, CCharString& missing) {
    function = reinterpret_cast<T>(module.Symbol(name));
    if (!function) missing = name;
    return function != nullptr;
}

}  // namespace

Result<void> CLameLibrary::Load(const char* moduleName) {
    m_functions = LameFunctions();
    if (const Result<void> loaded = m_module.Load(moduleName); !loaded)
        return KindFailure(FailureKind::kMissing,
                           UserText("LameLibrary", "%1.so を読み込めません: %2").Arg(moduleName).Arg(loaded.error().message));
    LameFunctions f;
    CCharString missing;
    if (Resolve(m_module, "beInitStream", f.initStream, missing) &&
        Resolve(m_module, "beEncodeChunk", f.encodeChunk, missing) &&
        Resolve(m_module, "beDeinitStream", f.deinitStream, missing) &&
        Resolve(m_module, "beCloseStream", f.closeStream, missing) &&
        Resolve(m_module, "beVersion", f.version, missing) &&
        Resolve(m_module, "beWriteVBRHeader", f.writeVbrHeader, missing)) {
        m_functions = f;
        return {};
    }
    m_module.Unload();
    return KindFailure(FailureKind::kMissing,
                       UserText("LameLibrary", "%1.so に %2 がありません").Arg(moduleName).Arg(missing.str()));
}

Result<const LameFunctions*> LoadLameLibrary() {
    std::lock_guard lock(g_lock);
    if (!g_library.IsLoaded())
        if (Result<void> loaded = g_library.Load("lame_enc"); !loaded) return std::move(loaded).error();
    return &g_library.Functions();
}
