// The output file lifecycle on real files: numbering, the final rename, its fallback, the rows.
#include "app/files/TrackFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/files/FileMove.h"
#include "app/files/FileNameTemplate.h"
#include "audiofile/WavWriter.h"
#include "foundation/PathUtils.h"
#include "tests/support/OtherFileSystemDir.h"
#include "tests/support/TempDir.h"

namespace {

const LocalDateTime kRowAdded {2005, 6, 1, 10, 20, 30, 456};

// Finishes the track being recorded, as the finisher does with a track it was handed.
bool FinishCurrent(CTrackFiles& files, const CCharString& finalPath) {
    TrackRow track = files.CurrentTrack();
    return files.FinishItem(track, finalPath);
}

// Stands in for the format readers, which live in another library: it answers like a reader of
// a 44.1 kHz stereo WAV and records which files it was asked about.
struct FactsReader {
    std::vector<std::string> asked;
    std::function<void()> whileReading;  // what another thread does meanwhile
    AudioFactsReader Function() {
        return [this](const CCharString& path) -> std::optional<AudioFileFacts> {
            asked.push_back(path.str());
            if (whileReading) whileReading();
            AudioFileFacts facts;
            facts.title = "title";
            facts.lengthMs = 300000;
            facts.sampleRate = 44100;
            facts.channels = 2;
            return facts;
        };
    }
};

// One recording into a temporary output folder, driven the way the recording control does it.
class Recording : public ::testing::Test {
protected:
    Recording() : files(items, reader.Function(), [] { return kRowAdded; }) {
        clocks.now = [] { return LocalDateTime {2005, 6, 1, 10, 20, 30, 0}; };
    }

    // Track open: planned and written paths, the writer's file, the row.
    void OpenTrack(const std::string& audio = "PCM data") {
        planned = BuildTrackPath(false, folder, tmpl, OutputFormat::Wav, values, clocks);
        written = WrittenPathAtOpen(planned);
        ASSERT_TRUE(EnsureFolder(FolderOf(written)));
        WriteFileBytes(written.str(), audio);
        ASSERT_TRUE(files.BeginItem(written));
    }

    // Track close after five minutes: the final name and the rename.
    bool CloseTrack() {
        values.endOffsetMs = values.trackLengthMs = 300000;
        const CCharString finalPath = BuildTrackPath(true, folder, tmpl, OutputFormat::Wav, values, clocks);
        written = WrittenPathAtClose(planned, finalPath, written);
        return FinishCurrent(files, written);
    }

    std::string RowPath(int row) const { return items.Item(row) ? items.Item(row)->path.str() : "(no row)"; }

    TempDir dir;
    CCharString folder = dir.path().c_str();
    CCharString tmpl = "rec-%TLN%";
    TemplateValues values;
    TrackClocks clocks;
    CRecordingItemsModel items;
    FactsReader reader;
    CTrackFiles files;
    CCharString planned;
    CCharString written;
};

}  // namespace

TEST_F(Recording, RowIsAddedWhenTheTrackOpensAndRefreshedWhenItCloses) {
    OpenTrack();
    EXPECT_EQ(written.str(), dir / "rec-？.wav");
    ASSERT_EQ(items.Count(), 1);
    EXPECT_EQ(items.CurrentRow(), 0);
    EXPECT_EQ(items.CurrentFile().str(), written.str());
    const RecordingItem recording = *items.Item(0);
    EXPECT_EQ(recording.kind, std::nullopt);
    EXPECT_EQ(recording.lengthMs, -1);
    EXPECT_EQ(recording.trackNumber, -1);
    EXPECT_EQ(recording.time.millisecond, 456);
    EXPECT_EQ(items.CellText(0, kColumnLength).str(), "Now Recording ...");

    EXPECT_TRUE(CloseTrack());
    EXPECT_EQ(RowPath(0), dir / "rec-5：00.wav");
    EXPECT_EQ(ReadFileBytes(dir / "rec-5：00.wav"), "PCM data");
    EXPECT_FALSE(PathExists(dir / "rec-？.wav"));
    EXPECT_EQ(reader.asked, std::vector<std::string> {dir / "rec-5：00.wav"});
    const RecordingItem done = *items.Item(0);
    EXPECT_EQ(done.kind, OutputFormat::Wav);
    EXPECT_EQ(done.displayName.str(), "rec-5：00.wav");
    EXPECT_EQ(done.size, 8u);
    EXPECT_EQ(items.CellText(0, kColumnQuality).str(), "44.1kHz/S(16bit)");
}

TEST_F(Recording, NumberGivenAtOpeningGoesWhenTheFinalNameIsFree) {
    WriteFileBytes(dir / "rec-？.wav", "someone else's");
    OpenTrack();
    EXPECT_EQ(written.str(), dir / "rec-？_2.wav");
    EXPECT_TRUE(CloseTrack());
    EXPECT_EQ(ReadFileBytes(dir / "rec-5：00.wav"), "PCM data");
    EXPECT_EQ(ReadFileBytes(dir / "rec-？.wav"), "someone else's");
    EXPECT_FALSE(PathExists(dir / "rec-？_2.wav"));
}

TEST_F(Recording, NumberGivenAtOpeningStaysWhenTheNameDoesNotChange) {
    tmpl = "rec";
    WriteFileBytes(dir / "rec.wav", "older take");
    OpenTrack();
    EXPECT_TRUE(CloseTrack());
    EXPECT_EQ(RowPath(0), dir / "rec_2.wav");
    EXPECT_EQ(ReadFileBytes(dir / "rec_2.wav"), "PCM data");
    EXPECT_EQ(ReadFileBytes(dir / "rec.wav"), "older take");
}

TEST_F(Recording, TakenFinalNamesAreNumbered) {
    WriteFileBytes(dir / "rec-5：00.wav", "first");
    mkdir((dir / "rec-5：00_2.wav").c_str(), 0755);
    OpenTrack();
    EXPECT_TRUE(CloseTrack());
    EXPECT_EQ(RowPath(0), dir / "rec-5：00_3.wav");
    EXPECT_EQ(ReadFileBytes(dir / "rec-5：00_3.wav"), "PCM data");
    EXPECT_EQ(ReadFileBytes(dir / "rec-5：00.wav"), "first");
}

TEST_F(Recording, EndTimeFolderIsCreatedBeforeTheMove) {
    tmpl = "%ETM%\\deep\\rec";
    OpenTrack();
    EXPECT_EQ(written.str(), dir / "？/deep/rec.wav");
    EXPECT_TRUE(CloseTrack());
    EXPECT_EQ(ReadFileBytes(dir / "5：00/deep/rec.wav"), "PCM data");
}

TEST_F(Recording, TrackKeepsTheExtensionItWasWrittenWith) {
    OpenTrack();
    FinishCurrent(files, (dir / "final.mp3").c_str());
    EXPECT_EQ(ReadFileBytes(dir / "final.wav"), "PCM data");
}

TEST_F(Recording, FailedMoveSetsTheFileAsideIntact) {
    tmpl = "rec";
    OpenTrack("audio that must survive");
    // A name longer than any file system allows: verify the OS really refuses it, even to root.
    const std::string tooLong = dir / std::string(300, 'x') + ".wav";
    errno = 0;
    EXPECT_LT(open(tooLong.c_str(), O_CREAT | O_WRONLY, 0644), 0);
    EXPECT_EQ(errno, ENAMETOOLONG);

    EXPECT_FALSE(FinishCurrent(files, tooLong.c_str()));
    EXPECT_EQ(ReadFileBytes(dir / "rec.rename-error.wav"), "audio that must survive");
    EXPECT_FALSE(PathExists(dir / "rec.wav"));
    EXPECT_EQ(RowPath(0), dir / "rec.rename-error.wav");
    EXPECT_EQ(items.Item(0)->displayName.str(), "rec.rename-error.wav");
    // The row is read from the file where it now is, not left with the facts of its opening.
    EXPECT_EQ(items.Item(0)->size, 23u);
    EXPECT_EQ(items.Item(0)->kind, OutputFormat::Wav);

    // The next track meets the same failure while the first fallback name is taken.
    OpenTrack("second track");
    EXPECT_EQ(items.CurrentRow(), 1);
    EXPECT_FALSE(FinishCurrent(files, tooLong.c_str()));
    EXPECT_EQ(ReadFileBytes(dir / "rec.rename-error_2.wav"), "second track");
    EXPECT_EQ(ReadFileBytes(dir / "rec.rename-error.wav"), "audio that must survive");
    EXPECT_EQ(RowPath(1), dir / "rec.rename-error_2.wav");
}

TEST_F(Recording, FolderThatCannotBeCreatedLeadsToTheFallback) {
    tmpl = "rec";
    OpenTrack();
    WriteFileBytes(dir / "plain-file", "");
    EXPECT_FALSE(FinishCurrent(files, (dir / "plain-file/sub/rec.wav").c_str()));
    EXPECT_EQ(ReadFileBytes(dir / "rec.rename-error.wav"), "PCM data");
}

TEST_F(Recording, ALongNameLeavesRoomForTheFallbackMarker) {
    // Names are cut short of the limit, so the fallback marker still fits after the longest.
    tmpl = std::string(250, 'r').c_str();
    OpenTrack();
    const std::string tooLong = dir / std::string(300, 'x') + ".wav";
    EXPECT_FALSE(FinishCurrent(files, tooLong.c_str()));
    const std::string provisional = written.str();
    const std::string aside = provisional.substr(0, provisional.size() - 4) + ".rename-error.wav";
    EXPECT_EQ(ReadFileBytes(aside), "PCM data");
    EXPECT_EQ(RowPath(0), aside);
    EXPECT_EQ(items.Item(0)->size, 8u);
}

TEST_F(Recording, MovedFileOfNoKnownKindIsStillShownWhereItIs) {
    tmpl = "rec-%TLN%.tmp";
    OpenTrack();
    EXPECT_TRUE(CloseTrack());
    EXPECT_EQ(ReadFileBytes(dir / "rec-5：00.tmp"), "PCM data");
    EXPECT_EQ(RowPath(0), dir / "rec-5：00.tmp");
    EXPECT_TRUE(reader.asked.empty());
}

TEST_F(Recording, FinishingWithoutAnOpenTrackDoesNothing) {
    EXPECT_TRUE(FinishCurrent(files, (dir / "x.wav").c_str()));
    EXPECT_EQ(items.Count(), 0);
}

TEST_F(Recording, MoveToAnotherFileSystemKeepsTheAudio) {
    const OtherFileSystemDir other(dir.path());
    if (other.path().empty()) GTEST_SKIP() << "/dev/shm is missing or on the same file system as " << dir.path();

    tmpl = "rec";
    std::string audio(1 << 20, '\0');
    for (size_t i = 0; i < audio.size(); ++i) audio[i] = static_cast<char>(i * 7 + i / 251);
    OpenTrack(audio);
    EXPECT_TRUE(FinishCurrent(files, (other / "sub/rec.wav").c_str()));
    EXPECT_TRUE(ReadFileBytes(other / "sub/rec.wav") == audio);
    EXPECT_FALSE(PathExists(written.str()));
    EXPECT_EQ(RowPath(0), other / "sub/rec.wav");
}

TEST(ReadItemInfo, KindFromTheExtensionAndFileDataFromTheDisk) {
    TempDir dir;
    CRecordingItemsModel items;
    int asked = 0;
    CTrackFiles files(items, [&](const CCharString&) -> std::optional<AudioFileFacts> {
        ++asked;
        return std::nullopt;  // a file no reader opens
    });

    EXPECT_FALSE(files.ReadItemInfo((dir / "missing.wav").c_str()));
    WriteFileBytes(dir / "a.tmp", "x");
    EXPECT_FALSE(files.ReadItemInfo((dir / "a.tmp").c_str()));

    WriteFileBytes(dir / "LIVE.RMP", "x");
    EXPECT_EQ(files.ReadItemInfo((dir / "LIVE.RMP").c_str())->kind, OutputFormat::Mp3);
    WriteFileBytes(dir / "a.ogg", "x");
    WriteFileBytes(dir / "a.Wma", "x");
    EXPECT_EQ(files.ReadItemInfo((dir / "a.ogg").c_str())->kind, OutputFormat::OggVorbis);
    EXPECT_EQ(files.ReadItemInfo((dir / "a.Wma").c_str())->kind, OutputFormat::Wma);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(files.ReadItemInfo((dir / "a.ogg").c_str())->lengthMs, -1) << "a file no reader opens keeps empty values";

    // No extension: file data only, and no reader is asked.
    mkdir((dir / "v1.0").c_str(), 0755);
    WriteFileBytes(dir / "v1.0/take", "12345");
    const timespec times[2] = {{0, 0}, {1117620000, 789000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "v1.0/take").c_str(), times, 0), 0);
    const std::optional<RecordingItem> take = files.ReadItemInfo((dir / "v1.0/take").c_str());
    ASSERT_TRUE(take);
    EXPECT_EQ(take->kind, std::nullopt);
    EXPECT_EQ(take->size, 5u);
    EXPECT_EQ(take->displayName.str(), "take");
    EXPECT_EQ(take->time.millisecond, 789);
    EXPECT_EQ(asked, 4);
}

TEST(ReadItemInfo, SizeIsTheLowThirtyTwoBits) {
    TempDir dir;
    const std::string path = dir / "huge.wav";
    WriteFileBytes(path, "");
    if (truncate(path.c_str(), (int64_t {1} << 32) + 5) != 0) GTEST_SKIP() << "no sparse 4 GiB file here";
    CRecordingItemsModel items;
    CTrackFiles files(items, nullptr);
    EXPECT_EQ(files.ReadItemInfo(path.c_str())->size, 5u);
}

// The user removes a row above the track while it closes: the track's own row is the one
// refreshed, never left at "Now Recording ...".
TEST_F(Recording, ARowRemovedWhileTheTrackClosesLeavesTheTrackRowRefreshed) {
    OpenTrack();
    ASSERT_TRUE(CloseTrack());
    OpenTrack();
    reader.whileReading = [this] { items.Remove(0); };
    EXPECT_TRUE(CloseTrack());
    ASSERT_EQ(items.Count(), 1);
    EXPECT_EQ(RowPath(0), written.str());
    EXPECT_EQ(items.CellText(0, kColumnLength).str().find("Now Recording"), std::string::npos);
    EXPECT_EQ(items.CurrentRow(), 0);
}

TEST(WrittenPathAtOpen, TakesTheNameByCreatingItAndNeverThroughALink) {
    TempDir dir;
    const std::string victim = dir / "victim.txt";
    WriteFileBytes(victim, "keep me");
    ASSERT_EQ(symlink(victim.c_str(), (dir / "rec.wav").c_str()), 0);
    ASSERT_EQ(symlink((dir / "nowhere").c_str(), (dir / "rec_2.wav").c_str()), 0);
    const CCharString written = WrittenPathAtOpen((dir / "new/rec.wav").c_str());
    EXPECT_EQ(written.str(), dir / "new/rec.wav") << "its folder is made first";
    EXPECT_EQ(WrittenPathAtOpen((dir / "rec.wav").c_str()).str(), dir / "rec_3.wav");
    struct stat st {};
    ASSERT_EQ(lstat(written.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode) && st.st_size == 0) << "created empty, so no one else can take it";
    EXPECT_EQ(ReadFileBytes(victim), "keep me");
    EXPECT_FALSE(PathExists(dir / "nowhere"));

    RemoveIfUnused(written);
    EXPECT_FALSE(PathExists(written.str()));
    WriteFileBytes(written.str(), "audio");
    RemoveIfUnused(written);
    EXPECT_EQ(ReadFileBytes(written.str()), "audio") << "a file its writer wrote to stays";
}

// Two recorders open a track under the same name at the same moment: each forked child looks for
// a free name, waits (told the name, it sleeps) so that both have looked before either creates, then
// writes its own WAV through the writer. Neither may end up in the other's file.
TEST(WrittenPathAtOpen, TwoRecordersAtTheSameMomentGetTwoFiles) {
    TempDir dir;
    const CCharString planned = (dir / "same.wav").c_str();
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            close(start[1]);
            char go;
            [[maybe_unused]] const ssize_t got = read(start[0], &go, 1);  // released together
            const CCharString written = WrittenPathAtOpen(planned, [](const CCharString&) { usleep(300 * 1000); });
            CWavWriter writer;
            const std::vector<int16_t> samples(8000, static_cast<int16_t>(1000 * (child + 1)));
            const bool ok = writer.Open(written.c_str()) && writer.SetFormat(16, 8000, 1, 16, -1, -1) &&
                            writer.Begin() &&
                            writer.Write(reinterpret_cast<const char*>(samples.data()),
                                         static_cast<int>(samples.size() * 2)) &&
                            writer.End() && writer.Close();
            _exit(ok ? 0 : 1);
        }
    }
    close(start[0]);
    close(start[1]);
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer failed";
    }
    std::set<int16_t> seen;
    for (const char* name : {"same.wav", "same_2.wav"}) {
        const std::string bytes = ReadFileBytes(dir / name);
        ASSERT_EQ(bytes.size(), 44u + 16000u) << name;
        int16_t last;
        memcpy(&last, bytes.data() + bytes.size() - 2, 2);
        seen.insert(last);
    }
    EXPECT_EQ(seen, (std::set<int16_t>{1000, 2000})) << "each recorder's audio in a file of its own";
}
