// The module report of --version and the about box.
#include "app/control/ModuleReport.h"

#include "app/language/Catalogue.h"
#include "app/settings/OutputFormats.h"
#include "platform/RuntimeModule.h"
#include "tags/VorbisDecoder.h"
#include "tags/WmaDecoder.h"

std::vector<UserText> ModuleReport() {
    // Loaded for the record they leave; the lines below say why one failed.
    static_cast<void>(OutputFormatAvailable(OutputFormat::Mp3));
    static_cast<void>(OutputFormatAvailable(OutputFormat::Wma));
    LoadVorbisDecoder();
    static_cast<void>(LoadWmaDecoder());
    std::vector<UserText> lines;
    for (const ModuleLoadRecord& module : ModuleLoadRecords())
        lines.push_back(module.path.IsEmpty()
                            ? UserText("ModuleReport", "%1.so: 読み込まれていません (%2)").Arg(module.name.str()).Arg(module.error.str())
                            : UserText::Verbatim(module.name.str() + ".so: " + module.path.str()));
    return lines;
}

std::string VersionText(const char* program, const char* version) {
    std::string text = SaidUtf8(UserText("ModuleReport",
                                         "%1 %2\n"
                                         "Copyright (C) 2026 Velsona maintainers\n"
                                         "ライセンス GPLv3+: GNU GPL バージョン 3 またはそれ以降 <https://gnu.org/licenses/gpl.html>。\n"
                                         "これはフリーソフトウェアです。自由に変更し、再配布できます。\n"
                                         "法律で認められる範囲で、一切の保証はありません。\n"
                                         "モジュール:\n")
                                    .Arg(program)
                                    .Arg(version));
    for (const UserText& line : ModuleReport()) text += "  " + SaidUtf8(line) + "\n";
    return text;
}
