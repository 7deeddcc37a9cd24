// What a writer has been fed is in its file, readable by others, while the track is still being
// written: a recorder killed or cut off mid-track loses at most half a second.
#include <algorithm>
#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

#include "audiofile/FormatTable.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

struct Case {
    OutputFormat format;
    int bitrate;  // as the session passes it: bits per second, the bits per sample for WAV, the Ogg quality,
                  // the FLAC level
    int sampleRate;
    int channels;
};

class WriterDurability : public testing::TestWithParam<Case> {};

TEST_P(WriterDurability, WhatWasFedDecodesFromTheOpenFileWithinHalfASecond) {
    const Case& c = GetParam();
    TempDir dir;
    const FormatRow& row = FormatRowOf(c.format);
    const std::string path = dir / (std::string("open") + row.extension);
    std::unique_ptr<CAudioWriter> writer = row.newWriter(c.bitrate);
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->Open(path.c_str()));
    ASSERT_TRUE(writer->SetFormat(c.bitrate, c.sampleRate, c.channels, 16, -1, -1));
    ASSERT_TRUE(writer->Begin());
    const int buffers = 20;
    const int buffer = c.sampleRate / 10 * c.channels;  // 100 ms, as captured
    const std::vector<int16_t> pcm = TonePcm(c.sampleRate, c.channels, static_cast<int64_t>(buffers) * buffer / c.channels);
    // Read by another program while the writer still holds the track, as after a kill, after each
    // of the last buffers: pages and packets fill at their own pace, so the loss depends on the moment.
    double worst = 0;
    for (int fed = 1; fed <= buffers; ++fed) {
        ASSERT_TRUE(writer->Write(pcm.data() + (fed - 1) * buffer, buffer * 2));
        if (fed <= buffers - 4) continue;
        const long long frames = DecodedFrames(path, c.channels);
        const int decodedRate = c.format == OutputFormat::Opus ? 48000 : c.sampleRate;  // Opus decodes at 48 kHz
        const double missing = fed / 10.0 - static_cast<double>(frames) / decodedRate;
        EXPECT_GE(missing, 0.0) << frames << " frames decoded after " << fed << " buffers";
        worst = std::max(worst, missing);
    }
    std::printf("[ durable  ] %s %d: at most %.3f s not yet in the file\n", row.option, c.bitrate, worst);
    EXPECT_LE(worst, 0.5);
    EXPECT_TRUE(writer->End());
    EXPECT_TRUE(writer->Close());
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormat, WriterDurability,
    testing::Values(Case{OutputFormat::Wav, 16, 44100, 2}, Case{OutputFormat::Mp3, 128000, 44100, 2},
                    Case{OutputFormat::Mp3, 32000, 32000, 2}, Case{OutputFormat::OggVorbis, 0, 16000, 1},
                    Case{OutputFormat::OggVorbis, 40, 44100, 2}, Case{OutputFormat::Wma, 96000, 44100, 2},
                    Case{OutputFormat::Wma, 5000, 8000, 1}, Case{OutputFormat::Wma, 192000, 48000, 2},
                    Case{OutputFormat::Flac, 5, 44100, 2}, Case{OutputFormat::Flac, 8, 16000, 1},
                    Case{OutputFormat::Opus, 6000, 8000, 1}, Case{OutputFormat::Opus, 64000, 44100, 2}),
    [](const testing::TestParamInfo<Case>& info) {
        return std::string(FormatRowOf(info.param.format).option) + "_" + std::to_string(info.param.bitrate) + "_" +
               std::to_string(info.param.sampleRate);
    });

}  // namespace
