// Mp3FileInfo: where the audio of an MP3-family file is, its first frame, its Xing header and its tags.
#pragma once

#include <cstdint>

#include "foundation/FileStream.h"
#include "tags/TagFieldSet.h"

class CId3v2Tag;

// Container kinds and tag flags, as the MP3 tag writer's options use them.
enum Mp3Container : int16_t { kContainerUnknown = 0, kContainerMp3 = 1, kContainerRiffMp3 = 2, kContainerWaveMpeg = 3 };
enum Mp3TagFlags : int16_t { kTagId3v1 = 1, kTagId3v1Track = 2, kTagId3v2 = 4, kTagRiffInfo = 8 };

struct Mp3FrameHeader {
    int version = 0;  // 1 MPEG-1, 2 MPEG-2
    int layer = 0;    // 1, 2 or 3
    int protection = 0;  // the header bit: 0 means a CRC follows
    int bitrateIndex = 0;
    int sampleRateIndex = 0;
    int padding = 0;
    int privateBit = 0;
    int channelMode = 0;  // 3 mono
    int modeExtension = 0;
    int copyright = 0;
    int original = 0;
    int emphasis = 0;
};

struct XingData {
    uint32_t flags = 0;
    bool hasFrames = false;
    uint32_t frames = 0;
    bool hasBytes = false;
    uint32_t bytes = 0;
    bool hasToc = false;
    unsigned char toc[100] = {};
    bool hasQuality = false;
    uint32_t quality = 0;
};

struct Mp3FileInfo {
    int container = kContainerUnknown;
    int tagFlags = 0;
    int64_t fileSize = 0;
    int64_t audioOffset = 0;
    int64_t audioLength = 0;
    int64_t tagLength = 0;
    Mp3FrameHeader header;
    int sampleRate = 0;
    int channels = 0;
    int bitrate = 0;  // kbit/s
    bool xingPresent = false;
    XingData xing;
};

// Decodes a big-endian frame header word; false unless it is a valid MPEG-1/2 audio frame header.
bool DecodeMp3FrameHeader(uint32_t word, Mp3FrameHeader& header, int& bitrateKbps, int& sampleRate);
// Bytes of the frame that starts with this header.
int Mp3FrameLength(const Mp3FrameHeader& header, int bitrateKbps, int sampleRate);

// Analyses the file. A leading ID3v2 tag is read into `id3v2` and its texts into `tags` (either may
// be null); with `trailingTags` an ID3v1 block or a RIFF INFO list at the end is read as well.
// false when no frame header is found within 81920 bytes of where the audio should start.
bool ReadMp3FileInfo(CFileStream& file, Mp3FileInfo& info, bool trailingTags, CId3v2Tag* id3v2, TagFieldSet* tags);
