// Command-line parsing of velsona-rec.
#include "cli/RecorderOptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <variant>

#include "app/files/FileNameTemplate.h"
#include "app/settings/OutputFormats.h"

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

template <typename Code>
struct NamedCode {
    const char* name;
    Code code;
};
constexpr NamedCode<OutputFormat> kFormats[] = {{"wav", OutputFormat::Wav},        {"wma", OutputFormat::Wma},
                                                {"ogg", OutputFormat::OggVorbis}, {"mp3", OutputFormat::Mp3},
                                                {"flac", OutputFormat::Flac},     {"opus", OutputFormat::Opus}};
constexpr NamedCode<int> kSplitMethods[] = {{"manual", kSplitManual}, {"interval", kSplitInterval}, {"silence", kSplitSilence}};

template <typename Code, size_t N>
bool Lookup(const NamedCode<Code> (&table)[N], const std::string& name, std::optional<Code>& code) {
    for (const NamedCode<Code>& entry : table)
        if (strcasecmp(entry.name, name.c_str()) == 0) {
            code = entry.code;
            return true;
        }
    return false;
}

// A number on the command line: an id, a row, a quality.
constexpr int kLargestNumber = 1 << 20;

// The field whose option is `option`, or null.
const SettingField* FieldOfOption(const std::string& option) {
    for (const SettingField& field : kSettingFields)
        if (field.option && option == field.option) return &field;
    return nullptr;
}

// Reads `value` into the field's place in `values`; false when it is not one of the option's forms.
bool ParseFieldValue(const SettingField& field, const std::string& value, RecordingSettings& values) {
    if (field.member == SettingField::Member(&RecordingSettings::splitMethod)) {
        std::optional<int> method;
        if (!Lookup(kSplitMethods, value, method)) return false;
        values.splitMethod = *method;
        return true;
    }
    return std::visit(
        [&](auto member) {
            using Value = std::remove_reference_t<decltype(values.*member)>;
            if constexpr (std::is_same_v<Value, CCharString>) {
                values.*member = CCharString(value);
                return true;
            } else if constexpr (std::is_same_v<Value, int>) {
                return ParseInteger(value, field.low, std::min(field.high, kLargestNumber), values.*member);
            } else if constexpr (std::is_same_v<Value, OutputFormat>) {
                std::optional<OutputFormat> format;
                if (Lookup(kFormats, value, format)) values.*member = *format;
                return format.has_value();
            } else if constexpr (std::is_same_v<Value, SplitTime>) {
                return ParseSplitTime(value, values.*member);
            } else {
                return false;  // a switch takes no value
            }
        },
        field.member);
}

void Override(RecorderOptions& options, const SettingField& field) {
    if (!options.Overrides(field.member)) options.overridden.push_back(&field);
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
            options.values.resumeInput = name == "reconnect";
            Override(options, *FieldOfOption("reconnect"));
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
        if (name == "capture") {
            options.capture = value;
        } else if (const SettingField* field = FieldOfOption(name)) {
            valid = ParseFieldValue(*field, value, options.values);
            if (valid) Override(options, *field);
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

bool RecorderOptions::Overrides(SettingField::Member member) const {
    for (const SettingField* field : overridden)
        if (field->member == member) return true;
    return false;
}

bool ApplyRecorderOptions(const RecorderOptions& options, RecordingSettings& settings, std::string& error) {
    const RecordingSettings& given = options.values;
    if (options.Overrides(&RecordingSettings::outputFormat) && given.outputFormat != settings.outputFormat) {
        settings.outputFormat = given.outputFormat;
        settings.qualityIndex = DefaultQualityIndex(settings.outputFormat, settings.channels);
        settings.oggQuality = kDefaultOggQuality;
        settings.fileNameTemplate = TemplateWithFormatExtension(settings.fileNameTemplate, settings.outputFormat);
    }
    if (options.Overrides(&RecordingSettings::qualityIndex)) {
        const QualityTable table = QualityTableFor(settings.outputFormat);
        if (given.qualityIndex >= table.count) {
            error = "--quality " + std::to_string(given.qualityIndex) + " is not a row of the " +
                    FormatName(settings.outputFormat) + " quality table (0 to " + std::to_string(table.count - 1) + ")";
            return false;
        }
    }
    if (options.Overrides(&RecordingSettings::splitMethod) && given.splitMethod != settings.splitMethod)
        settings.splitTime = DefaultSplitTime(given.splitMethod);
    // The values given replace what the format and the split method brought.
    for (const SettingField* field : options.overridden)
        std::visit([&](auto member) { settings.*member = given.*member; }, field->member);
    return true;
}

const char* RecorderUsage() {
    return "Usage: velsona-rec [OPTION]... [/S WHEN] [/T DURATION] [/E ACTION] [/P PRESET]\n"
           "Records from a sound input into tracks (WAV, MP3, Ogg Vorbis, WMA, FLAC or Opus) until\n"
           "stopped with Ctrl+C, SIGTERM or a hang-up, or until the duration is reached. Starts from the\n"
           "start-up preset (\"(デフォルト設定)\" or /P) and stores this run's settings back into\n"
           "\"(デフォルト設定)\" at exit.\n"
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
