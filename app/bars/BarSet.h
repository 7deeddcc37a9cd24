// CBarSet: the four settings bars together: loading and saving settings, profiles and presets
// through them, and what a start, a closed track and a stopped recording do to them.
#pragma once

#include <vector>

#include "app/bars/FileBarModel.h"
#include "app/bars/InputBarModel.h"
#include "app/bars/OutputBarModel.h"
#include "app/settings/SettingsStore.h"
#include "app/bars/TagBarModel.h"

class CRecordingControl;

class CBarSet {
public:
    CBarSet(CSettingsStore& store, const std::vector<CaptureDeviceInfo>& devices);
    CBarSet(const CBarSet&) = delete;
    CBarSet& operator=(const CBarSet&) = delete;

    CFileBarModel fileBar;
    CInputBarModel inputBar;
    COutputBarModel outputBar;
    CTagBarModel tagBar;
    // Kept by the main window, stored with every preset.
    int silenceLeft = -450;
    int silenceRight = -450;
    // The 録音 menu's "resume when the input returns".
    bool resumeInput = false;
    // The 録音 menu's keeping of recordings: days kept and room kept free (0: off).
    int keepDays = 0;
    int keepFreeMb = 0;

    void SetPrompts(CUserPrompts* prompts);
    // The bars' dialog start: the input bar lists its devices.
    void Start();

    // The record the bars' fields hold (no pull).
    RecordingSettings Settings() const;
    // Fills the fields from the preset and pushes them into the controls. A format whose
    // encoder is missing is loaded as the fall-back format (the user is told).
    void LoadSettings(const CCharString& presetName);
    // Pulls every bar (a refused number keeps its previous value) and stores the record.
    bool SaveSettings(const CCharString& presetName);
    // As LoadSettings, with the histories; a start nobody watches (`watched` false) is told
    // nothing. Returns what to say of a fall-back to another format, or empty.
    UserText LoadProfile(const CCharString& presetName, bool watched = true);
    bool SaveProfile(const CCharString& presetName);

    // The file bar's "保存" and "削除" buttons and its preset selection.
    void SavePreset();
    void DeletePreset();
    void SelectPreset();

    // Pulls the four bars, stopping at the first that refuses (false), as the start and the
    // timer command do before anything else.
    bool PullForRecording();
    // Before the start command (CRecordingCommands::StartCommand, which puts the folder and
    // the template into the profile's histories): pulls the bars, stopping at the first
    // refusal (false), hands the settings and the track number to the control and the bars'
    // histories and preset name to the profile.
    bool PrepareStart(CRecordingControl& control, ProfileState& profile);
    // The bars' preset name, histories and settings (no pull).
    ProfileState State() const;
    // Shows the profile's histories in the file bar's lists, its fields unchanged.
    void TakeHistories(const ProfileState& profile);
    // While recording the file bar is disabled.
    void SetRecording(bool recording);
    // After each closed track (event 101): tag and output changes go to the control for the
    // track after the one that just opened, which keeps the settings it opened with; the bar
    // shows the number the control gave the open track.
    void OnTrackClosed(CRecordingControl& control);
    // After the recording stopped (event 102): track 1 of the next recording number.
    void OnRecordingStopped(const CRecordingControl& control);
    // The user typed a track number: the next track takes it.
    void OnTrackNumberEdited(CRecordingControl& control);
    // The user changed a bar (the folder too, which the menu browses for while recording): the
    // next track to open takes everything the bars hold (the open one keeps what it opened
    // with). Reads the bars quietly: a number being typed is not refused.
    void OnBarsEdited(CRecordingControl& control);

private:
    UserText Apply(const CCharString& presetName, RecordingSettings settings, bool watched = true);
    // Gives the control the whole record the bars hold, for the next track to open.
    void HandOver(CRecordingControl& control) const;
    void PullAll();

    CSettingsStore& m_store;
};
