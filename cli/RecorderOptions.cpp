// Command-line parsing of velsona-rec.
#include "cli/RecorderOptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/files/FileNameTemplate.h"
#include "app/settings/OutputFormats.h"
#include "tags/FileKind.h"

namespace {

bool ParseInteger(const std::string& text, long low, long high, int& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    value = static_cast<int>(parsed);
    return true;
}

// "H:M:S", "M:S" or seconds; at most 23:59:59, as the output bar's picker holds a time of day.
bool ParseSplitTime(const std::string& text, SplitTime& time) {
    std::vector<int> parts;
    for (size_t at = 0;;) {
        const size_t colon = text.find(':', at);
        int part = 0;
        if (parts.size() == 3 || !ParseInteger(text.substr(at, colon - at), 0, 86399, part)) return false;
        parts.push_back(part);
        if (colon == std::string::npos) break;
        at = colon + 1;
    }
    for (size_t i = 1; i < parts.size(); ++i)
        if (parts[i] > 59) return false;
    int seconds = 0;
    for (int part : parts) seconds = seconds * 60 + part;
    if (seconds > 86399) return false;
    time = SplitTime{static_cast<uint16_t>(seconds / 3600), static_cast<uint16_t>(seconds / 60 % 60),
                     static_cast<uint16_t>(seconds % 60), 0};
    return true;
}

struct NamedCode {
    const char* name;
    int code;
};
constexpr NamedCode kFormats[] = {{"wav", static_cast<int>(OutputFormat::Wav)},
                                  {"wma", static_cast<int>(OutputFormat::Wma)},
                                  {"ogg", static_cast<int>(OutputFormat::OggVorbis)},
                                  {"mp3", static_cast<int>(OutputFormat::Mp3)},
                                  {"flac", static_cast<int>(OutputFormat::Flac)},
                                  {"opus", static_cast<int>(OutputFormat::Opus)}};
constexpr NamedCode kSplitMethods[] = {{"manual", kSplitManual}, {"interval", kSplitInterval}, {"silence", kSplitSilence}};

template <size_t N>
bool Lookup(const NamedCode (&table)[N], const std::string& name, std::optional<int>& code) {
    for (const NamedCode& entry : table)
        if (strcasecmp(entry.name, name.c_str()) == 0) {
            code = entry.code;
            return true;
        }
    return false;
}

// The long twins of the schedule words.
constexpr struct {
    const char* option;
    const char* word;
} kScheduleOptions[] = {{"start", "/S"}, {"duration", "/T"}, {"end-action", "/E"}, {"preset", "/P"}};

}  // namespace

bool ParseRecorderArguments(const std::vector<std::string>& arguments, RecorderOptions& options, std::string& error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("--", 0) != 0) {
            if (argument.size() > 1 && argument[0] == '-') {
                error = "unknown option " + argument + " (see --help)";
                return false;
            }
            // "/S", "NOW", "/T", "MS=0:07" …: the schedule's own words.
            options.scheduleWords.emplace_back(argument);
            continue;
        }
        std::string name = argument.substr(2);
        std::optional<std::string> inlineValue;
        if (const size_t equals = name.find('='); equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.erase(equals);
        }
        if (name == "reconnect" || name == "no-reconnect") {
            if (inlineValue) {
                error = "--" + name + " takes no value";
                return false;
            }
            options.resumeInput = name == "reconnect";
            continue;
        }
        if (name == "help" || name == "version" || name == "list-devices" || name == "create-preset" ||
            name == "recover") {
            if (inlineValue) {
                error = "--" + name + " takes no value";
                return false;
            }
            (name == "help"      ? options.help
             : name == "version" ? options.version
             : name == "recover" ? options.recover
             : name == "create-preset" ? options.createPreset
                                       : options.listDevices) = true;
            continue;
        }
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            error = "--" + name + " needs a value (see --help)";
            return false;
        }
        bool valid = true;
        bool known = true;
        int number = 0;
        if (name == "capture") {
            options.capture = value;
        } else if (name == "device") {
            valid = ParseInteger(value, -1, 1 << 20, number);
            if (valid) options.device = number;
        } else if (name == "format") {
            valid = Lookup(kFormats, value, options.outputFormat);
        } else if (name == "quality") {
            valid = ParseInteger(value, 0, 1 << 20, number);
            if (valid) options.qualityIndex = number;
        } else if (name == "ogg-quality") {
            valid = ParseInteger(value, 0, 100, number);
            if (valid) options.oggQuality = number;
        } else if (name == "split") {
            valid = Lookup(kSplitMethods, value, options.splitMethod);
        } else if (name == "split-time") {
            SplitTime time;
            valid = ParseSplitTime(value, time);
            if (valid) options.splitTime = time;
        } else if (name == "folder") {
            options.folder = CCharString(value);
        } else if (name == "template") {
            options.fileNameTemplate = CCharString(value);
        } else if (name == "title") {
            options.tagTitle = CCharString(value);
        } else if (name == "artist") {
            options.tagArtist = CCharString(value);
        } else if (name == "album") {
            options.tagAlbum = CCharString(value);
        } else if (name == "comment") {
            options.tagComment = CCharString(value);
        } else {
            known = false;
            for (const auto& schedule : kScheduleOptions)
                if (name == schedule.option) {
                    options.scheduleWords.emplace_back(schedule.word);
                    options.scheduleWords.emplace_back(value);
                    known = true;
                }
        }
        if (!known) {
            error = "unknown option --" + name + " (see --help)";
            return false;
        }
        if (!valid) {
            error = "invalid value for --" + name + ": \"" + value + "\" (see --help)";
            return false;
        }
    }
    return true;
}

bool ApplyRecorderOptions(const RecorderOptions& options, RecordingSettings& settings, std::string& error) {
    if (options.outputFormat && *options.outputFormat != settings.outputFormat) {
        settings.outputFormat = *options.outputFormat;
        settings.qualityIndex = DefaultQualityIndex(settings.outputFormat, settings.channels);
        settings.oggQuality = 40;
        settings.fileNameTemplate =
            TemplateWithFormatExtension(settings.fileNameTemplate, static_cast<OutputFormat>(settings.outputFormat));
    }
    if (options.fileNameTemplate) settings.fileNameTemplate = *options.fileNameTemplate;
    if (options.qualityIndex) {
        const QualityTable table = QualityTableFor(static_cast<OutputFormat>(settings.outputFormat));
        if (*options.qualityIndex >= table.count) {
            error = "--quality " + std::to_string(*options.qualityIndex) + " is not a row of the " +
                    FormatName(settings.outputFormat) + " quality table (0 to " + std::to_string(table.count - 1) + ")";
            return false;
        }
        settings.qualityIndex = *options.qualityIndex;
    }
    if (options.oggQuality) settings.oggQuality = *options.oggQuality;
    if (options.splitMethod && *options.splitMethod != settings.splitMethod) {
        settings.splitMethod = *options.splitMethod;
        // The times the output bar proposes when its split method changes.
        settings.splitTime = settings.splitMethod == kSplitInterval ? SplitTime{0, 30, 0, 0}
                           : settings.splitMethod == kSplitSilence  ? SplitTime{0, 0, 3, 0}
                                                                    : SplitTime{};
    }
    if (options.splitTime) settings.splitTime = *options.splitTime;
    if (options.device) settings.inputDevice = *options.device;
    if (options.folder) settings.outputFolder = *options.folder;
    if (options.tagTitle) settings.tagTitle = *options.tagTitle;
    if (options.tagArtist) settings.tagArtist = *options.tagArtist;
    if (options.tagAlbum) settings.tagAlbum = *options.tagAlbum;
    if (options.tagComment) settings.tagComment = *options.tagComment;
    if (options.resumeInput) settings.resumeInput = *options.resumeInput;
    return true;
}

const char* RecorderUsage() {
    return "Usage: velsona-rec [OPTION]... [/S WHEN] [/T DURATION] [/E ACTION] [/P PRESET]\n"
           "Records from a sound input into tracks (WAV, MP3, Ogg Vorbis or WMA) until stopped with\n"
           "Ctrl+C, SIGTERM or a hang-up, or until the duration is reached. Starts from the start-up preset\n"
           "(\"(デフォルト設定)\" or /P) and stores this run's settings back into \"(デフォルト設定)\" at exit.\n"
           "\n"
           "Schedule (the window's command line; --start etc. are the same):\n"
           "  /S NOW | HM=21:00 | HMS=21:00:30 | \"YMDHM=2026/12/24 21:00\" | \"YMDHMS=...\"\n"
           "      --start WHEN        start now or at that time (a countdown until then)\n"
           "  /T MS=90:00 | HMS=1:30:00\n"
           "      --duration D        stop after this much recorded time\n"
           "  /E exit | suspend | hibernate | shutdown\n"
           "      --end-action A      what the machine does when the duration ends the recording\n"
           "  /P NAME, --preset NAME  load this preset instead of \"(デフォルト設定)\"; a preset that does\n"
           "                       not exist is refused, unless --create-preset is given: it then starts\n"
           "                       from the default values and this run's settings are stored under NAME\n"
           "\n"
           "Recording settings (override the preset):\n"
           "  --capture pulse|alsa|signal:SPEC   where audio comes from (default: VELSONA_CAPTURE,\n"
           "                       else PulseAudio, else ALSA); SPEC e.g. tone=1000hz/-6db/2s,silence=1s,loop;\n"
           "                       drop=5s@10s makes that input fail after 10 s of signal and come back 5 s later\n"
           "  --device ID          input device id from --list-devices (-1: the default input)\n"
           "  --list-devices       list the input devices and exit\n"
           "  --reconnect          when the input fails (a device unplugged, the sound server restarted),\n"
           "                       close the track and go on: try the same input again every second and\n"
           "                       start the next track when it returns; a start at a set time (/S) waits\n"
           "                       for a missing input too, until its duration is over. Stored in the preset\n"
           "  --no-reconnect       stop when the input fails (the default)\n"
           "  --recover            finish the tracks a killed recorder left (done at every start), then exit\n"
           "  --format wav|mp3|ogg|wma|flac|opus\n"
           "  --quality ROW        row of the format's quality table (0 is the first)\n"
           "  --ogg-quality 0-100  Ogg Vorbis quality\n"
           "  --split manual|interval|silence\n"
           "  --split-time H:M:S   interval length, or the silence that ends a track\n"
           "  --folder DIR         output folder\n"
           "  --template TEXT      file-name template (%TDY%, %RCN%, %TKN%, %STM%, %ETM%, %TLN% …)\n"
           "  --title|--artist|--album|--comment TEXT   tag templates\n"
           "  --help, --version\n"
           "\n"
           "Exit status: 0 when everything was recorded; 1 when a problem occurred (a track that could\n"
           "not be written, a lost input even one that came back, a refused end action) or the recording\n"
           "could not start;\n"
           "2 for a bad command line (a /S that is not a start time included; other schedule words that\n"
           "do not parse are warned about and ignored).\n";
}
