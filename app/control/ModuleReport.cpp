// The module report of --version and the about box.
#include "app/control/ModuleReport.h"

#include "app/settings/OutputFormats.h"
#include "platform/RuntimeModule.h"
#include "tags/VorbisDecoder.h"
#include "tags/WmaDecoder.h"

std::vector<std::string> ModuleReport() {
    // Loaded for the record they leave; the lines below say why one failed.
    static_cast<void>(OutputFormatAvailable(OutputFormat::Mp3));
    static_cast<void>(OutputFormatAvailable(OutputFormat::Wma));
    LoadVorbisDecoder();
    static_cast<void>(LoadWmaDecoder());
    std::vector<std::string> lines;
    for (const ModuleLoadRecord& module : ModuleLoadRecords())
        lines.push_back(module.name.str() + ".so: " +
                        (module.path.IsEmpty() ? "not loaded (" + module.error.str() + ")" : module.path.str()));
    return lines;
}

std::string VersionText(const char* program, const char* version) {
    std::string text = std::string(program) + " " + version +
                       "\nCopyright (C) 2026 Velsona maintainers\n"
                       "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
                       "This is free software: you are free to change and redistribute it.\n"
                       "There is NO WARRANTY, to the extent permitted by law.\n"
                       "Modules:\n";
    for (const std::string& line : ModuleReport()) text += "  " + line + "\n";
    return text;
}
