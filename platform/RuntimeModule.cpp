// Run-time module loading with dlopen, and the record of what was loaded from where.
#include "platform/RuntimeModule.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <link.h>
#include <mutex>
#include <unistd.h>

#include "foundation/PathUtils.h"

#ifndef VELSONA_MODULE_FOLDER
#define VELSONA_MODULE_FOLDER "../lib/velsona/"
#endif
#ifndef VELSONA_DATA_FOLDER
#define VELSONA_DATA_FOLDER "../share/velsona/"
#endif

const char* const kInstalledModuleFolder = VELSONA_MODULE_FOLDER;
const char* const kInstalledDataFolder = VELSONA_DATA_FOLDER;

namespace {

std::mutex g_recordsLock;
std::vector<ModuleLoadRecord> g_records;

void Record(const char* name, const CCharString& path, const CCharString& error) {
    const std::lock_guard lock(g_recordsLock);
    for (ModuleLoadRecord& record : g_records)
        if (record.name == name) {
            record.path = path;
            record.error = error;
            return;
        }
    g_records.push_back({name, path, error});
}

// The file behind a handle, with "../" and links resolved so a report names one real path.
CCharString LoadedFile(void* handle) {
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return {};
    char resolved[PATH_MAX];
    return realpath(map->l_name, resolved) ? CCharString(resolved) : CCharString(map->l_name);
}

}  // namespace

CRuntimeModule::~CRuntimeModule() { Unload(); }

Result<void> CRuntimeModule::Load(const char* name) {
    Unload();
    for (const CCharString& candidate : ModuleSearchPaths(ProgramFolder(), CCharString(name) + ".so")) {
        m_handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (m_handle) {
            m_path = LoadedFile(m_handle);
            Record(name, m_path, CCharString());
            return {};
        }
    }
    const char* error = dlerror();
    const UserText why = error ? UserText("RuntimeModule", "モジュール %1 を読み込めません: %2").Arg(name).Arg(UserText::Verbatim(error))
                               : UserText("RuntimeModule", "モジュール %1 が見つかりません").Arg(name);
    Record(name, CCharString(), error ? error : "not found");
    return KindFailure(FailureKind::kMissing, why);
}

void* CRuntimeModule::Symbol(const char* name) const { return m_handle ? dlsym(m_handle, name) : nullptr; }

void CRuntimeModule::Unload() {
    if (m_handle) dlclose(m_handle);
    m_handle = nullptr;
    m_path = CCharString();
}

CCharString ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    return FolderOf(CCharString(std::string_view(path, n)));
}

std::vector<CCharString> InstalledFileSearchPaths(const CCharString& programFolder, const char* installedFolder,
                                                  const CCharString& file) {
    // Without its own folder the program cannot know an installed tree either.
    if (programFolder.IsEmpty()) return {};
    return {programFolder + file, programFolder + installedFolder + file};
}

std::vector<CCharString> ModuleSearchPaths(const CCharString& programFolder, const CCharString& file) {
    std::vector<CCharString> paths = InstalledFileSearchPaths(programFolder, kInstalledModuleFolder, file);
    paths.push_back(file);
    return paths;
}

std::vector<ModuleLoadRecord> ModuleLoadRecords() {
    const std::lock_guard lock(g_recordsLock);
    return g_records;
}
