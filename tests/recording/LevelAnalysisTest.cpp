// Peak levels of buffers and the silence test's rules, driven the way the recording control does.
#include "recording/LevelAnalysis.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

BufferLevels Levels(std::vector<int16_t> pcm, int channels) {
    return MeasureLevels(pcm.data(), static_cast<int>(pcm.size() * 2), channels);
}

}  // namespace

TEST(PeakDb, FullScaleQuietestAndTruncation) {
    const int16_t minimum = -32768, maximum = 32767, one = 1;
    EXPECT_EQ(PeakDb(&minimum, 1, 1), 0.0);
    EXPECT_NEAR(PeakDb(&maximum, 1, 1), -0.000265, 1e-6);
    EXPECT_NEAR(PeakDb(&one, 1, 1), -90.309, 1e-3);
    EXPECT_NEAR(PeakDb(nullptr, 0, 1), -90.309, 1e-3) << "an empty buffer counts as a peak of 1";

    EXPECT_EQ(Levels({0, 0, 0, 0}, 2).left, -903);
    EXPECT_EQ(Levels({0, 0, 0, 0}, 2).right, -903);
    EXPECT_EQ(Levels({1, -1, 0, 1}, 2).left, -903);
    EXPECT_EQ(Levels({-32768, 0}, 2).left, 0);
    EXPECT_EQ(Levels({32767, 0}, 2).left, 0) << "-0.0027 tenths truncate to 0";
    // 20 log10(174 / 32768) = -45.498 dB: truncated toward zero, not rounded.
    EXPECT_EQ(Levels({174, 0}, 2).left, -454);
    EXPECT_EQ(Levels({-174, 0}, 2).left, -454);
}

TEST(PeakDb, ChannelsAreMeasuredApart) {
    const BufferLevels stereo = Levels({100, -32768, -5, 30, 7, 2}, 2);
    EXPECT_EQ(stereo.left, -503);  // peak 100
    EXPECT_EQ(stereo.right, 0);
    const BufferLevels mono = Levels({100, -32768, -5}, 1);
    EXPECT_EQ(mono.left, 0);
    EXPECT_EQ(mono.right, mono.left);
    // A trailing half frame is not read.
    EXPECT_EQ(MeasureLevels(std::vector<int16_t>{5, 6, -32768}.data(), 6, 2).left, -763);
}

TEST(SilenceDetector, ThresholdIsScaledNotTheLevel) {
    CSilenceDetector detector;
    EXPECT_TRUE(detector.IsSilent({-383, -383}));
    EXPECT_FALSE(detector.IsSilent({-382, -383}));
    EXPECT_FALSE(detector.IsSilent({-383, -382}));
    detector.SetThresholds(-300, -600);
    EXPECT_TRUE(detector.IsSilent({-255, -510}));
    EXPECT_FALSE(detector.IsSilent({-254, -510}));
    EXPECT_FALSE(detector.IsSilent({-255, -509}));
}

namespace {

// The recording control's data-after handling in silence mode, with 100 ms buffers.
struct SilenceOwner {
    CSilenceDetector detector;
    int64_t splitSeconds = 3;
    int64_t trackTime = 0;     // the session's
    int64_t shownTrackTime = 0;  // the owner's stored copy, P
    std::vector<int> splitsAt;  // buffer numbers, from 1
    int buffers = 0;

    void Buffer(bool sound) {
        ++buffers;
        trackTime += 100;
        const BufferLevels levels = sound ? BufferLevels{-100, -100} : BufferLevels{-600, -600};
        switch (detector.Test(levels, splitSeconds, shownTrackTime)) {
            case SilenceOutcome::Split:
                splitsAt.push_back(buffers);
                trackTime = 0;
                return;
            case SilenceOutcome::Stop: return;
            case SilenceOutcome::Continue: shownTrackTime = trackTime; return;
        }
    }
    void Run(int count, bool sound) {
        for (int i = 0; i < count; ++i) Buffer(sound);
    }
};

}  // namespace

TEST(SilenceDetector, SplitsOnlyAfterMoreThanTheSplitTimeOfSilenceAfterSound) {
    SilenceOwner owner;
    owner.Run(10, true);
    EXPECT_EQ(owner.detector.SilenceStart(), 900);
    // Buffers 11..40 are exactly three seconds of silence: not yet.
    owner.Run(30, false);
    EXPECT_TRUE(owner.splitsAt.empty());
    owner.Buffer(false);
    EXPECT_EQ(owner.splitsAt, std::vector<int>({41}));
    EXPECT_EQ(owner.detector.SilenceStart(), 0);
}

TEST(SilenceDetector, NoSplitBeforeSoundWasHeard) {
    SilenceOwner owner;
    owner.Run(600, false);
    EXPECT_TRUE(owner.splitsAt.empty()) << "a track that begins silent is never split for silence";
    // Handling ends early once the silence is longer than the split time, so the shown time stops.
    EXPECT_EQ(owner.shownTrackTime, 3100);
}

TEST(SilenceDetector, SilenceAfterASilenceSplitWaitsForSound) {
    SilenceOwner owner;
    owner.Run(5, true);
    owner.Run(40, false);
    ASSERT_EQ(owner.splitsAt, std::vector<int>({36}));
    owner.Run(200, false);
    EXPECT_EQ(owner.splitsAt.size(), 1u) << "the new track heard no sound yet";
    EXPECT_EQ(owner.shownTrackTime, 3500) << "the display keeps the old track's last time";

    // The first sound takes the old track's last shown time as the silence start, the second the
    // new track's own time; silence then splits once more than three seconds have passed.
    owner.Buffer(true);
    EXPECT_EQ(owner.detector.SilenceStart(), 3500);
    owner.Buffer(true);
    EXPECT_EQ(owner.detector.SilenceStart(), owner.trackTime - 100);
    const int lastSound = owner.buffers;
    owner.Run(31, false);
    EXPECT_EQ(owner.splitsAt, std::vector<int>({36, lastSound + 31}));
}
