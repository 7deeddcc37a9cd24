// Command-line parsing of velsona-rec.
#include "cli/RecorderOptions.h"

#include <algorithm>
#include <cctype>
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

// Room to keep free: "20", "1.5" or "20G" gigabytes, "500M" megabytes (of 1024).
bool ParseKeepFree(const std::string& text, int& megabytes) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    errno = 0;
    const double number = std::strtod(text.c_str(), &end);
    const std::string unit = end;
    double scale = 1024;
    if (unit == "M" || unit == "m" || unit == "MB") scale = 1;
    else if (!unit.empty() && unit != "G" && unit != "g" && unit != "GB") return false;
    const double total = number * scale;
    if (errno != 0 || total > kLargestKeepFreeMb || (scale == 1 && total != static_cast<int>(total))) return false;
    megabytes = static_cast<int>(total + 0.5);
    return true;
}

template <typename Code>
struct NamedCode {
    const char* name;
    Code code;
};
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
    if (field.member == SettingField::Member(&RecordingSettings::keepFreeMb)) return ParseKeepFree(value, values.keepFreeMb);
    return std::visit(
        [&](auto member) {
            using Value = std::remove_reference_t<decltype(values.*member)>;
            if constexpr (std::is_same_v<Value, CCharString>) {
                values.*member = CCharString(value);
                return true;
            } else if constexpr (std::is_same_v<Value, int>) {
                return ParseInteger(value, field.low, std::min(field.high, kLargestNumber), values.*member);
            } else if constexpr (std::is_same_v<Value, OutputFormat>) {
                const std::optional<OutputFormat> format = OutputFormatOfOption(value.c_str());
                if (format) values.*member = *format;
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

constexpr struct {
    const char* option;
    ScheduleCommand command;
} kScheduleCommands[] = {{"schedule-add", ScheduleCommand::Add},
                         {"schedule-remove", ScheduleCommand::Remove},
                         {"schedule-enable", ScheduleCommand::Enable},
                         {"schedule-disable", ScheduleCommand::Disable},
                         {"schedule-run", ScheduleCommand::Run}};

std::optional<ScheduleCommand> ScheduleCommandOfOption(const std::string& option) {
    for (const auto& entry : kScheduleCommands)
        if (option == entry.option) return entry.command;
    return std::nullopt;
}

bool SetScheduleCommand(RecorderOptions& options, ScheduleCommand command, const std::string& name, UserText& error) {
    if (options.scheduleCommand != ScheduleCommand::None) {
        error = UserText("RecorderOptions", "スケジュールのコマンドは一度に一つだけです");
        return false;
    }
    options.scheduleCommand = command;
    options.scheduleName = name;
    return true;
}

}  // namespace

bool ParseRecorderArguments(const std::vector<std::string>& arguments, RecorderOptions& options, UserText& error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("--", 0) != 0) {
            if (argument.size() > 1 && argument[0] == '-') {
                error = UserText("RecorderOptions", "不明なオプション %1 です (--help を参照)").Arg(argument);
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
        // A stored switch: --NAME turns it on, --no-NAME off.
        const std::string switchName = name.rfind("no-", 0) == 0 ? name.substr(3) : name;
        if (const SettingField* field = FieldOfOption(switchName);
            field && std::holds_alternative<bool RecordingSettings::*>(field->member)) {
            if (inlineValue) {
                error = UserText("RecorderOptions", "--%1 は値を取りません").Arg(name);
                return false;
            }
            options.values.*std::get<bool RecordingSettings::*>(field->member) = switchName == name;
            Override(options, *field);
            continue;
        }
        if (name == "help" || name == "version" || name == "list-devices" || name == "create-preset" ||
            name == "recover" || name == "schedule-list") {
            if (inlineValue) {
                error = UserText("RecorderOptions", "--%1 は値を取りません").Arg(name);
                return false;
            }
            bool scheduleList = false;
            (name == "help"      ? options.help
             : name == "version" ? options.version
             : name == "recover" ? options.recover
             : name == "create-preset" ? options.createPreset
             : name == "list-devices"  ? options.listDevices
                                       : scheduleList) = true;
            if (scheduleList && !SetScheduleCommand(options, ScheduleCommand::List, {}, error)) return false;
            continue;
        }
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            error = UserText("RecorderOptions", "--%1 には値が必要です (--help を参照)").Arg(name);
            return false;
        }
        bool valid = true;
        bool known = true;
        if (name == "capture") {
            options.capture = value;
        } else if (const std::optional<ScheduleCommand> command = ScheduleCommandOfOption(name)) {
            if (!SetScheduleCommand(options, *command, value, error)) return false;
        } else if (name == "when") {
            options.scheduleWhen = value;
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
            error = UserText("RecorderOptions", "不明なオプション %1 です (--help を参照)").Arg("--" + name);
            return false;
        }
        if (!valid) {
            error = UserText("RecorderOptions", "--%1 の値「%2」は正しくありません (--help を参照)").Arg(name).Arg(value);
            return false;
        }
    }
    if (options.scheduleWhen && options.scheduleCommand != ScheduleCommand::Add) {
        error = UserText("RecorderOptions", "--when は --schedule-add と使います");
        return false;
    }
    return true;
}

bool RecorderOptions::Overrides(SettingField::Member member) const {
    for (const SettingField* field : overridden)
        if (field->member == member) return true;
    return false;
}

bool ApplyRecorderOptions(const RecorderOptions& options, RecordingSettings& settings, UserText& error) {
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
            error = UserText("RecorderOptions", "--quality %1 は %2 の音質表の行ではありません (0 から %3)")
                        .Arg(given.qualityIndex)
                        .Arg(FormatName(settings.outputFormat))
                        .Arg(table.count - 1);
            return false;
        }
    }
    if (options.Overrides(&RecordingSettings::splitMethod) && given.splitMethod != settings.splitMethod)
        settings.splitTime = DefaultSplitTime(given.splitMethod);
    // The values given replace what the format and the split method brought.
    for (const SettingField* field : options.overridden)
        std::visit([&](auto member) { settings.*member = given.*member; }, field->member);
    if (options.Overrides(&RecordingSettings::skipSilence) && settings.skipSilence && settings.splitMethod != kSplitSilence) {
        error = UserText("RecorderOptions", "--skip-silence は --split silence と使います (無音の長さとしきい値で音を判断します)");
        return false;
    }
    return true;
}

UserText RecorderUsage() {
    return UserText("RecorderOptions",
                    "使用法: velsona-rec [オプション]... [/S 開始] [/T 時間] [/E 動作] [/P プリセット]\n"
                    "音声入力からトラック (WAV、MP3、Ogg Vorbis、WMA、FLAC、Opus) に録音します。Ctrl+C、SIGTERM、\n"
                    "ハングアップで止めるか、録音時間に達するまで続けます。起動時のプリセット (既定のプリセット\n"
                    "または /P) から始め、終了時にこの実行の設定を既定のプリセットに保存します。\n"
                    "\n"
                    "スケジュール (ウィンドウのコマンドラインと同じ。--start なども同じ意味です):\n"
                    "  /S NOW | HM=21:00 | HMS=21:00:30 | \"YMDHM=2026/12/24 21:00\" | \"YMDHMS=...\"\n"
                    "      --start WHEN        今すぐ、またはその時刻に開始 (それまではカウントダウン)\n"
                    "  /T MS=90:00 | HMS=1:30:00\n"
                    "      --duration D        録音した時間がこの長さになったら停止\n"
                    "  /E exit | suspend | hibernate | shutdown\n"
                    "      --end-action A      録音時間で録音が終わったときのマシンの動作\n"
                    "  /P NAME, --preset NAME  既定のプリセットの代わりにこのプリセットを読み込む。存在しない\n"
                    "                       プリセットは拒否します。ただし --create-preset を付けると既定値から\n"
                    "                       始め、この実行の設定を NAME に保存します\n"
                    "\n"
                    "録音の設定 (プリセットより優先):\n"
                    "  --capture pulse|alsa|signal:SPEC   音声の入力元 (既定: VELSONA_CAPTURE、なければ\n"
                    "                       PulseAudio、なければ ALSA)。SPEC の例: tone=1000hz/-6db/2s,silence=1s,loop。\n"
                    "                       drop=5s@10s で、その入力は信号 10 秒後に途絶え、5 秒後に戻ります\n"
                    "  --device ID          --list-devices の入力デバイス ID (-1: 既定の入力)\n"
                    "  --list-devices       入力デバイスを一覧表示して終了\n"
                    "  --reconnect          入力が途絶えたとき (デバイスが外れた、サウンドサーバーが再起動した)、\n"
                    "                       トラックを閉じて続ける: 1 秒ごとに同じ入力を試し、戻ったら次の\n"
                    "                       トラックを始める。時刻指定の開始 (/S) も、録音時間が終わるまで\n"
                    "                       入力が現れるのを待つ。プリセットに保存されます\n"
                    "  --no-reconnect       入力が途絶えたら停止 (既定)\n"
                    "  --recover            終了しきれなかった録音機が残したトラックを仕上げて終了 (毎回の起動時にも行います)\n"
                    "  --format wav|mp3|ogg|wma|flac|opus\n"
                    "  --quality ROW        形式の音質表の行 (0 が最初)\n"
                    "  --ogg-quality 0-100  Ogg Vorbis の音質\n"
                    "  --split manual|interval|silence\n"
                    "  --split-time H:M:S   分割の間隔、またはトラックを終える無音の長さ\n"
                    "  --skip-silence       音のあるときだけ録音 (--split silence と): 無音の長さだけ無音が続くと\n"
                    "                       トラックを閉じ、音が戻るまで何も書かない。プリセットに保存されます\n"
                    "  --no-skip-silence    無音も録音 (既定)\n"
                    "  --pre-roll 0-10      音が戻ったトラックの頭に入れる、その前の秒数 (既定 1)\n"
                    "  --align-to-clock     一定時間の分割を時計に合わせる: 区切りは午前0時から数えた間隔の倍数の\n"
                    "                       時刻 (1 時間なら毎正時)。最初のトラックは次の区切りまで。プリセットに保存\n"
                    "  --no-align-to-clock  録音の開始から数えて分割 (既定)\n"
                    "  --folder DIR         出力先フォルダ\n"
                    "  --template TEXT      ファイル名テンプレート (%TDY%、%RCN%、%TKN%、%STM%、%ETM%、%TLN% …)\n"
                    "  --title|--artist|--album|--comment TEXT   タグのテンプレート\n"
                    "  --loudness-tags      閉じたトラックのラウドネス (EBU R128) を測り、再生ソフトが音量をそろえる\n"
                    "                       タグを書く: ReplayGain (MP3・Ogg Vorbis・FLAC・WMA)、R128_TRACK_GAIN\n"
                    "                       (Opus)。WAV には書かない。プリセットに保存されます\n"
                    "  --no-loudness-tags   ラウドネスのタグを書かない (既定)\n"
                    "  --keep-days N        古い録音を削除: この録音機が録音し、その後変更されていない出力先\n"
                    "                       フォルダのファイルを、N 日より古くなったら削除 (0: しない)\n"
                    "  --keep-free SIZE     同じく、ディスクの空きが SIZE 未満の間は古いものから削除。SIZE は\n"
                    "                       GB (20、1.5、20G) か MB (500M)。0: しない。どちらもプリセットに保存されます\n"
                    "  --help, --version\n"
                    "\n"
                    "繰り返す録音のスケジュール (systemd のユーザータイマーで動き、ウィンドウは要りません):\n"
                    "  --schedule-list      スケジュールと次の 5 回の開始、前回の結果を表示\n"
                    "  --schedule-add NAME --when WHEN --duration D [--preset P] [--end-action A]\n"
                    "                [--keep-days N] [--keep-free SIZE]\n"
                    "                       スケジュールを加える。WHEN は「once 2026-12-24 21:00」「daily 6:30」\n"
                    "                       「weekly 曜日 21:00」のいずれか。曜日は mon、tue、wed、thu、fri、sat、sun を\n"
                    "                       「,」でつなぎます。D は 7 日まで\n"
                    "  --schedule-remove NAME | --schedule-enable NAME | --schedule-disable NAME\n"
                    "                       消す、有効にする、無効にする (タイマーも合わせます)\n"
                    "  --schedule-run NAME  タイマーが使う: その回を予定の終わりまで録音する (遅れた開始は残りだけ、\n"
                    "                       終わりも過ぎていれば何もしない)。設定は保存しません\n"
                    "  ログアウト中も録音するには loginctl の enable-linger を実行してください。開始時刻には\n"
                    "  パソコンが動いているか、その時刻に起動するよう設定されている必要があります\n"
                    "\n"
                    "終了ステータス: すべて録音できたときは 0。問題が起きたとき (書き込めなかったトラック、\n"
                    "途絶えた入力 (戻った場合も)、拒否された終了時の動作) や録音を開始できなかったときは 1。\n"
                    "コマンドラインの誤りは 2 (開始時刻でない /S を含む。解釈できないほかのスケジュールの\n"
                    "指定は警告して無視します)。スケジュールのコマンドは、誤った指定 (何も変えません) が 2、\n"
                    "スケジュールのファイルや systemd の失敗が 1 です。\n");
}
