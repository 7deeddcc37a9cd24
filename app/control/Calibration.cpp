// The silence calibration: its steps, and the measuring behind them.
#include "app/control/Calibration.h"

namespace {

// Below every level a buffer can have: nothing is silent while it measures.
constexpr int kCalibrationThreshold = -900;

}  // namespace

CCalibration::~CCalibration() {
    if (!Finished()) End(m_kept);
}

CalibrationStep CCalibration::Begin() {
    m_kept = {m_control.settings.silenceLeft, m_control.settings.silenceRight};
    m_control.SetSilenceLevels(kCalibrationThreshold, kCalibrationThreshold, true);
    if (Measure()) {
        m_step = CalibrationStep::AskForSilence;
    } else {
        End(m_kept);
        m_step = CalibrationStep::Failed;
    }
    return m_step;
}

CalibrationStep CCalibration::Answer(CalibrationAnswer answer) {
    if (Finished()) return m_step;
    const bool silenceQuestion = m_step == CalibrationStep::AskForSilence;
    if (answer == CalibrationAnswer::Cancel || (silenceQuestion && answer != CalibrationAnswer::Yes)) {
        End(m_kept);
        m_step = CalibrationStep::Cancelled;
    } else if (silenceQuestion) {
        // Stopped first, so the levels hold the moment of the answer, not of the question that
        // follows.
        if (m_monitoring) m_monitoring->Stop();
        m_monitoring.reset();
        const RecordingStatus status = m_control.Status();
        m_levels = {status.leftLevel, status.rightLevel};
        m_step = CalibrationStep::AskToKeep;
    } else if (answer == CalibrationAnswer::Yes) {
        End({m_levels.left, m_levels.right});
        m_step = CalibrationStep::Kept;
    } else if (Measure()) {
        m_step = CalibrationStep::AskForSilence;
    } else {
        End(m_kept);
        m_step = CalibrationStep::Failed;
    }
    return m_step;
}

bool CCalibration::Measure() {
    if (m_control.IsRecording()) return true;
    m_monitoring = m_control.StartMonitoring();
    return m_monitoring != nullptr;
}

void CCalibration::End(SilenceThresholds thresholds) {
    if (m_monitoring) m_monitoring->Stop();
    m_monitoring.reset();
    m_control.SetSilenceLevels(thresholds.left, thresholds.right);
}

bool CCalibration::Finished() const {
    return m_step != CalibrationStep::AskForSilence && m_step != CalibrationStep::AskToKeep;
}

SilenceThresholds CCalibration::Thresholds() const {
    return {m_control.settings.silenceLeft, m_control.settings.silenceRight};
}
