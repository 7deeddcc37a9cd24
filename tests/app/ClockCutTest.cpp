// Cutting on the clock: the boundaries through both nights the clocks change (Europe/Berlin),
// the names of the tracks between them, and the frame a boundary falls on when buffers arrive late
// or the sound card's clock drifts.
#include "app/control/ClockCut.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/files/FileNameTemplate.h"
#include "app/files/LocalDateTime.h"

namespace {

// The process's time zone for one test, then the one it had.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) m_old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (m_old) setenv("TZ", m_old->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_old;
};

int64_t Utc(int year, int month, int day, int hour, int minute) {
    tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    return timegm(&fields);
}

LocalDateTime LocalAt(int64_t seconds) { return ToLocalDateTime(timespec{static_cast<time_t>(seconds), 0}); }

struct Night {
    const char* name;
    int64_t from;  // UTC
    int interval;  // seconds
    std::vector<std::string> readings;  // each boundary as the wall clock shows it (%SNW%)
    std::vector<int64_t> lengths;       // the real seconds between one and the next
};

class ClockBoundaries : public testing::TestWithParam<Night> {};

}  // namespace

// Boundaries are where the wall clock reads a multiple of the interval, counted from its midnight:
// the hour the clocks go back is cut twice and named apart by its offset, the hour they skip has
// no boundary and so no empty track, and an interval that does not divide the day ends the day's
// last track at midnight.
TEST_P(ClockBoundaries, FollowTheWallClock) {
    const TimeZone berlin("Europe/Berlin");
    const Night& night = GetParam();
    std::vector<int64_t> boundaries{NextClockBoundary(night.from, night.interval)};
    while (boundaries.size() < night.readings.size())
        boundaries.push_back(NextClockBoundary(boundaries.back(), night.interval));

    TrackClocks clocks;
    TemplateValues values;
    std::vector<std::string> readings;
    std::set<std::string> names;
    for (size_t i = 0; i < boundaries.size(); ++i) {
        clocks.now = [at = LocalAt(boundaries[i])] { return at; };
        readings.push_back(ExpandTemplate("%SNW%", false, values, clocks).str());
        if (i + 1 == boundaries.size()) break;
        EXPECT_EQ(boundaries[i + 1] - boundaries[i], night.lengths[i]) << readings.back();
        // The track from this boundary to the next, named as at its close.
        clocks.now = [at = LocalAt(boundaries[i + 1])] { return at; };
        names.insert(ExpandTemplate("%TDY%/%SNW%-%ENW%", true, values, clocks).str());
    }
    EXPECT_EQ(readings, night.readings);
    EXPECT_EQ(names.size(), boundaries.size() - 1) << "every track has a name of its own";
}

INSTANTIATE_TEST_SUITE_P(
    Berlin, ClockBoundaries,
    testing::Values(
        Night{"HourlyWhenTheClocksGoBack", Utc(2026, 10, 24, 21, 30), 3600,
              {"00:00:00", "01:00:00", "02:00:00+0200", "02:00:00+0100", "03:00:00", "04:00:00"},
              {3600, 3600, 3600, 3600, 3600}},
        Night{"QuarterHoursWhenTheClocksGoBack", Utc(2026, 10, 25, 0, 40), 900,
              {"02:45:00+0200", "02:00:00+0100", "02:15:00+0100", "02:30:00+0100", "02:45:00+0100", "03:00:00"},
              {900, 900, 900, 900, 900}},
        Night{"HourlyWhenTheClocksGoForward", Utc(2026, 3, 28, 22, 30), 3600,
              {"00:00:00", "01:00:00", "03:00:00", "04:00:00"}, {3600, 3600, 3600}},
        Night{"QuarterHoursWhenTheClocksGoForward", Utc(2026, 3, 29, 0, 40), 900,
              {"01:45:00", "03:00:00", "03:15:00"}, {900, 900}},
        Night{"SevenHoursEndTheDayAtMidnight", Utc(2026, 6, 10, 18, 0), 7 * 3600,
              {"21:00:00", "00:00:00", "07:00:00", "14:00:00"}, {3 * 3600, 7 * 3600, 7 * 3600}},
        Night{"SevenHoursWhenTheClocksGoForward", Utc(2026, 3, 28, 21, 0), 7 * 3600,
              {"00:00:00", "07:00:00"}, {6 * 3600}}),
    [](const testing::TestParamInfo<Night>& info) { return std::string(info.param.name); });

namespace {

constexpr int kRate = 44100;
constexpr int kBufferFrames = 4410;
constexpr int64_t kNs = 1000000000;

struct Arrival {
    const char* name;
    double clockRate;                 // the sound card's seconds of audio per real second
    std::vector<int64_t> delaysMs;    // how late each buffer is handed over, repeated
    int64_t toleranceFrames;
};

class ClockCutPlacement : public testing::TestWithParam<Arrival> {};

}  // namespace

// Buffers captured by a card whose clock may drift arrive after their last frame, some of them
// much later (a split on a busy disk): the cut still falls on the frame captured at the boundary,
// every boundary of a minute's buffers.
TEST_P(ClockCutPlacement, TheCutIsTheFrameCapturedAtTheBoundary) {
    const Arrival& arrival = GetParam();
    const int64_t start = Utc(2026, 12, 10, 12, 0) * kNs + 123456789;
    // The real time at which frame `f` was captured.
    const auto capturedAt = [&](int64_t f) {
        return start + static_cast<int64_t>(static_cast<double>(f) * kNs / (kRate * arrival.clockRate));
    };
    CClockCut cut;
    cut.Restart();
    int64_t frames = 0;
    int64_t boundary = (start / kNs + 1) * kNs;
    int cuts = 0;
    for (int buffer = 0; buffer < 600; ++buffer) {
        frames += kBufferFrames;
        const int64_t delay = arrival.delaysMs[buffer % arrival.delaysMs.size()] * 1000000;
        cut.Measure(capturedAt(frames) + delay, kBufferFrames, kRate);
        const int frame = cut.CutFrame(boundary);
        if (frame < 0) continue;
        // The first frame captured at or after the boundary.
        int64_t truth = frames - kBufferFrames;
        while (capturedAt(truth) < boundary) ++truth;
        EXPECT_NEAR(frames - kBufferFrames + frame, truth, arrival.toleranceFrames) << "boundary " << cuts;
        ++cuts;
        boundary += kNs;
    }
    EXPECT_GE(cuts, 55) << "a boundary every second of a minute";
}

INSTANTIATE_TEST_SUITE_P(
    Arrivals, ClockCutPlacement,
    testing::Values(Arrival{"OnTime", 1.0, {1}, 45}, Arrival{"SometimesLate", 1.0, {2, 1, 150, 90, 3, 1, 2, 40}, 135},
                    // Frames within a buffer are placed at the nominal rate: 5 % of a buffer off at most.
                    Arrival{"FastClock", 1.05, {1}, 45 + kBufferFrames / 20},
                    // A slow clock is followed a little behind: as far as it drifts in 16 buffers.
                    Arrival{"SlowClock", 0.99, {1}, 16 * 45 + 45}),
    [](const testing::TestParamInfo<Arrival>& info) { return std::string(info.param.name); });
