// The bars' side of settings, presets and recording events.
#include "app/bars/BarSet.h"

#include "app/control/RecordingControl.h"
#include "app/settings/OutputFormats.h"

namespace {

// Every setting beside the bar field that holds it: the one list by which the record is read
// from the bars and written into them, so no setting can be missed on one of those ways.
template <typename Bars, typename Settings, typename Visit>
void ForEachSetting(Bars& bars, Settings& s, Visit visit) {
    visit(s.outputFolder, bars.fileBar.outputFolder);
    visit(s.fileNameTemplate, bars.fileBar.fileNameTemplate);
    visit(s.inputDevice, bars.inputBar.deviceId);
    visit(s.sampleRate, bars.inputBar.sampleRate);
    visit(s.channels, bars.inputBar.channels);
    visit(s.bitsPerSample, bars.inputBar.bits);
    visit(s.outputFormat, bars.outputBar.outputFormat);
    visit(s.qualityIndex, bars.outputBar.qualityIndex);
    visit(s.oggQuality, bars.outputBar.oggQuality);
    visit(s.recordingNumber, bars.outputBar.recordingNumber);
    visit(s.splitMethod, bars.outputBar.splitMethod);
    visit(s.splitTime, bars.outputBar.splitTime);
    visit(s.silenceLeft, bars.silenceLeft);
    visit(s.silenceRight, bars.silenceRight);
    visit(s.tagTitle, bars.tagBar.title);
    visit(s.tagArtist, bars.tagBar.artist);
    visit(s.tagAlbum, bars.tagBar.album);
    visit(s.tagComment, bars.tagBar.comment);
    visit(s.tagYear, bars.tagBar.year);
    visit(s.resumeInput, bars.resumeInput);
}

}  // namespace

CBarSet::CBarSet(CSettingsStore& store, const std::vector<CaptureDeviceInfo>& devices)
    : inputBar(devices), m_store(store) {
    outputBar.fileBar = &fileBar;
}

void CBarSet::SetPrompts(CUserPrompts* prompts) {
    fileBar.prompts = prompts;
    inputBar.prompts = prompts;
    outputBar.prompts = prompts;
    tagBar.prompts = prompts;
}

void CBarSet::Start() { inputBar.Start(); }

RecordingSettings CBarSet::Settings() const {
    RecordingSettings s;
    ForEachSetting(*this, s, [](auto& setting, const auto& field) { setting = field; });
    return s;
}

UserText CBarSet::Apply(const CCharString& presetName, RecordingSettings s, bool watched) {
    const OutputFormat chosen = s.outputFormat;
    // Loaded as it will be recorded, so what is shown, handed over and stored never differ.
    const UserText fellBack = FallBackFromMissingEncoder(s, outputBar.encoderAvailable);
    ForEachSetting(*this, s, [](const auto& setting, auto& field) { field = setting; });
    fileBar.presetName = presetName;
    fileBar.Push();
    // The format first: it refills the quality list and gives the template its extension.
    const int defaultRow = outputBar.FillQualityList(s.outputFormat);
    if (!outputBar.table.Row(s.qualityIndex)) outputBar.qualityIndex = defaultRow;
    inputBar.Push();
    outputBar.Push();
    tagBar.Push();
    outputBar.UpdateQualityCaption();
    outputBar.OnSplitMethodSelected();
    // The stored split time replaces the split method's default.
    outputBar.splitTime = s.splitTime;
    outputBar.Push();
    if (!fellBack.empty() && watched) outputBar.TellMissingEncoder(chosen);
    return fellBack;
}

void CBarSet::LoadSettings(const CCharString& presetName) { Apply(presetName, m_store.LoadSettings(presetName)); }

void CBarSet::PullAll() {
    fileBar.Pull();
    inputBar.Pull();
    outputBar.Pull();
    tagBar.Pull();
}

bool CBarSet::SaveSettings(const CCharString& presetName) {
    PullAll();
    return m_store.SaveSettings(presetName, Settings());
}

ProfileState CBarSet::State() const {
    ProfileState state;
    state.presetName = fileBar.presetName;
    state.presets = fileBar.controls.preset.items;
    state.folders = fileBar.controls.folder.items;
    state.templates = fileBar.controls.fileName.items;
    state.settings = Settings();
    return state;
}

void CBarSet::TakeHistories(const ProfileState& profile) {
    fileBar.controls.preset.items = profile.presets;
    fileBar.controls.folder.items = profile.folders;
    fileBar.controls.fileName.items = profile.templates;
    fileBar.Push();
}

UserText CBarSet::LoadProfile(const CCharString& presetName, bool watched) {
    ProfileState state;
    m_store.LoadProfile(presetName, state);
    TakeHistories(state);
    return Apply(state.presetName, state.settings, watched);
}

bool CBarSet::SaveProfile(const CCharString& presetName) {
    PullAll();
    ProfileState state = State();
    const bool saved = m_store.SaveProfile(presetName, state);
    TakeHistories(state);
    return saved;
}

void CBarSet::SavePreset() {
    PullAll();
    ProfileState state = State();
    const Result<bool> result = m_store.SavePreset(state);
    if (!result) {
        fileBar.Inform(result.error().message);
        return;
    }
    TakeHistories(state);
    fileBar.presetName = state.presetName;
    fileBar.Push();
}

void CBarSet::DeletePreset() {
    fileBar.Pull();
    ProfileState state = State();
    const Result<bool> result = m_store.DeletePreset(state);
    if (!result) {
        fileBar.Inform(result.error().message);
        return;
    }
    if (*result) {
        TakeHistories(state);
        Apply(state.presetName, state.settings);
    }
    fileBar.Push();
}

void CBarSet::SelectPreset() {
    const HistoryList& presets = fileBar.controls.preset.items;
    if (presets.selected < 0 || presets.selected >= static_cast<int>(presets.entries.size())) return;
    CCharString name = presets.entries[presets.selected];
    name.Trim();
    LoadSettings(name);
}

bool CBarSet::PullForRecording() {
    return fileBar.Pull() && inputBar.Pull() && outputBar.Pull() && tagBar.Pull();
}

bool CBarSet::PrepareStart(CRecordingControl& control, ProfileState& profile) {
    if (!PullForRecording()) return false;
    profile = State();
    control.settings = profile.settings;
    control.SetTrackNumber(outputBar.trackNumber);
    return true;
}

void CBarSet::SetRecording(bool recording) { fileBar.SetEnabled(!recording); }

void CBarSet::HandOver(CRecordingControl& control) const {
    control.settings = Settings();
    control.ApplySettings();
}

void CBarSet::OnTrackClosed(CRecordingControl& control) {
    tagBar.Pull();
    outputBar.Pull();
    // The last track's event comes after the stop, which has already raised the recording
    // number: the bars' older one must not replace it.
    if (control.IsRecording()) HandOver(control);
    outputBar.trackNumber = control.TrackNumber();
    outputBar.Push();
}

void CBarSet::OnBarsEdited(CRecordingControl& control) {
    fileBar.Pull();
    tagBar.Pull(false);
    outputBar.Pull(false);
    HandOver(control);
}

void CBarSet::OnRecordingStopped(const CRecordingControl& control) {
    outputBar.trackNumber = control.TrackNumber();
    outputBar.recordingNumber = control.settings.recordingNumber;
    outputBar.Push();
    SetRecording(false);
}

void CBarSet::OnTrackNumberEdited(CRecordingControl& control) {
    int typed = 0;
    if (outputBar.TypedTrackNumber(typed)) control.SetTrackNumber(typed);
}
