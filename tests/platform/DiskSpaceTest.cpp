// Free space of the output folder, the hours it holds, and the space held back for a full disk.
#include "platform/DiskSpace.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <gtest/gtest.h>

#include "foundation/PathUtils.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

TEST(DiskSpace, AgreesWithDfAndMeasuresAFolderNotYetCreatedAtItsParent) {
    TempDir dir;
    const Result<DiskSpace> measured = QueryDiskSpace(dir.path().c_str());
    const Result<DiskSpace> measuredLater = QueryDiskSpace((dir / "2024-06-01/No.1").c_str());
    ASSERT_TRUE(measured) << measured.error().message.SourceText();
    ASSERT_TRUE(measuredLater) << measuredLater.error().message.SourceText();
    const DiskSpace& here = *measured;
    const DiskSpace& later = *measuredLater;
    EXPECT_EQ(here.totalBytes, later.totalBytes);
    EXPECT_GT(here.totalBytes, 0u);
    EXPECT_LE(here.freeBytes, here.totalBytes);

    const ProcessResult df = RunProcess("df --output=avail -B1 " + ShellQuote(dir.path()) + " | tail -n 1");
    ASSERT_EQ(df.exitCode, 0);
    const double dfFree = std::strtod(df.output.c_str(), nullptr);
    // Other processes write meanwhile; the two readings only need to be close.
    EXPECT_NEAR(static_cast<double>(here.freeBytes), dfFree, 256.0 * 1024 * 1024);
}

TEST(DiskSpace, AFileInThePathIsMeasuredAtItsFileSystemAndNothingIsAFailure) {
    TempDir dir;
    WriteFileBytes(dir / "file", "x");
    const Result<DiskSpace> space = QueryDiskSpace((dir / "file/below").c_str());
    ASSERT_TRUE(space) << space.error().message.SourceText();
    EXPECT_GT(space->totalBytes, 0u);
    EXPECT_TRUE(QueryDiskSpace("relative/not/there")) << "measured at the working folder";
}

TEST(DiskSpace, HoursAtByteRate) {
    // CD-quality WAV: 44100 Hz × 2 channels × 2 bytes.
    EXPECT_DOUBLE_EQ(HoursAtByteRate(176400ull * 3600 * 5, 176400), 5.0);
    // 128 kbit/s MP3 in 1 GB.
    EXPECT_NEAR(HoursAtByteRate(1000000000ull, 16000), 17.36, 0.01);
    EXPECT_LT(HoursAtByteRate(1000, 0), 0);
    EXPECT_LT(HoursAtByteRate(1000, -1), 0);
}

TEST(DiskReserve, HoldsRealBlocksAndGivesThemBack) {
    TempDir dir;
    CDiskReserve reserve;
    ASSERT_TRUE(reserve.Hold(CCharString(dir.path().c_str()), 64 * 1024));
    EXPECT_TRUE(reserve.IsHeld());
    std::string held;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) held = entry.path().string();
    ASSERT_FALSE(held.empty());
    struct stat st {};
    ASSERT_EQ(stat(held.c_str(), &st), 0);
    EXPECT_GE(st.st_blocks * 512, 64 * 1024) << "allocated, not sparse";
    EXPECT_EQ(FileNameOf(CCharString(held.c_str())).ByteAt(0), '.') << "hidden from file lists";
    reserve.Release();
    EXPECT_FALSE(PathExists(held));
    const Result<void> missing = reserve.Hold(CCharString((dir / "missing").c_str()), 1024);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().error, ENOENT);
    EXPECT_FALSE(reserve.IsHeld());
}
