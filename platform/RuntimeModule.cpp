// Run-time module loading with dlopen.
#include "platform/RuntimeModule.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include "foundation/PathUtils.h"

CRuntimeModule::~CRuntimeModule() { Unload(); }

bool CRuntimeModule::Load(const char* name) {
    Unload();
    const CCharString file = CCharString(name) + ".so";
    for (const CCharString& candidate : {ProgramFolder() + file, file}) {
        m_handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle) {
            m_error = CCharString();
            return true;
        }
    }
    const char* error = dlerror();
    m_error = error ? error : "not found";
    return false;
}

void* CRuntimeModule::Symbol(const char* name) const { return m_handle ? dlsym(m_handle, name) : nullptr; }

void CRuntimeModule::Unload() {
    if (m_handle) dlclose(m_handle);
    m_handle = nullptr;
}

CCharString ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    return FolderOf(CCharString(std::string_view(path, n)));
}
