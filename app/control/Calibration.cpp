// The silence calibration's steps over the control's measuring.
#include "app/control/Calibration.h"

CCalibration::~CCalibration() {
    if (!Finished()) m_control.CancelCalibration();
}

CalibrationStep CCalibration::Begin() {
    m_step = m_control.BeginCalibration() ? CalibrationStep::AskForSilence : CalibrationStep::Failed;
    return m_step;
}

CalibrationStep CCalibration::Answer(CalibrationAnswer answer) {
    if (Finished()) return m_step;
    const bool silenceQuestion = m_step == CalibrationStep::AskForSilence;
    if (answer == CalibrationAnswer::Cancel || (silenceQuestion && answer != CalibrationAnswer::Yes)) {
        m_control.CancelCalibration();
        m_step = CalibrationStep::Cancelled;
    } else if (silenceQuestion) {
        // The levels of the moment of the answer, not of the question that follows.
        m_levels = m_control.FreezeCalibration();
        m_step = CalibrationStep::AskToKeep;
    } else if (answer == CalibrationAnswer::Yes) {
        m_control.AcceptCalibration();
        m_step = CalibrationStep::Kept;
    } else {
        m_step = m_control.RetryCalibration() ? CalibrationStep::AskForSilence : CalibrationStep::Failed;
    }
    return m_step;
}

bool CCalibration::Finished() const {
    return m_step != CalibrationStep::AskForSilence && m_step != CalibrationStep::AskToKeep;
}

SilenceThresholds CCalibration::Thresholds() const {
    return {m_control.settings.silenceLeft, m_control.settings.silenceRight};
}
