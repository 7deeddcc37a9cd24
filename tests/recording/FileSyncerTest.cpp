// CFileSyncer: syncs the followed file over and over, a last time when it is let go or at the
// end, and closes every descriptor it was given.
#include "recording/FileSyncer.h"

#include <fcntl.h>
#include <unistd.h>

#include <thread>

#include <gtest/gtest.h>

#include "tests/support/Eventually.h"
#include "tests/support/TempDir.h"

namespace {

bool IsOpen(int fd) { return fcntl(fd, F_GETFD) != -1; }

}  // namespace

TEST(FileSyncer, SyncsTheFollowedFileAndClosesWhatItLetsGo) {
    TempDir dir;
    const std::string path = dir / "track.wav";
    WriteFileBytes(path, "RIFF");
    const int first = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const int second = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    {
        CFileSyncer syncer(std::chrono::milliseconds(20));
        syncer.Follow(first);
        EXPECT_TRUE(Eventually([&] { return syncer.SyncCount() >= 3; })) << "synced again and again";

        syncer.Follow(-1);
        EXPECT_TRUE(Eventually([&] { return !IsOpen(first); })) << "the file let go is closed";
        const uint64_t synced = syncer.SyncCount();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(syncer.SyncCount(), synced) << "nothing is synced while nothing is followed";

        syncer.Follow(second);
    }
    EXPECT_FALSE(IsOpen(second)) << "the end closes the file followed last";
}
