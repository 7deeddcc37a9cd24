// Every writer on a disk that fills up, while writing or just before the end: the track stays a
// file that other programs decode to its end, the failure is told, and closing moves no audio.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "audiofile/FlacWriter.h"
#include "audiofile/Mp3Writer.h"
#include "audiofile/OggWriter.h"
#include "audiofile/OpusWriter.h"
#include "audiofile/WavWriter.h"
#include "audiofile/WmaWriter.h"
#include "tags/Mp3TagFile.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/OggFiles.h"
#include "tests/support/SmallFileSystem.h"
#include "tests/support/TestPcm.h"

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

struct WriterCase {
    const char* name;
    const char* extension;
    int bitrate;  // what the session passes to SetFormat
    std::function<std::unique_ptr<CAudioWriter>()> make;
};

const WriterCase kWriters[] = {
    {"Wav", ".wav", 16, [] { return std::make_unique<CWavWriter>(); }},
    {"Mp3", ".mp3", 128000, [] { return std::make_unique<CMp3Writer>(); }},
    {"Ogg", ".ogg", 40,
     [] {
         auto ogg = std::make_unique<COggWriter>();
         ogg->SetRewriteComments(true);
         EXPECT_TRUE(ogg->SetQuality(40));
         return ogg;
     }},
    {"Wma", ".wma", 96000, [] { return std::make_unique<CWmaWriter>(); }},
    {"Flac", ".flac", 5, [] { return std::make_unique<CFlacWriter>(); }},
    {"Opus", ".opus", 64000, [] { return std::make_unique<COpusWriter>(); }},
};

enum class Moment { WhileWriting, BeforeTheEnd };

// Test names and failures show the format and the moment rather than their bytes.
void PrintTo(const WriterCase& writer, std::ostream* out) { *out << writer.name; }
void PrintTo(Moment moment, std::ostream* out) {
    *out << (moment == Moment::WhileWriting ? "while writing" : "before the end");
}

uint32_t Le32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

class FullDisk : public testing::TestWithParam<std::tuple<WriterCase, Moment>> {};

TEST_P(FullDisk, TheTrackEndsWholeAndTheFailureIsTold) {
    const auto& [writerCase, moment] = GetParam();
    // Room for some seconds of any of the formats, and for a copy of the compressed ones.
    SmallFileSystem disk(3 << 20);
    if (!disk.Mounted()) {
        GTEST_SKIP() << "mounting a tmpfs is not allowed here";
    }
    const std::string path = disk / (std::string("track") + writerCase.extension);
    TagFieldSet tags;
    tags.title = "満杯のディスク";
    tags.artist = "Velsona";
    tags.comment = std::string(6000, 'c').c_str();  // more than the slack of a file's last page
    tags.trackNumber = 1;

    std::unique_ptr<CAudioWriter> writer = writerCase.make();
    writer->SetTags(&tags);
    ASSERT_TRUE(writer->Open(path.c_str()));
    ASSERT_TRUE(writer->SetFormat(writerCase.bitrate, kRate, kChannels, 16, -1, -1));
    ASSERT_TRUE(writer->Begin());
    const std::vector<int16_t> pcm = TonePcm(kRate, kChannels, kRate * 12);
    const int buffer = kRate / 10 * kChannels;  // 100 ms, as captured
    int buffers = 0;
    bool writeFailed = false;
    for (; buffers < 120 && !writeFailed; ++buffers) {
        if (buffers == 20 && moment == Moment::WhileWriting) {
            ASSERT_TRUE(disk.Fill());
        }
        if (buffers == 30 && moment == Moment::BeforeTheEnd) break;
        writeFailed = !writer->Write(pcm.data() + buffers * buffer, buffer * 2);
    }
    if (moment == Moment::WhileWriting) {
        EXPECT_TRUE(writeFailed) << "a full disk is noticed while writing";
    } else {
        ASSERT_FALSE(writeFailed);
        ASSERT_TRUE(disk.Fill());
    }
    const bool ended = static_cast<bool>(writer->End());
    const std::string afterEnd = ReadFileBytes(path);
    const bool closed = static_cast<bool>(writer->Close());
    writer.reset();
    const std::string bytes = ReadFileBytes(path);

    // WMA alone keeps room for its end and hands every buffer on at once: filled between two
    // buffers, it loses nothing, and nothing is to be told.
    const bool nothingLost = writerCase.extension == std::string(".wma") && moment == Moment::BeforeTheEnd;
    if (!nothingLost) {
        EXPECT_FALSE(ended && closed) << "what could not be written is told";
    }
    // At most the encoder's own first-frame header changes in place (an MP3's behind the room
    // for its tag, a frame of at most 1441 bytes); the audio is not moved.
    ASSERT_EQ(bytes.size(), afterEnd.size());
    const size_t unchanged = writerCase.extension == std::string(".mp3") ? kMp3TagRoom + 1441 : 1024;
    EXPECT_TRUE(bytes.compare(unchanged, std::string::npos, afterEnd, unchanged) == 0);
    EXPECT_TRUE(DecodesCleanly(path));
    const double decoded = static_cast<double>(DecodedFrames(path, kChannels)) / kRate;
    EXPECT_GT(decoded, 1.5) << "what was written before the disk filled is kept";
    if (nothingLost) {
        EXPECT_TRUE(ended && closed);
        EXPECT_NEAR(decoded, 3.0, 0.05) << "all 30 buffers";
    }
    // The container tells the length of what it holds: the header was finished. (ASF counts
    // half a second more than it decodes, full disk or not, plus the silent priming frame.)
    EXPECT_NEAR(ProbeWithFfprobe(path).durationSeconds, decoded, 0.75);
    if (writerCase.extension == std::string(".wav")) {
        EXPECT_EQ(Le32(bytes, 4) + 8, bytes.size()) << "nothing cut past the end of the file";
    }
    if (writerCase.extension == std::string(".ogg") || writerCase.extension == std::string(".opus")) {
        bool complete = false;
        const std::vector<OggPageInfo> pages = ReadOggPages(bytes, &complete);
        EXPECT_TRUE(complete);
        ASSERT_FALSE(pages.empty());
        EXPECT_TRUE(pages.back().last && pages.back().checksumOk) << "the stream ends with its end page";
    }
    if (writerCase.extension == std::string(".flac")) {
        EXPECT_TRUE(FlacTestPasses(path, false)) << "whole frames, STREAMINFO counting them";
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, FullDisk,
                         testing::Combine(testing::ValuesIn(kWriters),
                                          testing::Values(Moment::WhileWriting, Moment::BeforeTheEnd)),
                         [](const testing::TestParamInfo<FullDisk::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == Moment::WhileWriting ? "WhileWriting"
                                                                                      : "BeforeTheEnd");
                         });

}  // namespace
