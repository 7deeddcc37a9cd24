// Cell texts of the items list, its row operations and commands, and changes from another thread.
#include "app/files/RecordingItemsModel.h"

#include <atomic>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

#include "tests/support/GermanLocale.h"
#include "tests/support/TempDir.h"

namespace {

RecordingItem FinishedItem(const char* path) {
    RecordingItem item;
    item.path = path;
    item.kind = OutputFormat::Wav;
    item.lengthMs = 65432;
    item.time = LocalDateTime {2005, 6, 1, 10, 20, 30, 987};
    return item;
}

std::string Cell(const RecordingItem& item, int column, int row = 0) { return ItemCellText(item, row, column).str(); }

}  // namespace

// The German locale a desktop may set must not turn 20.5 MB into "20 MB".
class ItemSizes : public ::testing::TestWithParam<bool> {};

TEST_P(ItemSizes, InKilobytesUpToTwentyMegabytesInEveryLocale) {
    std::optional<GermanLocale> german;
    if (GetParam()) german.emplace();
    RecordingItem item = FinishedItem("/rec/a.wav");
    item.size = 20971520;
    EXPECT_EQ(Cell(item, kColumnSize), "20,480 KB");
    item.size = 20971521;
    EXPECT_EQ(Cell(item, kColumnSize), "20.00 MB");
    item.size = 1500000;
    EXPECT_EQ(Cell(item, kColumnSize), "1,464 KB");
    item.size = 1294532198;
    EXPECT_EQ(Cell(item, kColumnSize), "1,234.56 MB");
    item.size = 0;
    EXPECT_EQ(Cell(item, kColumnSize), "0 KB");
}

INSTANTIATE_TEST_SUITE_P(Locales, ItemSizes, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "German" : "C"; });

TEST(ItemCells, LengthWithTheFileTimeInTenths) {
    RecordingItem item = FinishedItem("/rec/a.wav");
    EXPECT_EQ(Cell(item, kColumnLength), " 1:05.43 [06/01 10:20:30.09]");
    item.lengthMs = 61 * 60000 + 30000 + 5;
    item.time.millisecond = 50;
    EXPECT_EQ(Cell(item, kColumnLength), "61:30.00 [06/01 10:20:30.00]");
    item.lengthMs = 0;
    EXPECT_EQ(Cell(item, kColumnLength), "Now Recording ...");
}

TEST(ItemCells, QualityTexts) {
    RecordingItem item = FinishedItem("/rec/a.wav");
    EXPECT_EQ(Cell(item, kColumnQuality), "") << "no sample rate or channels yet";
    item.sampleRate = 44100;
    item.channels = 2;
    EXPECT_EQ(Cell(item, kColumnQuality), "44.1kHz/S(16bit)");
    item.sampleRate = 22050;
    item.channels = 1;
    item.bitRate = 32000;
    EXPECT_EQ(Cell(item, kColumnQuality), "32kbps/22.1kHz/M");
    item.sampleRate = 8000;
    item.bitRate = 8000;
    EXPECT_EQ(Cell(item, kColumnQuality), "8kbps/8.0kHz/M");
    item.channels = 0;
    EXPECT_EQ(Cell(item, kColumnQuality), "");
}

TEST(ItemCells, NameNumberTitleAndArtist) {
    RecordingItem item = FinishedItem("/rec/2005-06-01/No.01.wav");
    EXPECT_EQ(Cell(item, kColumnFileName), "No.01.wav");
    EXPECT_EQ(Cell(item, kColumnNumber, 41), "42");
    EXPECT_EQ(Cell(item, kColumnArtist), " ()") << "a file without tags";
    item.title = "曲";
    item.artist = "アーティスト";
    item.album = "Live";
    item.trackNumber = 3;
    EXPECT_EQ(Cell(item, kColumnTitle), "曲");
    EXPECT_EQ(Cell(item, kColumnArtist), "アーティスト (Live : 3)");
    item.trackNumber = 12;
    EXPECT_EQ(Cell(item, kColumnArtist), "アーティスト (Live :12)");
    item.trackNumber = 0;
    EXPECT_EQ(Cell(item, kColumnArtist), "アーティスト (Live)");
    EXPECT_EQ(Cell(item, kItemColumnCount), "");
}

TEST(ItemCells, RowBeingRecordedShowsOnlyItsNameNumberSizeAndState) {
    RecordingItem item;
    item.path = "/rec/No.01-？.wav";
    EXPECT_EQ(Cell(item, kColumnFileName), "No.01-？.wav");
    EXPECT_EQ(Cell(item, kColumnLength), "Now Recording ...");
    for (int column : {kColumnTitle, kColumnArtist, kColumnQuality}) EXPECT_EQ(Cell(item, column), "") << column;
}

// Each change names its rows and carries the rows as they now are, in the order of the changes,
// so a view can mirror the list exactly.
TEST(ItemsModel, RowsCurrentRowAndChanges) {
    CRecordingItemsModel model;
    std::vector<ItemsChange> changes;
    model.SetChangeListener([&](const ItemsChange& change) { changes.push_back(change); });
    EXPECT_EQ(model.Insert(FinishedItem("/a.wav")), 0);
    EXPECT_EQ(model.Insert(FinishedItem("/b.wav")), 1);
    EXPECT_EQ(model.InsertCurrent(FinishedItem("/c.wav")), 2);
    const uint64_t key = model.CurrentKey();
    EXPECT_TRUE(model.Replace(1, FinishedItem("/B.wav")));
    EXPECT_FALSE(model.Replace(3, FinishedItem("/x.wav")));
    EXPECT_EQ(model.CellText(1, kColumnFileName).str(), "B.wav");
    EXPECT_EQ(model.CellText(7, kColumnFileName).str(), "");
    EXPECT_EQ(model.Version(), 4u);

    // Removing a row above the current one keeps the current row on the same item.
    EXPECT_TRUE(model.Remove(0));
    EXPECT_FALSE(model.Remove(5));
    EXPECT_EQ(model.CurrentRow(), 1);
    EXPECT_EQ(model.Item(1)->path.str(), "/c.wav");
    EXPECT_EQ(model.CellText(1, kColumnNumber).str(), "2");
    EXPECT_TRUE(model.ReplaceKeyed(key, FinishedItem("/C.wav")));
    EXPECT_EQ(model.CurrentFile().str(), "/C.wav");
    // A closed track's row is found by its key after the next track's row became the current one.
    EXPECT_EQ(model.InsertCurrent(FinishedItem("/d.wav")), 2);
    EXPECT_TRUE(model.ReplaceKeyed(key, FinishedItem("/C2.wav")));
    EXPECT_EQ(model.Item(1)->path.str(), "/C2.wav");
    EXPECT_EQ(model.CurrentFile().str(), "/d.wav");
    model.RemoveRows({2, 1, 0});
    EXPECT_EQ(model.CurrentRow(), -1);
    EXPECT_FALSE(model.ReplaceKeyed(key, FinishedItem("/y.wav")));
    EXPECT_EQ(model.Count(), 0);
    model.Insert(FinishedItem("/d.wav"));
    model.Insert(FinishedItem("/e.wav"));
    model.RemoveAll();
    EXPECT_FALSE(model.Item(0));

    struct Expected {
        ItemsChangeKind kind;
        int row;
        int count;
        const char* path;  // of the first row carried; null when none
    };
    const Expected expected[] = {
        {ItemsChangeKind::Inserted, 0, 1, "/a.wav"}, {ItemsChangeKind::Inserted, 1, 1, "/b.wav"},
        {ItemsChangeKind::Inserted, 2, 1, "/c.wav"}, {ItemsChangeKind::Updated, 1, 1, "/B.wav"},
        {ItemsChangeKind::Removed, 0, 1, nullptr},   {ItemsChangeKind::Updated, 1, 1, "/C.wav"},
        {ItemsChangeKind::Inserted, 2, 1, "/d.wav"}, {ItemsChangeKind::Updated, 1, 1, "/C2.wav"},
        {ItemsChangeKind::Removed, 2, 1, nullptr},   {ItemsChangeKind::Removed, 1, 1, nullptr},
        {ItemsChangeKind::Removed, 0, 1, nullptr},
        {ItemsChangeKind::Inserted, 0, 1, "/d.wav"}, {ItemsChangeKind::Inserted, 1, 1, "/e.wav"},
        {ItemsChangeKind::Removed, 0, 2, nullptr},
    };
    ASSERT_EQ(changes.size(), std::size(expected));
    for (size_t i = 0; i < changes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(changes[i].kind, expected[i].kind);
        EXPECT_EQ(changes[i].row, expected[i].row);
        EXPECT_EQ(changes[i].count, expected[i].count);
        EXPECT_EQ(changes[i].version, i + 1);
        if (expected[i].path) {
            ASSERT_EQ(changes[i].items.size(), 1u);
            EXPECT_EQ(changes[i].items[0].path.str(), expected[i].path);
        } else {
            EXPECT_TRUE(changes[i].items.empty());
        }
    }
}

TEST(ItemsModel, RemoveRowsKeepsFiles) {
    TempDir dir;
    CRecordingItemsModel model;
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav"}) {
        WriteFileBytes(dir / name, name);
        model.Insert(FinishedItem((dir / name).c_str()));
    }
    model.RemoveRows({2, 0, 2});
    ASSERT_EQ(model.Count(), 2);
    EXPECT_EQ(model.Item(0)->path.str(), dir / "b.wav");
    EXPECT_EQ(model.Item(1)->path.str(), dir / "d.wav");
    EXPECT_TRUE(PathExists(dir / "a.wav"));
    EXPECT_TRUE(PathExists(dir / "c.wav"));
}

// Splits change the rows on the audio thread while the GUI thread reads them: every read must
// see whole rows in a consistent order.
TEST(ItemsModel, ChangedOnOneThreadWhileAnotherReads) {
    CRecordingItemsModel model;
    std::atomic<bool> done {false};
    std::atomic<int> notified {0};
    model.SetChangeListener([&](const ItemsChange&) { notified.fetch_add(1, std::memory_order_relaxed); });
    constexpr int kTracks = 2000;

    std::thread audio([&] {
        for (int track = 0; track < kTracks; ++track) {
            RecordingItem item;
            item.path = CCharString::Formatted("/rec/track-%04d-？.wav", track);
            const int row = model.Insert(item);
            model.SetCurrent(item.path, row);
            RecordingItem finished = FinishedItem(CCharString::Formatted("/rec/track-%04d.wav", track));
            finished.title = CCharString::Formatted("%d", track);
            model.Replace(row, finished);
            if (track % 10 == 9) model.Remove(0);
        }
        done = true;
    });

    int reads = 0;
    bool consistent = true;
    while (!done || reads == 0) {
        const std::vector<RecordingItem> rows = model.Snapshot();
        int previous = -1;
        for (const RecordingItem& row : rows) {
            int track = -1;
            std::sscanf(row.path.c_str(), "/rec/track-%d", &track);
            const bool whole = !row.kind ? row.title.IsEmpty() : row.title.str() == std::to_string(track);
            if (track <= previous || !whole) consistent = false;
            previous = track;
        }
        const int count = model.Count();
        if (count > 0) model.CellText(count - 1, kColumnArtist);
        ++reads;
    }
    audio.join();

    EXPECT_TRUE(consistent);
    EXPECT_GT(reads, 0);
    EXPECT_EQ(model.Count(), kTracks - kTracks / 10);
    EXPECT_EQ(model.Item(0)->path.str(), "/rec/track-0200.wav");
    EXPECT_EQ(notified.load(), 2 * kTracks + kTracks / 10);
    EXPECT_EQ(model.CurrentRow(), model.Count() - 1);
}
