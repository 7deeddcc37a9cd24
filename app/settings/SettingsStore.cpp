// Settings store over QSettings: the registry's sections and values, read defensively.
#include "app/settings/SettingsStore.h"

#include <QByteArray>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <optional>
#include <fcntl.h>
#include <unistd.h>
#include <utility>
#include <variant>
#include <vector>

#include "app/files/FileNameTemplate.h"
#include "app/language/Catalogue.h"
#include "app/settings/OutputFormats.h"
#include "foundation/PathUtils.h"
#include "platform/RuntimeModule.h"

namespace {

constexpr int kStoreVersion = 48;
constexpr int kSplitTimeBytes = 8;

QString Q(const CCharString& text) { return QString::fromUtf8(text.c_str(), text.GetLength()); }
CCharString C(const QString& text) { return CCharString(text.toUtf8().toStdString()); }

}  // namespace

CCharString PresetNameOf(const CCharString& text) {
    CCharString trimmed(text);
    trimmed.Trim();
    return SanitizeFileName(trimmed, false, false);
}

UserText PresetDisplayName(const CCharString& presetName) {
    return presetName == kDefaultPresetName ? UserText("RecordingSettings", kDefaultPresetName)
                                            : UserText::Verbatim(presetName.str());
}

namespace {

// A preset name is always one group, whatever a command line or an old file hands us.
QString PresetGroup(const CCharString& name) {
    CCharString trimmed(name);
    trimmed.Trim();
    return "SETTING/" + Q(SanitizeFileName(trimmed, false, false));
}

uint16_t Uint16At(const unsigned char* bytes, int offset) {
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

std::optional<int> IntOf(const QVariant& value) {
    if (value.typeId() == QMetaType::Int) return value.toInt();
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    // QVariant's own conversion cuts a number that does not fit and calls it a success.
    bool ok = false;
    const int result = value.toString().toInt(&ok);
    return ok ? std::optional<int>(result) : std::nullopt;
}

std::optional<CCharString> TextOf(const QVariant& value) {
    // An unquoted value with commas comes back from an INI file as a list.
    if (value.typeId() == QMetaType::QStringList) return C(value.toStringList().join(", "));
    if (value.typeId() == QMetaType::QString) return C(value.toString());
    return std::nullopt;
}

int ReadInt(const QSettings& s, const QString& key, int fallback) { return IntOf(s.value(key)).value_or(fallback); }

CCharString ReadText(const QSettings& s, const QString& key, const CCharString& fallback) {
    return TextOf(s.value(key)).value_or(fallback);
}

constexpr const char* kPresetVersionKey = "PRESET_VERSION";

// The value names of one preset, to find them where a stray section line has put them.
QStringList PresetValueNames() {
    QStringList names{kPresetVersionKey};
    for (const SettingField& field : kSettingFields) names.append(field.key);
    return names;
}

// Reads one preset's values; a value that is there but cannot be used takes its default and is
// noted, so the user learns why a setting came back changed.
class CPresetReader {
public:
    CPresetReader(const QSettings& s, const CCharString& presetName, std::vector<UserText>* problems)
        : m_s(s), m_group(PresetGroup(presetName) + "/"), m_name(PresetNameOf(presetName)), m_problems(problems) {}

    // The field's value, or `fallback`.
    int Read(const SettingField& field, int fallback) const { return Int(field.key, fallback, field.low, field.high); }
    bool Read(const SettingField& field, bool fallback) const { return Int(field.key, fallback ? 1 : 0, 0, 1) != 0; }
    OutputFormat Read(const SettingField& field, OutputFormat fallback) const { return Format(field.key, fallback); }
    CCharString Read(const SettingField& field, const CCharString& fallback) const { return Text(field.key, fallback); }
    SplitTime Read(const SettingField& field, const SplitTime&) const { return Time(field.key); }

    int Int(const char* key, int fallback, int low = INT_MIN, int high = INT_MAX) const {
        const QVariant value = m_s.value(m_group + key);
        if (!value.isValid()) return fallback;
        const std::optional<int> result = IntOf(value);
        if (result && *result >= low && *result <= high) return *result;
        Unusable(key, value, std::to_string(fallback));
        return fallback;
    }

    OutputFormat Format(const char* key, OutputFormat fallback) const {
        const QVariant value = m_s.value(m_group + key);
        if (!value.isValid()) return fallback;
        const std::optional<int> code = IntOf(value);
        if (const std::optional<OutputFormat> format = code ? OutputFormatOfCode(*code) : std::nullopt) return *format;
        Unusable(key, value, std::to_string(static_cast<int>(fallback)));
        return fallback;
    }

    CCharString Text(const char* key, const CCharString& fallback) const {
        const QVariant value = m_s.value(m_group + key);
        if (!value.isValid()) return fallback;
        if (std::optional<CCharString> text = TextOf(value)) return *text;
        // Appended in place: GCC 12 at -O2 takes "\"" + std::string&& for an overlapping copy.
        Unusable(key, value, std::string(1, '"').append(fallback.str()).append(1, '"'));
        return fallback;
    }

    // At most 8 bytes count; a shorter block leaves the rest at zero. A block that is no time
    // of day cannot be a split time and reads as 00:00:00.
    SplitTime Time(const char* key) const {
        const QVariant value = m_s.value(m_group + key);
        if (!value.isValid()) return {};
        if (value.typeId() == QMetaType::QByteArray) {
            const QByteArray stored = value.toByteArray();
            unsigned char bytes[kSplitTimeBytes] = {};
            for (int i = 0; i < kSplitTimeBytes && i < stored.size(); ++i)
                bytes[i] = static_cast<unsigned char>(stored[i]);
            const SplitTime time{Uint16At(bytes, 0), Uint16At(bytes, 2), Uint16At(bytes, 4), Uint16At(bytes, 6)};
            if (time.hours <= 23 && time.minutes <= 59 && time.seconds <= 59 && time.milliseconds <= 999) return time;
        }
        Unusable(key, value, "00:00:00");
        return {};
    }

    void Unusable(const char* key, const QVariant& value, const std::string& fallback) const {
        if (!m_problems) return;
        QString shown = value.typeId() == QMetaType::QByteArray ? Said(UserText("SettingsStore", "(バイナリ)")) : value.toString();
        if (shown.size() > 40) shown = shown.left(40) + "…";
        m_problems->push_back(UserText("SettingsStore", "プリセット「%1」: %2=%3 は使えないため、既定値 %4 を使います")
                                  .Arg(PresetDisplayName(m_name))
                                  .Arg(key)
                                  .Arg(shown.toStdString())
                                  .Arg(fallback));
    }

private:
    const QSettings& m_s;
    QString m_group;
    CCharString m_name;
    std::vector<UserText>* m_problems;
};

// A value as the file stores it.
QVariant Stored(const CCharString& text) { return Q(text); }
QVariant Stored(int number) { return number; }
QVariant Stored(bool flag) { return flag ? 1 : 0; }
QVariant Stored(OutputFormat format) { return static_cast<int>(format); }
QVariant Stored(const SplitTime& time) {
    QByteArray bytes(kSplitTimeBytes, '\0');
    const uint16_t fields[] = {time.hours, time.minutes, time.seconds, time.milliseconds};
    for (int i = 0; i < 4; ++i) {
        bytes[2 * i] = static_cast<char>(fields[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(fields[i] >> 8);
    }
    return bytes;
}

int CurrentYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

int IndexOf(const HistoryList& list, const CCharString& text) {
    for (size_t i = 0; i < list.entries.size(); ++i)
        if (list.entries[i] == text) return static_cast<int>(i);
    return -1;
}

}  // namespace

void AddToHistory(HistoryList& list, int limit, const CCharString& text) {
    for (auto it = list.entries.begin(); it != list.entries.end(); ++it) {
        if (it->Compare(text.c_str(), true) == 0) {
            list.entries.erase(it);
            break;
        }
    }
    if (limit > 0 && static_cast<int>(list.entries.size()) >= limit) list.entries.resize(limit - 1);
    list.entries.insert(list.entries.begin(), text);
    list.selected = 0;
}

void PushIntoHistories(ProfileState& state) {
    const RecordingSettings& s = state.settings;
    if (!s.outputFolder.IsEmpty()) AddToHistory(state.folders, kFolderHistoryLimit, s.outputFolder);
    if (!s.fileNameTemplate.IsEmpty()) {
        AddToHistory(state.templates, kTemplateHistoryLimit, WithoutFormatExtension(s.fileNameTemplate));
    }
}

CCharString DefaultOutputFolder() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (base.isEmpty()) base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (base.isEmpty()) return ProgramFolder() + "My Recording";
    return C(base) + "/My Recording";
}

CSettingsStore::CSettingsStore() : m_settings(std::make_unique<QSettings>("MORV", "VelsonaF")) { Open(); }

CSettingsStore::CSettingsStore(const CCharString& filePath)
    : m_settings(std::make_unique<QSettings>(Q(filePath), QSettings::IniFormat)) {
    Open();
}

CSettingsStore::~CSettingsStore() = default;

CCharString CSettingsStore::FilePath() const { return C(m_settings->fileName()); }

void CSettingsStore::Open() {
    const QString path = m_settings->fileName();
    const std::string shown = path.toUtf8().toStdString();
    // QSettings reads an unreadable file as an empty one; asked directly, the file says why.
    const int fd = open(path.toUtf8().constData(), O_RDONLY | O_CLOEXEC);
    char byte;
    if ((fd < 0 && errno != ENOENT) || (fd >= 0 && read(fd, &byte, 1) < 0)) {
        m_unreadable = true;
        m_fileProblems.push_back(
            UserText("SettingsStore", "設定ファイル %1 を読めません (%2)。既定値を使い、ファイルはそのままにします")
                .Arg(shown)
                .ArgError(errno));
    }
    if (fd >= 0) close(fd);
    if (m_unreadable) return;
    // The file is parsed on first use; only then does the status tell.
    m_settings->allKeys();
    if (m_settings->status() == QSettings::FormatError) {
        KeepDamagedCopy();
        m_fileProblems.push_back(
            UserText("SettingsStore", "設定ファイル %1 は壊れています。%1.damaged として残し、読めた値を使います").Arg(shown));
    }
    MoveStrayValues();
}

void CSettingsStore::KeepDamagedCopy() {
    // QSettings never writes over a file it could not parse, which would leave a damaged file
    // unsaveable for good. Keep it aside and start a new one from what was readable.
    const QString path = m_settings->fileName();
    std::vector<std::pair<QString, QVariant>> values;
    for (const QString& key : m_settings->allKeys()) values.emplace_back(key, m_settings->value(key));
    m_settings.reset();
    QFile::remove(path + ".damaged");
    QFile::rename(path, path + ".damaged");
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    for (const auto& [key, value] : values) m_settings->setValue(key, value);
    m_settings->sync();
}

void CSettingsStore::MoveStrayValues() {
    // A section line typed into the middle of a preset puts the values after it under that
    // section; saving would then leave the preset behind under the stray name. The values go
    // back where their names say they belong (unless the preset holds them already).
    QStringList strays;
    for (const QString& key : m_settings->allKeys()) {
        const QStringList parts = key.split('/');
        if (parts.size() != 3 || parts[0] == "SETTING" || !PresetValueNames().contains(parts[2])) continue;
        const QString home = "SETTING/" + parts[1] + "/" + parts[2];
        if (!m_settings->contains(home)) m_settings->setValue(home, m_settings->value(key));
        m_settings->remove(key);
        if (!strays.contains(parts[0])) strays.append(parts[0]);
    }
    if (!strays.isEmpty())
        m_fileProblems.push_back(
            UserText("SettingsStore",
                     "設定ファイル %1 のプリセットの間に余分なセクション行 [%2] があります。その後の値は元のプリセットのままです")
                .Arg(m_settings->fileName().toStdString())
                .Arg(strays.join("], [").toStdString()));
}

bool CSettingsStore::Sync() {
    // QSettings writes a temporary file and renames it over the old one, so a crash or a
    // full disk leaves either the old file or the new one, never half of one.
    m_settings->sync();
    if (m_settings->status() == QSettings::FormatError) KeepDamagedCopy();
    return m_settings->status() == QSettings::NoError;
}

bool CSettingsStore::PresetExists(const CCharString& presetName) const {
    const QString group = PresetGroup(presetName) + "/";
    for (const QString& name : PresetValueNames())
        if (m_settings->contains(group + name)) return true;
    return false;
}

RecordingSettings CSettingsStore::LoadSettings(const CCharString& presetName, std::vector<UserText>* problems) const {
    const CPresetReader read(*m_settings, presetName, problems);
    RecordingSettings r;
    r.tagYear = CurrentYear();
    r.tagTitle = SaidUtf8(UserText("RecordingSettings", kDefaultTagTitle));
    r.tagArtist = SaidUtf8(UserText("RecordingSettings", kDefaultTagArtist));
    r.tagAlbum = SaidUtf8(UserText("RecordingSettings", kDefaultTagAlbum));
    r.tagComment = SaidUtf8(UserText("RecordingSettings", kDefaultTagComment));
    for (SettingField field : kSettingFields) {
        // The stored row belongs to the format read before it; missing, it is that format's
        // default row.
        if (field.member == SettingField::Member(&RecordingSettings::qualityIndex)) {
            r.qualityIndex = DefaultQualityIndex(r.outputFormat, r.channels);
            field.high = QualityTableFor(r.outputFormat).count - 1;
        }
        std::visit([&](auto member) { r.*member = read.Read(field, r.*member); }, field.member);
    }
    if (r.outputFolder.IsEmpty()) r.outputFolder = DefaultOutputFolder();
    // Selecting the format in the output bar keeps the template's extension in step with it, so
    // a hand-edited preset never writes one format's data under another's extension.
    r.fileNameTemplate = TemplateWithFormatExtension(r.fileNameTemplate, r.outputFormat);
    return r;
}

bool CSettingsStore::SaveSettings(const CCharString& presetName, const RecordingSettings& r) {
    if (m_unreadable) return false;
    QSettings& s = *m_settings;
    s.setValue("SETTING/VERSION", kStoreVersion);
    s.beginGroup(PresetGroup(presetName));
    s.setValue(kPresetVersionKey, kStoreVersion);
    for (const SettingField& field : kSettingFields)
        std::visit([&](auto member) { s.setValue(field.key, Stored(r.*member)); }, field.member);
    s.endGroup();
    return Sync();
}

HistoryList CSettingsStore::LoadHistory(const char* listName) const {
    const QString g = QString::fromUtf8(listName) + "/";
    HistoryList list;
    const int count = ReadInt(*m_settings, g + "MRUCOUNT", 0);
    for (int i = 0; i < count; ++i) {
        const CCharString entry = ReadText(*m_settings, g + QString("HISTORY_%1").arg(i), {});
        if (entry.IsEmpty()) break;
        list.entries.push_back(entry);
    }
    if (count > 0 && !list.entries.empty()) list.selected = 0;
    return list;
}

bool CSettingsStore::SaveHistory(const HistoryList& list, const char* listName) {
    if (m_unreadable) return false;
    const QString g = QString::fromUtf8(listName) + "/";
    m_settings->setValue(g + "MRUCOUNT", static_cast<int>(list.entries.size()));
    for (size_t i = 0; i < list.entries.size(); ++i)
        m_settings->setValue(g + QString("HISTORY_%1").arg(i), Q(list.entries[i]));
    return Sync();
}

void CSettingsStore::LoadProfile(const CCharString& presetName, ProfileState& state, LoadReport* report) const {
    state.presets = LoadHistory(kPresetHistory);
    if (state.presets.entries.empty()) state.presets.entries.emplace_back(kDefaultPresetName);
    state.folders = LoadHistory(kFolderHistory);
    state.templates = LoadHistory(kTemplateHistory);
    state.presetName = presetName;
    state.settings = LoadSettings(presetName, report ? &report->problems : nullptr);
    if (report && PresetNameOf(presetName) != kDefaultPresetName && !PresetExists(presetName)) {
        report->presetMissing = true;
        report->problems.push_back(
            UserText("SettingsStore", "プリセット「%1」はありません。既定値を使います").Arg(PresetNameOf(presetName).str()));
    }
}

bool CSettingsStore::SaveProfile(const CCharString& presetName, ProfileState& state) {
    PushIntoHistories(state);
    // Every list is saved even when one fails.
    const bool presets = SaveHistory(state.presets, kPresetHistory);
    const bool folders = SaveHistory(state.folders, kFolderHistory);
    const bool templates = SaveHistory(state.templates, kTemplateHistory);
    return SaveSettings(presetName, state.settings) && presets && folders && templates;
}

namespace {

Failure NoPresetName() { return KindFailure(FailureKind::kBadValue, UserText("SettingsStore", "録音プリセットが未入力です。")); }

}  // namespace

Result<bool> CSettingsStore::SavePreset(ProfileState& state) {
    const CCharString name = PresetNameOf(state.presetName);
    if (name.IsEmpty()) return NoPresetName();
    int index = IndexOf(state.presets, name);
    if (index < 0) {
        state.presets.entries.push_back(name);
        index = static_cast<int>(state.presets.entries.size()) - 1;
    }
    state.presets.selected = index;
    const bool settingsSaved = SaveSettings(name, state.settings);
    const bool saved = SaveHistory(state.presets, kPresetHistory) && settingsSaved;
    state.presetName = name;
    if (!saved)
        return KindFailure(FailureKind::kSystem, UserText("SettingsStore", "録音プリセット「%1」を %2 に保存できませんでした。")
                                                     .Arg(PresetDisplayName(name))
                                                     .Arg(FilePath().str()));
    return true;
}

Result<bool> CSettingsStore::DeletePreset(ProfileState& state) {
    const CCharString name = PresetNameOf(state.presetName);
    if (name.IsEmpty()) return NoPresetName();
    if (state.presets.selected == 0 || name == kDefaultPresetName)
        return KindFailure(FailureKind::kBadValue, UserText("SettingsStore", "%1 の録音プリセットは削除できません。")
                                                       .Arg(PresetDisplayName(kDefaultPresetName)));
    const int index = IndexOf(state.presets, name);
    if (index < 0) return false;
    const Failure notDeleted =
        KindFailure(FailureKind::kSystem, UserText("SettingsStore", "録音プリセット「%1」の削除に失敗しました。").Arg(PresetDisplayName(name)));
    if (m_unreadable) return notDeleted;
    m_settings->remove(PresetGroup(name));
    if (!Sync()) return notDeleted;
    state.presets.entries.erase(state.presets.entries.begin() + index);
    state.presets.selected = 0;
    SelectPreset(state);
    SaveHistory(state.presets, kPresetHistory);
    return true;
}

void CSettingsStore::SelectPreset(ProfileState& state) const {
    const int selected = state.presets.selected;
    if (selected < 0 || selected >= static_cast<int>(state.presets.entries.size())) return;
    state.presetName = state.presets.entries[selected];
    state.settings = LoadSettings(state.presetName);
}
