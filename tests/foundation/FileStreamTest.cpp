// CFileStream: open modes that never truncate, sharing with a second opener, sizes and positions.
#include "foundation/FileStream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/TempDir.h"

TEST(FileStream, ReadModeNeedsAnExistingFile) {
    TempDir dir;
    CFileStream file;
    EXPECT_EQ(file.Open((dir / "missing").c_str(), CFileStream::kRead), 0);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(PathExists(dir / "missing"));
    EXPECT_EQ(file.Read(nullptr, 1), -1);
    EXPECT_EQ(file.GetSize(), -1);
    EXPECT_EQ(file.Open(dir.path().c_str(), CFileStream::kRead), 0) << "a folder is not a file";
}

TEST(FileStream, WriteModesCreateButNeverTruncate) {
    TempDir dir;
    const std::string path = dir / "a.bin";
    {
        CFileStream file;
        ASSERT_EQ(file.Open(path.c_str(), CFileStream::kWrite), 1);
        EXPECT_EQ(file.Write("hello world", 11), 11);
    }
    CFileStream file;
    ASSERT_EQ(file.Open(path.c_str(), CFileStream::kReadWrite), 1);
    EXPECT_EQ(file.GetSize(), 11);
    EXPECT_EQ(file.Write("HE", 2), 2);
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
        int result;
    } cases[] = {
        {"planted.wav", CFileStream::kWrite, 0},
        {"planted.wav", CFileStream::kReadWrite, 0},
        {"planted.wav", CFileStream::kWrite | CFileStream::kNew, 0},
        {"dangling.wav", CFileStream::kWrite, 0},
        {"dangling.wav", CFileStream::kWrite | CFileStream::kNew, 0},
        {"victim.txt", CFileStream::kReadWrite | CFileStream::kNew, 0},
        {"victim.txt", CFileStream::kRead | CFileStream::kNew, 0},
        {"planted.wav", CFileStream::kRead, 1},  // reading an existing file through a link is fine
        {"fresh.wav", CFileStream::kWrite | CFileStream::kNew, 1},
    };
    for (const auto& c : cases) {
        CFileStream file;
        EXPECT_EQ(file.Open((dir / c.name).c_str(), c.mode), c.result) << c.name << " mode " << c.mode;
        if (file.IsOpen() && (c.mode & CFileStream::kWrite)) {
            EXPECT_EQ(file.Write("x", 1), 1);
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
    ASSERT_EQ(writer.Open(path.c_str(), CFileStream::kWrite), 1);
    ASSERT_EQ(writer.Write("0123456789", 10), 10);

    CFileStream editor;
    ASSERT_EQ(editor.Open(path.c_str(), CFileStream::kReadWrite), 1);
    EXPECT_EQ(editor.GetSize(), 10);
    ASSERT_EQ(editor.Seek(0, CFileStream::kFromEnd), 1);
    EXPECT_EQ(editor.Write("TAG", 3), 3);
    editor.Close();
    EXPECT_EQ(writer.GetSize(), 13);
}

TEST(FileStream, ReadSetsEndOfFileOnlyOnAnEmptyRead) {
    TempDir dir;
    WriteFileBytes(dir / "f", "abc");
    CFileStream file;
    ASSERT_EQ(file.Open((dir / "f").c_str(), CFileStream::kRead), 1);
    char buffer[8];
    EXPECT_EQ(file.Read(buffer, 8), 3);
    EXPECT_FALSE(file.IsEof());
    EXPECT_EQ(file.Read(buffer, 8), 0);
    EXPECT_TRUE(file.IsEof());
    EXPECT_EQ(file.Seek(1, CFileStream::kFromStart), 1);
    EXPECT_FALSE(file.IsEof());
    EXPECT_EQ(file.Read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], 'b');
    EXPECT_EQ(file.Tell(), 2);
    EXPECT_EQ(file.Seek(-1, CFileStream::kFromCurrent), 1);
    EXPECT_EQ(file.Tell(), 1);
    EXPECT_EQ(file.Seek(-10, CFileStream::kFromStart), 0);
    EXPECT_EQ(file.Write("x", 1), -1) << "read-only";
}

TEST(FileStream, SetLengthCutsAndKeepsThePositionInside) {
    TempDir dir;
    CFileStream file;
    ASSERT_EQ(file.Open((dir / "f").c_str(), CFileStream::kReadWrite), 1);
    ASSERT_EQ(file.Write("0123456789", 10), 10);
    EXPECT_EQ(file.SetLength(4), 1);
    EXPECT_EQ(file.GetSize(), 4);
    EXPECT_EQ(file.Tell(), 4);
    ASSERT_EQ(file.Seek(1, CFileStream::kFromStart), 1);
    EXPECT_EQ(file.SetLength(8), 1);
    EXPECT_EQ(file.Tell(), 1);
    EXPECT_EQ(file.GetSize(), 8);
    EXPECT_EQ(file.SetEndOfFile(), 1);
    EXPECT_EQ(file.GetSize(), 1);
    EXPECT_EQ(file.Flush(), 1);
}
