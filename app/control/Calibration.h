// CCalibration: the silence calibration as its dialogs walk it. The user is asked to press OK at
// a silent moment; the levels of that moment are shown with the question whether to take them as
// the silence thresholds; No measures again, Cancel at either question keeps the thresholds
// there were. It measures the running recording's input, or the input alone through a
// monitor-only session of the control; meanwhile the thresholds are lowered to the floor, so no
// silence splits a track, and held there against the bars' hand-overs.
#pragma once

#include <memory>

#include "app/control/RecordingControl.h"

enum class CalibrationStep {
    AskForSilence,  // the question to answer at a silent moment (Yes) or Cancel
    AskToKeep,      // Levels() shown: take them (Yes), measure again (No), or Cancel
    Kept,           // the levels are the thresholds
    Cancelled,      // the thresholds are as before
    Failed,         // the input could not be opened to measure; the thresholds are as before
};

enum class CalibrationAnswer { Yes, No, Cancel };

// Silence thresholds in tenths of a decibel.
struct SilenceThresholds {
    int left = 0;
    int right = 0;
};

// The owner's thread, as the control it measures through.
class CCalibration {
public:
    explicit CCalibration(CRecordingControl& control) : m_control(control) {}
    // One left unfinished is cancelled.
    ~CCalibration();
    CCalibration(const CCalibration&) = delete;
    CCalibration& operator=(const CCalibration&) = delete;

    // Measures the running recording's input, or the input alone: AskForSilence, or Failed.
    CalibrationStep Begin();
    // The step that follows the answer to the current step's question; at the silence question
    // only Yes goes on. A finished calibration stays as it is.
    CalibrationStep Answer(CalibrationAnswer answer);
    CalibrationStep Step() const { return m_step; }
    bool Finished() const;
    // The levels the keep-them question shows: those of the moment of the last Yes.
    BufferLevels Levels() const { return m_levels; }
    // Once finished, the thresholds the control uses from now on.
    SilenceThresholds Thresholds() const;

private:
    // Measures again: the recording, or a monitor-only session of the input.
    bool Measure();
    // Ends the measuring; the thresholds become `thresholds`.
    void End(SilenceThresholds thresholds);

    CRecordingControl& m_control;
    CalibrationStep m_step = CalibrationStep::Cancelled;
    BufferLevels m_levels;
    SilenceThresholds m_kept;
    std::unique_ptr<CRecorderSession> m_monitoring;
};
