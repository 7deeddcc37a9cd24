// ffprobe and mutagen, run as separate programs.
#include "tests/support/ExternalReaders.h"

#include <cstdlib>
#include <sstream>

#include "tests/support/Process.h"

ProbedStream ProbeAudio(const std::string& path) {
    ProbedStream stream;
    const ProcessResult result = RunProcess(
        "ffprobe -v error -select_streams a:0 -read_intervals %+#1 -show_entries "
        "stream=codec_name,sample_rate,channels,duration:packet=duration_time -of default=noprint_wrappers=1 " +
        ShellQuote(path));
    if (result.exitCode != 0) return stream;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "codec_name") stream.codec = value;
        if (key == "sample_rate") stream.sampleRate = atoi(value.c_str());
        if (key == "channels") stream.channels = atoi(value.c_str());
        if (key == "duration") stream.duration = atof(value.c_str());
        if (key == "duration_time" && stream.packetDuration == 0) stream.packetDuration = atof(value.c_str());
    }
    stream.ok = !stream.codec.empty();
    return stream;
}

bool RunMutagen(const std::string& path, const std::string& snippet) {
    const std::string script = "import sys, mutagen\npath = sys.argv[1]\n" + snippet;
    return RunProcess("/usr/bin/python3 -c " + ShellQuote(script) + " " + ShellQuote(path)).exitCode == 0;
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
    const ProcessResult result = RunProcess("/usr/bin/python3 -c " + ShellQuote(script) + " " + ShellQuote(path));
    if (result.exitCode != 0) return tags;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) tags[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return tags;
}
