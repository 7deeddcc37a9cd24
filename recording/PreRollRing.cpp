// The pre-roll ring.
#include "recording/PreRollRing.h"

#include <algorithm>
#include <cstring>

void CPreRollRing::Reserve(int bytes, int frameBytes) {
    m_frameBytes = std::max(frameBytes, 1);
    m_room.assign(static_cast<size_t>(std::max(bytes, 0) / m_frameBytes * m_frameBytes), 0);
    m_end = 0;
    m_size = 0;
}

void CPreRollRing::Push(const char* data, int byteCount, int keepBytes) {
    const int capacity = static_cast<int>(m_room.size());
    const int keep = std::min(keepBytes, capacity) / m_frameBytes * m_frameBytes;
    if (keep <= 0) {
        Clear();
        return;
    }
    // Of a buffer longer than the room only its end can be kept.
    if (byteCount > capacity) {
        data += byteCount - capacity;
        byteCount = capacity;
    }
    const int first = std::min(byteCount, capacity - m_end);
    std::memcpy(m_room.data() + m_end, data, static_cast<size_t>(first));
    std::memcpy(m_room.data(), data + first, static_cast<size_t>(byteCount - first));
    m_end = (m_end + byteCount) % capacity;
    m_size = std::min(m_size + byteCount, keep);
}
