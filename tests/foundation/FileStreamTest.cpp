// CFileStream: open modes that never truncate, sharing with a second opener, sizes and positions,
// and failures that carry their errno.
#include "foundation/FileStream.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

TEST(FileStream, ReadModeNeedsAnExistingFile) {
    TempDir dir;
    CFileStream file;
    const Result<void> missing = file.Open((dir / "missing").c_str(), CFileStream::kRead);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().error, ENOENT);
    EXPECT_EQ(missing.error().message.SourceText(), std::strerror(ENOENT));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(PathExists(dir / "missing"));
    const Result<int64_t> read = file.Read(nullptr, 1);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().error, EBADF);
    EXPECT_EQ(file.GetSize(), -1);
    const Result<void> folder = file.Open(dir.path().c_str(), CFileStream::kRead);
    ASSERT_FALSE(folder) << "a folder is not a file";
    EXPECT_EQ(folder.error().error, EISDIR);
}

TEST(FileStream, WriteModesCreateButNeverTruncate) {
    TempDir dir;
    const std::string path = dir / "a.bin";
    {
        CFileStream file;
        ASSERT_TRUE(file.Open(path.c_str(), CFileStream::kWrite));
        EXPECT_TRUE(file.Write("hello world", 11));
    }
    CFileStream file;
    ASSERT_TRUE(file.Open(path.c_str(), CFileStream::kReadWrite));
    EXPECT_EQ(file.GetSize(), 11);
    EXPECT_TRUE(file.Write("HE", 2));
    file.Close();
    EXPECT_EQ(ReadFileBytes(path), "HEllo world");
}

TEST(FileStream, WritingNeverFollowsALinkAndNewRefusesWhatExists) {
    TempDir dir;
    const std::string victim = dir / "victim.txt";
    WriteFileBytes(victim, "keep me");
    ASSERT_EQ(symlink(victim.c_str(), (dir / "planted.wav").c_str()), 0);
    ASSERT_EQ(symlink((dir / "nowhere").c_str(), (dir / "dangling.wav").c_str()), 0);
    const struct {
        const char* name;
        int mode;
        int error;  // 0: opens
    } cases[] = {
        {"planted.wav", CFileStream::kWrite, ELOOP},
        {"planted.wav", CFileStream::kReadWrite, ELOOP},
        {"planted.wav", CFileStream::kWrite | CFileStream::kNew, EEXIST},
        {"dangling.wav", CFileStream::kWrite, ELOOP},
        {"dangling.wav", CFileStream::kWrite | CFileStream::kNew, EEXIST},
        {"victim.txt", CFileStream::kReadWrite | CFileStream::kNew, EEXIST},
        {"victim.txt", CFileStream::kRead | CFileStream::kNew, EINVAL},
        {"planted.wav", CFileStream::kRead, 0},  // reading an existing file through a link is fine
        {"fresh.wav", CFileStream::kWrite | CFileStream::kNew, 0},
    };
    for (const auto& c : cases) {
        CFileStream file;
        const Result<void> opened = file.Open((dir / c.name).c_str(), c.mode);
        EXPECT_EQ(opened ? 0 : opened.error().error, c.error) << c.name << " mode " << c.mode;
        if (file.IsOpen() && (c.mode & CFileStream::kWrite)) {
            EXPECT_TRUE(file.Write("x", 1));
        }
    }
    EXPECT_EQ(ReadFileBytes(victim), "keep me");
    EXPECT_FALSE(PathExists(dir / "nowhere")) << "a dangling link must not create its target";
    EXPECT_EQ(ReadFileBytes(dir / "fresh.wav"), "x");
}

TEST(FileStream, ASecondOpenerSeesAndChangesTheWritersFile) {
    TempDir dir;
    const std::string path = dir / "track.wav";
    CFileStream writer;
    ASSERT_TRUE(writer.Open(path.c_str(), CFileStream::kWrite));
    ASSERT_TRUE(writer.Write("0123456789", 10));

    CFileStream editor;
    ASSERT_TRUE(editor.Open(path.c_str(), CFileStream::kReadWrite));
    EXPECT_EQ(editor.GetSize(), 10);
    ASSERT_TRUE(editor.Seek(0, CFileStream::kFromEnd));
    EXPECT_TRUE(editor.Write("TAG", 3));
    editor.Close();
    EXPECT_EQ(writer.GetSize(), 13);
}

TEST(FileStream, ReadSetsEndOfFileOnlyOnAnEmptyRead) {
    TempDir dir;
    WriteFileBytes(dir / "f", "abc");
    CFileStream file;
    ASSERT_TRUE(file.Open((dir / "f").c_str(), CFileStream::kRead));
    char buffer[8];
    EXPECT_EQ(file.Read(buffer, 8).value_or(-1), 3);
    EXPECT_FALSE(file.IsEof());
    EXPECT_EQ(file.Read(buffer, 8).value_or(-1), 0);
    EXPECT_TRUE(file.IsEof());
    EXPECT_TRUE(file.Seek(1, CFileStream::kFromStart));
    EXPECT_FALSE(file.IsEof());
    EXPECT_EQ(file.Read(buffer, 1).value_or(-1), 1);
    EXPECT_EQ(buffer[0], 'b');
    EXPECT_EQ(file.Tell(), 2);
    EXPECT_TRUE(file.Seek(-1, CFileStream::kFromCurrent));
    EXPECT_EQ(file.Tell(), 1);
    const Result<void> before = file.Seek(-10, CFileStream::kFromStart);
    ASSERT_FALSE(before);
    EXPECT_EQ(before.error().error, EINVAL);
    const Result<void> written = file.Write("x", 1);
    ASSERT_FALSE(written) << "read-only";
    EXPECT_EQ(written.error().error, EBADF);
}

TEST(FileStream, SetLengthCutsAndKeepsThePositionInside) {
    TempDir dir;
    CFileStream file;
    ASSERT_TRUE(file.Open((dir / "f").c_str(), CFileStream::kReadWrite));
    ASSERT_TRUE(file.Write("0123456789", 10));
    EXPECT_TRUE(file.SetLength(4));
    EXPECT_EQ(file.GetSize(), 4);
    EXPECT_EQ(file.Tell(), 4);
    ASSERT_TRUE(file.Seek(1, CFileStream::kFromStart));
    EXPECT_TRUE(file.SetLength(8));
    EXPECT_EQ(file.Tell(), 1);
    EXPECT_EQ(file.GetSize(), 8);
    EXPECT_TRUE(file.SetEndOfFile());
    EXPECT_EQ(file.GetSize(), 1);
    EXPECT_TRUE(file.Flush());
}

// The file-size limit stands in for a full disk: the kernel writes what fits, then refuses.
TEST(FileStream, AWriteTheDiskStopsIsCutOffWhereItBegan) {
    TempDir dir;
    CFileStream file;
    ASSERT_TRUE(file.Open((dir / "f").c_str(), CFileStream::kWrite));
    ASSERT_TRUE(file.Write("head", 4));
    Result<void> written;
    Result<void> reserved;
    {
        ScopedFileSizeLimit limit(10);
        written = file.Write("0123456789", 10);
        reserved = file.Reserve(20);
    }
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().error, EFBIG);
    EXPECT_EQ(written.error().message.SourceText(), std::strerror(EFBIG));
    EXPECT_EQ(file.GetSize(), 4) << "the six bytes that fitted are gone again";
    EXPECT_EQ(file.Tell(), 4);
    ASSERT_FALSE(reserved);
    EXPECT_EQ(reserved.error().error, EFBIG);
    ASSERT_TRUE(file.Write("tail", 4));
    file.Close();
    EXPECT_EQ(ReadFileBytes(dir / "f"), "headtail");
}
