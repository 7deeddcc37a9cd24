// Encoder plug-in table: loading, the prefix, and resolving the prefixed exports in order.
#include "audiofile/EncoderPlugIn.h"

#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/RuntimeModule.h"

namespace {

struct PlugInSlot {
    CRuntimeModule module;
    PlugInFunctions functions;
};

std::mutex g_tableMutex;

// Never freed: a loaded plug-in stays loaded for the life of the process, even while static
// objects are destroyed at exit.
PlugInSlot* Table() {
    static PlugInSlot* table = new PlugInSlot[kPlugInSlotCount];
    return table;
}

// Builds the export's name from its pattern; a name that does not fit is not looked up.
template <typename Fn>
bool Resolve(const CRuntimeModule& module, const char* prefix, const char* pattern, Fn*& function) {
    char name[PLUGIN_EXPORT_NAME_BUFFER];
    const int length = snprintf(name, sizeof name, pattern, prefix);
    if (length < 0 || length >= static_cast<int>(sizeof name)) return false;
    function = reinterpret_cast<Fn*>(module.Symbol(name));
    return function != nullptr;
}

bool ResolveAll(const CRuntimeModule& module, const char* prefix, PlugInFunctions& f) {
    return Resolve(module, prefix, "%s_Open", f.open) && Resolve(module, prefix, "%s_Output", f.output) &&
           Resolve(module, prefix, "%s_Start", f.start) &&
           Resolve(module, prefix, "%s_WriteDevice", f.writeDevice) && Resolve(module, prefix, "%s_End", f.end) &&
           Resolve(module, prefix, "%s_Close", f.close) && Resolve(module, prefix, "%s_SetOpt", f.setOpt) &&
           Resolve(module, prefix, "%s_GetInfo", f.getInfo) &&
           Resolve(module, prefix, "%s_OpenFromHandler", f.openFromHandler) &&
           Resolve(module, prefix, "%s_WriteSample", f.writeSample);
}

bool ValidSlot(int slot) { return slot >= 0 && slot < kPlugInSlotCount; }

}  // namespace

bool LoadEncoderPlugIn(int slot, const char* library) {
    if (!ValidSlot(slot) || !library) return false;
    std::lock_guard lock(g_tableMutex);
    PlugInSlot& entry = Table()[slot];
    if (entry.module.IsLoaded()) return true;
    if (!entry.module.Load(library)) return false;
    auto* info = reinterpret_cast<PlugInInfoFn*>(entry.module.Symbol("PlugIn_Info"));
    char prefix[PLUGIN_PREFIX_BUFFER] = {};
    bool ok = info && info(0, prefix, sizeof prefix) >= 0;
    // The plug-in may fill the whole buffer without a terminator.
    prefix[sizeof prefix - 1] = '\0';
    ok = ok && ResolveAll(entry.module, prefix, entry.functions);
    if (!ok) {
        entry.module.Unload();
        entry.functions = PlugInFunctions();
    }
    return ok;
}

const PlugInFunctions* EncoderPlugInFunctions(int slot) {
    if (!ValidSlot(slot)) return nullptr;
    std::lock_guard lock(g_tableMutex);
    const PlugInSlot& entry = Table()[slot];
    return entry.module.IsLoaded() ? &entry.functions : nullptr;
}
