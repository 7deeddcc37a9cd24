// ASF objects as the WMA encoder lays them out: a header object holding the file properties, then
// the data object and its packets, all of one size.
#include "tags/AsfTotals.h"

#include <cstring>
#include <vector>

namespace {

// GUIDs as stored: their first three fields little-endian.
constexpr unsigned char kHeaderGuid[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                           0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr unsigned char kFilePropertiesGuid[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                                   0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr unsigned char kDataGuid[16] = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                         0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr int64_t kObjectHeaderSize = 24;
constexpr int64_t kHeaderObjectSize = 30;
constexpr int64_t kDataObjectSize = 50;
constexpr int64_t kFilePropertiesSize = 104;
// Field offsets in the file properties object.
constexpr int kFileSizeAt = 40, kPacketCountAt = 56, kPlayDurationAt = 64, kSendDurationAt = 72, kPrerollAt = 80,
              kMinPacketAt = 92, kMaxPacketAt = 96;
// Field offsets in the data object.
constexpr int kDataSizeAt = 16, kDataPacketsAt = 40;
// Far above any header the encoder writes, tags included.
constexpr int64_t kLargestHeader = 64 << 20;
// Durations are in 100-nanosecond units, the packets' times in milliseconds.
constexpr uint64_t kUnitsPerMs = 10000;

uint64_t Little(const unsigned char* at, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | at[i];
    return value;
}

void PutLittle64(unsigned char* at, uint64_t value) {
    for (int i = 0; i < 8; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

bool ReadAt(CFileStream& file, int64_t offset, unsigned char* buffer, int64_t length) {
    if (!file.Seek(offset, CFileStream::kFromStart)) return false;
    const Result<int64_t> read = file.Read(buffer, length);
    return read && *read == length;
}

bool WriteAt(CFileStream& file, int64_t offset, const unsigned char* buffer, int64_t length) {
    return file.Seek(offset, CFileStream::kFromStart) && file.Write(buffer, length);
}

// The end of a packet's time span in milliseconds, from its payload parsing information; -1 when
// the packet does not parse.
int64_t PacketEndMs(const std::vector<unsigned char>& packet) {
    size_t at = 0;
    // Error correction data: its length is in the flags' low bits when present.
    if (packet.empty()) return -1;
    if (packet[0] & 0x80) at = 1 + (packet[0] & 0x0F);
    if (at + 2 > packet.size()) return -1;
    const unsigned char lengthTypes = packet[at];
    at += 2;  // the length types and the property flags
    static constexpr int kFieldBytes[4] = {0, 1, 2, 4};
    // Packet length, sequence, padding length: sizes from bits 5-6, 1-2 and 3-4.
    at += kFieldBytes[(lengthTypes >> 5) & 3] + kFieldBytes[(lengthTypes >> 1) & 3] + kFieldBytes[(lengthTypes >> 3) & 3];
    if (at + 6 > packet.size()) return -1;
    return static_cast<int64_t>(Little(&packet[at], 4) + Little(&packet[at + 4], 2));
}

}  // namespace

bool CompleteAsfStream(CFileStream& file) {
    const int64_t length = file.GetSize();
    unsigned char top[kHeaderObjectSize];
    if (!ReadAt(file, 0, top, kHeaderObjectSize) || std::memcmp(top, kHeaderGuid, 16) != 0) return false;
    const int64_t headerSize = static_cast<int64_t>(Little(top + 16, 8));
    if (headerSize < kHeaderObjectSize || headerSize > kLargestHeader || headerSize + kDataObjectSize > length)
        return false;
    std::vector<unsigned char> header(static_cast<size_t>(headerSize));
    if (!ReadAt(file, 0, header.data(), headerSize)) return false;
    int64_t properties = -1;
    for (int64_t at = kHeaderObjectSize; at + kObjectHeaderSize <= headerSize;) {
        const uint64_t size = Little(&header[at + 16], 8);
        if (size < kObjectHeaderSize || size > static_cast<uint64_t>(headerSize - at)) return false;
        if (std::memcmp(&header[at], kFilePropertiesGuid, 16) == 0 && size >= kFilePropertiesSize) properties = at;
        at += static_cast<int64_t>(size);
    }
    if (properties < 0) return false;
    unsigned char* fields = &header[properties];
    const uint64_t packetSize = Little(fields + kMinPacketAt, 4);
    if (packetSize == 0 || packetSize != Little(fields + kMaxPacketAt, 4)) return false;
    unsigned char data[kDataObjectSize];
    if (!ReadAt(file, headerSize, data, kDataObjectSize) || std::memcmp(data, kDataGuid, 16) != 0) return false;
    if (Little(fields + kPacketCountAt, 8) != 0) return true;

    const int64_t packetsStart = headerSize + kDataObjectSize;
    const int64_t packets = (length - packetsStart) / static_cast<int64_t>(packetSize);
    const int64_t end = packetsStart + packets * static_cast<int64_t>(packetSize);
    int64_t sentMs = 0;
    if (packets > 0) {
        std::vector<unsigned char> last(packetSize);
        if (!ReadAt(file, end - static_cast<int64_t>(packetSize), last.data(), static_cast<int64_t>(packetSize)))
            return false;
        sentMs = PacketEndMs(last);
        if (sentMs < 0) return false;
    }
    // The torn packet goes first: a header that counts the packets must not find half of one.
    if (end != length && !file.SetLength(end)) return false;
    const uint64_t sent = static_cast<uint64_t>(sentMs) * kUnitsPerMs;
    PutLittle64(fields + kFileSizeAt, static_cast<uint64_t>(end));
    PutLittle64(fields + kPacketCountAt, static_cast<uint64_t>(packets));
    PutLittle64(fields + kSendDurationAt, sent);
    // Play time counts the preroll the stream begins with.
    PutLittle64(fields + kPlayDurationAt, sent + Little(fields + kPrerollAt, 8) * kUnitsPerMs);
    PutLittle64(data + kDataSizeAt, static_cast<uint64_t>(end - headerSize));
    PutLittle64(data + kDataPacketsAt, static_cast<uint64_t>(packets));
    return WriteAt(file, headerSize, data, kDataObjectSize) &&
           WriteAt(file, properties, fields, kFilePropertiesSize) && file.Flush().has_value();
}
