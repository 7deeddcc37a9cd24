// The recording control driven by the signal source: timed stops with pause, interval and silence
// splits, numbering, final names and tags, the status texts, and failures that must be reported.
#include "app/control/RecordingControl.h"

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <thread>

#include "foundation/PathUtils.h"
#include "app/control/ActivityLog.h"
#include "app/control/Calibration.h"
#include "app/files/AudioFacts.h"
#include "app/files/RecordedFiles.h"
#include "app/files/Retention.h"
#include "app/monitor/MonitorFeed.h"
#include "app/monitor/MonitorObserver.h"
#include "app/files/TrackJournal.h"
#include "app/files/TrackRecovery.h"
#include "foundation/FileStream.h"
#include "platform/CaptureBackend.h"
#include "platform/SignalGenerator.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/Mutagen.h"
#include "tests/support/Process.h"
#include "tests/support/ResultValue.h"
#include "tests/support/SmallFileSystem.h"
#include "tests/support/TempDir.h"
#include "tests/support/WavData.h"

namespace {

LocalDateTime FixedTime() { return {2026, 12, 8, 21, 0, 0, 0}; }

// The owner's side: posted events are queued and handled on the test's thread.
class ControlRig {
public:
    explicit ControlRig(const std::string& signal, AudioFactsReader readFacts = nullptr)
        : control(items, std::move(readFacts), [this](const RecordingEvent& event) { Post(event); }, FixedTime) {
        control.log = &log;
        control.backend = ValueOrFail(CreateCaptureBackend("signal:" + signal));
        EXPECT_TRUE(control.backend);
        control.settings.outputFolder = dir.path().c_str();
        control.settings.fileNameTemplate = "No.%RCN%-Track%TKN%(%TLN%)";
        control.settings.outputFormat = OutputFormat::Wav;
        control.settings.qualityIndex = 2;  // 44.1 kHz stereo
        control.settings.tagTitle = "Track %TKN%";
        control.settings.tagYear = 2026;
    }

    // Handles events until `last` arrives (or a long time passes); returns every event seen.
    // Runs the owner's timer meanwhile, as the front ends do, for an input that went away.
    std::vector<RecordingEvent> PumpUntil(int last) {
        std::vector<RecordingEvent> seen;
        std::unique_lock<std::mutex> lock(m_mutex);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (true) {
            while (m_events.empty() && std::chrono::steady_clock::now() < deadline) {
                lock.unlock();
                control.PollInput();
                lock.lock();
                m_wake.wait_for(lock, std::chrono::milliseconds(50), [&] { return !m_events.empty(); });
            }
            if (m_events.empty()) break;
            const RecordingEvent event = m_events.front();
            m_events.pop_front();
            lock.unlock();
            seen.push_back(event);
            control.OnRecordingEvent(event);
            lock.lock();
            if (event.code == last) break;
        }
        return seen;
    }
    // The events posted so far, without waiting and without handling them.
    std::vector<RecordingEvent> Posted() {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<RecordingEvent> events(m_events.begin(), m_events.end());
        m_events.clear();
        return events;
    }
    // Stops when the finite signal has ended and handles the stop's events.
    void StopAtTheEnd() {
        PumpUntil(kRecordingCaptureEnded);
        control.StopRecording();
        PumpUntil(kRecordingStopped);
    }
    std::string Path(const std::string& name) const { return dir / name; }
    // What the log holds so far.
    std::string Logged() const { return ReadFileBytes(state / "velsona.log"); }

    TempDir dir;
    TempDir state;
    CActivityLog log{"test", CCharString(state / "velsona.log")};
    CRecordingItemsModel items;
    CRecordingControl control;

private:
    void Post(const RecordingEvent& event) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_events.push_back(event);
        }
        m_wake.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<RecordingEvent> m_events;
};

int Count(const std::vector<RecordingEvent>& events, int code) {
    return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const RecordingEvent& e) { return e.code == code; }));
}

const RecordingEvent* Find(const std::vector<RecordingEvent>& events, int code) {
    const auto found = std::find_if(events.begin(), events.end(), [&](const RecordingEvent& e) { return e.code == code; });
    return found == events.end() ? nullptr : &*found;
}

// Every regular file under `folder`, relative to it.
std::vector<std::string> RelativeFilesUnder(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(std::filesystem::relative(entry.path(), folder).string());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> RowNames(const CRecordingItemsModel& items) {
    std::vector<std::string> names;
    for (const RecordingItem& item : items.Snapshot()) names.push_back(FileNameOf(item.path).c_str());
    return names;
}

}  // namespace

TEST(RecordingControl, ReachingTheDurationClosesRenamesAndStops) {
    ControlRig rig("tone=1000hz/-6db/1s,silence=1s,loop,length=30s,fast");
    rig.control.schedule = RecordingSchedule{};
    rig.control.schedule->endMode = 1;
    rig.control.schedule->durationSeconds = 3;
    rig.control.schedule->endActionArmed = true;
    rig.control.schedule->endAction = EndAction::Standby;
    ASSERT_TRUE(rig.control.StartRecording());
    const std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingStopped);
    EXPECT_EQ(Count(events, kRecordingDurationReached), 1);
    EXPECT_EQ(Count(events, kRecordingTrackClosed), 1) << "no further track is opened";
    EXPECT_FALSE(rig.control.IsRecording());
    EXPECT_EQ(rig.control.TakeEndAction(), EndAction::Standby);
    EXPECT_EQ(rig.control.TakeEndAction(), EndAction::None);
    EXPECT_EQ(RowNames(rig.items), std::vector<std::string>({"No.01-Track001(0：03).wav"}));
    const std::string path = rig.Path("No.01-Track001(0：03).wav");
    EXPECT_EQ(WavPcm(path).size(), 3u * 44100 * 4);
    const ProbedAudio probe = ProbeWithFfprobe(path);
    EXPECT_EQ(probe.sampleRate, 44100);
    EXPECT_EQ(probe.channels, 2);
    EXPECT_EQ(rig.control.TrackNumber(), 1) << "numbering restarts after a stop";
    EXPECT_EQ(rig.control.settings.recordingNumber, 2);
}

TEST(RecordingControl, PauseLengthensATimedRecordingAndSplitsNothing) {
    // Real-time pacing, so the pause covers buffers the source really delivers.
    ControlRig rig("tone=997hz/-6db/0.3s,silence=0.2s,loop,length=10s");
    rig.control.settings.splitMethod = kSplitInterval;
    rig.control.settings.splitTime = {0, 0, 1, 0};
    rig.control.schedule = RecordingSchedule{};
    rig.control.schedule->endMode = 1;
    rig.control.schedule->durationSeconds = 1;
    // Waits on what the capture thread reports, never on the clock: a loaded machine only slows it.
    auto waitFor = [](const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (!done() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return done();
    };
    // The level changes only when a buffer after the one seen has begun, so the one in flight is done.
    auto waitForNextLevel = [&] {
        const int level = rig.control.Status().leftLevel;
        return waitFor([&] { return rig.control.Status().leftLevel != level; });
    };
    ASSERT_TRUE(rig.control.StartRecording());
    ASSERT_TRUE(waitFor([&] { return rig.control.Status().totalTimeMs >= 300; }));
    rig.control.TogglePause();
    EXPECT_TRUE(rig.control.IsPaused());
    ASSERT_TRUE(waitForNextLevel());
    const int64_t pausedAt = rig.control.Status().totalTimeMs;
    ASSERT_TRUE(waitForNextLevel());
    ASSERT_TRUE(waitForNextLevel());
    EXPECT_EQ(rig.control.Status().totalTimeMs, pausedAt) << "no time counts while paused";
    rig.control.TogglePause();
    const std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingStopped);
    EXPECT_EQ(Count(events, kRecordingTrackClosed), 1) << "paused time neither splits nor counts";
    ASSERT_EQ(rig.items.Count(), 1);
    EXPECT_EQ(WavPcm(rig.items.Snapshot()[0].path.c_str()).size(), 44100u * 4) << "exactly the duration is recorded";
}

TEST(RecordingControl, IntervalSplitsAndNumbersTracks) {
    ControlRig rig("tone=440hz/-6db/1s,silence=0.5s,loop,length=5s,fast");
    rig.control.settings.splitMethod = kSplitInterval;
    rig.control.settings.splitTime = {0, 0, 2, 0};
    rig.control.SetTrackNumber(7);
    ASSERT_TRUE(rig.control.StartRecording());
    rig.PumpUntil(kRecordingCaptureEnded);
    EXPECT_EQ(rig.control.TrackNumber(), 9) << "tracks 7 and 8 were closed, 9 is open";
    EXPECT_EQ(TrackPaneText(rig.control.Status()).SourceText(), "トラック(9)時間 0:01.00");
    EXPECT_EQ(TotalPaneText(rig.control.Status()).SourceText(), "総時間 0:05");
    rig.control.StopRecording();
    rig.PumpUntil(kRecordingStopped);
    EXPECT_EQ(RowNames(rig.items), std::vector<std::string>({"No.01-Track007(0：02).wav", "No.01-Track008(0：02).wav",
                                                             "No.01-Track009(0：01).wav"}));
    EXPECT_EQ(rig.control.TrackNumber(), 1);
    EXPECT_EQ(rig.control.settings.recordingNumber, 2);
}

TEST(RecordingControl, AnIntervalOfZeroNeverSplits) {
    ControlRig rig("tone=440hz/-6db/1s,silence=0.5s,loop,length=4s,fast");
    rig.control.settings.splitMethod = kSplitInterval;
    rig.control.settings.splitTime = {0, 0, 0, 0};
    ASSERT_TRUE(rig.control.StartRecording());
    rig.StopAtTheEnd();
    EXPECT_EQ(rig.items.Count(), 1);
}

TEST(RecordingControl, SilenceSplitsOnlyAfterSound) {
    // Silence first (never split: no sound yet), then tone and 4 s of silence twice.
    ControlRig rig("silence=4s,tone=1000hz/-6db/1s,silence=4s,tone=1000hz/-6db/1s,silence=4s,fast");
    rig.control.settings.splitMethod = kSplitSilence;
    rig.control.settings.splitTime = {0, 0, 3, 0};
    ASSERT_TRUE(rig.control.StartRecording());
    rig.StopAtTheEnd();
    const std::vector<RecordingItem> rows = rig.items.Snapshot();
    ASSERT_EQ(rows.size(), 3u);
    std::vector<double> seconds;
    size_t bytes = 0;
    for (const RecordingItem& row : rows) {
        const std::string pcm = WavPcm(row.path.c_str());
        bytes += pcm.size();
        seconds.push_back(pcm.size() / (44100.0 * 4));
    }
    // A little more than 3 s of silence after a tone ends a track: the tone ends at 5.0 s and the
    // split comes with the first buffer whose previous track time lies over 3 s past the last
    // sound. The second track starts silent, so its split waits for its tone (9-10 s).
    EXPECT_DOUBLE_EQ(seconds[0], 8.1);
    EXPECT_DOUBLE_EQ(seconds[1], 5.0);
    EXPECT_DOUBLE_EQ(seconds[2], 0.9);
    EXPECT_EQ(bytes, 14u * 44100 * 4) << "splitting loses nothing";
    EXPECT_NE(rig.Logged().find("トラック 1 を閉じました（無音で分割、長さ 0:00:08.100）"), std::string::npos) << rig.Logged();
    EXPECT_NE(rig.Logged().find("トラック 2 を閉じました（無音で分割、長さ 0:00:05.000）"), std::string::npos) << rig.Logged();
}

TEST(RecordingControl, TagsAndTheTypedTrackNumber) {
    // In real time, so the number is surely typed while the first track records.
    ControlRig rig("tone=440hz/-6db/1s,loop,length=4s");
    rig.control.settings.splitMethod = kSplitInterval;
    rig.control.settings.splitTime = {0, 0, 2, 0};
    ASSERT_TRUE(rig.control.StartRecording());
    rig.control.SetTrackNumber(20);
    rig.StopAtTheEnd();
    // Splits after 2 s and after the last buffer at 4 s: the third track is empty and goes.
    const std::vector<std::string> names = RowNames(rig.items);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "No.01-Track001(0：02).wav");
    EXPECT_EQ(names[1], "No.01-Track020(0：02).wav") << "the typed number is kept for the next track";
    const ProbedAudio probe = ProbeWithFfprobe(rig.Path(names[1]));
    EXPECT_EQ(probe.sampleRate, 44100);
}

TEST(RecordingControl, AFullDiskIsReportedAndTheTrackKept) {
    ControlRig rig("tone=440hz/-6db/1s,loop,length=10s,fast");
    ScopedFileSizeLimit limit(300000);
    ASSERT_TRUE(limit.Active());
    const bool started = static_cast<bool>(rig.control.StartRecording());
    std::vector<RecordingEvent> events;
    if (started) events = rig.PumpUntil(kRecordingCaptureEnded);
    limit.Lift();
    rig.control.StopRecording();
    // The finisher's events may follow the input's end; the stop waits for the finisher.
    for (const RecordingEvent& event : rig.PumpUntil(kRecordingStopped)) events.push_back(event);
    ASSERT_TRUE(started);
    EXPECT_EQ(Count(events, kRecordingWriteFailed), 1);
    const RecordingEvent* failed = Find(events, kRecordingWriteFailed);
    ASSERT_TRUE(failed);
    EXPECT_NE(failed->message.SourceText().find("書き込みに失敗"), std::string::npos) << failed->message.SourceText();
    EXPECT_TRUE(failed->message.SourceText().ends_with("(書き込みに失敗しました: File too large)")) << "says why: " << failed->message.SourceText();
    EXPECT_EQ(failed->trackNumber, 1);
    // The limit leaves no room for the tags either: told too, with the track's final path.
    const RecordingEvent* unfinished = Find(events, kRecordingTrackUnfinished);
    ASSERT_TRUE(unfinished);
    EXPECT_EQ(Count(events, kRecordingTrackUnfinished), 1);
    EXPECT_NE(unfinished->message.SourceText().find("タグを書き込めませんでした"), std::string::npos) << unfinished->message.SourceText();
    ASSERT_EQ(rig.items.Count(), 1);
    const std::string path = rig.items.Snapshot()[0].path.c_str();
    EXPECT_EQ(unfinished->path.str(), path);
    EXPECT_NE(unfinished->message.SourceText().find(path.c_str()), std::string::npos) << "the message names the file under its final name";
    EXPECT_NE(path.find("Track001("), std::string::npos) << "renamed to its final name: " << path;
    EXPECT_GT(WavPcm(path).size(), 250000u) << "what was written stays playable";
    EXPECT_EQ(ProbeWithFfprobe(path).sampleRate, 44100);
    // The log tells it as a person reads it the next morning.
    const std::string logged = rig.Logged();
    EXPECT_NE(logged.find("] エラー: ファイルへの書き込みに失敗したため"), std::string::npos) << logged;
    EXPECT_NE(logged.find("] 警告: トラックの終わり・ヘッダ・タグを書き込めませんでした"), std::string::npos) << logged;
    EXPECT_NE(logged.find("] 情報: トラック 1 を閉じました（失敗、長さ "), std::string::npos) << logged;
}

// What a night's log holds for a recording cut at an interval: the start, each track's open, its
// close with why and how long, and the stop, each after what comes before it.
TEST(RecordingControl, TheLogTellsTheStartEachTrackWithWhyAndHowLongItClosedAndTheStop) {
    ControlRig rig("tone=440hz/-6db/1s,loop,length=2500ms,fast");
    rig.control.settings.splitMethod = kSplitInterval;
    rig.control.settings.splitTime = {0, 0, 1, 0};
    ASSERT_TRUE(rig.control.StartRecording());
    rig.StopAtTheEnd();
    std::vector<std::string> entries;  // what follows "情報: "
    std::istringstream lines(rig.Logged());
    for (std::string line; std::getline(lines, line);) {
        const size_t text = line.find("] 情報: ");
        ASSERT_NE(text, std::string::npos) << "nothing here is a problem: " << line;
        entries.push_back(line.substr(text + std::strlen("] 情報: ")));
    }
    const auto at = [&](const std::string& start) {
        const auto found = std::find_if(entries.begin(), entries.end(), [&](const std::string& e) { return e.starts_with(start); });
        EXPECT_NE(found, entries.end()) << start;
        return found - entries.begin();
    };
    ASSERT_GE(entries.size(), 9u);
    EXPECT_TRUE(entries.front().starts_with("録音 No.01 を開始しました（WAV 44.1 kHz / Stereo、既定の入力、出力先 " + rig.dir.path()))
        << entries.front();
    EXPECT_EQ(entries.back(), "録音を停止しました（総時間 0:00:02.500）");
    const std::string closes[] = {"（一定間隔で分割、長さ 0:00:01.000）: " + rig.Path("No.01-Track001(0：01).wav"),
                                  "（一定間隔で分割、長さ 0:00:01.000）: " + rig.Path("No.01-Track002(0：01).wav"),
                                  "（録音停止、長さ 0:00:00.500）: " + rig.Path("No.01-Track003(0：00).wav")};
    for (int track = 1; track <= 3; ++track) {
        SCOPED_TRACE(track);
        const auto opened = at(CCharString::Formatted("トラック %d を開きました: ", track).str() +
                               rig.Path(CCharString::Formatted("No.01-Track%03d(？).wav", track).str()));
        const auto closed = at(CCharString::Formatted("トラック %d を閉じました", track).str() + closes[track - 1]);
        EXPECT_LT(opened, closed);
        if (track > 1) {
            EXPECT_LT(at(CCharString::Formatted("トラック %d を閉じました", track - 1).str()), closed);
        }
    }
    EXPECT_EQ(entries.size(), 13u) << "start, three opens, closes and sounds, the input's end, the summary, the stop";
}

// A clean track and one that clips, split apart: the log and the rows give the clip figures of
// the second only, and the end sums both up.
TEST(RecordingControl, EachCloseTellsHowTheTrackSounded) {
    ControlRig rig("tone=440hz/-6db/2s,silence=0.5s,tone=441hz/0db/1s,silence=0.5s,fast");
    rig.control.settings.splitMethod = kSplitInterval;
    rig.control.settings.splitTime = {0, 0, 2, 0};
    ASSERT_TRUE(rig.control.StartRecording());
    rig.StopAtTheEnd();
    const std::string logged = rig.Logged();
    EXPECT_NE(logged.find("トラック 1 の音: ピーク -6.0 dBFS、クリップなし、最長の無音 0.000 秒"), std::string::npos) << logged;
    // A 441 Hz sine at full scale reaches ±32767 once each per period, on both channels; the first
    // crest is 25 frames into the tone, which starts half a second into the track.
    EXPECT_NE(logged.find("トラック 2 の音: ピーク 0.0 dBFS、クリップ 1764 サンプル（最初は 0.500 秒）"), std::string::npos) << logged;
    EXPECT_NE(logged.find("録音の音: トラック 2、クリップしたトラック 1、全体のピーク 0.0 dBFS"), std::string::npos) << logged;
    const std::vector<RecordingItem> rows = rig.items.Snapshot();
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_TRUE(rows[0].sound && rows[1].sound);
    EXPECT_FALSE(rows[0].sound->Clipped());
    EXPECT_EQ(rows[1].sound->clipped, 1764);
    EXPECT_EQ(rows[1].sound->firstClipMs, 500);
    // Both stretches of silence are whole; a buffer that straddles their edges may count as sound.
    EXPECT_GT(rows[1].sound->longestSilenceMs, 400);
    EXPECT_LE(rows[1].sound->longestSilenceMs, 500);
}

TEST(RecordingControl, CalibrationTakesTheMeasuredLevels) {
    ControlRig rig("tone=1000hz/-20db");
    rig.control.SetSilenceLevels(-450, -450);
    {
        CCalibration calibration(rig.control);
        ASSERT_EQ(calibration.Begin(), CalibrationStep::AskForSilence);
        EXPECT_EQ(rig.control.settings.silenceLeft, -900);
        // Wait for a measured buffer.
        for (int i = 0; i < 200 && rig.control.Status().leftLevel < -800; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        calibration.Answer(CalibrationAnswer::Yes);
        calibration.Answer(CalibrationAnswer::Yes);
    }
    EXPECT_EQ(rig.control.settings.silenceLeft, -199);
    EXPECT_EQ(rig.control.settings.silenceRight, -199);

    CCalibration calibration(rig.control);
    ASSERT_EQ(calibration.Begin(), CalibrationStep::AskForSilence);
    calibration.Answer(CalibrationAnswer::Cancel);
    EXPECT_EQ(rig.control.settings.silenceLeft, -199) << "cancel restores what was there";
}

// A track that cannot open, at a split or at the start of the next recording, leaves the
// finished track alone: its name, its audio, its row. The failure says why.
TEST(RecordingControl, ATrackThatCannotOpenNeverTouchesTheFinishedOne) {
    ControlRig rig("tone=440hz/-6db/1s,loop,length=3s,fast");
    rig.control.settings.fileNameTemplate = "%TLN%_%TKN%/x.wav";
    rig.control.settings.splitMethod = kSplitInterval;
    rig.control.settings.splitTime = {0, 0, 1, 0};
    WriteFileBytes(rig.Path("？_002"), "in the way");  // where the second track's folder goes
    ASSERT_TRUE(rig.control.StartRecording());
    std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingCaptureEnded);
    rig.control.StopRecording();
    for (const RecordingEvent& event : rig.PumpUntil(kRecordingStopped)) events.push_back(event);
    EXPECT_EQ(Count(events, kRecordingWriteFailed), 0) << "no file was written after the split";
    EXPECT_EQ(Count(events, kRecordingTrackClosed), 1);
    const RecordingEvent* failed = Find(events, kRecordingSplitFailed);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->trackNumber, 2);
    EXPECT_NE(failed->message.SourceText().find("Not a directory"), std::string::npos) << failed->message.SourceText();
    const std::string first = rig.Path("0：01_001/x.wav");
    EXPECT_EQ(RowNames(rig.items), std::vector<std::string>({"x.wav"}));
    EXPECT_EQ(rig.items.Item(0)->path.str(), first);
    EXPECT_EQ(WavPcm(first).size(), 44100u * 4);

    // The next recording cannot create its first file.
    const std::vector<std::string> before = RelativeFilesUnder(rig.dir.path());
    WriteFileBytes(rig.Path("blocked"), "in the way");
    rig.control.settings.fileNameTemplate = "blocked/x.wav";
    const Result<void> started = rig.control.StartRecording();
    ASSERT_FALSE(started);
    EXPECT_NE(started.error().message.SourceText().find("Not a directory"), std::string::npos) << started.error().message.SourceText();
    EXPECT_TRUE(rig.Posted().empty());
    std::vector<std::string> expected = before;
    expected.push_back("blocked");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(RelativeFilesUnder(rig.dir.path()), expected);
    ASSERT_EQ(rig.items.Count(), 1);
    EXPECT_EQ(rig.items.Item(0)->path.str(), first);
    EXPECT_EQ(WavPcm(first).size(), 44100u * 4);
}

// A start that fails, at its first file or at the device, leaves no file and no row behind,
// posts nothing, keeps the track number and says why in the file or capture layer's words.
TEST(RecordingControl, AStartThatFailsLeavesNothingAndSaysWhy) {
    TempDir signals;
    WriteFileBytes(signals / "text.wav", "not audio");
    const struct {
        std::string capture;
        int device;
        std::string fileNameTemplate;
        const char* reason;
    } cases[] = {
        {"signal:file=" + signals / "missing.wav", -1, "x", "No such file or directory"},
        {"signal:file=" + signals / "text.wav", -1, "x", "WAV ファイルではありません"},
        {"alsa", 97, "x", ""},
        // Every name fits, the path does not: the folders made on the way go again.
        {"signal:silence", -1, [] {
             std::string levels;
             for (int i = 0; i < 20; ++i) levels += std::string(250, 'n') + "/";
             return levels + "x";
         }(), "File name too long"},
        {"signal:silence", -1, "file/x", "Not a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capture + " " + c.fileNameTemplate);
        ControlRig rig("silence");
        rig.control.backend = ValueOrFail(CreateCaptureBackend(c.capture));
        ASSERT_TRUE(rig.control.backend);
        rig.control.settings.inputDevice = c.device;
        rig.control.settings.fileNameTemplate = c.fileNameTemplate.c_str();
        WriteFileBytes(rig.Path("file"), "in the way");
        rig.control.SetTrackNumber(7);
        const Result<void> started = rig.control.StartRecording();
        ASSERT_FALSE(started);
        const std::string& reason = started.error().message.SourceText();
        EXPECT_FALSE(reason.empty());
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        EXPECT_FALSE(rig.control.IsRecording());
        EXPECT_EQ(RelativeFilesUnder(rig.dir.path()), std::vector<std::string>({"file"}));
        EXPECT_EQ(rig.items.Count(), 0);
        EXPECT_TRUE(rig.Posted().empty());
        EXPECT_NE(rig.Logged().find("] エラー: 録音を開始できませんでした: " + reason),
                  std::string::npos)
            << rig.Logged();
        EXPECT_EQ(rig.control.TrackNumber(), 7);
    }
}

// An event that arrives after its recording was stopped does nothing to the next recording.
TEST(RecordingControl, ALateEventOfAStoppedRecordingIsIgnored) {
    ControlRig rig("tone=440hz/-6db/1s,loop,length=2s,fast");
    rig.control.schedule = RecordingSchedule{};
    rig.control.schedule->endMode = 1;
    rig.control.schedule->durationSeconds = 1;
    ASSERT_TRUE(rig.control.StartRecording());
    const uint64_t first = rig.control.RecordingId();
    rig.PumpUntil(kRecordingStopped);  // the duration stopped the first recording
    ASSERT_FALSE(rig.control.IsRecording());

    ASSERT_TRUE(rig.control.StartRecording());
    EXPECT_NE(rig.control.RecordingId(), first);
    rig.control.OnRecordingEvent({kRecordingDurationReached, first, 1, {}, {}});
    EXPECT_TRUE(rig.control.IsRunning({kRecordingCaptureEnded, rig.control.RecordingId(), 0, {}, {}}));
    EXPECT_FALSE(rig.control.IsRunning({kRecordingCaptureEnded, first, 0, {}, {}}));
    EXPECT_TRUE(rig.control.IsRecording()) << "the first recording's event stopped the second";
    rig.control.StopRecording();
}

// Counts what the monitor displays are fed; asks for a split at one buffer, as the user would.
class MonitorCounter : public CMonitorObserver {
public:
    explicit MonitorCounter(CRecordingControl& control, int splitAtBuffer) : m_control(control), m_splitAt(splitAtBuffer) {}
    void OnRecordingStart(const PcmFormat& format) override {
        ++starts;
        rate = format.sampleRate;
    }
    void OnTrackOpen(const PcmFormat&) override { ++trackOpens; }
    void OnBuffer(const MonitorBuffer& buffer) override {
        bytes += buffer.bytes;
        if (!buffer.paused) recordedBytes += buffer.bytes;
        if (++buffers == m_splitAt) m_control.RequestSplit();
    }
    int starts = 0, trackOpens = 0, buffers = 0, rate = 0;
    int64_t bytes = 0;
    int64_t recordedBytes = 0;  // of the buffers that were not paused

private:
    CRecordingControl& m_control;
    int m_splitAt;
};

// A split request and a due silence split on the same buffer make one split, not a 100 ms
// track after it. Silence of 1 s after the tone (0-1 s) is due on the 21st buffer.
TEST(RecordingControl, ASplitRequestAndADueSilenceSplitMakeOneSplit) {
    ControlRig rig("tone=1000hz/-6db/1s,silence=3s,fast");
    rig.control.settings.splitMethod = kSplitSilence;
    rig.control.settings.splitTime = {0, 0, 1, 0};
    MonitorCounter monitor(rig.control, 21);
    rig.control.monitor = &monitor;
    ASSERT_TRUE(rig.control.StartRecording());
    rig.StopAtTheEnd();
    std::vector<size_t> sizes;
    for (const RecordingItem& row : rig.items.Snapshot()) sizes.push_back(WavPcm(row.path.c_str()).size());
    EXPECT_EQ(sizes, std::vector<size_t>({21u * 4410 * 4, 19u * 4410 * 4}));
    EXPECT_NE(rig.Logged().find("トラック 1 を閉じました（分割の指示、長さ 0:00:02.100）"), std::string::npos) << rig.Logged();
    EXPECT_EQ(monitor.starts, 1);
    EXPECT_EQ(monitor.rate, 44100);
    EXPECT_EQ(monitor.trackOpens, 2);
    EXPECT_EQ(monitor.buffers, 40);
    EXPECT_EQ(monitor.bytes, 40 * 4410 * 4);
}

// The monitor data a real recording feeds: one whole-recording column per second, one track
// column per buffer, the levels of the last buffer, a scope window.
TEST(RecordingControl, FeedsTheMonitorDisplays) {
    ControlRig rig("tone=1000hz/-6db/2s,silence=1s,fast");
    CMonitorFeed feed;
    feed.SetHistoryWidths(500, 500);
    rig.control.monitor = &feed;
    ASSERT_TRUE(rig.control.StartRecording());
    rig.StopAtTheEnd();
    MonitorPicture picture;
    ASSERT_TRUE(feed.TakePicture(picture));
    EXPECT_EQ(picture.buffers, 30u);
    EXPECT_EQ(picture.leftLevel, -903);
    EXPECT_EQ(picture.total.position, 6);
    EXPECT_EQ(picture.track.position, 60);
    EXPECT_GT(picture.total.extremes[0], 16000);  // the tone's peak, 16422 at -6 dB
    EXPECT_LT(picture.total.extremes[1], -16000);
    EXPECT_EQ(picture.total.extremes[4], 0);  // the silent third second
    EXPECT_EQ(picture.total.extremes[5], 0);
    EXPECT_TRUE(picture.scope.hasWindow);
}

// The dialog's steps during a recording: cancel puts the thresholds back, retry keeps the ones
// found at the beginning, yes takes exactly the levels shown in the question.
TEST(RecordingControl, CalibrationDuringARecording) {
    ControlRig rig("tone=1000hz/-20db/0.3s,tone=1000hz/-6db/0.3s,loop,length=60s");
    rig.control.SetSilenceLevels(-450, -420);
    ASSERT_TRUE(rig.control.StartRecording());
    const auto thresholds = [&] { return std::pair(rig.control.settings.silenceLeft, rig.control.settings.silenceRight); };

    {
        CCalibration calibration(rig.control);
        ASSERT_EQ(calibration.Begin(), CalibrationStep::AskForSilence);
        EXPECT_EQ(thresholds(), std::pair(-900, -900));
        calibration.Answer(CalibrationAnswer::Cancel);
        EXPECT_EQ(thresholds(), std::pair(-450, -420));
    }
    {
        CCalibration calibration(rig.control);
        ASSERT_EQ(calibration.Begin(), CalibrationStep::AskForSilence);
        calibration.Answer(CalibrationAnswer::Yes);
        ASSERT_EQ(calibration.Answer(CalibrationAnswer::No), CalibrationStep::AskForSilence);
        calibration.Answer(CalibrationAnswer::Cancel);
        EXPECT_EQ(thresholds(), std::pair(-450, -420)) << "a retry keeps what was there before";
    }
    CCalibration calibration(rig.control);
    ASSERT_EQ(calibration.Begin(), CalibrationStep::AskForSilence);
    for (int i = 0; i < 200 && rig.control.Status().leftLevel < -800; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    calibration.Answer(CalibrationAnswer::Yes);
    const BufferLevels shown = calibration.Levels();
    ASSERT_GT(shown.left, -800);
    // The level moves on while the question is open.
    for (int i = 0; i < 200 && rig.control.Status().leftLevel == shown.left; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_NE(rig.control.Status().leftLevel, shown.left);
    EXPECT_EQ(calibration.Answer(CalibrationAnswer::Yes), CalibrationStep::Kept);
    EXPECT_EQ(thresholds(), std::pair(shown.left, shown.right));
    rig.control.StopRecording();
}

// Everything the window lets the user do during a recording, from the owner's thread, while the
// audio thread splits every buffer or two. Under ThreadSanitizer this is the race test; here it
// checks that nothing written is lost and every track ends as a finished row.
TEST(RecordingControl, TheOwnerChangesEverythingWhileTracksSplitFast) {
    // Long enough that the owner, however starved on a loaded machine, sees many splits before
    // the input ends; the loop stops once it has.
    ControlRig rig("tone=440hz/-6db/0.2s,silence=0.1s,loop,length=600s,fast");
    rig.control.settings.splitTime = {0, 0, 1, 0};
    rig.control.schedule = RecordingSchedule{};
    rig.control.schedule->endMode = 1;
    rig.control.schedule->durationSeconds = 3600;
    MonitorCounter monitor(rig.control, -1);
    rig.control.monitor = &monitor;
    ASSERT_TRUE(rig.control.StartRecording());
    std::vector<RecordingEvent> events;
    bool ended = false;
    for (int i = 0; !ended && Count(events, kRecordingTrackClosed) < 25; ++i) {
        rig.control.RequestSplit();
        rig.control.settings.tagTitle = CCharString::Formatted("Title %d", i);
        rig.control.settings.splitMethod = i % 3 == 0 ? kSplitSilence : kSplitInterval;
        rig.control.settings.outputFormat = OutputFormat::Wav;
        rig.control.ApplySettings();
        if (i % 5 == 0) rig.control.SetTrackNumber(100 + i);
        if (i % 7 == 0) rig.control.TogglePause();
        if (CCalibration calibration(rig.control); i % 11 == 0 && calibration.Begin() == CalibrationStep::AskForSilence) {
            calibration.Answer(CalibrationAnswer::Yes);
            calibration.Answer(i % 2 ? CalibrationAnswer::Yes : CalibrationAnswer::Cancel);
        }
        TrackPaneText(rig.control.Status());
        rig.control.TrackNumber();
        for (const RecordingEvent& event : rig.Posted()) {
            events.push_back(event);
            rig.control.OnRecordingEvent(event);
            ended = ended || event.code == kRecordingCaptureEnded;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    rig.control.StopRecording();
    for (const RecordingEvent& event : rig.Posted()) events.push_back(event);

    EXPECT_EQ(Count(events, kRecordingWriteFailed) + Count(events, kRecordingSplitFailed) +
                  Count(events, kRecordingCaptureFailed), 0);
    const std::vector<RecordingItem> rows = rig.items.Snapshot();
    EXPECT_GT(rows.size(), 20u) << "the test must split often to mean anything";
    EXPECT_EQ(Count(events, kRecordingTrackClosed), static_cast<int>(rows.size()));
    int64_t bytes = 0;
    for (const RecordingItem& row : rows) {
        EXPECT_EQ(row.path.Find("？"), -1) << "not renamed to its final name: " << row.path.c_str();
        bytes += static_cast<int64_t>(WavPcm(row.path.c_str()).size());
    }
    EXPECT_EQ(bytes, monitor.recordedBytes) << "every buffer that was not paused is in a file";
    for (const RecordingEvent& event : events) {
        EXPECT_EQ(event.recording, rig.control.RecordingId());
        if (event.code == kRecordingTrackClosed) {
            EXPECT_TRUE(PathExists(event.path.str())) << event.path.c_str();
        }
    }
}

// Settings edited during a track reach the next track; the track that runs keeps the values it
// opened with, down to its final name and its tags.
TEST(RecordingControl, SettingsEditedDuringATrackApplyToTheNextOne) {
    ControlRig rig("tone=440hz/-6db/1s,loop,length=1.5s");
    rig.control.settings.splitMethod = kSplitInterval;
    rig.control.settings.splitTime = {0, 0, 1, 0};
    rig.control.settings.fileNameTemplate = "first-%TKN%";
    ASSERT_TRUE(rig.control.StartRecording());
    rig.control.settings.fileNameTemplate = "second-%TKN%";
    rig.control.settings.tagTitle = "Edited %TKN%";
    rig.control.ApplySettings();
    rig.StopAtTheEnd();
    ASSERT_EQ(RowNames(rig.items), std::vector<std::string>({"first-001.wav", "second-002.wav"}));
    const std::optional<AudioFileFacts> first = ReadAudioFileFacts(rig.Path("first-001.wav").c_str());
    const std::optional<AudioFileFacts> second = ReadAudioFileFacts(rig.Path("second-002.wav").c_str());
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->title.str(), "Track 001");
    EXPECT_EQ(second->title.str(), "Edited 002");
}

namespace {

// The audio thread's time from one buffer to the next across each split: what the split cost
// the callback (ending one track, opening the next), plus one buffer's own handling.
class SplitTimer : public CMonitorObserver {
public:
    void OnRecordingStart(const PcmFormat&) override {}
    void OnTrackOpen(const PcmFormat&) override { m_splitting = m_seenBuffer; }
    void OnBuffer(const MonitorBuffer&) override {
        const auto now = std::chrono::steady_clock::now();
        if (m_splitting) {
            longest = std::max(longest, now - m_last);
            ++splits;
        }
        m_splitting = false;
        m_seenBuffer = true;
        m_last = now;
    }
    std::chrono::steady_clock::duration longest{};
    int splits = 0;

private:
    bool m_splitting = false;
    bool m_seenBuffer = false;
    std::chrono::steady_clock::time_point m_last;
};

}  // namespace

// A split costs the audio thread only the end of the encoder's stream and the next track's
// opening, however long finishing the closed track takes: with every track's finishing (tags,
// name) made to take a second, no split holds the callback for half of that (a bound a loaded
// machine does not reach, where waiting for the finisher would), the closed rows wait under
// their provisional names, and the tracks hold the signal exactly.
TEST(RecordingControl, ASlowFinisherNeverHoldsUpTheAudioThread) {
    const std::string signal = "tone=440hz/-6db/0.7s,silence=0.3s,loop,length=6s,fast";
    ControlRig rig(signal);
    rig.control.settings.splitMethod = kSplitInterval;
    rig.control.settings.splitTime = {0, 0, 1, 0};
    // The finisher takes no job until the capture has ended; it is let go before the rig goes,
    // whatever check fails first.
    struct Gate {
        std::promise<void> open;
        std::shared_future<void> opened = open.get_future().share();
        bool isOpen = false;
        void Open() {
            if (!std::exchange(isOpen, true)) open.set_value();
        }
        ~Gate() { Open(); }
    } gate;
    rig.control.Finisher().beforeEachJob = [opened = gate.opened] { opened.wait(); };
    SplitTimer timer;
    rig.control.monitor = &timer;
    ASSERT_TRUE(rig.control.StartRecording());
    std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingCaptureEnded);
    EXPECT_EQ(Count(events, kRecordingTrackClosed), 0) << "the finisher is still on the first track";
    const std::optional<RecordingItem> closing = rig.items.Item(0);
    ASSERT_TRUE(closing);
    EXPECT_NE(closing->path.Find("？"), -1) << "still under its provisional name: " << closing->path.c_str();
    EXPECT_EQ(closing->lengthMs, 1000) << "but no longer shown as being recorded";
    gate.Open();
    rig.control.StopRecording();
    for (const RecordingEvent& event : rig.PumpUntil(kRecordingStopped)) events.push_back(event);

    // The sixth split comes with the signal's last buffer; its empty track goes at the stop.
    EXPECT_EQ(timer.splits, 5);
    const double longestMs = std::chrono::duration<double, std::milli>(timer.longest).count();
    EXPECT_LT(longestMs, 500.0) << "the longest split held the audio thread this many ms";
    EXPECT_EQ(Count(events, kRecordingTrackClosed), 6);
    std::string recorded;
    for (const RecordingItem& row : rig.items.Snapshot()) {
        EXPECT_EQ(row.path.Find("？"), -1) << row.path.c_str();
        recorded += WavPcm(row.path.c_str());
    }
    CSignalGenerator generator;
    const Result<void> opened = generator.Open(ValueOrFail(ParseSignalSpec(signal)), 44100, 2, 16);
    ASSERT_TRUE(opened) << opened.error().message.SourceText();
    std::string expected(6 * 44100 * 4, '\0');
    ASSERT_EQ(generator.Generate(expected.data(), 6 * 44100), 6u * 44100);
    EXPECT_TRUE(recorded == expected) << "recorded " << recorded.size() << " bytes of " << expected.size();
}

namespace {

using FormatCase = FormatRow;
// The formats whose frames and packets the tests below allow for.
const FormatCase kFormats[] = {FormatRowOf(OutputFormat::Wav), FormatRowOf(OutputFormat::Mp3),
                               FormatRowOf(OutputFormat::OggVorbis), FormatRowOf(OutputFormat::Wma)};

void UseFormat(CRecordingControl& control, const FormatCase& format) {
    control.settings.outputFormat = format.format;
    control.settings.qualityIndex = DefaultQualityIndex(format.format);
}

// Pauses the recording as the given track opens (as the user may right after a split), so
// that track receives no audio before the stop.
class PauseAtTrack : public CMonitorObserver {
public:
    PauseAtTrack(CRecordingControl& control, int track) : m_control(control), m_track(track) {}
    void OnRecordingStart(const PcmFormat&) override {}
    void OnTrackOpen(const PcmFormat&) override {
        if (++m_opens == m_track) {
            m_control.TogglePause();
            paused = true;
        }
    }
    void OnBuffer(const MonitorBuffer&) override {}
    std::atomic<bool> paused{false};

private:
    CRecordingControl& m_control;
    int m_track;
    int m_opens = 0;
};

// This process's journal files, which hold the tracks it has open.
std::vector<std::string> OwnJournals() {
    std::vector<std::string> files;
    const std::string folder = TrackJournalFolder().str();
    if (!std::filesystem::exists(folder)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("open-tracks." + OwnerTag(ThisProcess()))) files.push_back(entry.path().string());
    }
    return files;
}

enum class EmptyEnd { InputEndsOnTheSplit, StopRightAfterASplit };

}  // namespace

// A track that received no audio at its close is no track: not its file, nor its row, nor its
// journal entry, in any format; the tracks before it are whole.
class EmptyTrack : public testing::TestWithParam<std::tuple<FormatCase, EmptyEnd>> {};

TEST_P(EmptyTrack, LeavesNeitherFileNorRowNorJournalEntry) {
    const auto [format, end] = GetParam();
    const bool inputEnds = end == EmptyEnd::InputEndsOnTheSplit;
    // Two 1-s tracks that end with the input, or a 1-s track and a paused one the user stops.
    ControlRig rig(inputEnds ? "tone=440hz/-6db/2s,fast" : "tone=440hz/-6db/1s,loop,fast");
    UseFormat(rig.control, format);
    rig.control.settings.splitMethod = kSplitInterval;
    rig.control.settings.splitTime = {0, 0, 1, 0};
    PauseAtTrack pause(rig.control, 2);
    if (!inputEnds) rig.control.monitor = &pause;
    ASSERT_TRUE(rig.control.StartRecording());
    std::vector<RecordingEvent> events;
    if (inputEnds) {
        events = rig.PumpUntil(kRecordingCaptureEnded);
    } else {
        for (int i = 0; i < 2000 && !pause.paused; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(pause.paused);
    }
    rig.control.StopRecording();
    for (const RecordingEvent& event : rig.PumpUntil(kRecordingStopped)) events.push_back(event);

    const int tracks = inputEnds ? 2 : 1;
    std::vector<std::string> expected;
    for (int i = 1; i <= tracks; ++i) expected.push_back("No.01-Track00" + std::to_string(i) + "(0：01)" + format.extension);
    EXPECT_EQ(RowNames(rig.items), expected);
    EXPECT_EQ(RelativeFilesUnder(rig.dir.path()), expected) << "no empty file, no reserve left";
    EXPECT_EQ(Count(events, kRecordingTrackClosed), tracks);
    EXPECT_EQ(Count(events, kRecordingTrackUnfinished), 0);
    EXPECT_TRUE(OwnJournals().empty()) << "the empty track's journal entry went with it";
    for (const std::string& name : expected) EXPECT_TRUE(DecodesCleanly(rig.Path(name))) << name;
}

INSTANTIATE_TEST_SUITE_P(Formats, EmptyTrack,
                         testing::Combine(testing::ValuesIn(FormatRows()),
                                          testing::Values(EmptyEnd::InputEndsOnTheSplit, EmptyEnd::StopRightAfterASplit)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).option) +
                                    (std::get<1>(info.param) == EmptyEnd::InputEndsOnTheSplit ? "InputEnds" : "Stop");
                         });

// A track is journaled before its file exists, and the disk reserve is taken only after that:
// a recorder killed at any point leaves a journal that names the folder of whatever it left.
TEST(RecordingControl, ATrackIsJournaledBeforeItsFileAndTheReserve) {
    ControlRig rig("tone=440hz/-6db/1s,loop,fast");
    // What is on the disk the moment the first track's name is about to be taken.
    std::vector<std::string> journals;
    std::string journal;
    std::vector<std::string> filesBeforeCreate;
    std::atomic<bool> told{false};
    rig.control.beforeTrackFile = [&](const CCharString&) {
        if (told.exchange(true)) return;
        journals = OwnJournals();
        if (!journals.empty()) journal = ReadFileBytes(journals[0]);
        filesBeforeCreate = RelativeFilesUnder(rig.dir.path());
    };
    ASSERT_TRUE(rig.control.StartRecording());
    const std::vector<std::string> filesWhileRecording = RelativeFilesUnder(rig.dir.path());
    rig.control.StopRecording();
    rig.PumpUntil(kRecordingStopped);

    ASSERT_EQ(journals.size(), 1u) << "journaled before the file was created";
    EXPECT_NE(journal.find("path=" + rig.Path("No.01-Track001(？).wav")), std::string::npos) << journal;
    EXPECT_TRUE(filesBeforeCreate.empty()) << "neither the track nor the reserve exists yet";
    ASSERT_EQ(filesWhileRecording.size(), 2u);
    EXPECT_TRUE(filesWhileRecording[0].starts_with(".velsona-space-reserve-")) << filesWhileRecording[0];
}

// The disk fills at the close: on a file system a few pages either side of what the finished
// track and the reserve need (a track cut short by the full disk is allowed), the reserve is given back before the encoder's last pages and the
// tags, so a track whose audio fits is whole and tagged (Ogg: when the comment rewrite's copy
// fits too), and every track's name says the length its file holds.
class FullDiskAtTheClose : public testing::TestWithParam<FormatCase> {};

TEST_P(FullDiskAtTheClose, KeepsAndTagsWhatFitsAndNamesWhatIsKept) {
    const FormatCase format = GetParam();
    constexpr const char* kSignal = "tone=440hz/-6db/8s,fast";
    constexpr int64_t kPage = 4096, kReserve = 64 * 1024;
    int64_t finished = 0;
    {
        ControlRig rig(kSignal);
        UseFormat(rig.control, format);
        ASSERT_TRUE(rig.control.StartRecording());
        rig.StopAtTheEnd();
        ASSERT_EQ(rig.items.Count(), 1);
        finished = static_cast<int64_t>(std::filesystem::file_size(rig.items.Snapshot()[0].path.c_str()));
    }
    const int64_t around = (finished + kReserve) / kPage * kPage;
    int whole = 0, sizes = 0;
    // From where a little audio fits beside the reserve to where all of it and its tags do.
    for (int64_t size = std::max(around - 8 * kPage, kReserve + 4 * kPage); size <= around + 2 * kPage;
         size += kPage, ++sizes) {
        SCOPED_TRACE(std::to_string(size) + " bytes for a track of " + std::to_string(finished));
        SmallFileSystem disk(static_cast<size_t>(size));
        ASSERT_TRUE(disk.Mounted());
        ControlRig rig(kSignal, ReadAudioFileFacts);
        UseFormat(rig.control, format);
        rig.control.settings.outputFolder = disk.path().c_str();
        ASSERT_TRUE(rig.control.StartRecording());
        rig.StopAtTheEnd();
        const std::vector<std::string> files = FilesUnder(disk.path());
        ASSERT_EQ(files.size(), 1u);
        const std::string& path = files[0];
        const double seconds = static_cast<double>(DecodedFrames(path, 2)) / 44100;
        const size_t open = path.rfind('('), colon = path.find("：", open);
        ASSERT_NE(colon, std::string::npos) << path;
        const int named = std::stoi(path.substr(open + 1, colon - open - 1)) * 60 +
                          std::stoi(path.substr(colon + std::string("：").size()));
        EXPECT_LE(named, seconds + 0.05) << path << " holds " << seconds << " s";
        EXPECT_GT(named, seconds - 1) << path << " holds " << seconds << " s";
        if (seconds < 7.99) continue;
        ++whole;
        EXPECT_TRUE(DecodesCleanly(path)) << path;
        const bool copyFits = format.format != OutputFormat::OggVorbis || size >= 2 * finished + 2 * kPage;
        if (copyFits) {
            EXPECT_EQ(ProbeWithFfprobe(path).tags["title"], "Track 001") << path;
        }
    }
    EXPECT_GT(whole, 0) << "the sweep reaches sizes where the track fits";
    EXPECT_LT(whole, sizes) << "and sizes where it does not";
}

// WMA is left out: its encoder cannot begin a track on any of these sizes.
INSTANTIATE_TEST_SUITE_P(Formats, FullDiskAtTheClose, testing::Values(kFormats[0], kFormats[1], kFormats[2]),
                         [](const auto& info) { return std::string(info.param.option); });

namespace {

// 44.1 kHz stereo frames of a signal spec, from its start.
std::string SignalBytes(const std::string& signal, int64_t frames) {
    CSignalGenerator generator;
    const Result<void> opened = generator.Open(ValueOrFail(ParseSignalSpec(signal)), 44100, 2, 16);
    EXPECT_TRUE(opened) << opened.error().message.SourceText();
    std::string bytes(frames * 4, '\0');
    bytes.resize(generator.Generate(bytes.data(), frames) * 4);
    return bytes;
}

// Seconds into 16-bit PCM of `channels` where the first channel first reaches half of full scale.
double OnsetSeconds(const std::string& pcm, int channels, int rate) {
    for (size_t i = 0; i + 1 < pcm.size(); i += 2 * channels) {
        const int sample = static_cast<int16_t>(static_cast<unsigned char>(pcm[i]) | pcm[i + 1] << 8);
        if (std::abs(sample) >= 16384 / 2) return static_cast<double>(i / (2 * channels)) / rate;
    }
    return -1;
}

// "Resume when the input returns" on, and a schedule that starts now, ending after `seconds`
// when they are given.
void ResumeBySchedule(CRecordingControl& control, int seconds = 0) {
    control.settings.resumeInput = true;
    control.schedule = RecordingSchedule{};
    if (seconds == 0) return;
    control.schedule->endMode = 1;
    control.schedule->durationSeconds = seconds;
}

struct DropCase {
    FormatCase format;
    double tolerance;  // seconds: a frame or packet of the lossy formats
};

}  // namespace

// The input drops out mid-track with "resume when the input returns" on: the track closes as at
// a split, the recording waits, and the next track takes the signal from the end of the gap. In
// every format the tracks hold the signal without a sample repeated or missing beyond the gap.
class InputDrop : public testing::TestWithParam<DropCase> {};

TEST_P(InputDrop, TheTracksAroundTheGapHoldTheSignalExactly) {
    const DropCase& drop = GetParam();
    const std::string signal = "tone=997hz/-6db/0.73s,silence=0.31s,loop,length=4s,fast";
    ControlRig rig(signal + ",drop=300ms@1.5s");
    UseFormat(rig.control, drop.format);
    rig.control.settings.resumeInput = true;
    ASSERT_TRUE(rig.control.StartRecording());
    std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingCaptureEnded);
    rig.control.StopRecording();
    for (const RecordingEvent& event : rig.PumpUntil(kRecordingStopped)) events.push_back(event);

    EXPECT_EQ(Count(events, kRecordingCaptureFailed), 0);
    const RecordingEvent* waiting = Find(events, kRecordingInputWaiting);
    const RecordingEvent* returned = Find(events, kRecordingInputReturned);
    ASSERT_TRUE(waiting && returned);
    EXPECT_EQ(waiting->trackNumber, 1);
    EXPECT_NE(waiting->message.SourceText().find("信号が途絶えました"), std::string::npos) << waiting->message.SourceText();
    EXPECT_EQ(returned->trackNumber, 2);
    EXPECT_NE(returned->message.SourceText().find("トラック2から"), std::string::npos) << returned->message.SourceText();
    const std::string ext = drop.format.extension;
    ASSERT_EQ(RowNames(rig.items), std::vector<std::string>({"No.01-Track001(0：01)" + ext, "No.01-Track002(0：02)" + ext}));

    const std::string whole = SignalBytes(signal, 4 * 44100);
    const std::string before = whole.substr(0, 66150 * 4), after = whole.substr(79380 * 4);
    const std::vector<RecordingItem> rows = rig.items.Snapshot();
    const std::string expected[2] = {before, after};
    for (int track = 0; track < 2; ++track) {
        const std::string path = rows[track].path.str();
        SCOPED_TRACE(path);
        ProbedAudio probe = ProbeWithFfprobe(path);
        EXPECT_EQ(probe.tags["title"], "Track 00" + std::to_string(track + 1)) << "tagged as at a split";
        if (drop.format.format == OutputFormat::Wav) {
            EXPECT_TRUE(WavPcm(path) == expected[track]) << "the source exactly";
            continue;
        }
        // Lossy: the decoded length and where the first tone begins.
        const std::string decoded = DecodeWithFfmpeg(path);
        ASSERT_FALSE(decoded.empty());
        const double seconds = static_cast<double>(decoded.size()) / (2 * probe.channels * probe.sampleRate);
        EXPECT_NEAR(seconds, expected[track].size() / (4.0 * 44100), drop.tolerance);
        EXPECT_NEAR(OnsetSeconds(decoded, probe.channels, probe.sampleRate), OnsetSeconds(expected[track], 2, 44100),
                    drop.tolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, InputDrop,
                         testing::Values(DropCase{kFormats[0], 0}, DropCase{kFormats[1], 2 * 1152.0 / 44100},
                                         DropCase{kFormats[2], 0.002}, DropCase{kFormats[3], 2 * 2048.0 / 44100}),
                         [](const testing::TestParamInfo<DropCase>& info) {
                             return std::string(info.param.format.option);
                         });

// A wait for the input is logged as its loss, a line at each of its milestones (a minute, ten
// minutes, an hour, every hour after) and its return, not as one retry a second; the log's latest
// problem stays the loss. The wait's clock runs `scale` times faster than the signal's real gap.
struct WaitCase {
    int64_t scale;
    std::vector<std::string> milestones;
};

class WaitLog : public testing::TestWithParam<WaitCase> {};

TEST_P(WaitLog, HoldsTheLossTheMilestonesAndTheReturn) {
    const WaitCase& c = GetParam();
    ControlRig rig("tone=440hz/-6db/0.5s,silence=0.5s,loop,length=3s,fast,drop=1s@1s");
    const auto start = std::chrono::steady_clock::now();
    rig.control.steadyClock = [start, scale = c.scale] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count() *
               scale;
    };
    rig.control.settings.resumeInput = true;
    ASSERT_TRUE(rig.control.StartRecording());
    const std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingCaptureEnded);
    rig.control.StopRecording();
    rig.PumpUntil(kRecordingStopped);
    ASSERT_EQ(Count(events, kRecordingInputReturned), 1);
    EXPECT_GT(Count(events, kRecordingInputRetry), 10) << "retries enough to fill a log line by line";

    std::vector<std::string> lines;
    std::istringstream logged(rig.Logged());
    for (std::string line; std::getline(logged, line);) lines.push_back(line);
    const auto from = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find("入力が途絶えました") != std::string::npos; });
    const auto to = std::find_if(from, lines.end(), [](const std::string& l) { return l.find("入力が戻りました") != std::string::npos; });
    ASSERT_TRUE(from != lines.end() && to != lines.end()) << rig.Logged();
    std::vector<std::string> milestones;
    for (auto line = from + 1; line != to; ++line) {
        EXPECT_EQ(line->find("1秒後にもう一度試します"), std::string::npos) << *line;
        static const std::regex milestone("入力を (.+) 待っています。まだ開けません \\(.+\\)。$");
        if (std::smatch match; std::regex_search(*line, match, milestone)) milestones.push_back(match[1]);
    }
    // A loaded machine may stretch the real gap, and with it the wait, past one more hour.
    ASSERT_GE(milestones.size(), c.milestones.size()) << rig.Logged();
    EXPECT_LE(milestones.size(), c.milestones.size() + 1) << rig.Logged();
    EXPECT_TRUE(std::equal(c.milestones.begin(), c.milestones.end(), milestones.begin())) << rig.Logged();
    EXPECT_LT(lines.size(), 16u) << rig.Logged();
    LogSeverity severity;
    std::string latestProblem;
    for (const std::string& line : lines)
        if (ParseLogSeverity(line, severity) && severity != LogSeverity::Information) latestProblem = line;
    EXPECT_EQ(latestProblem, *from);
}

INSTANTIATE_TEST_SUITE_P(Waits, WaitLog,
                         testing::Values(WaitCase{120, {"1 分"}}, WaitCase{5400, {"1 分", "10 分", "1 時間"}}),
                         [](const testing::TestParamInfo<WaitCase>& info) {
                             return "x" + std::to_string(info.param.scale);
                         });

// The time the input is away counts toward a timed recording's duration: it ends on the clock.
TEST(RecordingControl, ATimedRecordingWithAGapEndsOnTheClock) {
    // Real-time pacing: one second, then the input is away until the retry a second later.
    ControlRig rig("tone=440hz/-6db/1s,silence=0.5s,loop,drop=500ms@1s");
    ResumeBySchedule(rig.control, 4);
    ASSERT_TRUE(rig.control.StartRecording());
    const std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingStopped);
    EXPECT_EQ(Count(events, kRecordingInputReturned), 1);
    EXPECT_EQ(Count(events, kRecordingDurationReached), 1);
    const std::vector<RecordingItem> rows = rig.items.Snapshot();
    ASSERT_EQ(rows.size(), 2u);
    const double first = WavPcm(rows[0].path.str()).size() / (4.0 * 44100);
    const double second = WavPcm(rows[1].path.str()).size() / (4.0 * 44100);
    EXPECT_DOUBLE_EQ(first, 1.0);
    // At least the second to the retry was lost; audio alone would have run to 4 s.
    EXPECT_GT(second, 0.5);
    EXPECT_LE(first + second, 3.0) << "the gap counted toward the duration";
}

// A start at its set time that finds no input waits for it, trying every second, and records once
// it comes; one whose input never comes ends at its stop time with nothing recorded.
TEST(RecordingControl, AScheduledStartWaitsForTheInputUntilItsStopTime) {
    const std::string signal = "tone=440hz/-6db/0.5s,silence=0.5s,loop,length=3s,fast";
    {
        ControlRig rig(signal + ",drop=1500ms@0s");
        ResumeBySchedule(rig.control);
        ASSERT_TRUE(rig.control.StartRecording());
        EXPECT_TRUE(rig.control.IsWaitingForInput());
        std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingCaptureEnded);
        EXPECT_FALSE(rig.control.IsWaitingForInput());
        rig.control.StopRecording();
        rig.PumpUntil(kRecordingStopped);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.front().code, kRecordingInputWaiting);
        EXPECT_GE(Count(events, kRecordingInputRetry), 1) << "the first attempt comes before the input";
        EXPECT_EQ(Count(events, kRecordingInputReturned), 1);
        const std::vector<RecordingItem> rows = rig.items.Snapshot();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(FileNameOf(rows[0].path).str(), "No.01-Track001(0：01).wav");
        EXPECT_TRUE(WavPcm(rows[0].path.str()) == SignalBytes(signal, 3 * 44100).substr(66150 * 4));
    }
    ControlRig rig(signal + ",drop=1h@0s");
    ResumeBySchedule(rig.control, 1);
    ASSERT_TRUE(rig.control.StartRecording());
    const std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingStopped);
    EXPECT_EQ(Count(events, kRecordingDurationReached), 1);
    EXPECT_EQ(Count(events, kRecordingInputReturned), 0);
    EXPECT_EQ(rig.items.Count(), 0);
    EXPECT_TRUE(RelativeFilesUnder(rig.dir.path()).empty());
    // Without the setting, the same start fails as it always did.
    ControlRig off(signal + ",drop=1h@0s");
    off.control.schedule = RecordingSchedule{};
    EXPECT_FALSE(off.control.StartRecording());
    EXPECT_TRUE(off.Posted().empty());
}

// A finished track whose flush to the disk fails is told like the other finishing failures and
// stays journaled where it now is, so the next start (another process, here the journal under a
// dead owner's name) recovers it.
TEST(RecordingControl, AFailedFlushIsToldAndTheNextStartRecoversTheTrack) {
    ControlRig rig("tone=440hz/-6db/1s,fast", ReadAudioFileFacts);
    rig.control.syncFinishedFile = [](const CCharString&) -> Result<void> { return ErrnoFailure(EIO); };
    ASSERT_TRUE(rig.control.StartRecording());
    std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingCaptureEnded);
    rig.control.StopRecording();
    for (const RecordingEvent& event : rig.PumpUntil(kRecordingStopped)) events.push_back(event);

    const std::string path = rig.Path("No.01-Track001(0：01).wav");
    const RecordingEvent* unfinished = Find(events, kRecordingTrackUnfinished);
    ASSERT_TRUE(unfinished);
    EXPECT_EQ(unfinished->path.str(), path);
    const std::string told = unfinished->message.SourceText();
    EXPECT_NE(told.find("ディスクに書き込めませんでした"), std::string::npos) << told;
    EXPECT_NE(told.find(path), std::string::npos) << told;
    EXPECT_NE(rig.Logged().find("] 警告: ファイルをディスクに書き込めませんでした"), std::string::npos) << rig.Logged();

    const std::vector<std::string> journals = OwnJournals();
    ASSERT_EQ(journals.size(), 1u) << "the entry stays";
    const std::string journal = ReadFileBytes(journals[0]);
    EXPECT_NE(journal.find("step=naming"), std::string::npos) << journal;
    EXPECT_NE(journal.find("final=" + path), std::string::npos) << journal;

    // The next start: this process's journal as a recorder that has ended leaves it.
    const ProcessIdentity self = ThisProcess();
    const std::string dead = (std::filesystem::path(journals[0]).parent_path() /
                              ("open-tracks." + OwnerTag({self.pid, self.startTime + 1}))).string();
    ASSERT_EQ(rename(journals[0].c_str(), dead.c_str()), 0);
    for (const JournalFile& left : CTrackJournal::LeftBehind(TrackJournalFolder()))
        for (const JournalEntry& entry : left.entries) ProcessTrackJournal().Remove(entry.path);
    const std::vector<RecoveredTrack> recovered = RecoverTracks(TrackJournalFolder(), ReadAudioFileFacts);
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_TRUE(recovered[0].found && recovered[0].renamed && recovered[0].tagged);
    EXPECT_EQ(recovered[0].to.str(), path);
    EXPECT_FALSE(PathExists(dead)) << "the journal is done with";
    EXPECT_TRUE(DecodesCleanly(path));
}

// A link planted at the date folder keeps every track in the output folder itself; the user is
// told of the link like any other finishing failure.
TEST(RecordingControl, ALinkAtTheDateFolderKeepsTheTrackInTheOutputFolderAndIsNamed) {
    ControlRig rig("tone=440hz/-6db/1s,fast");
    TempDir elsewhere;
    rig.control.settings.fileNameTemplate = "%TDY%\\No.%RCN%-Track%TKN%(%TLN%)";
    const std::string link = rig.Path("2026-12-08");
    ASSERT_EQ(symlink(elsewhere.path().c_str(), link.c_str()), 0);
    ASSERT_TRUE(rig.control.StartRecording());
    std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingCaptureEnded);
    rig.control.StopRecording();
    for (const RecordingEvent& event : rig.PumpUntil(kRecordingStopped)) events.push_back(event);

    EXPECT_EQ(RelativeFilesUnder(elsewhere.path()), std::vector<std::string>{});
    const std::string path = rig.Path("No.01-Track001(0：01).wav");
    EXPECT_TRUE(DecodesCleanly(path));
    ASSERT_EQ(Count(events, kRecordingTrackUnfinished), 1);
    const std::string told = Find(events, kRecordingTrackUnfinished)->message.SourceText();
    EXPECT_NE(told.find(link), std::string::npos) << told;
    EXPECT_NE(told.find(path), std::string::npos) << told;
    EXPECT_NE(rig.Logged().find(link), std::string::npos) << rig.Logged();
    EXPECT_TRUE(OwnJournals().empty());
}

// Recording only while there is sound: sound, half a minute of silence, sound again. In every
// format two tracks: the first ends the silence length after its sound, the second begins with
// one second of pre-roll before the returning sound, exactly the generated signal where the
// format is lossless and within a codec frame where it is not; names and tags give each track's
// place on the recording's clock, the silence left out included.
class SkipSilence : public testing::TestWithParam<FormatRow> {};

TEST_P(SkipSilence, TwoTracksWithTheirPreRollAndNoMoreSilence) {
    const FormatRow& format = GetParam();
    const std::string signal = "tone=1000hz/-6db/2s,silence=30s,tone=1000hz/-6db/2s,fast";
    ControlRig rig(signal);
    UseFormat(rig.control, format);
    rig.control.settings.fileNameTemplate = "Track%TKN%_%STM%";
    rig.control.settings.tagComment = "%STM%-%ETM%";
    rig.control.settings.splitMethod = kSplitSilence;
    rig.control.settings.splitTime = {0, 0, 3, 0};
    rig.control.settings.skipSilence = true;
    rig.control.settings.preRollSeconds = 1;
    ASSERT_TRUE(rig.control.StartRecording());
    rig.StopAtTheEnd();

    const std::string ext = format.extension;
    ASSERT_EQ(RowNames(rig.items), std::vector<std::string>({"Track001_0：00" + ext, "Track002_0：31" + ext}));
    EXPECT_EQ(rig.control.Status().totalTimeMs, 8100) << "only what was written";
    // 100-ms buffers: the silence closes the first track 3 s and a buffer after its sound; the
    // sound returns with buffer 320 (32 s), and the second track starts a second before it.
    const int64_t firstFrames = 51 * 4410, secondStart = 320 * 4410 - 44100;
    const std::string whole = SignalBytes(signal, 34 * 44100);
    const std::string expected[2] = {whole.substr(0, firstFrames * 4), whole.substr(secondStart * 4)};
    const char* comments[2] = {"0:00-0:05", "0:31-0:34"};
    const bool lossless = format.format == OutputFormat::Wav || format.format == OutputFormat::Flac;
    const double frame = format.format == OutputFormat::Opus ? 0.02 : format.format == OutputFormat::Mp3 ? 1152.0 / 44100 : 2048.0 / 44100;
    const std::vector<RecordingItem> rows = rig.items.Snapshot();
    for (int track = 0; track < 2; ++track) {
        const std::string path = rows[track].path.str();
        SCOPED_TRACE(path);
        EXPECT_EQ(ProbeWithFfprobe(path).tags["comment"], comments[track]);
        const std::string decoded = DecodeWithFfmpeg(path);
        if (lossless) {
            EXPECT_TRUE(decoded == expected[track]) << decoded.size() << " bytes, not the signal's " << expected[track].size();
            continue;
        }
        ProbedAudio probe = ProbeWithFfprobe(path);
        ASSERT_FALSE(decoded.empty());
        const double seconds = static_cast<double>(decoded.size()) / (2 * probe.channels * probe.sampleRate);
        EXPECT_NEAR(seconds, expected[track].size() / (4.0 * 44100), 2 * frame) << "the silence written";
        EXPECT_NEAR(OnsetSeconds(decoded, probe.channels, probe.sampleRate), OnsetSeconds(expected[track], 2, 44100), frame);
    }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, SkipSilence, testing::ValuesIn(FormatRows()),
                         [](const testing::TestParamInfo<FormatRow>& info) { return std::string(info.param.option); });

// The integrated loudness ffmpeg's EBU R128 filter measures over the whole file, in LUFS.
double FfmpegLoudness(const std::string& path) {
    const ProcessResult run = RunProcess("ffmpeg -hide_banner -nostats -i " + ShellQuote(path) +
                                         " -af ebur128=metadata=1,ametadata=print:key=lavfi.r128.I -f null - 2>&1");
    const size_t at = run.output.rfind("lavfi.r128.I=");
    return at == std::string::npos ? NAN : std::stod(run.output.substr(at + 13));
}

// The value of the tag mutagen reads under a key ending in `name` (any case), or empty.
std::string MutagenTag(const std::map<std::string, std::string>& tags, const std::string& name) {
    for (const auto& [key, value] : tags)
        if (key.size() >= name.size() && strcasecmp(key.c_str() + key.size() - name.size(), name.c_str()) == 0)
            return value.substr(value.find(':') + 1);
    return {};
}

// Loudness tags: a loud track, a quiet one and a silent one, split on the clock of the signal. In
// each format that takes them, the gain mutagen reads is the one ffmpeg measures on the same file;
// the silent track has none and the log says why; with the setting off no file has one.
class LoudnessTags : public testing::TestWithParam<FormatRow> {};

TEST_P(LoudnessTags, TheGainWrittenIsWhatFfmpegMeasures) {
    const FormatRow& format = GetParam();
    const bool opus = format.format == OutputFormat::Opus;
    const std::string gainKey = opus ? "R128_TRACK_GAIN" : "REPLAYGAIN_TRACK_GAIN";
    ControlRig rig("tone=1000hz/-12db/3s,tone=700hz/-30db/3s,silence=3s,fast");
    UseFormat(rig.control, format);
    rig.control.settings.splitMethod = kSplitInterval;
    rig.control.settings.splitTime = {0, 0, 3, 0};
    rig.control.settings.loudnessTags = true;
    ASSERT_TRUE(rig.control.StartRecording());
    rig.StopAtTheEnd();
    const std::vector<RecordingItem> rows = rig.items.Snapshot();
    ASSERT_EQ(rows.size(), 3u);
    const double peaks[2] = {std::pow(10, -12 / 20.0), std::pow(10, -30 / 20.0)};
    for (int track = 0; track < 2; ++track) {
        const std::string path = rows[track].path.str();
        SCOPED_TRACE(path);
        const double loudness = FfmpegLoudness(path);
        const std::map<std::string, std::string> tags = ReadTagsWithMutagen(path);
        const std::string gain = MutagenTag(tags, gainKey);
        ASSERT_FALSE(gain.empty()) << "no " << gainKey;
        if (opus) {
            EXPECT_NEAR(std::stod(gain) / 256, -23 - loudness, 0.1);
            EXPECT_TRUE(MutagenTag(tags, "REPLAYGAIN_TRACK_GAIN").empty()) << "Opus takes its own key only";
            continue;
        }
        EXPECT_TRUE(gain.ends_with(" dB")) << gain;
        EXPECT_NEAR(std::stod(gain), -18 - loudness, 0.1);
        // A lossy codec's decoded crest may overshoot the signal's a little.
        EXPECT_NEAR(std::stod(MutagenTag(tags, "REPLAYGAIN_TRACK_PEAK")), peaks[track], 0.2 * peaks[track]);
    }
    EXPECT_TRUE(MutagenTag(ReadTagsWithMutagen(rows[2].path.str()), gainKey).empty()) << "the silent track";
    // A later edit of the tags keeps the gain: the editor reads it back.
    const std::string first = rows[0].path.str();
    const std::string gainBefore = MutagenTag(ReadTagsWithMutagen(first), gainKey);
    std::unique_ptr<CTagFile> editor = format.newTagEditor();
    ASSERT_TRUE(editor->Open(first.c_str()));
    TagFieldSet edited = editor->Tags();
    edited.title = "edited";
    ASSERT_TRUE(RewriteTags(*editor, first.c_str(), edited));
    const std::map<std::string, std::string> after = ReadTagsWithMutagen(first);
    EXPECT_EQ(MutagenTag(after, gainKey), gainBefore);
    EXPECT_EQ(MutagenTag(after, "TITLE") + MutagenTag(after, "TIT2"), "edited");
    const std::string logged = rig.Logged();
    const auto lineOf = [&](int track) {
        const size_t at = logged.find("トラック " + std::to_string(track) + " の音: ");
        return at == std::string::npos ? std::string() : logged.substr(at, logged.find('\n', at) - at);
    };
    EXPECT_NE(lineOf(1).find("。ラウドネス -"), std::string::npos) << logged;
    EXPECT_NE(lineOf(3).find("。ラウドネスのタグはありません: 短すぎるか無音のため"), std::string::npos) << logged;

    ControlRig off("tone=1000hz/-12db/1s,fast");
    UseFormat(off.control, format);
    ASSERT_TRUE(off.control.StartRecording());
    off.StopAtTheEnd();
    ASSERT_EQ(off.items.Count(), 1);
    EXPECT_TRUE(MutagenTag(ReadTagsWithMutagen(off.items.Snapshot()[0].path.str()), gainKey).empty());
}

INSTANTIATE_TEST_SUITE_P(TaggedFormats, LoudnessTags,
                         testing::Values(FormatRowOf(OutputFormat::Mp3), FormatRowOf(OutputFormat::OggVorbis),
                                         FormatRowOf(OutputFormat::Flac), FormatRowOf(OutputFormat::Wma),
                                         FormatRowOf(OutputFormat::Opus)),
                         [](const testing::TestParamInfo<FormatRow>& info) { return std::string(info.param.option); });

// A recording that starts in silence keeps no track of it (nor its number), and a timed one that
// waits for sound ends on the clock, the silence left out counted.
TEST(RecordingControl, OnlyWhileThereIsSoundATimedRecordingEndsOnTheClockWhileWaiting) {
    ControlRig rig("silence=5s,tone=1000hz/-6db/1s,silence=20s,fast");
    rig.control.settings.fileNameTemplate = "Track%TKN%_%STM%";
    rig.control.settings.splitMethod = kSplitSilence;
    rig.control.settings.splitTime = {0, 0, 2, 0};
    rig.control.settings.skipSilence = true;
    rig.control.schedule = RecordingSchedule{};
    rig.control.schedule->endMode = 1;
    rig.control.schedule->durationSeconds = 15;
    ASSERT_TRUE(rig.control.StartRecording());
    std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingStopped);

    EXPECT_EQ(Count(events, kRecordingTrackDropped), 1) << "the silent first track";
    // The fast signal may reach its end (26 s) before the owner stops; the clock came first.
    const auto at = [&](int code) { return Find(events, code) ? Find(events, code) - events.data() : events.size(); };
    EXPECT_EQ(Count(events, kRecordingDurationReached), 1);
    EXPECT_LT(at(kRecordingDurationReached), at(kRecordingCaptureEnded)) << "ended by the clock, not the signal's end";
    EXPECT_EQ(RowNames(rig.items), std::vector<std::string>({"Track001_0：04.wav"}));
    EXPECT_EQ(RelativeFilesUnder(rig.dir.path()), std::vector<std::string>({"Track001_0：04.wav"}));
}
namespace {

// One real-time recording cut on the clock, from a signal whose clock may run fast.
struct ClockRun {
    std::string name;
    OutputFormat format;
    std::string drift;  // the signal's ("+5%"), empty for none
    int seconds;        // recorded about this long
    int interval;       // seconds
};

std::vector<ClockRun> ClockRuns() {
    std::vector<ClockRun> runs = {{"Wav", OutputFormat::Wav, "", 20, 10},
                                  {"Flac", OutputFormat::Flac, "", 20, 10},
                                  // As far as 1 % walks in five minutes, in one.
                                  {"FastClock", OutputFormat::Wav, "+5%", 60, 10}};
    // A longer trial by hand: VELSONA_CLOCK_TRIAL="1%,300,60" (drift, seconds, interval).
    char drift[16] = "";
    int seconds = 0, interval = 0;
    if (const char* trial = std::getenv("VELSONA_CLOCK_TRIAL"); trial && std::sscanf(trial, "%15[^,],%d,%d", drift, &seconds, &interval) == 3)
        runs.push_back({"Trial", OutputFormat::Wav, drift, seconds, interval});
    return runs;
}

// Seconds of the day the wall clock shows in a name's "HH：MM：SS".
int SecondOfDayIn(const std::string& text) {
    const std::string colon = "：";
    const size_t first = text.find(colon), second = text.find(colon, first + colon.size());
    return std::stoi(text.substr(0, first)) * 3600 + std::stoi(text.substr(first + colon.size(), 2)) * 60 +
           std::stoi(text.substr(second + colon.size(), 2));
}

class CutOnTheClock : public testing::TestWithParam<ClockRun> {};

}  // namespace

// Boundaries on the wall clock's multiples of the interval however fast the source's clock runs,
// the first track shorter, names from the wall clock, and the tracks joined the signal exactly.
TEST_P(CutOnTheClock, BoundariesFallOnTheWallClockAndTheTracksJoinToTheSignal) {
    const ClockRun& run = GetParam();
    const std::string signal = "tone=997hz/-6db/0.73s,silence=0.31s,loop" + (run.drift.empty() ? "" : ",drift=" + run.drift);
    const double clockRate = ValueOrFail(ParseSignalSpec(signal)).clockRate;
    ControlRig rig(signal);
    rig.control.settings.outputFormat = run.format;
    rig.control.settings.qualityIndex = DefaultQualityIndex(run.format);
    rig.control.settings.splitMethod = kSplitInterval;
    rig.control.settings.splitTime = {static_cast<uint16_t>(run.interval / 3600),
                                      static_cast<uint16_t>(run.interval / 60 % 60), static_cast<uint16_t>(run.interval % 60), 0};
    rig.control.settings.alignToClock = true;
    rig.control.settings.fileNameTemplate = "%SNW%-%ENW%_%TKN%";
    // Well between two boundaries, so the first track is clearly shorter.
    const int64_t interval = run.interval * 1000000000LL;
    while (WallClockNs() % interval < 1000000000LL || WallClockNs() % interval > interval - 2000000000LL)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int64_t before = WallClockNs();
    ASSERT_TRUE(rig.control.StartRecording());
    // The signal's first frame comes when the device starts, at the end of the start.
    const int64_t started = WallClockNs();
    std::this_thread::sleep_for(std::chrono::seconds(run.seconds));
    const double elapsed = (WallClockNs() - started) / 1e9;
    rig.control.StopRecording();
    rig.PumpUntil(kRecordingStopped);

    std::string joined;
    std::vector<int64_t> ends;  // frames up to each track's end
    const std::vector<RecordingItem> rows = rig.items.Snapshot();
    for (const RecordingItem& row : rows) {
        joined += run.format == OutputFormat::Wav ? WavPcm(row.path.c_str()) : DecodeWithFfmpeg(row.path.c_str());
        ends.push_back(static_cast<int64_t>(joined.size() / 4));
    }
    ASSERT_GE(rows.size(), static_cast<size_t>(run.seconds / run.interval)) << "a track for each interval";
    EXPECT_TRUE(joined == SignalBytes(signal, ends.back())) << "gapless: the tracks joined are the signal";
    const double recorded = static_cast<double>(ends.back()) / 44100;
    EXPECT_NEAR(recorded / elapsed, clockRate, 0.01) << "the source's clock runs as asked";

    std::printf("start took %.3f s\n", (started - before) / 1e9);
    for (size_t track = 0; track + 1 < rows.size(); ++track) {
        // Where the boundary fell on the wall clock, as the source's own pace places its frame.
        const double at = started / 1e9 + ends[track] / (44100 * clockRate);
        const double off = std::remainder(at, run.interval);
        std::printf("boundary %zu: %+.3f s from the clock's multiple of %d s\n", track + 1, off, run.interval);
        EXPECT_LT(std::abs(off), 0.2) << "boundary " << track + 1;
        // The names read the boundary on the wall clock.
        const std::string name = FileNameOf(rows[track].path).c_str();
        const std::string end = name.substr(name.find('-') + 1);
        EXPECT_EQ(SecondOfDayIn(end) % run.interval, 0) << name;
        if (track > 0) {
            EXPECT_EQ(SecondOfDayIn(name) % run.interval, 0) << name;
        }
    }
    EXPECT_LT(ends[0] / (44100 * clockRate), run.interval - 0.9) << "the first track ends at the next boundary";
}

INSTANTIATE_TEST_SUITE_P(RealTime, CutOnTheClock, testing::ValuesIn(ClockRuns()),
                         [](const testing::TestParamInfo<ClockRun>& info) { return info.param.name; });
// Keeping recordings: files this program recorded and nothing else, unchanged, oldest first.
namespace {

void SetDaysAgo(const std::string& path, double daysAgo) {
    const timespec when{std::time(nullptr) - static_cast<std::time_t>(daysAgo * 86400), 0};
    const timespec times[] = {when, when};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// A recording finished `daysAgo` days ago: the file, its time, its line in the record.
void RecordedDaysAgo(const std::string& path, double daysAgo, size_t bytes = 1000) {
    EnsureFolder(FolderOf(CCharString(path.c_str())));
    WriteFileBytes(path, std::string(bytes, static_cast<char>('a' + path.size() % 26)));
    SetDaysAgo(path, daysAgo);
    KeepRecordings(RecordedFilesPath(), CCharString(path.c_str()), "/", {}, std::time(nullptr),
                   [](const CCharString&) -> Result<uint64_t> { return uint64_t{0}; },
                   {[](const CCharString&) {}, [](const UserText& problem) { ADD_FAILURE() << problem.SourceText(); }});
}

// A whole recording of the finite signal, with every event it posted.
std::vector<RecordingEvent> RecordToTheEnd(ControlRig& rig) {
    EXPECT_TRUE(rig.control.StartRecording());
    std::vector<RecordingEvent> events = rig.PumpUntil(kRecordingCaptureEnded);
    rig.control.StopRecording();
    for (const RecordingEvent& event : rig.PumpUntil(kRecordingStopped)) events.push_back(event);
    return events;
}

std::vector<std::string> RemovedPaths(const std::vector<RecordingEvent>& events) {
    std::vector<std::string> removed;
    for (const RecordingEvent& event : events)
        if (event.code == kRecordingFileRemoved) removed.push_back(event.path.str());
    std::sort(removed.begin(), removed.end());
    return removed;
}

}  // namespace

// Old recordings beside a user's notes, a renamed and an edited recording and a recorded file
// outside the output folder: a close removes the old unchanged ones only, with their rows and
// the template folder left empty, and logs each.
TEST(RecordingControl, KeepingDaysRemovesOnlyOldUnchangedRecordingsOfTheOutputFolder) {
    unlink(RecordedFilesPath().c_str());
    ControlRig rig("tone=440hz/-6db/1s,fast");
    TempDir elsewhere;
    const std::string alone = rig.Path("2026-11-01/a.wav"), besideNotes = rig.Path("2026-11-02/b.wav");
    const std::string notes = rig.Path("2026-11-02/notes.txt"), renamed = rig.Path("2026-11-02/mine.wav");
    const std::string edited = rig.Path("edited.wav"), recent = rig.Path("recent.wav"), outside = elsewhere / "out.wav";
    RecordedDaysAgo(alone, 40);
    RecordedDaysAgo(besideNotes, 39);
    RecordedDaysAgo(rig.Path("2026-11-02/c.wav"), 38);
    ASSERT_EQ(rename(rig.Path("2026-11-02/c.wav").c_str(), renamed.c_str()), 0);
    RecordedDaysAgo(edited, 37);
    WriteFileBytes(edited, "edited: " + std::string(992, 'x'));  // the same size and time
    SetDaysAgo(edited, 37);
    RecordedDaysAgo(outside, 36);
    RecordedDaysAgo(recent, 1);
    WriteFileBytes(notes, "the user's own");
    SetDaysAgo(notes, 50);
    for (const std::string& path : {alone, besideNotes}) {
        RecordingItem row;
        row.path = path.c_str();
        rig.items.Insert(row);
    }

    rig.control.settings.keepDays = 3;
    const std::vector<RecordingEvent> events = RecordToTheEnd(rig);
    EXPECT_EQ(RemovedPaths(events), (std::vector<std::string>{alone, besideNotes}));
    for (const std::string& kept : {notes, renamed, edited, recent, outside}) EXPECT_TRUE(PathExists(kept)) << kept;
    EXPECT_EQ(ReadFileBytes(notes), "the user's own");
    EXPECT_FALSE(PathExists(rig.Path("2026-11-01"))) << "the template's folder left empty goes";
    EXPECT_TRUE(DecodesCleanly(rig.Path("No.01-Track001(0：01).wav")));
    for (const std::string& path : {alone, besideNotes})
        EXPECT_NE(rig.Logged().find("古い録音を削除しました: " + path), std::string::npos) << rig.Logged();
    std::vector<std::string> rows;
    for (const RecordingItem& row : rig.items.Snapshot()) rows.push_back(row.path.str());
    EXPECT_EQ(rows, std::vector<std::string>{rig.Path("No.01-Track001(0：01).wav")}) << "the removed files' rows went";
    EXPECT_EQ(Count(events, kRecordingKeepFailed), 0);
}

// "Keep N free" on a small disk: the oldest go until the room is there, the user's file stays;
// room that cannot be made is said, and the newest recording is never taken for it.
TEST(RecordingControl, KeepingFreeRoomRemovesTheOldestUntilTheRoomIsThere) {
    SmallFileSystem disk(8 << 20);
    if (!disk.Mounted()) GTEST_SKIP() << "no right to mount a small file system";
    unlink(RecordedFilesPath().c_str());
    ControlRig rig("tone=440hz/-6db/1s,fast");
    rig.control.settings.outputFolder = disk.path().c_str();
    const std::string oldest = disk / "rec/1.wav", older = disk / "rec/2.wav", old = disk / "rec/3.wav";
    RecordedDaysAgo(oldest, 3, 2 << 20);
    RecordedDaysAgo(older, 2, 2 << 20);
    RecordedDaysAgo(old, 1, 2 << 20);
    WriteFileBytes(disk / "user.bin", std::string(1 << 20, 'u'));

    rig.control.settings.keepFreeMb = 4;
    std::vector<RecordingEvent> events = RecordToTheEnd(rig);
    EXPECT_EQ(RemovedPaths(events), (std::vector<std::string>{oldest, older}));
    EXPECT_TRUE(PathExists(old));
    EXPECT_TRUE(PathExists(disk / "user.bin"));
    EXPECT_EQ(Count(events, kRecordingKeepFailed), 0);

    // More room than the disk has: everything recorded but the newest track goes, and the log says so.
    rig.control.settings.keepFreeMb = 64;
    rig.control.settings.recordingNumber = 2;
    events = RecordToTheEnd(rig);
    EXPECT_FALSE(PathExists(old));
    EXPECT_FALSE(PathExists(disk / "No.01-Track001(0：01).wav"));
    EXPECT_TRUE(DecodesCleanly(disk / "No.02-Track001(0：01).wav")) << "the track just finished stays";
    EXPECT_TRUE(PathExists(disk / "user.bin"));
    EXPECT_GE(Count(events, kRecordingKeepFailed), 1);
    EXPECT_NE(rig.Logged().find("空きを作れませんでした"), std::string::npos) << rig.Logged();
}

// A record in doubt removes nothing: garbled, cut short, or with a line too many.
TEST(RecordingControl, KeepingWithACorruptRecordRemovesNothing) {
    TempDir dir;
    const std::string record = RecordedFilesPath().str();
    for (const char* damage : {"garbled", "cut", "extra"}) {
        unlink(record.c_str());
        const std::string old = dir / "old.wav";
        RecordedDaysAgo(old, 30);
        std::string text = ReadFileBytes(record);
        if (damage == std::string("garbled")) text.replace(text.find('\n') + 1, 5, "zz zz");
        if (damage == std::string("cut")) text.erase(text.rfind("end"));
        if (damage == std::string("extra")) text += "1 2 3 /x\n";
        WriteFileBytes(record, text);
        std::vector<std::string> removed, problems;
        KeepRecordings(CCharString(record.c_str()), {}, CCharString(dir.path().c_str()), {.keepDays = 1}, std::time(nullptr),
                       [](const CCharString&) -> Result<uint64_t> { return uint64_t{0}; },
                       {[&](const CCharString& path) { removed.push_back(path.str()); },
                        [&](const UserText& problem) { problems.push_back(problem.SourceText()); }});
        EXPECT_TRUE(removed.empty()) << damage;
        EXPECT_TRUE(PathExists(old)) << damage;
        ASSERT_EQ(problems.size(), 1u) << damage;
        EXPECT_NE(problems[0].find("壊れています"), std::string::npos) << problems[0];
        EXPECT_EQ(ReadFileBytes(record + ".corrupt"), text) << "kept for a look";
    }
}
