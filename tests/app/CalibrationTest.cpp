// The silence calibration's steps, driven as its dialogs drive it, over a -20 dBFS tone.
#include "app/control/Calibration.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "platform/CaptureBackend.h"
#include "tests/support/ResultValue.h"

namespace {

constexpr int kThresholdsBefore = -450;

class CalibrationRig {
public:
    explicit CalibrationRig(const std::string& capture)
        : control(items, nullptr, [](const RecordingEvent&) {}) {
        control.backend = ValueOrFail(CreateCaptureBackend(capture));
        control.settings.qualityIndex = 2;  // 44.1 kHz stereo WAV
        control.SetSilenceLevels(kThresholdsBefore, kThresholdsBefore);
    }

    // As the user does: the silence question is answered once the meters show the input.
    CalibrationStep Answer(CalibrationAnswer answer) {
        if (calibration.Step() == CalibrationStep::AskForSilence && answer == CalibrationAnswer::Yes)
            for (int i = 0; i < 250 && control.Status().leftLevel <= -900; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return calibration.Answer(answer);
    }

    // Buffers still arrive: a measuring session holds the input.
    bool Measuring() {
        const uint64_t before = control.Status().buffers;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return control.Status().buffers != before;
    }

    CRecordingItemsModel items;
    CRecordingControl control;
    CCalibration calibration{control};
};

struct CalibrationCase {
    const char* name;
    const char* capture;
    std::vector<CalibrationAnswer> answers;
    std::vector<CalibrationStep> steps;  // after Begin, then after each answer
    bool takesLevels;
};

class Calibration : public testing::TestWithParam<CalibrationCase> {};

using Answer = CalibrationAnswer;
using Step = CalibrationStep;

TEST_P(Calibration, AnswersLeadThroughTheStepsToTheThresholds) {
    const CalibrationCase& c = GetParam();
    CalibrationRig rig(c.capture);
    std::vector<Step> steps{rig.calibration.Begin()};
    for (Answer answer : c.answers) steps.push_back(rig.Answer(answer));
    EXPECT_EQ(steps, c.steps);
    ASSERT_TRUE(rig.calibration.Finished());
    EXPECT_EQ(rig.calibration.Answer(Answer::No), steps.back()) << "a finished calibration stays as it ended";
    EXPECT_FALSE(rig.Measuring()) << "the input is let go";
    const SilenceThresholds thresholds = rig.calibration.Thresholds();
    if (c.takesLevels) {
        EXPECT_NEAR(thresholds.left, -200, 2);
        EXPECT_NEAR(thresholds.right, -200, 2);
        EXPECT_EQ(thresholds.left, rig.calibration.Levels().left) << "exactly the levels the question showed";
    } else {
        EXPECT_EQ(thresholds.left, kThresholdsBefore);
        EXPECT_EQ(thresholds.right, kThresholdsBefore);
    }
    EXPECT_EQ(rig.control.settings.silenceLeft, thresholds.left);
    EXPECT_FALSE(rig.control.IsRecording());
    EXPECT_EQ(rig.items.Count(), 0) << "measuring records nothing";
}

constexpr const char* kTone = "signal:tone=1000hz/-20db";

INSTANTIATE_TEST_SUITE_P(
    Answers, Calibration,
    testing::Values(
        CalibrationCase{"Yes", kTone, {Answer::Yes, Answer::Yes}, {Step::AskForSilence, Step::AskToKeep, Step::Kept}, true},
        CalibrationCase{"NoMeasuresAgain",
                        kTone,
                        {Answer::Yes, Answer::No, Answer::Yes, Answer::Yes},
                        {Step::AskForSilence, Step::AskToKeep, Step::AskForSilence, Step::AskToKeep, Step::Kept},
                        true},
        CalibrationCase{"CancelAtTheLevels", kTone, {Answer::Yes, Answer::Cancel},
                        {Step::AskForSilence, Step::AskToKeep, Step::Cancelled}, false},
        CalibrationCase{"CancelAtOnce", kTone, {Answer::Cancel}, {Step::AskForSilence, Step::Cancelled}, false},
        CalibrationCase{"NoToTheSilenceQuestionCancels", kTone, {Answer::No}, {Step::AskForSilence, Step::Cancelled},
                        false},
        CalibrationCase{"AnInputThatCannotOpen", "signal:file=/nonexistent/silence.wav", {}, {Step::Failed}, false}),
    [](const testing::TestParamInfo<CalibrationCase>& info) { return info.param.name; });

TEST(CalibrationLeftUnfinished, KeepsTheThresholdsThereWere) {
    CalibrationRig rig(kTone);
    {
        CCalibration calibration(rig.control);
        ASSERT_EQ(calibration.Begin(), Step::AskForSilence);
        EXPECT_EQ(rig.control.settings.silenceLeft, -900) << "the meters show their full range meanwhile";
        EXPECT_TRUE(rig.Measuring());
    }
    EXPECT_FALSE(rig.Measuring()) << "the input is let go";
    EXPECT_EQ(rig.control.settings.silenceLeft, kThresholdsBefore);
}

}  // namespace
