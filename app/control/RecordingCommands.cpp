// The recording commands of the main window, shared by both front ends.
#include "app/control/RecordingCommands.h"

#include <algorithm>
#include <utility>

#include "app/language/Catalogue.h"
#include "platform/Logind.h"

UserText StartFailedMessage() { return UserText("RecordingCommands", "録音開始に失敗しました、設定など再確認してください。"); }

UserText StartFailedMessage(const UserText& reason) {
    if (reason.empty()) return StartFailedMessage();
    return UserText("RecordingCommands", "録音開始に失敗しました、設定など再確認してください。 (%1)").Arg(reason);
}

CRecordingCommands::CRecordingCommands(CRecordingControl& control, CSettingsStore& store, ProfileState& profile,
                                       CCountdown::Clock clock)
    : m_control(control), m_store(store), m_profile(profile), m_countdown(std::move(clock)) {}

Result<void> CRecordingCommands::Start() {
    Result<void> started = m_control.StartRecording();
    if (started) return {};
    m_control.schedule.reset();
    Failure failure = std::move(started).error();
    failure.message = StartFailedMessage(failure.message);
    return failure;
}

Result<void> CRecordingCommands::StartCommand() {
    StopCommand();
    m_profile.settings = m_control.settings;
    PushIntoHistories(m_profile);
    m_control.schedule.reset();
    return Start();
}

void CRecordingCommands::StopCommand() {
    if (m_control.schedule) m_control.schedule->endActionArmed = false;
    m_countingDown = false;
    m_control.StopRecording();
}

Result<void> CRecordingCommands::StartBySchedule(const RecordingSchedule& schedule) {
    m_control.schedule = schedule;
    if (schedule.startMode == 1) {
        m_countingDown = true;
        return {};
    }
    return Start();
}

CRecordingCommands::Tick CRecordingCommands::OnCountdownTick() {
    Tick tick;
    if (!m_countingDown || !m_control.schedule) return tick;
    const CCountdown::Tick step = m_countdown.OnTick(m_control.schedule->startTime);
    if (!step.startNow) {
        tick.title = step.title;
        return tick;
    }
    m_countingDown = false;
    tick.start = Start();
    return tick;
}

Result<void> CRecordingCommands::SaveProfileAs(const CCharString& presetName) {
    m_profile.settings = m_control.settings;
    const CCharString name = PresetNameOf(presetName);
    std::vector<CCharString>& presets = m_profile.presets.entries;
    if (std::find(presets.begin(), presets.end(), name) == presets.end()) presets.push_back(name);
    if (m_store.SaveProfile(name, m_profile)) return {};
    return KindFailure(FailureKind::kSystem, UserText("RecordingCommands", "設定を %1 に保存できませんでした").Arg(m_store.FilePath().str()));
}

Result<void> CRecordingCommands::RunEndAction(EndAction action, const std::function<void()>& requestClose,
                                              CLogind& logind) {
    if (action == EndAction::None) return {};
    if (m_control.sleepInhibitor) m_control.sleepInhibitor->Release();
    Result<void> done = DoEndAction(action, requestClose, logind);
    if (done) return {};
    Failure failure = std::move(done).error();
    failure.message = UserText("RecordingCommands", "終了時の動作「%1」を実行できませんでした: %2")
                          .Arg(EndActionName(action))
                          .Arg(std::move(failure.message));
    return failure;
}

CRecordingCommands::Finish CRecordingCommands::FinishRun(EndAction action, const std::function<void()>& requestClose,
                                                         CLogind& logind, const CCharString& presetName) {
    Finish finish;
    finish.saved = SaveProfileAs(presetName);
    finish.endAction = RunEndAction(action, requestClose, logind);
    return finish;
}
