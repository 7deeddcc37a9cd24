// The recorder session driven by the signal source: notifications, pause, monitor-only runs,
// splits with no sample lost or doubled, conversion over an hour, and a write that fails.
#include "recording/RecorderSession.h"

#include <condition_variable>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>

#include "audiofile/AudioWriter.h"
#include "platform/CaptureBackend.h"
#include "platform/SignalGenerator.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ResultValue.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavData.h"

namespace {

// A session whose owner is a set of callbacks, capturing from the signal source.
class SessionRig {
public:
    SessionRig(const std::string& signal, int rate, int channels) : m_signal(signal) {
        session.backend = ValueOrFail(CreateCaptureBackend("signal:" + signal));
        EXPECT_TRUE(session.backend);
        session.captureFormat = {rate, channels, 16};
        session.outputSampleRate = rate;
        session.outputChannels = channels;
        session.SetNotify(&SessionRig::Notify, this);
    }

    CRecorderSession session;
    // The owner's answer to a notification; 1 by default.
    std::function<int(int code)> onNotify;

    std::vector<int> Codes() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_codes;
    }
    int Count(int code) {
        const std::vector<int> codes = Codes();
        return static_cast<int>(std::count(codes.begin(), codes.end(), code));
    }
    // Waits for the finite signal to end; the session keeps its last track open until Stop.
    bool WaitForEnd() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_wake.wait_for(lock, std::chrono::minutes(5), [&] { return m_ended; });
    }
    // The bytes the source delivered: the same spec regenerated in the same format.
    std::string Expected(int64_t frames) const {
        CSignalGenerator generator;
        const PcmFormat& f = session.captureFormat;
        const Result<void> opened = generator.Open(ValueOrFail(ParseSignalSpec(m_signal)), f.sampleRate, f.channels, 16);
        EXPECT_TRUE(opened) << opened.error().message.SourceText();
        std::string bytes(frames * f.BlockSize(), '\0');
        bytes.resize(generator.Generate(bytes.data(), frames) * f.BlockSize());
        return bytes;
    }

private:
    static int Notify(int code, CRecorderSession*, void* user) {
        auto* rig = static_cast<SessionRig*>(user);
        {
            std::lock_guard<std::mutex> lock(rig->m_mutex);
            rig->m_codes.push_back(code);
            if (code == kEventCaptureEnded) rig->m_ended = true;
        }
        rig->m_wake.notify_all();
        return rig->onNotify ? rig->onNotify(code) : 1;
    }

    std::string m_signal;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<int> m_codes;
    bool m_ended = false;
};

std::string TrackPath(const TempDir& dir, int track, const std::string& extension = ".wav") {
    return dir / ("track" + std::to_string(track) + extension);
}

}  // namespace

TEST(RecorderSession, StopBeforeStartDoesNothing) {
    SessionRig rig("silence,fast", 44100, 2);
    EXPECT_FALSE(rig.session.Stop());
    EXPECT_TRUE(rig.Codes().empty());
}

TEST(RecorderSession, MonitorOnlyMeasuresButOpensNoTrack) {
    TempDir dir;
    SessionRig rig("tone=1000hz/-6db/1s,fast", 44100, 2);
    rig.session.monitorOnly = true;
    rig.session.writtenPath = TrackPath(dir, 1).c_str();
    ASSERT_TRUE(rig.session.Start());
    ASSERT_TRUE(rig.WaitForEnd());
    EXPECT_TRUE(rig.session.Stop());
    EXPECT_EQ(rig.Count(kNotifyTrackOpenBefore), 0);
    EXPECT_EQ(rig.Count(kEventStopped), 0);
    EXPECT_EQ(rig.Count(kNotifyTrackCloseBefore), 0);
    EXPECT_EQ(rig.Count(kNotifyDataBefore), 10);
    EXPECT_EQ(rig.Count(kNotifyDataAfter), 0) << "nothing is written without a track";
    EXPECT_EQ(rig.session.LeftLevel(), -60) << "a -6 dBFS tone";
    EXPECT_EQ(rig.session.TotalTime(), 0);
    EXPECT_FALSE(PathExists(TrackPath(dir, 1)));
}

TEST(RecorderSession, PauseHoldsTheTimesButNotTheLevels) {
    TempDir dir;
    SessionRig rig("tone=1000hz/-6db/0.5s,tone=1000hz/-20db/0.5s,fast", 44100, 2);
    rig.session.writtenPath = TrackPath(dir, 1).c_str();
    std::vector<int> levels;
    // Pause from the sixth buffer on: only the first five are written.
    rig.onNotify = [&](int code) {
        if (code != kNotifyDataBefore) return 1;
        levels.push_back(rig.session.LeftLevel());
        return levels.size() <= 5 ? 1 : 0;
    };
    ASSERT_TRUE(rig.session.Start());
    ASSERT_TRUE(rig.WaitForEnd());
    const int64_t totalBeforeStop = rig.session.TotalTime();
    rig.session.Stop();
    EXPECT_EQ(totalBeforeStop, 500);
    EXPECT_EQ(rig.Count(kNotifyDataAfter), 5);
    ASSERT_EQ(levels.size(), 10u);
    EXPECT_EQ(levels.front(), -60);
    EXPECT_EQ(levels.back(), -199) << "levels still follow the -20 dBFS input while paused";
    EXPECT_EQ(WavPcm(TrackPath(dir, 1)), rig.Expected(22050));
}

TEST(RecorderSession, ElevenKilohertzUsesWholeFrameBuffersOf200Ms) {
    TempDir dir;
    SessionRig rig("tone=440hz/-6db/1s,fast", 11025, 2);
    rig.session.writtenPath = TrackPath(dir, 1).c_str();
    std::vector<int> sizes;
    rig.onNotify = [&](int code) {
        if (code == kNotifyDataBefore) sizes.push_back(rig.session.LastBufferSize());
        return 1;
    };
    ASSERT_TRUE(rig.session.Start());
    ASSERT_TRUE(rig.WaitForEnd());
    rig.session.Stop();
    ASSERT_GE(sizes.size(), 4u);
    EXPECT_EQ(sizes.front(), 2205 * 4);
    EXPECT_EQ(rig.session.TrackTime(), 0) << "reset when the last track closed";
}

// Records the signal to its end, split on request every few buffers and at a fixed interval;
// the number of tracks.
int RecordWithSplits(SessionRig& rig, const TempDir& dir, const std::string& extension) {
    CRecorderSession& s = rig.session;
    s.writtenPath = TrackPath(dir, 1, extension).c_str();
    int buffers = 0;
    std::vector<int64_t> trackTimesAfterSplit;
    std::vector<std::string> closedPaths;
    rig.onNotify = [&](int code) {
        if (code != kNotifyDataAfter) return 1;
        ++buffers;
        const bool requested = buffers % 7 == 0;
        const bool interval = s.TrackTime() >= 3000;
        if (!requested && !interval) return 1;
        s.CloseTrack();
        closedPaths.push_back(s.LastClosedPath().c_str());
        s.writtenPath = TrackPath(dir, s.trackCounter + 1, extension).c_str();
        EXPECT_TRUE(s.OpenTrack());
        trackTimesAfterSplit.push_back(s.TrackTime());
        return 0;
    };
    EXPECT_TRUE(s.Start());
    EXPECT_TRUE(rig.WaitForEnd());
    s.Stop();
    EXPECT_EQ(static_cast<int>(closedPaths.size()), s.trackCounter - 1);
    for (size_t i = 0; i < closedPaths.size(); ++i) EXPECT_EQ(closedPaths[i], TrackPath(dir, i + 1, extension));
    for (int64_t time : trackTimesAfterSplit) EXPECT_EQ(time, 0);
    return s.trackCounter;
}

// The lossless formats, in which tracks joined are the input exactly.
struct GaplessCase {
    OutputFormat format;
    const char* extension;
    int quality;  // the row value the session passes
    int rate;
    int channels;
};

void PrintTo(const GaplessCase& c, std::ostream* out) { *out << c.extension << " " << c.rate << "/" << c.channels; }

class RecorderSessionGapless : public testing::TestWithParam<GaplessCase> {};

TEST_P(RecorderSessionGapless, TracksJoinedAreTheSourceExactly) {
    const auto [format, extension, quality, rate, channels] = GetParam();
    TempDir dir;
    const std::string signal = "tone=997hz/-6db/0.73s,silence=0.31s,tone=441hz/-12db/0.5s,loop,length=20s,fast";
    SessionRig rig(signal, rate, channels);
    rig.session.outputKind = format;
    rig.session.quality = quality;
    const int tracks = RecordWithSplits(rig, dir, extension);
    ASSERT_GT(tracks, 10);
    std::string joined;
    for (int track = 1; track <= tracks; ++track) {
        const std::string path = TrackPath(dir, track, extension);
        const std::string audio = format == OutputFormat::Wav ? WavPcm(path) : DecodeWithFfmpeg(path);
        joined += audio;
        const ProbedAudio probe = ProbeWithFfprobe(path);
        EXPECT_EQ(probe.sampleRate, rate) << path;
        EXPECT_EQ(probe.channels, channels) << path;
        EXPECT_NEAR(probe.durationSeconds, static_cast<double>(audio.size()) / (rate * channels * 2), 0.001) << path;
        EXPECT_EQ(ProbeWithSox(path).durationSamples, static_cast<int64_t>(audio.size() / (channels * 2))) << path;
    }
    const int64_t frames = static_cast<int64_t>(rate) * 20;
    ASSERT_EQ(joined.size(), static_cast<size_t>(frames * channels * 2)) << "no sample lost or doubled";
    EXPECT_TRUE(joined == rig.Expected(frames)) << "the tracks joined are the source exactly";
    EXPECT_EQ(rig.session.TotalTime(), 20000);
}

INSTANTIATE_TEST_SUITE_P(Lossless, RecorderSessionGapless,
                         testing::Values(GaplessCase{OutputFormat::Wav, ".wav", 16, 44100, 2},
                                         GaplessCase{OutputFormat::Wav, ".wav", 16, 11025, 1},
                                         GaplessCase{OutputFormat::Flac, ".flac", 5, 44100, 2}),
                         [](const testing::TestParamInfo<GaplessCase>& info) {
                             return std::string(info.param.extension + 1) + std::to_string(info.param.rate) + "_" +
                                    std::to_string(info.param.channels);
                         });

// The left channel of 16-bit stereo PCM bytes.
std::vector<double> LeftChannel(const std::string& bytes) {
    std::vector<double> left(bytes.size() / 4);
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = static_cast<int16_t>(static_cast<unsigned char>(bytes[i * 4]) | bytes[i * 4 + 1] << 8);
    return left;
}

// The shift (in samples) of `decoded` against `source` that matches best around `at`.
int BestLag(const std::vector<double>& source, const std::vector<double>& decoded, size_t at) {
    int best = 0;
    double bestSum = -1e300;
    for (int lag = -24; lag <= 24; ++lag) {
        double sum = 0;
        for (size_t i = at - 48; i < at + 480; ++i) sum += source[i] * decoded[i + lag];
        if (sum > bestSum) bestSum = sum, best = lag;
    }
    return best;
}

// Opus is lossy, but its pre-skip and end trimming are exact: the tracks decoded one after the
// other have the length fed, and every tone burst begins where it began in the input.
TEST(RecorderSessionLossyGapless, OpusTracksDecodedTogetherHaveTheLengthFedAndTheOnsetsInPlace) {
    TempDir dir;
    SessionRig rig("silence=0.37s,tone=1000hz/-6db/0.5s,silence=0.13s,loop,length=8s,fast", 48000, 2);
    rig.session.outputKind = OutputFormat::Opus;
    rig.session.quality = 96000;
    const int tracks = RecordWithSplits(rig, dir, ".opus");
    ASSERT_GT(tracks, 4);
    std::string joined;
    for (int track = 1; track <= tracks; ++track) joined += DecodeWithFfmpeg(TrackPath(dir, track, ".opus"));
    const int64_t frames = 8 * 48000;
    ASSERT_EQ(joined.size(), static_cast<size_t>(frames * 4)) << "no sample lost or doubled";
    const std::vector<double> source = LeftChannel(rig.Expected(frames));
    const std::vector<double> decoded = LeftChannel(joined);
    for (size_t onset = 17760; onset + 600 < source.size(); onset += 48000)
        EXPECT_LE(std::abs(BestLag(source, decoded, onset)), 1) << "the burst at sample " << onset;
}

TEST(RecorderSession, AnHourConvertedTo32kMonoAddsUpToTheSample) {
    TempDir dir;
    SessionRig rig("tone=1000hz/-6db/1s,silence=1s,loop,length=1h,fast", 48000, 2);
    rig.session.outputSampleRate = 32000;
    rig.session.outputChannels = 1;
    rig.session.writtenPath = TrackPath(dir, 1).c_str();
    rig.onNotify = [&](int code) {
        CRecorderSession& s = rig.session;
        if (code != kNotifyDataAfter || s.TrackTime() < 10 * 60 * 1000) return 1;
        s.CloseTrack();
        s.writtenPath = TrackPath(dir, s.trackCounter + 1).c_str();
        EXPECT_TRUE(s.OpenTrack());
        return 0;
    };
    ASSERT_TRUE(rig.session.Start());
    ASSERT_TRUE(rig.WaitForEnd());
    rig.session.Stop();
    int64_t frames = 0;
    for (int track = 1; track <= rig.session.trackCounter; ++track) {
        const int64_t trackFrames = static_cast<int64_t>(WavPcm(TrackPath(dir, track)).size() / 2);
        frames += trackFrames;
        // The split after the very last buffer leaves an empty seventh track.
        if (track == 7) {
            EXPECT_EQ(trackFrames, 0);
            continue;
        }
        const ProbedAudio probe = ProbeWithSox(TrackPath(dir, track));
        EXPECT_EQ(probe.sampleRate, 32000);
        EXPECT_EQ(probe.channels, 1);
        EXPECT_EQ(probe.durationSamples, 600LL * 32000);
        EXPECT_EQ(trackFrames, 600LL * 32000);
    }
    EXPECT_EQ(rig.session.trackCounter, 7);
    EXPECT_EQ(frames, 3600LL * 32000);
}

TEST(RecorderSession, AFailedWriteIsReportedAndTheTrackStaysPlayable) {
    TempDir dir;
    SessionRig rig("tone=1000hz/-6db/3s,fast", 44100, 2);
    rig.session.writtenPath = TrackPath(dir, 1).c_str();
    // The owner closes the track when a write fails, as it does on a full disk.
    rig.onNotify = [&](int code) {
        if (code == kEventWriteFailed) rig.session.CloseTrack();
        return 1;
    };
    // A file-size limit makes writes fail part-way, like a disk that fills up; root is bound by it too.
    ScopedFileSizeLimit limit(200000);
    ASSERT_TRUE(limit.Active());
    const Result<void> started = rig.session.Start();
    const bool ended = started && rig.WaitForEnd();
    limit.Lift();
    rig.session.Stop();
    ASSERT_TRUE(ended);
    EXPECT_EQ(rig.Count(kEventWriteFailed), 1) << "later buffers find no track and are not reported again";
    EXPECT_FALSE(rig.session.HasWriter());
    const std::string audio = WavPcm(TrackPath(dir, 1));
    EXPECT_GT(audio.size(), 150000u);
    EXPECT_EQ(audio, rig.Expected(audio.size() / 4)) << "what was written is the start of the source";
    EXPECT_EQ(ProbeWithFfprobe(TrackPath(dir, 1)).sampleRate, 44100);
}

namespace {
struct FormatCase {
    OutputFormat kind;
    int quality;  // the quality row's value (or the Ogg quality)
    int rate;
    int channels;
    const char* extension;
    const char* codec;
    double tolerance;  // seconds a track may differ by: a frame or packet of the lossy formats
};
}  // namespace

// Every output format, recorded from the signal source with a split, is read by ffprobe with the
// right codec, rate, channels, length and title.
class RecorderSessionFormats : public testing::TestWithParam<FormatCase> {};

TEST_P(RecorderSessionFormats, TracksFromTheSignalSourcePlayElsewhere) {
    const FormatCase& format = GetParam();
    TempDir dir;
    SessionRig rig("tone=997hz/-6db/0.73s,silence=0.31s,loop,length=3s,fast", 44100, 2);
    CRecorderSession& s = rig.session;
    s.outputKind = format.kind;
    s.quality = format.quality;
    s.oggQuality = format.quality;
    s.outputSampleRate = format.rate;
    s.outputChannels = format.channels;
    auto path = [&](int track) { return dir / ("track" + std::to_string(track) + format.extension); };
    s.writtenPath = path(1).c_str();
    rig.onNotify = [&](int code) {
        if (code == kNotifyTrackOpenBefore || code == kNotifyTrackCloseBefore) {
            s.tags.title = CCharString::Formatted("Take %d", s.trackCounter);
            s.tags.artist = "Velsona";
            s.tags.trackNumber = s.trackCounter;
        }
        if (code != kNotifyDataAfter || s.TrackTime() < 1500) return 1;
        s.CloseTrack();
        s.writtenPath = path(s.trackCounter).c_str();
        EXPECT_TRUE(s.OpenTrack());
        return 0;
    };
    s.trackCounter = 1;
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(rig.WaitForEnd());
    s.Stop();
    double seconds = 0;
    for (int track = 1; track <= 2; ++track) {
        ProbedAudio probe = ProbeWithFfprobe(path(track));
        ASSERT_TRUE(probe.ok) << path(track);
        EXPECT_EQ(probe.codec, format.codec);
        EXPECT_EQ(probe.sampleRate, format.rate);
        EXPECT_EQ(probe.channels, format.channels);
        // The length a player gets: Ogg states it to the sample (the last granule position); for the
        // others, what ffmpeg decodes with encoder delay and padding trimmed.
        const int64_t frames = format.kind == OutputFormat::OggVorbis ? probe.durationSamples
                                                                      : DecodedFrames(path(track), format.channels);
        const double decoded = static_cast<double>(frames) / format.rate;
        EXPECT_NEAR(decoded, 1.5, format.tolerance) << path(track);
        EXPECT_EQ(probe.tags["title"], "Take " + std::to_string(track)) << path(track);
        EXPECT_EQ(probe.tags["artist"], "Velsona") << path(track);
        seconds += decoded;
    }
    EXPECT_NEAR(seconds, 3.0, 2 * format.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    AllFormats, RecorderSessionFormats,
    testing::Values(FormatCase{OutputFormat::Wav, 16, 44100, 2, ".wav", "pcm_s16le", 0.0001},
                    FormatCase{OutputFormat::Mp3, 128000, 44100, 2, ".mp3", "mp3", 1152.0 / 44100},
                    FormatCase{OutputFormat::OggVorbis, 40, 32000, 1, ".ogg", "vorbis", 0.0001},
                    FormatCase{OutputFormat::Wma, 96000, 44100, 2, ".wma", "wmav2", 2048.0 / 44100},
                    FormatCase{OutputFormat::Flac, 5, 44100, 2, ".flac", "flac", 0.0001},
                    FormatCase{OutputFormat::Opus, 64000, 48000, 2, ".opus", "opus", 0.0001}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.extension + 1); });

// An owner that finishes closed tracks on a thread of its own gets each writer with its stream
// ended (the audio whole, the sizes written) and nothing more; a writer it does not take is
// finished by the session, never left open and untagged.
TEST(RecorderSession, AClosedWriterIsHandedOverOrFinishedByTheSession) {
    TempDir dir;
    SessionRig rig("tone=1000hz/-6db/1s,fast", 44100, 2);
    rig.session.handOverClosedWriter = true;
    rig.session.tags.title = "Handed over";
    rig.session.writtenPath = TrackPath(dir, 1).c_str();
    std::unique_ptr<CAudioWriter> taken;
    bool taggedWhenTaken = true;
    int buffers = 0;
    rig.onNotify = [&](int code) {
        CRecorderSession& s = rig.session;
        if (code == kNotifyTrackCloseAfter && s.trackCounter == 0) {
            taken = s.TakeClosedWriter();
            taggedWhenTaken = ReadFileBytes(TrackPath(dir, 1)).find("Handed over") != std::string::npos;
        }
        if (code != kNotifyDataAfter || ++buffers != 5) return 1;
        s.CloseTrack();
        s.writtenPath = TrackPath(dir, 2).c_str();
        EXPECT_TRUE(s.OpenTrack());
        return 0;
    };
    ASSERT_TRUE(rig.session.Start());
    ASSERT_TRUE(rig.WaitForEnd());
    rig.session.Stop();

    ASSERT_TRUE(taken);
    EXPECT_FALSE(taggedWhenTaken) << "the tags are the taker's to write";
    EXPECT_TRUE(WavPcm(TrackPath(dir, 1)) == rig.Expected(22050)) << "the audio is whole when handed over";
    EXPECT_TRUE(taken->FinishEnd() && taken->Close());
    EXPECT_NE(ReadFileBytes(TrackPath(dir, 1)).find("Handed over"), std::string::npos);
    EXPECT_NE(ReadFileBytes(TrackPath(dir, 2)).find("Handed over"), std::string::npos) << "finished by the session";
    EXPECT_EQ(WavPcm(TrackPath(dir, 2)).size(), 22050u * 4);
}
