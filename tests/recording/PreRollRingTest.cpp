// The pre-roll ring keeps exactly the last bytes pushed, in order, across its end, in whole
// frames, however long the silence before and whatever the length asked for meanwhile.
#include "recording/PreRollRing.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string Drained(CPreRollRing& ring) {
    std::string out;
    ring.Drain([&](const char* data, int bytes) {
        out.append(data, static_cast<size_t>(bytes));
        return true;
    });
    return out;
}

TEST(PreRollRing, KeepsTheLastBytesInOrderAcrossItsEnd) {
    CPreRollRing ring;
    ring.Reserve(40, 4);  // ten frames of room
    std::string pushed;
    // Buffers of 12 bytes with their own letters: the kept part straddles the room's end.
    for (char letter = 'a'; letter <= 'k'; ++letter) {
        const std::string buffer(12, letter);
        pushed += buffer;
        ring.Push(buffer.data(), 12, 32);
    }
    EXPECT_EQ(Drained(ring), pushed.substr(pushed.size() - 32));
    EXPECT_EQ(ring.Size(), 0) << "drained means emptied";

    // Less asked for than pushed since: only that much, in whole frames; nothing when none.
    ring.Push("0123456789ab", 12, 10);
    EXPECT_EQ(Drained(ring), "456789ab");
    ring.Push("0123", 4, 0);
    EXPECT_EQ(Drained(ring), "");
    // A buffer longer than the room leaves its end.
    const std::string longer = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    ring.Push(longer.data(), static_cast<int>(longer.size()), 100);
    EXPECT_EQ(Drained(ring), longer.substr(longer.size() - 40));
}

}  // namespace
