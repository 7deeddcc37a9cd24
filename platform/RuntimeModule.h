// CRuntimeModule: a shared library loaded at run time (the encoder and decoder modules).
#pragma once

#include <vector>

#include "foundation/CharString.h"
#include "foundation/Result.h"

class CRuntimeModule {
public:
    CRuntimeModule() = default;
    ~CRuntimeModule();
    CRuntimeModule(const CRuntimeModule&) = delete;
    CRuntimeModule& operator=(const CRuntimeModule&) = delete;

    // Loads "<name>.so" from the places ModuleSearchPaths lists, in that order. Unloads what was
    // loaded before. A missing module is a normal state; the failure says why, for messages.
    Result<void> Load(const char* name);
    bool IsLoaded() const { return m_handle != nullptr; }
    // The exported function or object, or null.
    void* Symbol(const char* name) const;
    void Unload();
    // The file the loaded module came from, resolved; empty when nothing is loaded.
    const CCharString& Path() const { return m_path; }

private:
    void* m_handle = nullptr;
    CCharString m_path;
};

// The folder of the running program, with a trailing "/".
CCharString ProgramFolder();

// The private folders of an installed tree as seen from the programs' folder: the modules, and the
// data such as the window's manual. Set by the build from the install layout.
extern const char* const kInstalledModuleFolder;
extern const char* const kInstalledDataFolder;

// Where a file that ships with the programs is looked for: beside the program (a build tree, or a
// copy carried around with its files), then in `installedFolder` relative to the program's folder.
std::vector<CCharString> InstalledFileSearchPaths(const CCharString& programFolder, const char* installedFolder,
                                                  const CCharString& file);

// Where a module file is looked for: the places above for the module folder, then the bare file
// name for the dynamic loader's own search.
std::vector<CCharString> ModuleSearchPaths(const CCharString& programFolder, const CCharString& file);

// Every module load this process attempted, for --version and the about box: the name asked
// for, and the file it came from or why it could not be loaded.
struct ModuleLoadRecord {
    CCharString name;
    CCharString path;  // empty when the load failed
    CCharString error;
};
std::vector<ModuleLoadRecord> ModuleLoadRecords();
