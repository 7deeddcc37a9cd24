// The bars' side of settings, presets and recording events.
#include "app/bars/BarSet.h"

#include <type_traits>
#include <utility>
#include <variant>

#include "app/control/RecordingControl.h"
#include "app/settings/OutputFormats.h"

namespace {

template <auto a, auto b>
constexpr bool IsMember() {
    if constexpr (std::is_same_v<decltype(a), decltype(b)>) return a == b;
    else return false;
}

// The bar field that holds a stored setting. Which settings there are, and in what order, is
// kSettingFields' alone; a setting added there and not placed here fails the build.
template <auto member, typename Bars>
auto& BarField(Bars& bars) {
    using S = RecordingSettings;
    if constexpr (IsMember<member, &S::outputFolder>()) return bars.fileBar.outputFolder;
    else if constexpr (IsMember<member, &S::fileNameTemplate>()) return bars.fileBar.fileNameTemplate;
    else if constexpr (IsMember<member, &S::inputDevice>()) return bars.inputBar.deviceId;
    else if constexpr (IsMember<member, &S::sampleRate>()) return bars.inputBar.sampleRate;
    else if constexpr (IsMember<member, &S::channels>()) return bars.inputBar.channels;
    else if constexpr (IsMember<member, &S::bitsPerSample>()) return bars.inputBar.bits;
    else if constexpr (IsMember<member, &S::outputFormat>()) return bars.outputBar.outputFormat;
    else if constexpr (IsMember<member, &S::qualityIndex>()) return bars.outputBar.qualityIndex;
    else if constexpr (IsMember<member, &S::oggQuality>()) return bars.outputBar.oggQuality;
    else if constexpr (IsMember<member, &S::recordingNumber>()) return bars.outputBar.recordingNumber;
    else if constexpr (IsMember<member, &S::splitMethod>()) return bars.outputBar.splitMethod;
    else if constexpr (IsMember<member, &S::splitTime>()) return bars.outputBar.splitTime;
    else if constexpr (IsMember<member, &S::silenceLeft>()) return bars.silenceLeft;
    else if constexpr (IsMember<member, &S::silenceRight>()) return bars.silenceRight;
    else if constexpr (IsMember<member, &S::tagTitle>()) return bars.tagBar.title;
    else if constexpr (IsMember<member, &S::tagArtist>()) return bars.tagBar.artist;
    else if constexpr (IsMember<member, &S::tagAlbum>()) return bars.tagBar.album;
    else if constexpr (IsMember<member, &S::tagComment>()) return bars.tagBar.comment;
    else if constexpr (IsMember<member, &S::tagYear>()) return bars.tagBar.year;
    else if constexpr (IsMember<member, &S::resumeInput>()) return bars.resumeInput;
    else if constexpr (IsMember<member, &S::skipSilence>()) return bars.outputBar.skipSilence;
    else if constexpr (IsMember<member, &S::preRollSeconds>()) return bars.outputBar.preRollSeconds;
    else if constexpr (IsMember<member, &S::alignToClock>()) return bars.outputBar.alignToClock;
    else if constexpr (IsMember<member, &S::loudnessTags>()) return bars.tagBar.loudnessTags;
    else if constexpr (IsMember<member, &S::keepDays>()) return bars.keepDays;
    else if constexpr (IsMember<member, &S::keepFreeMb>()) return bars.keepFreeMb;
    else static_assert(sizeof(Bars) == 0, "a stored setting that no bar holds");  // untranslated: for the compiler
}

// The member of the i-th stored setting, as a constant.
template <size_t i>
constexpr auto kMemberAt = std::get<kSettingFields[i].member.index()>(kSettingFields[i].member);

template <size_t... index, typename Bars, typename Settings, typename Visit>
void ForEachSetting(Bars& bars, Settings& s, Visit visit, std::index_sequence<index...>) {
    (visit(s.*kMemberAt<index>, BarField<kMemberAt<index>>(bars)), ...);
}

// Every setting beside the bar field that holds it: the way the record is read from the bars
// and written into them.
template <typename Bars, typename Settings, typename Visit>
void ForEachSetting(Bars& bars, Settings& s, Visit visit) {
    ForEachSetting(bars, s, visit, std::make_index_sequence<std::size(kSettingFields)>());
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
