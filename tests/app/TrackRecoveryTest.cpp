// The open-tracks journal and the recovery of what a killed recorder left, on real files.
#include "app/files/TrackRecovery.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <latch>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "app/files/AudioFacts.h"
#include "app/files/RecoveryReport.h"
#include "app/files/TrackJournal.h"
#include "app/settings/RecordingSettings.h"
#include "audiofile/OpusWriter.h"
#include "platform/DiskSpace.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/OggFiles.h"
#include "tests/support/Process.h"
#include "tests/support/ReaderTestFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

// A process that has ended; the start time is never a real one.
ProcessIdentity DeadProcess() { return {EndedProcessId(), 1}; }

JournalEntry Entry(const std::string& path) {
    JournalEntry entry;
    entry.path = path.c_str();
    entry.outputFormat = OutputFormat::Wav;
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
    // A dead recorder that lost a name to a running one names the running one's file: not its to finish.
    CTrackJournal running(dir.path().c_str(), self);
    ASSERT_TRUE(running.Add(Entry(dir / "d.wav")));
    ASSERT_TRUE(journal.Add(Entry(dir / "d.wav")));
    ASSERT_TRUE(journal.Add(Entry(dir / "e.wav")));
    const std::vector<JournalFile> dead = CTrackJournal::LeftBehind(dir.path().c_str());
    ASSERT_EQ(dead.size(), 1u);
    ASSERT_EQ(dead[0].entries.size(), 1u);
    EXPECT_EQ(dead[0].entries[0].path.str(), dir / "e.wav");
    ASSERT_TRUE(running.Remove((dir / "d.wav").c_str()));
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
    EXPECT_TRUE(track.found && track.tagged && track.renamed) << RecoveryReport(track).SourceText();
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
                EXPECT_TRUE(track.found && track.renamed) << RecoveryReport(track).SourceText();
        EXPECT_EQ(FilesUnder(music.path()).size(), static_cast<size_t>(kTracks));
    }
}

namespace {

// What a recorder killed at one instant leaves of its track.
enum class Left {
    CreatedFile,     // killed between taking the name and the writer's first byte
    Headers,         // killed before the first buffer reached the writer
    FinishedTrack,   // killed after the track was finished and tagged, before its rename
};

}  // namespace

class KilledTrack : public testing::TestWithParam<std::tuple<FormatRow, Left>> {};

// Recovery reads what the file holds before it touches it: a file without audio goes with its
// journal entry, and a finished track keeps its audio byte for byte.
TEST_P(KilledTrack, RecoveryRemovesWhatHoldsNoAudioAndKeepsFinishedAudioAsItIs) {
    const auto [row, left] = GetParam();
    const int quality = DefaultWriterQuality(row, kDefaultOggQuality);
    TempDir state, music;
    const std::string provisional = music / (std::string("rec-003-？") + row.extension);
    WriteFileBytes(provisional, "");
    std::string audioBefore;
    if (left == Left::Headers) {
        std::unique_ptr<CAudioWriter> open = row.newWriter(quality);
        ASSERT_TRUE(open->Open(provisional.c_str()));
        ASSERT_TRUE(open->SetFormat(quality, 44100, 2, 16, -1, -1));
        ASSERT_TRUE(open->Begin());
        // The file as the kill leaves it; the writer's own close must not finish it.
        const std::string killed = ReadFileBytes(provisional);
        open.reset();
        WriteFileBytes(provisional, killed);
    } else if (left == Left::FinishedTrack) {
        std::unique_ptr<CAudioWriter> finished = row.newWriter(quality);
        TagFieldSet tags = SampleTags();
        ASSERT_TRUE(WriteToneTrack(*finished, provisional, quality, 44100, 2, 88200, &tags));
        audioBefore = DecodeWithFfmpeg(provisional);
        ASSERT_GT(audioBefore.size(), 300000u);
    }
    CTrackJournal journal(state.path().c_str(), DeadProcess());
    JournalEntry entry = Entry(provisional);
    entry.outputFormat = row.format;
    entry.outputFolder = music.path().c_str();
    ASSERT_TRUE(journal.Add(entry));

    const std::vector<RecoveredTrack> recovered = RecoverTracks(state.path().c_str(), ReadAudioFileFacts);
    ASSERT_EQ(recovered.size(), 1u);
    const RecoveredTrack& track = recovered[0];
    const CCharString report = RecoveryReport(track).SourceText();
    EXPECT_TRUE(CTrackJournal::LeftBehind(state.path().c_str()).empty());
    if (left != Left::FinishedTrack) {
        EXPECT_TRUE(track.removed) << report.c_str();
        EXPECT_NE(report.Find("音声がないため削除しました"), -1) << report.c_str();
        EXPECT_TRUE(FilesUnder(music.path()).empty()) << "nothing of the track is left";
        return;
    }
    EXPECT_TRUE(track.found && track.tagged && track.renamed && !track.removed) << report.c_str();
    EXPECT_EQ(FilesUnder(music.path()), std::vector<std::string>{track.to.str()});
    EXPECT_TRUE(DecodesCleanly(track.to.str()));
    EXPECT_TRUE(DecodeWithFfmpeg(track.to.str()) == audioBefore) << "the audio is what the finished track held";
    EXPECT_EQ(ProbeWithFfprobe(track.to.str()).tags["title"], "Take 003 until 1:02");
}

std::string KilledTrackName(const testing::TestParamInfo<std::tuple<FormatRow, Left>>& info) {
    static const char* const kLeft[] = {"CreatedFile", "Headers", "FinishedTrack"};
    return std::string(std::get<0>(info.param).option) + kLeft[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Formats, KilledTrack,
                         testing::Combine(testing::ValuesIn(FormatRows()),
                                          testing::Values(Left::CreatedFile, Left::Headers, Left::FinishedTrack)),
                         KilledTrackName);

// A killed Opus writer leaves pages without an end, the last one perhaps torn: the recovery cuts
// the torn page off and marks the last whole one as the end of the stream, with its checksum.
TEST(TrackRecovery, AKilledOpusTrackEndsAtItsLastWholePage) {
    TempDir state, music;
    const std::string provisional = music / "rec-003-？.opus";
    WriteFileBytes(provisional, "");
    std::string killed;
    {
        COpusWriter writer;
        ASSERT_TRUE(writer.Open(provisional.c_str()));
        ASSERT_TRUE(writer.SetFormat(64000, 44100, 2, 16, -1, -1));
        ASSERT_TRUE(writer.Begin());
        const std::vector<int16_t> pcm = TonePcm(44100, 2, 88200);
        for (size_t at = 0; at < pcm.size(); at += 8820) ASSERT_TRUE(writer.Write(pcm.data() + at, 8820 * 2));
        killed = ReadFileBytes(provisional);
    }
    const std::vector<OggPageInfo> before = ReadOggPages(killed);
    ASSERT_GT(before.size(), 3u);
    ASSERT_FALSE(before.back().last);
    // Half of a copy of the last page follows, as a write cut short leaves it.
    const std::string lastPage = killed.substr(before.back().offset);
    WriteFileBytes(provisional, killed + lastPage.substr(0, lastPage.size() / 2));
    CTrackJournal journal(state.path().c_str(), DeadProcess());
    JournalEntry entry = Entry(provisional);
    entry.outputFormat = OutputFormat::Opus;
    entry.outputFolder = music.path().c_str();
    ASSERT_TRUE(journal.Add(entry));

    const std::vector<RecoveredTrack> recovered = RecoverTracks(state.path().c_str(), ReadAudioFileFacts);
    ASSERT_EQ(recovered.size(), 1u);
    ASSERT_TRUE(recovered[0].renamed) << RecoveryReport(recovered[0]).SourceText();
    const std::string path = recovered[0].to.str();
    bool complete = false;
    const std::vector<OggPageInfo> pages = ReadOggPages(ReadFileBytes(path), &complete);
    EXPECT_TRUE(complete) << "the torn page is gone";
    ASSERT_FALSE(pages.empty());
    EXPECT_TRUE(pages.back().last && pages.back().checksumOk);
    EXPECT_EQ(pages.back().granule, before.back().granule) << "every whole page is kept";
    EXPECT_EQ(RunProcess("opusinfo " + ShellQuote(path) + " >/dev/null 2>&1").exitCode, 0);
    EXPECT_TRUE(DecodesCleanly(path));
    EXPECT_NEAR(DecodedFrames(path, 2) / 48000.0, 2.0, 0.5) << "what was recorded, less the last pages";
}

// Each row of the table of formats, end to end: its writer makes two seconds at the default
// quality (a copy taken after one and a half, its last write torn, stands for a kill), its
// reader reads them back, its editor tags them, and recovery makes a playable track of the copy.
class FormatRowWalk : public testing::TestWithParam<FormatRow> {};

TEST_P(FormatRowWalk, WritesReadsBackTagsAndRecoversACutCopy) {
    const FormatRow& row = GetParam();
    const QualityEntry& line = *row.qualities.Row(row.qualities.defaultRow);
    const int quality = DefaultWriterQuality(row, kDefaultOggQuality);
    TempDir dir, state, music;
    const std::string path = dir / (std::string("take") + row.extension);
    std::unique_ptr<CAudioWriter> writer = row.newWriter(quality);
    ASSERT_TRUE(writer && writer->Kind() == row.format && writer->Open(path.c_str()));
    ASSERT_TRUE(writer->SetFormat(quality, line.sampleRate, line.channels, 16, -1, -1) && writer->Begin());
    const int buffer = line.sampleRate / 10 * line.channels;
    const std::vector<int16_t> pcm = TonePcm(line.sampleRate, line.channels, 2 * line.sampleRate);
    std::string cut;
    for (int fed = 1; fed <= 20; ++fed) {
        ASSERT_TRUE(writer->Write(pcm.data() + (fed - 1) * buffer, buffer * 2));
        if (fed == 15) cut = ReadFileBytes(path);
    }
    ASSERT_TRUE(writer->End() && writer->Close());
    std::unique_ptr<CAudioReader> reader = NewReaderByExtension(path.c_str());
    ASSERT_TRUE(reader && reader->Kind() == row.format && reader->Open(path.c_str()));
    EXPECT_NEAR(reader->GetDuration(), 2000, 100);
    EXPECT_FALSE(DecodeAll(*reader).empty());
    ASSERT_TRUE(reader->Close());

    const TagFieldSet tags = SampleTags();
    std::unique_ptr<CTagFile> editor = row.newTagEditor();
    ASSERT_TRUE(editor->Kind() == row.format && editor->Open(path.c_str()));
    editor->Tags() = tags;
    ASSERT_TRUE(editor->Write() && editor->Close());
    ASSERT_TRUE(editor->Open(path.c_str()));
    EXPECT_EQ(editor->Tags().title, tags.title);
    EXPECT_EQ(ProbeWithFfprobe(path).tags["artist"], tags.artist.str());
    EXPECT_NEAR(static_cast<double>(DecodedFrames(path, line.channels)) / line.sampleRate, 2.0, 0.1);

    const std::string provisional = music / (std::string("rec-003") + row.extension);
    WriteFileBytes(provisional, cut.substr(0, cut.size() - 5));
    JournalEntry entry = Entry(provisional);
    entry.outputFormat = row.format;
    entry.outputFolder = music.path().c_str();
    ASSERT_TRUE(CTrackJournal(state.path().c_str(), DeadProcess()).Add(entry));
    const std::vector<RecoveredTrack> recovered = RecoverTracks(state.path().c_str(), ReadAudioFileFacts);
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_TRUE(recovered[0].tagged && recovered[0].renamed) << RecoveryReport(recovered[0]).SourceText();
    const std::string to = recovered[0].to.str();
    EXPECT_EQ(ProbeWithFfprobe(to).tags["artist"], "Band");
    const double kept = static_cast<double>(DecodedFrames(to, line.channels)) / line.sampleRate;
    EXPECT_TRUE(kept >= 1.0 && kept <= 1.5) << kept << " s: at most half a second of what was fed is lost";
    EXPECT_TRUE(DecodesCleanly(to)) << "no torn frame or page is left";
    ASSERT_TRUE(reader->Open(to.c_str()));
    EXPECT_NEAR(reader->GetDuration() / 1000.0, kept, 0.1) << "the header's length is the audio's";
    EXPECT_NEAR(ProbeWithFfprobe(to).durationSeconds, kept, 0.1) << "and other programs read it";
}

INSTANTIATE_TEST_SUITE_P(EveryRow, FormatRowWalk, testing::ValuesIn(FormatRows()),
                         [](const testing::TestParamInfo<FormatRow>& info) { return std::string(info.param.option); });
