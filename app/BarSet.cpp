// The bars' side of settings, presets and recording events.
#include "app/BarSet.h"

#include "app/RecordingControl.h"

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
    s.outputFolder = fileBar.outputFolder;
    s.fileNameTemplate = fileBar.fileNameTemplate;
    s.inputDevice = inputBar.deviceId;
    s.sampleRate = inputBar.sampleRate;
    s.channels = inputBar.channels;
    s.bitsPerSample = inputBar.bits;
    s.outputFormat = outputBar.formatIndex;
    s.qualityIndex = outputBar.qualityIndex;
    s.oggQuality = outputBar.oggQuality;
    s.recordingNumber = outputBar.recordingNumber;
    s.splitMethod = outputBar.splitMethod;
    s.splitTime = outputBar.splitTime;
    s.silenceLeft = silenceLeft;
    s.silenceRight = silenceRight;
    s.tagTitle = tagBar.title;
    s.tagArtist = tagBar.artist;
    s.tagAlbum = tagBar.album;
    s.tagComment = tagBar.comment;
    s.tagYear = tagBar.year;
    return s;
}

void CBarSet::Apply(const CCharString& presetName, const RecordingSettings& s) {
    fileBar.presetName = presetName;
    fileBar.outputFolder = s.outputFolder;
    fileBar.fileNameTemplate = s.fileNameTemplate;
    fileBar.Push();
    inputBar.deviceId = s.inputDevice;
    inputBar.sampleRate = s.sampleRate;
    inputBar.channels = s.channels;
    inputBar.bits = s.bitsPerSample;
    // The format first: it refills the quality list and gives the template its extension.
    outputBar.formatIndex = s.outputFormat;
    const int defaultRow = outputBar.FillQualityList(s.outputFormat);
    outputBar.qualityIndex = outputBar.table.Row(s.qualityIndex) ? s.qualityIndex : defaultRow;
    outputBar.oggQuality = s.oggQuality;
    outputBar.recordingNumber = s.recordingNumber;
    outputBar.splitMethod = s.splitMethod;
    silenceLeft = s.silenceLeft;
    silenceRight = s.silenceRight;
    tagBar.title = s.tagTitle;
    tagBar.artist = s.tagArtist;
    tagBar.album = s.tagAlbum;
    tagBar.comment = s.tagComment;
    tagBar.year = s.tagYear;
    inputBar.Push();
    outputBar.Push();
    tagBar.Push();
    outputBar.UpdateQualityCaption();
    outputBar.OnSplitMethodSelected();
    // The stored split time replaces the split method's default.
    outputBar.splitTime = s.splitTime;
    outputBar.Push();
    outputBar.CheckEncoderLibrary(s.outputFormat);
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

void CBarSet::LoadProfile(const CCharString& presetName) {
    ProfileState state;
    m_store.LoadProfile(presetName, state);
    TakeHistories(state);
    Apply(state.presetName, state.settings);
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
    const PresetResult result = m_store.SavePreset(state);
    if (!result.message.IsEmpty()) {
        fileBar.Inform(result.message);
        return;
    }
    TakeHistories(state);
    fileBar.presetName = state.presetName;
    fileBar.Push();
}

void CBarSet::DeletePreset() {
    fileBar.Pull();
    ProfileState state = State();
    const PresetResult result = m_store.DeletePreset(state);
    if (!result.message.IsEmpty()) {
        fileBar.Inform(result.message);
        return;
    }
    if (result.done) {
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
    RecordingSettings& s = control.settings;
    s.tagTitle = tagBar.title;
    s.tagArtist = tagBar.artist;
    s.tagAlbum = tagBar.album;
    s.tagComment = tagBar.comment;
    s.tagYear = tagBar.year;
    s.outputFormat = outputBar.formatIndex;
    s.qualityIndex = outputBar.qualityIndex;
    s.oggQuality = outputBar.oggQuality;
    s.splitMethod = outputBar.splitMethod;
    s.splitTime = outputBar.splitTime;
    control.ApplySettings();
}

void CBarSet::OnTrackClosed(CRecordingControl& control) {
    tagBar.Pull();
    outputBar.Pull();
    HandOver(control);
    outputBar.trackNumber = control.TrackNumber();
    outputBar.Push();
}

void CBarSet::OnOutputOrTagsEdited(CRecordingControl& control) {
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
