// CSettingsStore: presets, history lists and the preset commands over QSettings; the history rule.
#pragma once

#include <memory>
#include <vector>

#include "app/RecordingSettings.h"
#include "foundation/CharString.h"

class QSettings;

// One drop-down list with history: entry 0 is the most recent.
struct HistoryList {
    std::vector<CCharString> entries;
    int selected = -1;
};

inline constexpr const char* kPresetHistory = "MRU_PRESETS";
inline constexpr const char* kFolderHistory = "MRU_OUTFOLDERS";
inline constexpr const char* kTemplateHistory = "MRU_OUTFILES";
inline constexpr int kFolderHistoryLimit = 10;
inline constexpr int kTemplateHistoryLimit = 10;

// Moves text to the top (an equal entry, letter case aside, is removed first) and selects it;
// with a limit > 0 the list then holds at most that many entries.
void AddToHistory(HistoryList& list, int limit, const CCharString& text);

// What the folder / file name / preset bar holds, without its widgets.
struct ProfileState {
    CCharString presetName;  // the preset drop-down's text
    HistoryList presets;
    HistoryList folders;
    HistoryList templates;  // without the format's extension
    RecordingSettings settings;
};

// Puts the current folder and template (without a short extension) at the top of their
// histories, as saving the profile and starting a recording do.
void PushIntoHistories(ProfileState& state);

// The outcome of a preset command; a non-empty message is for an information box.
struct PresetResult {
    bool done = false;
    CCharString message;
};

// The user's music folder followed by "/My Recording".
CCharString DefaultOutputFolder();

class CSettingsStore {
public:
    // The user's store: organisation "MORV", application "VelsonaF" (~/.config/MORV/VelsonaF.conf).
    CSettingsStore();
    // A store in the given file.
    explicit CSettingsStore(const CCharString& filePath);
    ~CSettingsStore();
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;

    CCharString FilePath() const;

    // What cannot be read (missing, damaged, of another type, out of range) takes its default.
    RecordingSettings LoadSettings(const CCharString& presetName) const;
    // Writes through a temporary file that replaces the old one; false when that failed.
    bool SaveSettings(const CCharString& presetName, const RecordingSettings& settings);
    HistoryList LoadHistory(const char* listName) const;
    bool SaveHistory(const HistoryList& list, const char* listName);

    // Histories, then the preset; the preset list always offers the default preset.
    void LoadProfile(const CCharString& presetName, ProfileState& state) const;
    bool SaveProfile(const CCharString& presetName, ProfileState& state);

    // The preset bar's "保存" and "削除" buttons and its selection change.
    PresetResult SavePreset(ProfileState& state);
    PresetResult DeletePreset(ProfileState& state);
    void SelectPreset(ProfileState& state) const;

private:
    bool Sync();

    std::unique_ptr<QSettings> m_settings;
};
