// A track deleted by the user goes to the trash (the test program's own data folder, not made
// yet, as in a new account), not away.
#include "app/files/TrackDeletion.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace {

TEST(TrackDeletion, GoesToTheTrashAndLeavesAMissingFileAlone) {
    TempDir music;
    const std::string track = music / "Take001.wav";
    WriteFileBytes(track, "RIFF");
    DiscardTrackFile(track.c_str());
    EXPECT_FALSE(PathExists(track));
    EXPECT_EQ(ReadFileBytes(std::string(std::getenv("XDG_DATA_HOME")) + "/Trash/files/Take001.wav"), "RIFF");

    DiscardTrackFile(track.c_str());
    DiscardTrackFile("");
    EXPECT_EQ(FilesUnder(music.path()), std::vector<std::string>{});
}

}  // namespace
