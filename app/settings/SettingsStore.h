// CSettingsStore: presets, history lists and the preset commands over QSettings; the history rule.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/settings/RecordingSettings.h"
#include "foundation/CharString.h"
#include "foundation/Result.h"
#include "foundation/UserText.h"

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

// What loading a profile found that the user should be told; the values concerned took their
// defaults. The window shows it, velsona-rec prints it.
struct LoadReport {
    bool presetMissing = false;  // a named preset that is not stored: the values are the defaults
    std::vector<UserText> problems;  // one line each
};

// A preset's name as stored: trimmed, and made one plain name (":" and "/" become full-width).
CCharString PresetNameOf(const CCharString& text);
// A stored preset name as the user reads it: the default preset's in his language.
UserText PresetDisplayName(const CCharString& presetName);

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
    // What was wrong with the file when it was opened (unreadable, damaged and kept aside as
    // "….damaged", stray section lines), to report once at start.
    const std::vector<UserText>& FileProblems() const { return m_fileProblems; }
    bool PresetExists(const CCharString& presetName) const;

    // What cannot be read (missing, damaged, of another type, out of range) takes its default;
    // what was there but unusable is noted in problems. The template's extension follows the
    // format, as selecting the format in the output bar makes it.
    RecordingSettings LoadSettings(const CCharString& presetName, std::vector<UserText>* problems = nullptr) const;
    // Writes through a temporary file that replaces the old one; false when that failed, or
    // when the file could not be read (saving would replace settings never seen).
    bool SaveSettings(const CCharString& presetName, const RecordingSettings& settings);
    HistoryList LoadHistory(const char* listName) const;
    bool SaveHistory(const HistoryList& list, const char* listName);

    // Histories, then the preset; the preset list always offers the default preset.
    void LoadProfile(const CCharString& presetName, ProfileState& state, LoadReport* report = nullptr) const;
    bool SaveProfile(const CCharString& presetName, ProfileState& state);

    // The preset bar's "保存" and "削除" buttons and its selection change. True when the store
    // changed; false when there was nothing to delete. A preset that could not be written, or a
    // refused name, fails with a message for an information box.
    Result<bool> SavePreset(ProfileState& state);
    Result<bool> DeletePreset(ProfileState& state);
    void SelectPreset(ProfileState& state) const;

private:
    void Open();
    void KeepDamagedCopy();
    void MoveStrayValues();
    bool Sync();

    std::unique_ptr<QSettings> m_settings;
    std::vector<UserText> m_fileProblems;
    bool m_unreadable = false;
};
