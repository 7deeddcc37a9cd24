// The decoding half of the WMADEC9 module, on files ffmpeg made.
#include "tags/WmaDecoder.h"

#include <cmath>

#include <gtest/gtest.h>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"


TEST(WmaDecoderModule, ReportsTheStreamAndDecodesAllOfIt) {
    TempDir dir;
    const std::string path = dir / "tone.wma";
    ASSERT_EQ(RunProcess("ffmpeg -v error -f lavfi -i sine=f=1000:r=32000:d=3 -ac 2 -c:a wmav2 -b:a 64k -y " +
                         ShellQuote(path)).exitCode, 0);
    const WmaDecoderFunctions* wma = WmaDecoder();
    ASSERT_NE(wma, nullptr);
    const int32_t handle = wma->open(path.c_str(), 0, 0);
    ASSERT_NE(handle, 0);
    WmaStreamInfo info = {};
    ASSERT_EQ(wma->getInfo(handle, &info), 1);
    EXPECT_EQ(sizeof info, 24u);
    EXPECT_EQ(info.bitsPerSample, 16);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.sampleRate, 32000);
    EXPECT_EQ(info.bitrate, 64000);
    EXPECT_NEAR(info.length / 1e7, 3.0, 0.1);

    ASSERT_EQ(wma->start(handle), 1);
    int64_t frames = 0;
    int64_t lastPosition = -1;
    double peak = 0;
    const void* pcm = nullptr;
    int32_t bytes = 0;
    int64_t position = 0;
    while (wma->decode(handle, &pcm, &bytes, &position)) {
        EXPECT_GT(position, lastPosition);
        lastPosition = position;
        const auto* samples = static_cast<const int16_t*>(pcm);
        for (int i = 0; i < bytes / 2; ++i) peak = std::max(peak, std::abs(samples[i] / 32768.0));
        frames += bytes / 4;
    }
    EXPECT_NEAR(frames / 32000.0, 3.0, 0.1);
    EXPECT_GT(peak, 0.05) << "the tone came through";

    // After a seek to 2 s, about one second is left.
    ASSERT_EQ(wma->seek(handle, 2000), 1);
    int64_t rest = 0;
    while (wma->decode(handle, &pcm, &bytes, &position)) rest += bytes / 4;
    EXPECT_NEAR(rest / 32000.0, 1.0, 0.15);
    EXPECT_EQ(wma->end(handle), 1);
    EXPECT_EQ(wma->close(handle), 1);
    EXPECT_EQ(wma->close(handle), 0) << "a closed handle is gone";
    EXPECT_EQ(wma->getInfo(handle, &info), 0);
}
