// The LAME module's own contract: the record's fields reach the encoder, bad calls are refused.
#include <gtest/gtest.h>

#include "audiofile/LameLibrary.h"
#include "audiofile/Mp3Writer.h"
#include "tags/Mp3FileInfo.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

BE_CONFIG DefaultConfig() {
    CMp3Writer writer;
    EXPECT_TRUE(writer.SetFormat(128000, 44100, 2, 16, -1, -1));
    return writer.Config();
}

// Encodes a second of tone with the record and analyses the result.
Mp3FileInfo EncodeWith(BE_CONFIG config, const std::string& path) {
    const LameFunctions* lame = LoadLameLibrary().value_or(nullptr);
    uint32_t samples = 0, size = 0;
    HBE_STREAM stream = 0;
    EXPECT_EQ(lame->initStream(&config, &samples, &size, &stream), BE_ERR_SUCCESSFUL);
    const int channels = config.nMode == BE_MP3_MODE_MONO ? 1 : 2;
    const std::vector<int16_t> pcm = TonePcm(44100, channels, 44100);
    std::string out;
    std::vector<uint8_t> buffer(size);
    for (size_t at = 0; at < pcm.size(); at += samples) {
        uint32_t n = 0;
        const uint32_t count = static_cast<uint32_t>(std::min<size_t>(samples, pcm.size() - at));
        EXPECT_EQ(lame->encodeChunk(stream, count, pcm.data() + at, buffer.data(), &n), BE_ERR_SUCCESSFUL);
        out.append(reinterpret_cast<char*>(buffer.data()), n);
    }
    uint32_t n = 0;
    EXPECT_EQ(lame->deinitStream(stream, buffer.data(), &n), BE_ERR_SUCCESSFUL);
    out.append(reinterpret_cast<char*>(buffer.data()), n);
    EXPECT_EQ(lame->closeStream(stream), BE_ERR_SUCCESSFUL);
    WriteFileBytes(path, out);
    if (config.bWriteVBRHeader) {
        EXPECT_EQ(lame->writeVbrHeader(path.c_str()), BE_ERR_SUCCESSFUL);
    }
    Mp3FileInfo info;
    CFileStream file;
    EXPECT_TRUE(file.Open(path.c_str(), CFileStream::kRead));
    EXPECT_TRUE(ReadMp3FileInfo(file, info, false, nullptr, nullptr));
    return info;
}

}  // namespace

TEST(LameEnc, HeaderBitsFollowTheRecord) {
    TempDir dir;
    BE_CONFIG c = DefaultConfig();
    c.bCRC = 0;
    c.bPrivate = 0;
    c.bOriginal = 0;
    c.bCopyright = 1;
    c.nMode = BE_MP3_MODE_STEREO;
    c.dwBitrate = 192;
    const Mp3FileInfo info = EncodeWith(c, dir / "a.mp3");
    EXPECT_EQ(info.header.protection, 1);
    EXPECT_EQ(info.header.privateBit, 0);
    EXPECT_EQ(info.header.original, 0);
    EXPECT_EQ(info.header.copyright, 1);
    EXPECT_EQ(info.header.channelMode, 0);
    EXPECT_EQ(info.bitrate, 192);

    c.nMode = BE_MP3_MODE_MONO;
    EXPECT_EQ(EncodeWith(c, dir / "m.mp3").channels, 1);
}

TEST(LameEnc, VbrFieldsMakeAVariableBitrateStream) {
    TempDir dir;
    BE_CONFIG c = DefaultConfig();
    c.bEnableVBR = 1;
    c.nVBRQuality = 2;
    c.dwBitrate = 32;
    const Mp3FileInfo vbr = EncodeWith(c, dir / "v.mp3");
    ASSERT_TRUE(vbr.xingPresent);
    EXPECT_TRUE(vbr.xing.hasToc);
    EXPECT_TRUE(vbr.xing.hasBytes);
    EXPECT_EQ(ProbeWithFfprobe(dir / "v.mp3").sampleRate, 44100);
    // Without the header flag the first frame is audio.
    c.bWriteVBRHeader = 0;
    EXPECT_FALSE(EncodeWith(c, dir / "n.mp3").xingPresent);
}

TEST(LameEnc, RefusesWhatItCannotDo) {
    const LameFunctions* lame = LoadLameLibrary().value_or(nullptr);
    ASSERT_NE(lame, nullptr);
    uint32_t samples = 0, size = 0;
    HBE_STREAM stream = 0;
    BE_CONFIG c = DefaultConfig();
    c.dwConfig = 0;
    EXPECT_EQ(lame->initStream(&c, &samples, &size, &stream), BE_ERR_INVALID_FORMAT);
    c = DefaultConfig();
    c.dwMpegVersion = MPEG2;  // contradicts 44100 Hz
    EXPECT_EQ(lame->initStream(&c, &samples, &size, &stream), BE_ERR_INVALID_FORMAT_PARAMETERS);
    c = DefaultConfig();
    c.nMode = 7;
    EXPECT_EQ(lame->initStream(&c, &samples, &size, &stream), BE_ERR_INVALID_FORMAT_PARAMETERS);

    c = DefaultConfig();
    ASSERT_EQ(lame->initStream(&c, &samples, &size, &stream), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(samples, 2304u);
    std::vector<int16_t> pcm(samples * 2);
    std::vector<uint8_t> out(size);
    uint32_t n = 0;
    EXPECT_EQ(lame->encodeChunk(stream, samples + 2, pcm.data(), out.data(), &n), BE_ERR_BUFFER_TOO_SMALL);
    EXPECT_EQ(lame->encodeChunk(stream + 8, samples, pcm.data(), out.data(), &n), BE_ERR_INVALID_HANDLE);
    EXPECT_EQ(lame->closeStream(stream), BE_ERR_SUCCESSFUL);
    EXPECT_EQ(lame->closeStream(stream), BE_ERR_INVALID_HANDLE);
    // Nothing was closed on this thread since: there is no header to write.
    lame->writeVbrHeader("/nonexistent");
    EXPECT_EQ(lame->writeVbrHeader("/nonexistent"), BE_ERR_INVALID_HANDLE);
}
