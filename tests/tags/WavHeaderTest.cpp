// ParseWavHeader on PCM files, extended fmt chunks, fact chunks and what it must refuse.
#include "tags/WavHeader.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace {

std::string Le32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

std::string FmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, int extra = 0) {
    PcmFormatBlock block{tag, channels, rate, rate * channels * bits / 8, static_cast<uint16_t>(channels * bits / 8), bits};
    std::string body(kPcmFormatBlockSize, '\0');
    EncodePcmFormatBlock(block, reinterpret_cast<unsigned char*>(body.data()));
    return body + std::string(extra, '\0');
}

std::string Wav(const std::string& fmtBody, const std::string& middle, const std::string& data) {
    std::string chunks = "WAVEfmt " + Le32(fmtBody.size()) + fmtBody + middle + "data" + Le32(data.size()) + data;
    return "RIFF" + Le32(chunks.size()) + chunks;
}

struct Parsed {
    int result;
    int64_t offset = -1;
    uint32_t size = 0;
    PcmFormatBlock format;
};

Parsed Parse(const TempDir& dir, const std::string& bytes) {
    WriteFileBytes(dir / "f.wav", bytes);
    CFileStream file;
    EXPECT_TRUE(file.Open((dir / "f.wav").c_str(), CFileStream::kRead));
    Parsed p;
    p.result = ParseWavHeader(file, p.offset, p.size, &p.format);
    return p;
}

}  // namespace

TEST(WavHeader, PlainPcmFile) {
    TempDir dir;
    const Parsed p = Parse(dir, Wav(FmtBody(1, 1, 22050, 16), "", std::string(100, 'x')));
    ASSERT_EQ(p.result, 1);
    EXPECT_EQ(p.offset, 44);
    EXPECT_EQ(p.size, 100u);
    EXPECT_EQ(p.format.channels, 1);
    EXPECT_EQ(p.format.samplesPerSecond, 22050u);
    EXPECT_EQ(p.format.blockAlign, 2);
    EXPECT_EQ(p.format.averageBytesPerSecond, 44100u);
}

TEST(WavHeader, ExtendedFmtAndFactChunksAreSkipped) {
    TempDir dir;
    const std::string fact = "fact" + Le32(4) + Le32(1234);
    const Parsed p = Parse(dir, Wav(FmtBody(1, 2, 44100, 16, 2), fact, std::string(8, 'x')));
    ASSERT_EQ(p.result, 1);
    EXPECT_EQ(p.offset, 36 + 2 + 8 + 8 + 4);
    EXPECT_EQ(p.size, 8u);
}

TEST(WavHeader, RefusesWhatIsNotPcmAudio) {
    TempDir dir;
    EXPECT_EQ(Parse(dir, Wav(FmtBody(3, 2, 44100, 32), "", "abcd")).result, 0) << "float";
    EXPECT_EQ(Parse(dir, Wav(FmtBody(85, 2, 44100, 0, 14), "", "abcd")).result, 0) << "MPEG";
    const std::string list = "LIST" + Le32(4) + "INFO";
    EXPECT_EQ(Parse(dir, Wav(FmtBody(1, 2, 44100, 16), list, "abcd")).result, 0) << "no data chunk next";
    const std::string wav = Wav(FmtBody(1, 2, 44100, 16), "", "abcd");
    EXPECT_EQ(Parse(dir, wav.substr(0, 40)).result, 0) << "cut inside the data header";
    EXPECT_EQ(Parse(dir, "RIFX" + wav.substr(4)).result, 0);
    EXPECT_EQ(Parse(dir, "").result, 0);
    EXPECT_EQ(Parse(dir, Wav(FmtBody(1, 2, 44100, 16), "fact" + Le32(0xFFFFFFF0u), "")).result, 0)
        << "a fact chunk that claims more than the file holds";
}
