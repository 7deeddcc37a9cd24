// The meters' scale, the histories' columns, the scope window and the monitor feed, with the
// figures a user sees on a 500-pixel history and 44.1 kHz stereo input.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "app/monitor/HistoryColumns.h"
#include "app/monitor/MeterScale.h"
#include "app/monitor/MonitorFeed.h"
#include "app/monitor/ScopeWindow.h"

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime (g++ ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                         void (*free_hook)(const volatile void*));
#define VELSONA_COUNTS_ALLOCATIONS 1
#endif

namespace {

constexpr int kBlockBytes = 17640;  // 100 ms of 44.1 kHz stereo
const PcmFormat kStereo{44100, 2, 16};

#ifdef VELSONA_COUNTS_ALLOCATIONS
// Every allocation of the process, counted by the sanitizer's allocator (operator new included).
std::atomic<long> g_allocations{0};
void CountAllocation(const volatile void*, size_t) {
    ++g_allocations;
}
void IgnoreFree(const volatile void*) {}
#endif

// Interleaved frames with `left` on the first channel and `right` on the second.
std::vector<int16_t> Frames(int frames, int16_t left, int16_t right, int channels = 2) {
    std::vector<int16_t> pcm(frames * channels, left);
    for (int i = 1; i < frames * channels; i += channels) pcm[i] = right;
    return pcm;
}

const char* Bytes(const std::vector<int16_t>& pcm) {
    return reinterpret_cast<const char*>(pcm.data());
}

struct MeterCase {
    int own, left, right;
    int bottom, step, markY;  // mark on a 450-pixel meter
    int firstTick, lastTick, ticks;
};

class MeterScaleFromThresholds : public ::testing::TestWithParam<MeterCase> {};

TEST_P(MeterScaleFromThresholds, BottomStepMarkAndTicks) {
    const MeterCase& c = GetParam();
    const MeterScale scale = SilenceMeterScale(c.own, c.left, c.right);
    EXPECT_EQ(scale.top, 0);
    EXPECT_EQ(scale.bottom, c.bottom);
    EXPECT_EQ(scale.tickStep, c.step);
    const MeterLayout layout = LayOutMeter(scale, scale.bottom, 450);
    EXPECT_TRUE(layout.mark);
    EXPECT_EQ(layout.markY, c.markY);
    ASSERT_EQ(static_cast<int>(layout.ticks.size()), c.ticks);
    EXPECT_EQ(layout.ticks.front().level, c.firstTick);
    EXPECT_EQ(layout.ticks.back().level, c.lastTick);
    EXPECT_EQ(layout.ticks.front().label, c.firstTick / 10);
    EXPECT_EQ(layout.ticks.front().y, -c.firstTick * 450 / -c.bottom);
}

INSTANTIATE_TEST_SUITE_P(Thresholds, MeterScaleFromThresholds,
                         ::testing::Values(MeterCase{-450, -450, -300, -450, 60, 382, -60, -420, 7},
                                           MeterCase{-300, -450, -300, -450, 60, 255, -60, -420, 7},
                                           MeterCase{-300, -300, -300, -300, 30, 382, -30, -270, 9}));

TEST(MeterLayout, BarHeightFromTheLevel) {
    const MeterScale scale = SilenceMeterScale(-450, -450, -450);
    struct {
        int value;
        bool bar;
        int barTop;
    } const cases[] = {
        {-450, false, 334},  // at the bottom: no bar, no raised edge
        {-900, false, 334},  // below the scale: all background
        {-225, true, 167},   // 334 × 225 / 450
        {-1, true, 1},       // 334 × 449 / 450 = 333.26, truncated
        {0, true, 0},        // full height
        {60, true, 0},       // above the top: clipped
    };
    for (const auto& c : cases) {
        const MeterLayout layout = LayOutMeter(scale, c.value, 334);
        EXPECT_EQ(layout.bar, c.bar) << c.value;
        EXPECT_EQ(layout.barTop, c.barTop) << c.value;
    }
}

TEST(MeterLayout, ZeroRangeIsAnEmptyMeter) {
    // Both thresholds at 0 dB: the scale has no height to divide.
    const MeterLayout layout = LayOutMeter(SilenceMeterScale(0, 0, 0), 0, 334);
    EXPECT_FALSE(layout.bar);
    EXPECT_FALSE(layout.mark);
    EXPECT_TRUE(layout.ticks.empty());
}

TEST(HistorySpans, FromTheControlWidth) {
    EXPECT_EQ(WholeRecordingSpan(500), 470000);
    EXPECT_EQ(TrackSpan(500), 47000);  // 46400 rounded up
    EXPECT_EQ(TrackSpan(536), 50000);  // already whole seconds
    EXPECT_LE(TrackSpan(20), 0);
    EXPECT_LE(WholeRecordingSpan(30), 0);
}

TEST(HistoryTimeLabels, FormatChosenBySpan) {
    struct {
        int64_t ms, span;
        const char* text;
    } const cases[] = {
        {23500, 60000, "23.50s"},      {0, 47000, "0.00s"},       {47000, 47000, "47.00s"},
        {23500, 60001, "0:23"},        {94000, 94000, "1:34"},    {23500, 3600001, "00:00:23"},
        {90061000, 180000000, "25:01:01"},
    };
    for (const auto& c : cases) EXPECT_EQ(HistoryTimeLabel(c.ms, c.span), c.text) << c.ms << " of " << c.span;
}

class WaveHistory : public ::testing::Test {
protected:
    void StartAt(CHistoryColumns& history, int64_t msPerColumn, int64_t span, const PcmFormat& format = kStereo) {
        history.msPerColumn = msPerColumn;
        history.span = span;
        history.Start(format);
    }
    void FeedBlocks(CHistoryColumns& history, int blocks) {
        for (int i = 0; i < blocks; ++i) history.Feed(Bytes(block), kBlockBytes);
    }
    std::vector<int16_t> block = Frames(4410, 4000, -5);
};

TEST_F(WaveHistory, TrackGainsOneColumnPerBlockWholeRecordingOnePerTenBlocks) {
    CHistoryColumns track, whole;
    StartAt(track, 100, TrackSpan(500));
    StartAt(whole, 1000, WholeRecordingSpan(500));
    EXPECT_EQ(track.BytesPerColumn(), kBlockBytes);
    for (int blocks = 1; blocks <= 25; ++blocks) {
        FeedBlocks(track, 1);
        FeedBlocks(whole, 1);
        EXPECT_EQ(track.ValueCount(), 2 * blocks);
        EXPECT_EQ(whole.ValueCount(), 2 * (blocks / 10));
    }
    EXPECT_EQ(whole.Extremes()[0], 4000);  // first channel only
    EXPECT_EQ(whole.Extremes()[1], 0);
    EXPECT_EQ(whole.Averages()[0], 4 * 4000);
}

TEST_F(WaveHistory, FullTrackHistoryHalvesToTwiceTheColumnTime) {
    CHistoryColumns track;
    StartAt(track, 100, TrackSpan(500));
    ASSERT_EQ(track.Columns(), 470);
    FeedBlocks(track, 470);
    EXPECT_EQ(track.ValueCount(), 940);
    EXPECT_EQ(track.msPerColumn, 100);
    track.Feed(Bytes(Frames(4410, 3000, 0)), kBlockBytes);
    EXPECT_EQ(track.Columns(), 470);
    EXPECT_EQ(track.msPerColumn, 200);
    EXPECT_EQ(track.span, 94000);
    EXPECT_EQ(track.BytesPerColumn(), 2 * kBlockBytes);
    // 235 merged columns, then the block that arrived: the mark is back in the middle.
    EXPECT_EQ(track.ValueCount(), 472);
    EXPECT_EQ(track.Position() / 2, 236);
    EXPECT_EQ(track.Extremes()[2 * 234], 4000);
    EXPECT_EQ(track.Extremes()[2 * 235], 3000);
    EXPECT_EQ(track.Extremes()[2 * 236], 0);
    EXPECT_EQ(HistoryTimeLabel(0, track.span), "0:00");
    EXPECT_EQ(HistoryTimeLabel(track.span / 2, track.span), "0:47");
    EXPECT_EQ(HistoryTimeLabel(track.span, track.span), "1:34");
}

TEST_F(WaveHistory, CompressMergesPairsAndMeansAverages) {
    CHistoryColumns history;
    StartAt(history, 100, 500);  // 5 columns: an odd count
    const std::pair<int16_t, int16_t> columns[] = {{1000, -1000}, {3000, -200}, {500, -4000}};
    for (auto [high, low] : columns) {
        std::vector<int16_t> pcm = Frames(4410, high, 0);
        for (int i = 0; i < 4410; i += 2) pcm[2 * i] = low;
        history.Feed(Bytes(pcm), kBlockBytes);
    }
    history.Compress();
    EXPECT_EQ(history.msPerColumn, 200);
    EXPECT_EQ(history.span, 1000);
    // Three filled columns become two whole ones: the third merges with an empty column.
    EXPECT_EQ(history.ValueCount(), 4);
    const std::vector<int16_t>& e = history.Extremes();
    EXPECT_EQ(std::vector<int16_t>(e.begin(), e.begin() + 6), (std::vector<int16_t>{3000, -1000, 500, -4000, 0, 0}));
    const std::vector<int16_t>& a = history.Averages();
    EXPECT_EQ(a[0], (4 * 1000 / 2 + 4 * 3000 / 2) / 2);
    EXPECT_EQ(a[1], (4 * -1000 / 2 + 4 * -200 / 2) / 2);
}

TEST_F(WaveHistory, BlockOfSeveralColumnsYieldsOneColumn) {
    CHistoryColumns track;
    StartAt(track, 100, TrackSpan(500));
    const std::vector<int16_t> second = Frames(44100 + 2205, 100, 0);  // 10.5 columns' worth
    track.Feed(Bytes(second), static_cast<int>(second.size() * 2));
    EXPECT_EQ(track.ValueCount(), 2);
    track.Feed(Bytes(block), kBlockBytes);  // the half column pending plus a half
    EXPECT_EQ(track.ValueCount(), 4);
    EXPECT_EQ(track.Extremes()[2], 4000);
}

TEST_F(WaveHistory, AveragesBeyondSixteenBitsClamp) {
    CHistoryColumns track;
    StartAt(track, 100, TrackSpan(500));
    std::vector<int16_t> square = Frames(4410, 32767, 0);
    for (int i = 1; i < 4410; i += 2) square[2 * i] = -32768;
    track.Feed(Bytes(square), kBlockBytes);
    // 4 × the mean over all frames is ±65534: wrapped it would draw on the wrong side.
    EXPECT_EQ(track.Averages()[0], 32767);
    EXPECT_EQ(track.Averages()[1], -32768);
}

TEST_F(WaveHistory, OddBytesPerColumnKeepsFramesWhole) {
    // 11025 Hz mono: 100 ms is 2205 bytes; blocks are 200 ms.
    CHistoryColumns track;
    StartAt(track, 100, 10000, PcmFormat{11025, 1, 16});
    EXPECT_EQ(track.BytesPerColumn() % 2, 0);
    const std::vector<int16_t> steady = Frames(2205, 1000, 1000, 1);
    for (int i = 0; i < 5; ++i) track.Feed(Bytes(steady), 4410);
    ASSERT_GE(track.ValueCount(), 18);
    for (int v = 0; v < track.ValueCount(); v += 2) {
        EXPECT_EQ(track.Extremes()[v], 1000) << v;
        EXPECT_EQ(track.Extremes()[v + 1], 0) << v;
    }
}

TEST_F(WaveHistory, TooNarrowForColumnsIsFedWithoutFailing) {
    CHistoryColumns track, whole;
    StartAt(track, 100, TrackSpan(20));
    StartAt(whole, 1000, WholeRecordingSpan(25));
    EXPECT_EQ(track.Columns(), 0);
    FeedBlocks(track, 30);
    FeedBlocks(whole, 30);
    EXPECT_EQ(track.ValueCount(), 0);
    EXPECT_EQ(whole.Position(), 0);
}

TEST(ScopeWindow, FiftyMillisecondsAndFramesPerPanel) {
    CScopeWindow scope;
    scope.SetFormat(kStereo);
    scope.SetWindow(50);
    EXPECT_EQ(scope.Capacity(), 8800);
    const std::vector<int16_t> block = Frames(4410, 1, 2);
    scope.Feed(Bytes(block), kBlockBytes);
    EXPECT_EQ(scope.ValidBytes(), 8800);
    for (int width : {100, 1000, 2202, 3000})
        EXPECT_EQ(ScopeFramesPerPanel(kStereo, scope.ValidBytes(), width - 2), std::min(2200, width - 2) / 2) << width;
    EXPECT_EQ(ScopeFramesPerPanel(PcmFormat{44100, 2, 8}, 8800, 298), 0);
    CScopeWindow none;  // no window yet: nothing is kept
    none.Feed(Bytes(block), kBlockBytes);
    EXPECT_EQ(none.ValidBytes(), 0);
}

TEST(ScopeWindow, TracesOfStereoAndMono) {
    std::vector<int16_t> ramp(64);
    for (int i = 0; i < 64; ++i) ramp[i] = static_cast<int16_t>(i * 100);
    const PcmFormat mono{44100, 1, 16};
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(ScopeLeftSample(Bytes(ramp), kStereo, i), 200 * i);
        EXPECT_EQ(ScopeRightSample(Bytes(ramp), kStereo, i), 200 * i + 100);
        EXPECT_EQ(ScopeLeftSample(Bytes(ramp), mono, i), 100 * i);
        EXPECT_EQ(ScopeRightSample(Bytes(ramp), mono, i), 100 * (i + 1));  // shifted by one sample
    }
}

class MonitorFeed : public ::testing::Test {
protected:
    MonitorFeed() {
        feed.SetHistoryWidths(500, 500);
        feed.OnRecordingStart(kStereo);
        feed.OnTrackOpen(kStereo);
    }
    void Buffer(int16_t left, int level, bool paused = false) {
        block = Frames(4410, left, 0);
        feed.OnBuffer(MonitorBuffer{Bytes(block), kBlockBytes, kStereo, level, level - 10, paused});
    }
    CMonitorFeed feed;
    MonitorPicture picture;
    std::vector<int16_t> block;
};

TEST_F(MonitorFeed, PausedBuffersMoveMetersAndScopeNotHistories) {
    Buffer(8000, -120);
    ASSERT_TRUE(feed.TakePicture(picture));
    EXPECT_FALSE(feed.TakePicture(picture));  // nothing new
    EXPECT_EQ(picture.track.position, 2);
    Buffer(4000, -180, true);
    ASSERT_TRUE(feed.TakePicture(picture));
    EXPECT_EQ(picture.leftLevel, -180);
    EXPECT_EQ(picture.rightLevel, -190);
    EXPECT_EQ(picture.buffers, 2u);
    EXPECT_TRUE(picture.scope.hasWindow);
    ASSERT_EQ(picture.scope.validBytes, 8800);
    EXPECT_EQ(ScopeLeftSample(picture.scope.data.data(), kStereo, 0), 4000);
    EXPECT_EQ(picture.track.position, 2);
    EXPECT_EQ(picture.track.extremes[0], 8000);
    EXPECT_EQ(picture.track.columns, 470);
    EXPECT_EQ(picture.total.columns, 470);
}

TEST_F(MonitorFeed, ClearedScopeStaysEmptyUntilTheNextTrack) {
    Buffer(8000, -120);
    feed.ClearScope();
    ASSERT_TRUE(feed.TakePicture(picture));
    EXPECT_FALSE(picture.scope.hasWindow);
    Buffer(8000, -120);
    ASSERT_TRUE(feed.TakePicture(picture));
    EXPECT_FALSE(picture.scope.hasWindow);
    EXPECT_EQ(picture.track.position, 4);  // the histories go on
    feed.OnTrackOpen(kStereo);
    Buffer(8000, -120);
    ASSERT_TRUE(feed.TakePicture(picture));
    EXPECT_TRUE(picture.scope.hasWindow);
    EXPECT_EQ(picture.track.position, 2);
}

TEST_F(MonitorFeed, BuffersAllocateNothingThroughCompressions) {
#ifndef VELSONA_COUNTS_ALLOCATIONS
    GTEST_SKIP() << "allocations are counted through AddressSanitizer's hooks";
#else
    static const bool counting = __sanitizer_install_malloc_and_free_hooks(CountAllocation, IgnoreFree) != 0;
    ASSERT_TRUE(counting);
    block = Frames(4410, 1000, 0);
    const MonitorBuffer buffer{Bytes(block), kBlockBytes, kStereo, -300, -300, false};
    const long before = g_allocations;
    for (int i = 0; i < 3000; ++i) feed.OnBuffer(buffer);  // the track history halves three times
    EXPECT_EQ(g_allocations - before, 0);
    ASSERT_TRUE(feed.TakePicture(picture));
    EXPECT_EQ(picture.track.msPerColumn, 800);
#endif
}

TEST(MonitorFeedThreads, RestartsAndTakesWhileBuffersFlow) {
    CMonitorFeed feed;
    feed.SetHistoryWidths(500, 500);
    const std::vector<int16_t> block = Frames(4410, 1000, 0);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        const MonitorBuffer buffer{Bytes(block), kBlockBytes, kStereo, -300, -300, false};
        for (int i = 0; i < 3000; ++i) feed.OnBuffer(buffer);
        done = true;
    });
    MonitorPicture picture;
    int pictures = 0;
    for (int restarts = 0; !done; ++restarts) {
        feed.OnTrackOpen(kStereo);
        feed.OnRecordingStart(kStereo);
        if (restarts % 7 == 0) feed.ClearScope();
        if (!feed.TakePicture(picture) || picture.track.columns == 0) continue;
        ++pictures;
        ASSERT_EQ(picture.track.columns, 470);
        ASSERT_EQ(picture.track.extremes.size(), 942u);
        ASSERT_LE(picture.track.position, 942);
    }
    audio.join();
    EXPECT_GT(pictures, 0);
    feed.OnTrackOpen(kStereo);
    feed.OnBuffer(MonitorBuffer{Bytes(block), kBlockBytes, kStereo, -300, -300, false});
    ASSERT_TRUE(feed.TakePicture(picture));
    EXPECT_EQ(picture.track.position, 2);
    EXPECT_TRUE(picture.scope.hasWindow);
}

}  // namespace
