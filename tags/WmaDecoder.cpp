// Loading the WMA decoder and attribute module and resolving its exports.
#include "tags/WmaDecoder.h"

#include <utility>

#include "platform/RuntimeModule.h"

namespace {

template <typename Fn>
bool Resolve(const CRuntimeModule& module, const char* name, Fn*& function) {
    function = reinterpret_cast<Fn*>(module.Symbol(name));
    return function != nullptr;
}

bool ResolveAll(const CRuntimeModule& module, WmaDecoderFunctions& f) {
    return Resolve(module, "WMA_Open", f.open) && Resolve(module, "WMA_Start", f.start) &&
           Resolve(module, "WMA_Decode", f.decode) && Resolve(module, "WMA_Seek", f.seek) &&
           Resolve(module, "WMA_End", f.end) && Resolve(module, "WMA_Close", f.close) &&
           Resolve(module, "WMA_GetInfo", f.getInfo) && Resolve(module, "WMATag_Open", f.tagOpen) &&
           Resolve(module, "WMATag_GetAttrb", f.tagGetAttrb) && Resolve(module, "WMATag_SetAttrb", f.tagSetAttrb) &&
           Resolve(module, "WMATag_Close", f.tagClose);
}

struct LoadedDecoder {
    CRuntimeModule module;
    int version = 0;
    WmaDecoderFunctions functions;
};

const LoadedDecoder& Loaded() {
    // Never freed: the module stays loaded for the life of the process.
    static const LoadedDecoder* const loaded = [] {
        auto* result = new LoadedDecoder;
        for (const auto& [name, version] : {std::pair{"WMADEC9", 9}, std::pair{"WMADEC8", 8}}) {
            if (result->module.Load(name) && ResolveAll(result->module, result->functions)) {
                result->version = version;
                return result;
            }
            result->module.Unload();
        }
        result->functions = WmaDecoderFunctions();
        return result;
    }();
    return *loaded;
}

}  // namespace

Result<int> LoadWmaDecoder() {
    if (const int version = Loaded().version) return version;
    return KindFailure(FailureKind::kMissing,
                       UserText("WmaDecoder", "すべての関数を備えた WMA デコーダーモジュール (%1 または %2) がありません")
                           .Arg("WMADEC9")
                           .Arg("WMADEC8"));
}

const WmaDecoderFunctions* WmaDecoder() { return Loaded().version ? &Loaded().functions : nullptr; }
