// Filling in LAME's Info frame from the frames an MP3 stream holds.
#include "tags/Mp3InfoFrame.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "tags/Mp3FileInfo.h"

namespace {

constexpr int kTocEntries = 100;
// The LAME extension after the Xing fields: version text, then the fields up to its CRC.
constexpr int kVersionLength = 9;
constexpr int kLameExtensionLength = 36;
constexpr int64_t kReadChunk = 1 << 20;

// CRC-16 as LAME computes it for the music and for the tag itself.
uint16_t Crc16(const unsigned char* data, size_t length, uint16_t crc = 0) {
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

void PutBe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * (3 - i)));
}

struct FrameWalk {
    std::vector<int64_t> offsets;  // of each whole audio frame after the Info frame, from the stream start
    int64_t streamBytes = 0;       // the Info frame and every whole frame
    uint16_t musicCrc = 0;
    bool constantBitrate = true;
};

// Every whole frame after the first that matches its version, layer and rate; stops at anything else.
bool WalkFrames(CFileStream& file, int64_t start, const Mp3FrameHeader& first, int firstRate, int firstLength,
                FrameWalk& walk) {
    const int64_t end = file.GetSize();
    std::vector<unsigned char> buffer;
    int64_t bufferStart = 0;
    auto bytesAt = [&](int64_t at, int64_t length) -> const unsigned char* {
        if (at < bufferStart || at + length > bufferStart + static_cast<int64_t>(buffer.size())) {
            const int64_t n = std::min(kReadChunk, end - at);
            if (n < length) return nullptr;
            buffer.resize(static_cast<size_t>(n));
            if (!file.Seek(at, CFileStream::kFromStart) || file.Read(buffer.data(), n).value_or(-1) != n) return nullptr;
            bufferStart = at;
        }
        return buffer.data() + (at - bufferStart);
    };
    int firstBitrate = -1;
    int64_t at = start + firstLength;
    while (at + 4 <= end) {
        const unsigned char* head = bytesAt(at, 4);
        if (!head) break;
        Mp3FrameHeader header;
        int bitrate = 0, rate = 0;
        const uint32_t word = uint32_t(head[0]) << 24 | head[1] << 16 | head[2] << 8 | head[3];
        if (!DecodeMp3FrameHeader(word, header, bitrate, rate) || header.version != first.version ||
            header.layer != first.layer || rate != firstRate || bitrate == 0)
            break;
        const int length = Mp3FrameLength(header, bitrate, rate);
        const unsigned char* frame = length >= 4 ? bytesAt(at, length) : nullptr;
        if (!frame) break;  // cut short by the kill
        if (firstBitrate < 0) firstBitrate = bitrate;
        walk.constantBitrate = walk.constantBitrate && bitrate == firstBitrate;
        walk.musicCrc = Crc16(frame, static_cast<size_t>(length), walk.musicCrc);
        walk.offsets.push_back(at - start);
        at += length;
    }
    walk.streamBytes = at - start;
    return true;
}

}  // namespace

bool CompleteMp3Stream(CFileStream& file, int64_t sampleFrames, const char* encoder) {
    Mp3FileInfo info;
    if (!ReadMp3FileInfo(file, info, false, nullptr, nullptr) || info.bitrate <= 0) return false;
    const Mp3FrameHeader& first = info.header;
    const int firstLength = Mp3FrameLength(first, info.bitrate, info.sampleRate);
    const int64_t start = info.audioOffset;
    std::vector<unsigned char> frame(static_cast<size_t>(firstLength));
    if (!file.Seek(start, CFileStream::kFromStart) || file.Read(frame.data(), firstLength).value_or(-1) != firstLength) return false;

    FrameWalk walk;
    if (!WalkFrames(file, start, first, info.sampleRate, firstLength, walk)) return false;
    // A frame cut short, or whatever a kill left after the last whole frame, is no audio.
    if (file.GetSize() != start + walk.streamBytes && !file.SetLength(start + walk.streamBytes)) return false;

    const bool mono = first.channelMode == 3;
    const int tagAt = 4 + (first.version == 1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    const int crcAt = tagAt + 120 + kLameExtensionLength - 2;
    if (crcAt + 2 > firstLength) return true;  // a frame too small to carry the tag, as LAME leaves it
    const uint16_t storedCrc = static_cast<uint16_t>(frame[crcAt] << 8 | frame[crcAt + 1]);
    const bool tagged = memcmp(&frame[tagAt], "Info", 4) == 0 || memcmp(&frame[tagAt], "Xing", 4) == 0;
    if (tagged && Crc16(frame.data(), static_cast<size_t>(crcAt)) == storedCrc) return true;
    // Neither LAME's blank placeholder nor its tag: the stream begins with audio, which stays.
    if (!tagged && std::any_of(frame.begin() + tagAt, frame.end(), [](unsigned char b) { return b != 0; })) return true;

    const auto frames = static_cast<uint32_t>(walk.offsets.size());
    const auto bytes = static_cast<uint32_t>(walk.streamBytes);
    const int samplesPerFrame = first.version == 1 ? 1152 : 576;
    int64_t padding = 0;
    if (sampleFrames >= 0)
        padding = std::clamp<int64_t>(int64_t{frames} * samplesPerFrame - kLameEncoderDelay - sampleFrames, 0, 4095);

    std::fill(frame.begin() + tagAt, frame.end(), 0);
    unsigned char* p = &frame[tagAt];
    memcpy(p, walk.constantBitrate ? "Info" : "Xing", 4);
    PutBe32(p + 4, 0x0F);  // frames, bytes, seek table, quality
    PutBe32(p + 8, frames);
    PutBe32(p + 12, bytes);
    for (int i = 1; i < kTocEntries && frames > 0; ++i) {
        const int64_t offset = walk.offsets[std::min<size_t>(frames - 1, static_cast<size_t>(frames) * i / kTocEntries)];
        p[16 + i] = static_cast<unsigned char>(std::min<int64_t>(255, 256 * offset / std::max<int64_t>(bytes, 1)));
    }
    PutBe32(p + 116, 0);  // quality: not known here
    unsigned char* lame = p + 120;
    strncpy(reinterpret_cast<char*>(lame), encoder ? encoder : "LAME", kVersionLength);
    lame[9] = walk.constantBitrate ? 1 : 0;  // tag revision 0; the bitrate method
    lame[20] = static_cast<unsigned char>(std::min(255, info.bitrate));
    lame[21] = static_cast<unsigned char>(kLameEncoderDelay >> 4);
    lame[22] = static_cast<unsigned char>((kLameEncoderDelay & 0x0F) << 4 | padding >> 8);
    lame[23] = static_cast<unsigned char>(padding & 0xFF);
    PutBe32(lame + 28, bytes);
    lame[32] = static_cast<unsigned char>(walk.musicCrc >> 8);
    lame[33] = static_cast<unsigned char>(walk.musicCrc & 0xFF);
    const uint16_t crc = Crc16(frame.data(), static_cast<size_t>(crcAt));
    frame[crcAt] = static_cast<unsigned char>(crc >> 8);
    frame[crcAt + 1] = static_cast<unsigned char>(crc & 0xFF);
    return file.Seek(start, CFileStream::kFromStart) && file.Write(frame.data(), firstLength);
}
