// The items list with the real readers: rows refreshed from files of every format, and what they show.
#include "app/files/AudioFacts.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/files/TrackFiles.h"
#include "audiofile/FormatTable.h"
#include "tags/WavTagFile.h"
#include "tests/support/ReaderTestFiles.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

const LocalDateTime kRowAdded{2024, 3, 9, 7, 5, 4, 321};

class ItemsFromFiles : public ::testing::Test {
protected:
    ItemsFromFiles() : files(items, ReadAudioFileFacts, [] { return kRowAdded; }) {}

    // A track opened at `provisional` (by the writer `write`) and closed to `final`; the row's texts.
    template <typename Write>
    std::optional<RecordingItem> Record(const std::string& provisional, const std::string& final, Write write) {
        if (!write(provisional) || !files.BeginItem(provisional.c_str())) return std::nullopt;
        TrackRow track = files.CurrentTrack();
        if (!files.FinishItem(track, dir.path().c_str(), final.c_str())) return std::nullopt;
        return items.Item(items.CurrentRow());
    }

    TempDir dir;
    CRecordingItemsModel items;
    CTrackFiles files;
};

}  // namespace

TEST_F(ItemsFromFiles, WavTrackShowsItsLengthTagsAndSampleSize) {
    const std::optional<RecordingItem> row = Record(dir / "rec.wav", dir / "final.wav", [](const std::string& p) {
        CWavTagFile editor;
        if (!WriteWav16(p, 44100, 2, MakePcm(441000, 2)) || !editor.Open(p.c_str())) return false;
        editor.Tags() = SampleTags();
        return editor.Write() && editor.Close();
    });
    ASSERT_TRUE(row);
    EXPECT_EQ(row->path, (dir / "final.wav").c_str());
    EXPECT_EQ(row->kind, OutputFormat::Wav);
    EXPECT_EQ(row->lengthMs, 10000);
    EXPECT_EQ(row->bitRate, 0) << "uncompressed";
    EXPECT_EQ(row->sampleRate, 44100);
    EXPECT_EQ(row->channels, 2);
    EXPECT_EQ(row->title, SampleTags().title);
    EXPECT_EQ(row->trackNumber, 7);
    EXPECT_EQ(items.CellText(0, 6), "44.1kHz/S(16bit)");
    EXPECT_EQ(items.CellText(0, 5), "Radio One (Morning Show : 7)");
    EXPECT_EQ(items.CellText(0, 4), SampleTags().title);
    EXPECT_EQ(items.CellText(0, 3).str().substr(0, 9), " 0:10.00 ");
}

TEST_F(ItemsFromFiles, HalfRateMonoMp3ShowsItsBitrate) {
    const std::string wav = ToneWav(dir / "src.wav", 22050, 1, 22050 * 4);
    const std::optional<RecordingItem> row = Record(dir / "rec.mp3", dir / "final.mp3", [&](const std::string& p) {
        return RunEncoder("lame --quiet --cbr -b 32 -m m " + ShellQuote(wav) + " " + ShellQuote(p));
    });
    ASSERT_TRUE(row);
    EXPECT_EQ(row->kind, OutputFormat::Mp3);
    EXPECT_NEAR(row->lengthMs, 4000, 100);  // whole frames, the encoder delay and padding included
    EXPECT_EQ(items.CellText(0, 6), "32kbps/22.1kHz/M");
    EXPECT_EQ(items.CellText(0, 5), " ()") << "no tags";
}

namespace {

struct CompressedCase {
    OutputFormat format;
    int bitrate;  // as the session passes it
    int64_t lengthSlackMs;  // whole codec frames beyond what was fed
    int minKbps, maxKbps;   // the quality cell's bitrate: the average for the variable formats
};

void PrintTo(const CompressedCase& c, std::ostream* out) { *out << FormatName(c.format); }

class CompressedRows : public ItemsFromFiles, public testing::WithParamInterface<CompressedCase> {};

}  // namespace

TEST_P(CompressedRows, CarryTheirTagsLengthAndBitrate) {
    const CompressedCase& c = GetParam();
    TagFieldSet tags = SampleTags();
    const char* extension = FormatRowOf(c.format).extension;
    const std::optional<RecordingItem> row =
        Record(dir / (std::string("rec") + extension), dir / (std::string("final") + extension),
               [&](const std::string& p) {
                   std::unique_ptr<CAudioWriter> writer = FormatRowOf(c.format).newWriter(c.bitrate);
                   return WriteToneTrack(*writer, p, c.bitrate, 44100, 2, 44100 * 2, &tags);
               });
    ASSERT_TRUE(row);
    EXPECT_EQ(row->kind, c.format);
    EXPECT_NEAR(row->lengthMs, 2000, c.lengthSlackMs);
    EXPECT_EQ(row->title, tags.title);
    EXPECT_EQ(row->artist, tags.artist);
    EXPECT_EQ(row->album, tags.album);
    EXPECT_EQ(row->trackNumber, tags.trackNumber);
    const std::string quality = items.CellText(0, 6).str();
    const int kbps = atoi(quality.c_str());
    EXPECT_TRUE(kbps >= c.minKbps && kbps <= c.maxKbps && quality.ends_with("kbps/44.1kHz/S")) << quality;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CompressedRows,
    testing::Values(CompressedCase{OutputFormat::OggVorbis, 40, 0, 64, 256}, CompressedCase{OutputFormat::Wma, 96000, 100, 96, 96},
                    CompressedCase{OutputFormat::Flac, 5, 0, 200, 1411}),
    [](const testing::TestParamInfo<CompressedCase>& info) { return std::string(FormatRowOf(info.param.format).option); });

TEST_F(ItemsFromFiles, AFileNoReaderAcceptsKeepsEmptyValues) {
    WriteFileBytes(dir / "broken.MP3", std::string(4096, 'x'));
    const std::optional<RecordingItem> item = files.ReadItemInfo((dir / "broken.MP3").c_str());
    ASSERT_TRUE(item);
    EXPECT_EQ(item->kind, OutputFormat::Mp3);
    EXPECT_EQ(item->size, 4096u);
    EXPECT_EQ(item->lengthMs, -1);
    EXPECT_EQ(item->sampleRate, 0);
    EXPECT_FALSE(ReadAudioFileFacts((dir / "broken.MP3").c_str()));
    EXPECT_FALSE(ReadAudioFileFacts((dir / "missing.wav").c_str()));
    WriteFileBytes(dir / "a.tmp", "RIFF");
    EXPECT_FALSE(ReadAudioFileFacts((dir / "a.tmp").c_str()));
}
