// MPEG audio file analysis: container, first frame, Xing header, tags in front and behind.
#include "tags/Mp3FileInfo.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tags/Id3v1.h"
#include "tags/Id3v2Tag.h"
#include "tags/RiffInfo.h"

namespace {

constexpr int kFrameSearch = 81920;

// kbit/s by [MPEG-2][layer - 1][index].
constexpr int kBitrates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
};
constexpr int kRates[2][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}};

uint32_t Be32(const unsigned char* p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }
uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

bool ReadAt(CFileStream& file, int64_t offset, void* buffer, int64_t length) {
    return file.Seek(offset, CFileStream::kFromStart) && file.Read(buffer, length).value_or(-1) == length;
}

void DetectContainer(CFileStream& file, Mp3FileInfo& info) {
    unsigned char h[24] = {};
    const int64_t got = file.Read(h, sizeof h).value_or(-1);
    static_cast<void>(file.Seek(0, CFileStream::kFromStart));
    if (got < 4) return;
    if (got >= 20 && memcmp(h, "RIFF", 4) == 0 && memcmp(h + 8, "RMP3", 4) == 0 && memcmp(h + 12, "data", 4) == 0) {
        info.container = kContainerRiffMp3;
        info.audioOffset = 20;
        info.audioLength = Le32(h + 16);
    } else if (got >= 20 && memcmp(h, "RIFF", 4) == 0 && memcmp(h + 8, "WAVE", 4) == 0 && memcmp(h + 12, "fmt ", 4) == 0) {
        const uint32_t fmtSize = Le32(h + 16);
        if (fmtSize != 30 && fmtSize != 32) return;
        unsigned char chunk[20];
        const int64_t next = 20 + fmtSize;
        if (!ReadAt(file, next, chunk, sizeof chunk)) {
            static_cast<void>(file.Seek(0, CFileStream::kFromStart));
            return;
        }
        static_cast<void>(file.Seek(0, CFileStream::kFromStart));
        if (memcmp(chunk, "data", 4) == 0) {
            info.audioOffset = next + 8;
            info.audioLength = Le32(chunk + 4);
        } else if (memcmp(chunk, "fact", 4) == 0 && memcmp(chunk + 12, "data", 4) == 0) {
            info.audioOffset = next + 20;
            info.audioLength = Le32(chunk + 16);
        } else {
            return;
        }
        info.container = kContainerWaveMpeg;
    } else if (got >= 10 && memcmp(h, "ID3", 3) == 0) {
        const int64_t tagSize = DecodeSyncsafe(h + 6) + 10;
        info.container = kContainerMp3;
        info.tagFlags = kTagId3v2;
        info.tagLength = tagSize;
        info.audioOffset = tagSize;
        info.audioLength = info.fileSize - tagSize;
    } else {
        Mp3FrameHeader header;
        int bitrate, rate;
        if (DecodeMp3FrameHeader(Be32(h), header, bitrate, rate)) {
            info.container = kContainerMp3;
            info.audioLength = info.fileSize;
        }
    }
}

void ReadXing(const unsigned char* frame, int length, const Mp3FrameHeader& header, Mp3FileInfo& info) {
    const bool mono = header.channelMode == 3;
    const int sideInfo = header.version == 1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    int pos = 4 + sideInfo;
    // LAME writes "Info" instead of "Xing" in the same layout for constant bitrate files.
    if (pos + 8 > length || (memcmp(frame + pos, "Xing", 4) != 0 && memcmp(frame + pos, "Info", 4) != 0)) return;
    XingData& x = info.xing;
    x.flags = Be32(frame + pos + 4);
    pos += 8;
    auto field = [&](uint32_t flag, int size, bool& present) {
        if (!(x.flags & flag) || pos + size > length) return false;
        present = true;
        pos += size;
        return true;
    };
    if (field(1, 4, x.hasFrames)) x.frames = Be32(frame + pos - 4);
    if (field(2, 4, x.hasBytes)) x.bytes = Be32(frame + pos - 4);
    if (field(4, 100, x.hasToc)) memcpy(x.toc, frame + pos - 100, 100);
    if (field(8, 4, x.hasQuality)) x.quality = Be32(frame + pos - 4);
    info.xingPresent = true;
}

void ReadTrailingTags(CFileStream& file, Mp3FileInfo& info, TagFieldSet* tags, bool haveId3v2) {
    if (info.container == kContainerRiffMp3 || info.container == kContainerWaveMpeg) {
        TagFieldSet found;
        int64_t length = 0;
        if (file.Seek(info.audioOffset + info.audioLength, CFileStream::kFromStart) &&
            ReadInfoList(file, found, &length)) {
            info.tagFlags = kTagRiffInfo;
            info.tagLength = length;
            if (tags) *tags = found;
        }
        return;
    }
    unsigned char block[kId3v1Size];
    if (info.fileSize < kId3v1Size || !ReadAt(file, info.fileSize - kId3v1Size, block, kId3v1Size) ||
        memcmp(block, "TAG", 3) != 0)
        return;
    TagFieldSet found;
    const bool hasTrack = ReadId3v1(block, found);
    info.tagFlags |= kTagId3v1 | (hasTrack ? kTagId3v1Track : 0);
    if (!haveId3v2 && tags) *tags = found;
    info.tagLength = kId3v1Size;
    if (info.audioOffset + info.audioLength > info.fileSize - kId3v1Size)
        info.audioLength = std::max<int64_t>(0, info.fileSize - kId3v1Size - info.audioOffset);
}

// The leading number of a text such as "7", "7/12" or "(146)"; -1 without one.
int LeadingNumber(const CCharString& text) {
    const char* p = text.c_str();
    if (*p == '(') ++p;
    if (*p < '0' || *p > '9') return -1;
    return static_cast<int>(std::min(strtol(p, nullptr, 10), 0x7FFFFFFFL));
}

void FillFromId3v2(const CId3v2Tag& tag, TagFieldSet& tags) {
    tags.title = tag.GetFrameText("TIT2");
    tags.artist = tag.GetFrameText("TPE1");
    tags.album = tag.GetFrameText("TALB");
    tags.year = tag.GetFrameText("TYER");
    tags.genre = tag.GetFrameText("TCON");
    tags.comment = tag.GetFrameText("COMM");
    tags.trackNumber = LeadingNumber(tag.GetFrameText("TRCK"));
    const int genre = LeadingNumber(tags.genre);
    tags.genreNumber = genre > 0 ? genre : 250;
    tag.ForEachUserText([&](std::string_view description, std::string_view value) {
        static_cast<void>(ReadGainTag(description, value, tags.loudness));
    });
}

}  // namespace

bool DecodeMp3FrameHeader(uint32_t word, Mp3FrameHeader& h, int& bitrateKbps, int& sampleRate) {
    if ((word & 0xFFF00000u) != 0xFFF00000u) return false;
    const int layerBits = word >> 17 & 3, bitrateIndex = word >> 12 & 15, rateIndex = word >> 10 & 3;
    if (layerBits == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
    h.version = (word >> 19 & 1) ? 1 : 2;
    h.layer = 4 - layerBits;
    h.protection = word >> 16 & 1;
    h.bitrateIndex = bitrateIndex;
    h.sampleRateIndex = rateIndex;
    h.padding = word >> 9 & 1;
    h.privateBit = word >> 8 & 1;
    h.channelMode = word >> 6 & 3;
    h.modeExtension = word >> 4 & 3;
    h.copyright = word >> 3 & 1;
    h.original = word >> 2 & 1;
    h.emphasis = word & 3;
    bitrateKbps = kBitrates[h.version - 1][h.layer - 1][bitrateIndex];
    sampleRate = kRates[h.version - 1][rateIndex];
    return true;
}

int Mp3FrameLength(const Mp3FrameHeader& h, int bitrateKbps, int sampleRate) {
    if (h.layer == 1) return (12000 * bitrateKbps / sampleRate + h.padding) * 4;
    // MPEG-2 Layer III frames hold half as many samples.
    const int factor = h.layer == 3 && h.version == 2 ? 72000 : 144000;
    return factor * bitrateKbps / sampleRate + h.padding;
}

bool ReadMp3FileInfo(CFileStream& file, Mp3FileInfo& info, bool trailingTags, CId3v2Tag* id3v2, TagFieldSet* tags) {
    info = Mp3FileInfo();
    info.fileSize = file.GetSize();
    if (info.fileSize < 4 || !file.Seek(0, CFileStream::kFromStart)) return false;
    DetectContainer(file, info);

    bool haveId3v2 = false;
    if (info.tagFlags & kTagId3v2) {
        CId3v2Tag local;
        CId3v2Tag& tag = id3v2 ? *id3v2 : local;
        if (file.Seek(0, CFileStream::kFromStart) && tag.ReadTag(file)) {
            haveId3v2 = true;
            if (tags) FillFromId3v2(tag, *tags);
        }
    }
    // A header may claim more audio than the file holds.
    info.audioOffset = std::min(info.audioOffset, info.fileSize);
    info.audioLength = std::clamp<int64_t>(info.audioLength, 0, info.fileSize - info.audioOffset);

    unsigned char word[4];
    int bitrate = 0, rate = 0;
    if (!ReadAt(file, info.audioOffset, word, 4) || !DecodeMp3FrameHeader(Be32(word), info.header, bitrate, rate)) {
        std::vector<unsigned char> window(kFrameSearch + 3);
        if (!file.Seek(info.audioOffset, CFileStream::kFromStart)) return false;
        const int64_t got = file.Read(window.data(), static_cast<int64_t>(window.size())).value_or(-1);
        int64_t found = -1;
        for (int64_t i = 0; i + 4 <= got && i < kFrameSearch; ++i)
            if (DecodeMp3FrameHeader(Be32(&window[i]), info.header, bitrate, rate)) {
                found = i;
                break;
            }
        if (found < 0) return false;
        info.audioOffset += found;
        info.audioLength = info.fileSize - info.audioOffset;
        info.container = kContainerMp3;
    }
    info.sampleRate = rate;
    info.bitrate = bitrate;
    info.channels = info.header.channelMode == 3 ? 1 : 2;

    const int frameLength = Mp3FrameLength(info.header, bitrate, rate);
    if (frameLength > 4) {
        std::vector<unsigned char> frame(frameLength);
        if (!ReadAt(file, info.audioOffset, frame.data(), frameLength)) return false;
        ReadXing(frame.data(), frameLength, info.header, info);
    }
    if (trailingTags) ReadTrailingTags(file, info, tags, haveId3v2);
    static_cast<void>(file.Seek(0, CFileStream::kFromStart));
    return true;
}
