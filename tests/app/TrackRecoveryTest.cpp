// The open-tracks journal and the recovery of what a killed recorder left, on real files.
#include "app/TrackRecovery.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <latch>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "app/AudioFacts.h"
#include "app/TrackJournal.h"
#include "platform/DiskSpace.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

// A process that has ended; the start time is never a real one.
ProcessIdentity DeadProcess() { return {EndedProcessId(), 1}; }

JournalEntry Entry(const std::string& path) {
    JournalEntry entry;
    entry.path = path.c_str();
    entry.outputFormat = 0;
    entry.fileNameTemplate = "%TDY%/rec-%TKN%-%ETM%.wav";
    entry.tagTitle = "Take %TKN% until %ETM%";
    entry.tagArtist = "Band";
    entry.tagComment = "line one\nline two \\ and a backslash";
    entry.year = "2026";
    entry.genreNumber = 146;
    entry.recordingNumber = 4;
    entry.trackNumber = 3;
    entry.startOffsetMs = 60000;
    entry.startClock = {2026, 12, 8, 21, 0, 0, 0};
    return entry;
}

// What a WAV writer killed mid-track leaves: the placeholder sizes, the audio, half a frame.
std::string KilledWav(int frames) {
    std::string wav = std::string("RIFF") + std::string("\x23\0\0\0", 4) + "WAVEfmt " + std::string("\x10\0\0\0", 4) +
                      std::string("\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0", 16) + "data" +
                      std::string("\xff\xff\xff\xff", 4);
    wav.append(static_cast<size_t>(frames) * 4, '\x10');
    return wav + "\x01";
}

}  // namespace

TEST(TrackJournal, ListsOnlyTheJournalsOfProcessesThatNoLongerRunWithTheirEntriesIntact) {
    TempDir dir;
    const ProcessIdentity self = ThisProcess();
    ASSERT_GT(self.startTime, 0u);
    struct Case {
        ProcessIdentity owner;
        bool leftBehind;
    };
    // An id taken over by a later process is not the recorder that wrote the journal.
    const Case cases[] = {{self, false}, {{self.pid, self.startTime + 1}, true}, {DeadProcess(), true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.owner.pid);
        TempDir folder;
        CTrackJournal journal(folder.path().c_str(), c.owner);
        ASSERT_TRUE(journal.Add(Entry(dir / "a.wav")));
        ASSERT_TRUE(journal.Add(Entry(dir / "b.wav")));
        ASSERT_TRUE(journal.Remove((dir / "a.wav").c_str()));
        ASSERT_TRUE(journal.Advance((dir / "b.wav").c_str(), FinishStep::Ended, 441000));
        ASSERT_TRUE(journal.Advance((dir / "b.wav").c_str(), FinishStep::Naming, -1, (dir / "B\nfinal.wav").c_str()));
        const std::vector<JournalFile> found = CTrackJournal::LeftBehind(folder.path().c_str());
        if (!c.leftBehind) {
            EXPECT_TRUE(found.empty());
            continue;
        }
        ASSERT_EQ(found.size(), 1u);
        ASSERT_EQ(found[0].entries.size(), 1u);
        const JournalEntry& read = found[0].entries[0];
        const JournalEntry written = Entry(dir / "b.wav");
        EXPECT_EQ(read.path, written.path);
        EXPECT_EQ(read.tagComment, written.tagComment);
        EXPECT_EQ(read.fileNameTemplate, written.fileNameTemplate);
        EXPECT_EQ(read.startOffsetMs, written.startOffsetMs);
        EXPECT_EQ(read.startClock.hour, 21);
        EXPECT_EQ(read.trackNumber, 3);
        EXPECT_EQ(read.step, FinishStep::Naming);
        EXPECT_EQ(read.sampleFrames, 441000) << "kept from the step before";
        EXPECT_EQ(read.finalPath, (dir / "B\nfinal.wav").c_str());
        CTrackJournal::Discard(found[0]);
        EXPECT_TRUE(CTrackJournal::LeftBehind(folder.path().c_str()).empty());
    }
    // A journal whose tracks all closed is gone, not left empty.
    CTrackJournal journal(dir.path().c_str(), DeadProcess());
    ASSERT_TRUE(journal.Add(Entry(dir / "c.wav")));
    ASSERT_TRUE(journal.Remove((dir / "c.wav").c_str()));
    EXPECT_TRUE(CTrackJournal::LeftBehind(dir.path().c_str()).empty());
}

TEST(TrackRecovery, AKilledWavTrackGetsItsSizesTagsAndARecoveredNameAndDeadReservesGo) {
    TempDir state, music;
    const std::string folder = music / "rec";
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string provisional = folder + "/rec-003-？.wav";
    WriteFileBytes(provisional, KilledWav(44100));
    const ProcessIdentity dead = DeadProcess();
    CTrackJournal journal(state.path().c_str(), dead);
    JournalEntry entry = Entry(provisional);
    entry.outputFolder = (folder + "/").c_str();
    ASSERT_TRUE(journal.Add(entry));
    ASSERT_TRUE(journal.Add(Entry(folder + "/gone.wav")));
    // Reserves of the dead recorder and of a later process that took over its id go; this
    // process's own, held for real, and one whose owner cannot be told stay.
    const auto reserve = [&](const ProcessIdentity& owner) {
        return folder + "/.velsona-space-reserve-" + std::to_string(owner.pid) + "." +
               std::to_string(owner.startTime) + "-a1B2c3";
    };
    const ProcessIdentity self = ThisProcess();
    const std::string deadReserves[] = {reserve(dead), reserve({self.pid, self.startTime + 1})};
    const std::string ownerless = folder + "/.velsona-space-reserve-Xy12Z9";
    for (const std::string& path : deadReserves) WriteFileBytes(path, "x");
    WriteFileBytes(ownerless, "x");
    CDiskReserve live;
    ASSERT_TRUE(live.Hold(folder.c_str(), 4096));
    const auto reservesLeft = [&] {
        std::vector<std::string> names;
        for (const auto& item : std::filesystem::directory_iterator(folder))
            if (item.path().filename().string().rfind(".velsona-space-reserve-", 0) == 0)
                names.push_back(item.path().filename().string());
        return names;
    };
    ASSERT_EQ(reservesLeft().size(), 4u);

    const std::vector<RecoveredTrack> recovered = RecoverTracks(state.path().c_str(), ReadAudioFileFacts);
    ASSERT_EQ(recovered.size(), 2u);
    EXPECT_FALSE(recovered[1].found);
    const RecoveredTrack& track = recovered[0];
    EXPECT_TRUE(track.found && track.tagged && track.renamed) << RecoveryReport(track).str();
    // The end is the start offset plus the one second the file holds; the date is the start's.
    EXPECT_EQ(track.to.str(), folder + "/2026-12-08/rec-003-1：01.recovered.wav");
    EXPECT_FALSE(PathExists(provisional));

    const ProbedAudio probed = ProbeWithFfprobe(track.to.str());
    EXPECT_EQ(probed.codec, "pcm_s16le");
    EXPECT_EQ(probed.durationSamples, 44100) << "the half frame is no sample";
    EXPECT_EQ(probed.tags.at("title"), "Take 003 until 1:01");
    EXPECT_EQ(probed.tags.at("artist"), "Band");
    EXPECT_EQ(ProbeWithSox(track.to.str()).durationSeconds, 1.0);

    for (const std::string& path : deadReserves) EXPECT_FALSE(PathExists(path)) << path;
    EXPECT_TRUE(PathExists(ownerless));
    const std::vector<std::string> left = reservesLeft();
    ASSERT_EQ(left.size(), 2u) << "a running recorder keeps its reserve";
    live.Release();
    EXPECT_EQ(reservesLeft().size(), 1u) << "the live reserve was the one kept";
    EXPECT_TRUE(RecoverTracks(state.path().c_str(), ReadAudioFileFacts).empty()) << "a journal is handled once";
}

TEST(TrackRecovery, TwoFrontEndsStartingTogetherFinishEachTrackOnce) {
    // A few rounds: without the lock the two overlap in most rounds, not in every one.
    for (int round = 0; round < 4; ++round) {
        TempDir state, music;
        CTrackJournal journal(state.path().c_str(), DeadProcess());
        constexpr int kTracks = 20;
        for (int i = 0; i < kTracks; ++i) {
            const std::string path = music / ("take" + std::to_string(i) + "-？.wav");
            WriteFileBytes(path, KilledWav(100));
            JournalEntry entry = Entry(path);
            entry.outputFolder = music.path().c_str();
            entry.fileNameTemplate = ("take" + std::to_string(i)).c_str();
            ASSERT_TRUE(journal.Add(entry));
        }
        std::vector<RecoveredTrack> first, second;
        std::latch together(2);
        const auto recover = [&](std::vector<RecoveredTrack>& result) {
            together.arrive_and_wait();
            result = RecoverTracks(state.path().c_str(), ReadAudioFileFacts);
        };
        std::thread one(recover, std::ref(first)), other(recover, std::ref(second));
        one.join();
        other.join();
        EXPECT_EQ(first.size() + second.size(), static_cast<size_t>(kTracks)) << "each track once, by one of them";
        for (const auto* list : {&first, &second})
            for (const RecoveredTrack& track : *list)
                EXPECT_TRUE(track.found && track.renamed) << RecoveryReport(track).str();
        EXPECT_EQ(FilesUnder(music.path()).size(), static_cast<size_t>(kTracks));
    }
}
