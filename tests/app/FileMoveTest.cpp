// Free names and moves that never lose or replace a file, within and across file systems.
#include "app/files/FileMove.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/OtherFileSystemDir.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

namespace {

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
}

}  // namespace

TEST(FileMove, UniquePathsSkipFilesFoldersAndLinks) {
    TempDir dir;
    const CCharString rec = (dir / "rec.wav").c_str();
    EXPECT_EQ(MakeUniquePath(rec).str(), dir / "rec.wav");
    WriteFileBytes(dir / "rec.wav", "a");
    EXPECT_EQ(MakeUniquePath(rec).str(), dir / "rec_2.wav");
    mkdir((dir / "rec_2.wav").c_str(), 0755);
    ASSERT_EQ(symlink("nowhere", (dir / "rec_3.wav").c_str()), 0);
    EXPECT_EQ(MakeUniquePath(rec).str(), dir / "rec_4.wav") << "a folder and a dangling link count as taken";

    // The number goes before the extension of the file name only.
    mkdir((dir / "v1.0").c_str(), 0755);
    WriteFileBytes(dir / "v1.0/take", "a");
    EXPECT_EQ(MakeUniquePath((dir / "v1.0/take").c_str()).str(), dir / "v1.0/take_2");
}

TEST(FileMove, RenamesWithoutReplacing) {
    TempDir dir;
    WriteFileBytes(dir / "a.wav", "track");
    WriteFileBytes(dir / "b.wav", "other");
    EXPECT_FALSE(MoveFile((dir / "a.wav").c_str(), (dir / "b.wav").c_str()));
    EXPECT_EQ(ReadFileBytes(dir / "a.wav"), "track");
    EXPECT_EQ(ReadFileBytes(dir / "b.wav"), "other");

    EXPECT_TRUE(MoveFile((dir / "a.wav").c_str(), (dir / "a.wav").c_str())) << "onto its own path";
    EXPECT_EQ(ReadFileBytes(dir / "a.wav"), "track");

    EXPECT_TRUE(MoveFile((dir / "a.wav").c_str(), (dir / "c.wav").c_str()));
    EXPECT_FALSE(PathExists(dir / "a.wav"));
    EXPECT_EQ(ReadFileBytes(dir / "c.wav"), "track");
    EXPECT_FALSE(MoveFile((dir / "missing.wav").c_str(), (dir / "d.wav").c_str()));
    EXPECT_FALSE(PathExists(dir / "d.wav"));
}

TEST(FileMove, CopiesAcrossFileSystemsByteExact) {
    TempDir dir;
    const OtherFileSystemDir other(dir.path());
    if (other.path().empty()) GTEST_SKIP() << "/dev/shm is missing or on the same file system as " << dir.path();

    // Larger than the copy buffer, not a multiple of it.
    const std::string audio = RandomBytes((3 << 20) + 1234, 7);
    WriteFileBytes(dir / "rec.wav", audio);
    const timespec times[2] = {{1117600000, 0}, {1117620000, 500000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "rec.wav").c_str(), times, 0), 0);

    const std::string target = other / "rec.wav";
    EXPECT_TRUE(MoveFile((dir / "rec.wav").c_str(), target.c_str()));
    EXPECT_FALSE(PathExists(dir / "rec.wav"));
    EXPECT_TRUE(ReadFileBytes(target) == audio);
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1117620000) << "the last-write time survives the copy";

    // Across file systems, too, an existing file is never replaced.
    WriteFileBytes(dir / "second.wav", "second");
    EXPECT_FALSE(MoveFile((dir / "second.wav").c_str(), target.c_str()));
    EXPECT_EQ(ReadFileBytes(dir / "second.wav"), "second");
    EXPECT_TRUE(ReadFileBytes(target) == audio);
}

TEST(FileMove, FailedCopyKeepsTheSourceAndLeavesNoPartialTarget) {
    TempDir dir;
    const OtherFileSystemDir other(dir.path());
    if (other.path().empty()) GTEST_SKIP() << "/dev/shm is missing or on the same file system as " << dir.path();
    const std::string audio = RandomBytes(3 << 20, 11);
    WriteFileBytes(dir / "rec.wav", audio);

    // A file-size limit makes the copy run out of room part way, as a full disk would; it binds
    // root too.
    ScopedFileSizeLimit limit(1 << 20);
    ASSERT_TRUE(limit.Active());
    const std::string target = other / "rec.wav";
    const bool moved = MoveFile((dir / "rec.wav").c_str(), target.c_str());
    limit.Lift();

    EXPECT_FALSE(moved);
    EXPECT_FALSE(PathExists(target));
    EXPECT_TRUE(ReadFileBytes(dir / "rec.wav") == audio);
}
