// Settings store over QSettings: the registry's sections and values, read defensively.
#include "app/SettingsStore.h"

#include <QByteArray>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <ctime>
#include <utility>
#include <vector>

#include "app/FileNameTemplate.h"
#include "foundation/PathUtils.h"
#include "platform/RuntimeModule.h"

namespace {

constexpr int kStoreVersion = 48;
constexpr int kSplitTimeBytes = 8;

QString Q(const CCharString& text) { return QString::fromUtf8(text.c_str(), text.GetLength()); }
CCharString C(const QString& text) { return CCharString(text.toUtf8().toStdString()); }

// A preset name is always one group, whatever a command line or an old file hands us.
QString PresetGroup(const CCharString& name) {
    CCharString trimmed(name);
    trimmed.Trim();
    return "SETTING/" + Q(SanitizeFileName(trimmed, false, false));
}

CCharString PresetNameOf(const CCharString& text) {
    CCharString trimmed(text);
    trimmed.Trim();
    return SanitizeFileName(trimmed, false, false);
}

int ReadInt(const QSettings& s, const QString& key, int fallback) {
    const QVariant value = s.value(key);
    if (value.typeId() != QMetaType::QString && value.typeId() != QMetaType::Int) return fallback;
    bool ok = false;
    const int result = value.toInt(&ok);
    return ok ? result : fallback;
}

int ReadIntIn(const QSettings& s, const QString& key, int fallback, int low, int high) {
    const int value = ReadInt(s, key, fallback);
    return value >= low && value <= high ? value : fallback;
}

CCharString ReadText(const QSettings& s, const QString& key, const CCharString& fallback) {
    const QVariant value = s.value(key);
    // An unquoted value with commas comes back from an INI file as a list.
    if (value.typeId() == QMetaType::QStringList) return C(value.toStringList().join(", "));
    return value.typeId() == QMetaType::QString ? C(value.toString()) : fallback;
}

uint16_t Uint16At(const unsigned char* bytes, int offset) {
    return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

// At most 8 bytes count; a shorter block leaves the rest at zero. A block that is no time
// of day cannot be a split time and reads as 00:00:00.
SplitTime ReadSplitTime(const QSettings& s, const QString& key) {
    const QVariant value = s.value(key);
    if (value.typeId() != QMetaType::QByteArray) return {};
    const QByteArray stored = value.toByteArray();
    unsigned char bytes[kSplitTimeBytes] = {};
    for (int i = 0; i < kSplitTimeBytes && i < stored.size(); ++i) bytes[i] = static_cast<unsigned char>(stored[i]);
    const SplitTime time{Uint16At(bytes, 0), Uint16At(bytes, 2), Uint16At(bytes, 4), Uint16At(bytes, 6)};
    if (time.hours > 23 || time.minutes > 59 || time.seconds > 59 || time.milliseconds > 999) return {};
    return time;
}

QByteArray SplitTimeBytes(const SplitTime& time) {
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

CSettingsStore::CSettingsStore() : m_settings(std::make_unique<QSettings>("MORV", "VelsonaF")) {}

CSettingsStore::CSettingsStore(const CCharString& filePath)
    : m_settings(std::make_unique<QSettings>(Q(filePath), QSettings::IniFormat)) {}

CSettingsStore::~CSettingsStore() = default;

CCharString CSettingsStore::FilePath() const { return C(m_settings->fileName()); }

bool CSettingsStore::Sync() {
    // QSettings writes a temporary file and renames it over the old one, so a crash or a
    // full disk leaves either the old file or the new one, never half of one.
    m_settings->sync();
    if (m_settings->status() == QSettings::FormatError) {
        // QSettings never writes over a file it could not parse, which would leave a damaged
        // file unsaveable for good. Keep it aside and start a new one from what was readable.
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
    return m_settings->status() == QSettings::NoError;
}

RecordingSettings CSettingsStore::LoadSettings(const CCharString& presetName) const {
    const QSettings& s = *m_settings;
    const QString g = PresetGroup(presetName) + "/";
    const RecordingSettings d;
    RecordingSettings r;
    r.outputFolder = ReadText(s, g + "OUT_FOLDER", {});
    if (r.outputFolder.IsEmpty()) r.outputFolder = DefaultOutputFolder();
    r.fileNameTemplate = ReadText(s, g + "OUT_FILENAME", d.fileNameTemplate);
    r.inputDevice = ReadIntIn(s, g + "IN_QUALITY_DEVICE", d.inputDevice, -1, 0x7FFFFFFF);
    r.sampleRate = ReadIntIn(s, g + "IN_QUALITY_SAMPLE", d.sampleRate, 1, 0x7FFFFFFF);
    r.channels = ReadIntIn(s, g + "IN_QUALITY_CHANNEL", d.channels, 1, 2);
    r.bitsPerSample = ReadIntIn(s, g + "IN_QUALITY_BIT", d.bitsPerSample, 8, 16);
    r.outputFormat = ReadIntIn(s, g + "OUT_FILEFMT", d.outputFormat, 0, 3);
    // The stored row belongs to the stored format's table; missing, it is that format's default row.
    r.qualityIndex = ReadIntIn(s, g + "OUT_QUALITY", DefaultQualityIndex(r.outputFormat), 0, 0x7FFFFFFF);
    r.oggQuality = ReadIntIn(s, g + "OUT_OGG-QUALITY", d.oggQuality, 0, 100);
    r.recordingNumber = ReadInt(s, g + "TRACK_RECNO", d.recordingNumber);
    r.splitMethod = ReadIntIn(s, g + "TRACK_SPLITTYPE", d.splitMethod, kSplitManual, kSplitSilence);
    r.silenceLeft = ReadIntIn(s, g + "SILENT_VOLLEFT", d.silenceLeft, -1300, 0);
    r.silenceRight = ReadIntIn(s, g + "SILENT_VOLRIGHT", d.silenceRight, -1300, 0);
    r.tagTitle = ReadText(s, g + "TAG_TITLE", d.tagTitle);
    r.tagArtist = ReadText(s, g + "TAG_ARTIST", d.tagArtist);
    r.tagAlbum = ReadText(s, g + "TAG_ALBUM", d.tagAlbum);
    r.tagComment = ReadText(s, g + "TAG_COMMENT", d.tagComment);
    r.tagYear = ReadInt(s, g + "TAG_YEAR", CurrentYear());
    r.splitTime = ReadSplitTime(s, g + "TRACK_SPLITTIME");
    return r;
}

bool CSettingsStore::SaveSettings(const CCharString& presetName, const RecordingSettings& r) {
    QSettings& s = *m_settings;
    s.setValue("SETTING/VERSION", kStoreVersion);
    s.beginGroup(PresetGroup(presetName));
    s.setValue("PRESET_VERSION", kStoreVersion);
    s.setValue("OUT_FOLDER", Q(r.outputFolder));
    s.setValue("OUT_FILENAME", Q(r.fileNameTemplate));
    s.setValue("IN_QUALITY_DEVICE", r.inputDevice);
    s.setValue("IN_QUALITY_SAMPLE", r.sampleRate);
    s.setValue("IN_QUALITY_CHANNEL", r.channels);
    s.setValue("IN_QUALITY_BIT", r.bitsPerSample);
    s.setValue("OUT_FILEFMT", r.outputFormat);
    s.setValue("OUT_QUALITY", r.qualityIndex);
    s.setValue("OUT_OGG-QUALITY", r.oggQuality);
    s.setValue("TRACK_RECNO", r.recordingNumber);
    s.setValue("TRACK_SPLITTYPE", r.splitMethod);
    s.setValue("TRACK_SPLITTIME", SplitTimeBytes(r.splitTime));
    s.setValue("SILENT_VOLLEFT", r.silenceLeft);
    s.setValue("SILENT_VOLRIGHT", r.silenceRight);
    s.setValue("TAG_TITLE", Q(r.tagTitle));
    s.setValue("TAG_ARTIST", Q(r.tagArtist));
    s.setValue("TAG_ALBUM", Q(r.tagAlbum));
    s.setValue("TAG_COMMENT", Q(r.tagComment));
    s.setValue("TAG_YEAR", r.tagYear);
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
    const QString g = QString::fromUtf8(listName) + "/";
    m_settings->setValue(g + "MRUCOUNT", static_cast<int>(list.entries.size()));
    for (size_t i = 0; i < list.entries.size(); ++i)
        m_settings->setValue(g + QString("HISTORY_%1").arg(i), Q(list.entries[i]));
    return Sync();
}

void CSettingsStore::LoadProfile(const CCharString& presetName, ProfileState& state) const {
    state.presets = LoadHistory(kPresetHistory);
    if (state.presets.entries.empty()) state.presets.entries.emplace_back(kDefaultPresetName);
    state.folders = LoadHistory(kFolderHistory);
    state.templates = LoadHistory(kTemplateHistory);
    state.presetName = presetName;
    state.settings = LoadSettings(presetName);
}

bool CSettingsStore::SaveProfile(const CCharString& presetName, ProfileState& state) {
    PushIntoHistories(state);
    const bool histories = SaveHistory(state.presets, kPresetHistory) & SaveHistory(state.folders, kFolderHistory) &
                           SaveHistory(state.templates, kTemplateHistory);
    return SaveSettings(presetName, state.settings) && histories;
}

PresetResult CSettingsStore::SavePreset(ProfileState& state) {
    const CCharString name = PresetNameOf(state.presetName);
    if (name.IsEmpty()) return {false, "録音プリセットが未入力です。"};
    int index = IndexOf(state.presets, name);
    if (index < 0) {
        state.presets.entries.push_back(name);
        index = static_cast<int>(state.presets.entries.size()) - 1;
    }
    state.presets.selected = index;
    const bool saved = SaveSettings(name, state.settings) & SaveHistory(state.presets, kPresetHistory);
    state.presetName = name;
    return {saved, {}};
}

PresetResult CSettingsStore::DeletePreset(ProfileState& state) {
    const CCharString name = PresetNameOf(state.presetName);
    if (name.IsEmpty()) return {false, "録音プリセットが未入力です。"};
    if (state.presets.selected == 0 || name == kDefaultPresetName)
        return {false, CCharString::Formatted("%s の録音プリセットは削除できません。", kDefaultPresetName)};
    const int index = IndexOf(state.presets, name);
    if (index < 0) return {};
    m_settings->remove(PresetGroup(name));
    if (!Sync()) return {false, CCharString::Formatted("録音プリセット「%s」の削除に失敗しました。", name.c_str())};
    state.presets.entries.erase(state.presets.entries.begin() + index);
    state.presets.selected = 0;
    SelectPreset(state);
    SaveHistory(state.presets, kPresetHistory);
    return {true, {}};
}

void CSettingsStore::SelectPreset(ProfileState& state) const {
    const int selected = state.presets.selected;
    if (selected < 0 || selected >= static_cast<int>(state.presets.entries.size())) return;
    state.presetName = state.presets.entries[selected];
    state.settings = LoadSettings(state.presetName);
}
