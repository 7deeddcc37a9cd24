// mutagen, run by the system's Python as a separate program.
#include "tests/support/Mutagen.h"

#include <sstream>

#include "tests/support/Process.h"

namespace {

ProcessResult RunPython(const std::string& script, const std::string& path) {
    return RunProcess("/usr/bin/python3 -c " + ShellQuote(script) + " " + ShellQuote(path));
}

ProcessResult RunSnippet(const std::string& path, const std::string& snippet) {
    return RunPython("import sys, mutagen\npath = sys.argv[1]\n" + snippet, path);
}

}  // namespace

bool RunMutagen(const std::string& path, const std::string& snippet) { return RunSnippet(path, snippet).exitCode == 0; }

std::string MutagenOutput(const std::string& path, const std::string& snippet) {
    const ProcessResult result = RunSnippet(path, snippet);
    return result.exitCode == 0 ? result.output : std::string();
}

std::map<std::string, std::string> ReadTagsWithMutagen(const std::string& path) {
    // Values print as UTF-8; one "key<TAB>type:value" line each, newlines in values escaped.
    const std::string script =
        "import sys, mutagen\n"
        "sys.stdout.reconfigure(encoding='utf-8')\n"
        "f = mutagen.File(sys.argv[1])\n"
        "for key, values in sorted((f.tags or {}).items()):\n"
        "    vs = values if isinstance(values, list) else [values]\n"
        "    text = '|'.join(type(v).__name__ + ':' + str(getattr(v, 'value', v)) for v in vs)\n"
        "    print(key + '\\t' + text.replace('\\n', '\\\\n'))\n";
    std::map<std::string, std::string> tags;
    const ProcessResult result = RunPython(script, path);
    if (result.exitCode != 0) return tags;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) tags[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return tags;
}
