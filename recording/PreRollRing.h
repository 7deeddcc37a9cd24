// CPreRollRing: the last moments of a silence, kept so that a track opened by returning sound can
// begin before it. Its room is taken once, before capture starts; pushing never allocates.
#pragma once

#include <cstdint>
#include <vector>

class CPreRollRing {
public:
    // Owner's thread, while no device runs: room for `bytes` of audio in whole frames of
    // `frameBytes`, emptied.
    void Reserve(int bytes, int frameBytes);
    // Audio thread: appends a buffer and keeps at most the last `keepBytes` (cut to the room and
    // to whole frames) of everything pushed since the last Clear.
    void Push(const char* data, int byteCount, int keepBytes);
    void Clear() { m_size = 0; }
    int Size() const { return m_size; }
    // What is kept, oldest first, in at most two pieces; `write` gets each and says whether it
    // took it.
    template <typename Write>
    bool Drain(Write write) {
        const int capacity = static_cast<int>(m_room.size());
        const int start = (m_end - m_size + capacity) % (capacity ? capacity : 1);
        const int first = m_size < capacity - start ? m_size : capacity - start;
        const int second = m_size - first;
        const bool taken = (first == 0 || write(m_room.data() + start, first)) &&
                           (second == 0 || write(m_room.data(), second));
        Clear();
        return taken;
    }

private:
    std::vector<char> m_room;
    int m_frameBytes = 1;
    int m_end = 0;   // where the next byte goes
    int m_size = 0;  // bytes kept, ending at m_end
};
