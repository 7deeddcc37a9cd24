// The writer framework: the block buffer's hand-over to WriteBlock, formats, open and close.
#include "audiofile/AudioWriter.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

#include "audiofile/Mp3Writer.h"
#include "audiofile/OggWriter.h"
#include "audiofile/WavWriter.h"
#include "audiofile/WmaWriter.h"

#include "tests/support/TempDir.h"

namespace {

// Records what the framework hands to WriteBlock.
class BlockRecorder : public CAudioWriter {
public:
    explicit BlockRecorder(int blockSize) : CAudioWriter(OutputFormat::Wav) { m_blockSize = blockSize; }
    ~BlockRecorder() override { static_cast<void>(Close()); }

    std::vector<int> sizes;
    std::vector<unsigned char> data;
    int failOnCall = -1;

protected:
    Result<void> WriteBlock(const void* block, int length) override {
        if (static_cast<int>(sizes.size()) == failOnCall) return KindFailure(FailureKind::kSystem, UserText::Verbatim("refused"));
        sizes.push_back(length);
        const auto* bytes = static_cast<const unsigned char*>(block);
        data.insert(data.end(), bytes, bytes + length);
        return {};
    }
};

std::vector<unsigned char> Ramp(int length, int start = 0) {
    std::vector<unsigned char> bytes(length);
    for (int i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>(start + i);
    return bytes;
}

}  // namespace

TEST(AudioWriter, SmallWritesFillTheBlockFirst) {
    BlockRecorder writer(4096);
    ASSERT_TRUE(writer.Begin());
    const auto chunk = Ramp(1000);
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(writer.Write(chunk.data(), 1000));
    EXPECT_TRUE(writer.sizes.empty());
    ASSERT_TRUE(writer.Write(chunk.data(), 1000));
    EXPECT_EQ(writer.sizes, std::vector<int>({4096}));
    EXPECT_EQ(writer.BytesWritten(), 4096);
    ASSERT_TRUE(writer.End());
    EXPECT_EQ(writer.sizes, std::vector<int>({4096, 904}));
    EXPECT_EQ(writer.BytesWritten(), 5000);
}

TEST(AudioWriter, LargeWritePassesWholeBlocksAndKeepsTheRest) {
    BlockRecorder writer(4096);
    EXPECT_TRUE(writer.Begin());
    const auto bytes = Ramp(10000);
    ASSERT_TRUE(writer.Write(bytes.data(), 10000));
    EXPECT_EQ(writer.sizes, std::vector<int>({4096, 4096}));
    EXPECT_TRUE(writer.End());
    EXPECT_EQ(writer.sizes.back(), 1808);
    EXPECT_EQ(writer.data, bytes) << "bytes arrive in order, none lost or doubled";
}

TEST(AudioWriter, AnExactlyFullBufferWaitsForTheNextWrite) {
    BlockRecorder writer(100);
    EXPECT_TRUE(writer.Begin());
    const auto first = Ramp(100), second = Ramp(1, 100);
    EXPECT_TRUE(writer.Write(first.data(), 100));
    EXPECT_TRUE(writer.sizes.empty());
    EXPECT_TRUE(writer.Write(second.data(), 1));
    EXPECT_EQ(writer.sizes, std::vector<int>({100}));
    EXPECT_TRUE(writer.End());
    EXPECT_EQ(writer.sizes, std::vector<int>({100, 1}));
}

TEST(AudioWriter, EndWithAnEmptyBufferWritesNothing) {
    BlockRecorder writer(100);
    EXPECT_TRUE(writer.Begin());
    const auto bytes = Ramp(250);
    EXPECT_TRUE(writer.Write(bytes.data(), 200));
    EXPECT_TRUE(writer.Write(bytes.data(), 50));
    EXPECT_TRUE(writer.End());
    EXPECT_EQ(writer.sizes, std::vector<int>({100, 100, 50}));

    BlockRecorder empty(100);
    EXPECT_TRUE(empty.Begin());
    EXPECT_TRUE(empty.End());
    EXPECT_TRUE(empty.sizes.empty());
}

TEST(AudioWriter, UnbufferedWritesGoStraightThrough) {
    BlockRecorder writer(0);
    EXPECT_TRUE(writer.Begin());
    const auto bytes = Ramp(333);
    EXPECT_TRUE(writer.Write(bytes.data(), 333));
    EXPECT_TRUE(writer.Write(bytes.data(), 7));
    EXPECT_EQ(writer.sizes, std::vector<int>({333, 7}));
    EXPECT_EQ(writer.BytesWritten(), 340);
}

TEST(AudioWriter, AFailingBlockFailsTheWriteAndTheEnd) {
    BlockRecorder writer(100);
    writer.failOnCall = 1;
    EXPECT_TRUE(writer.Begin());
    const auto bytes = Ramp(250);
    EXPECT_FALSE(writer.Write(bytes.data(), 250));
    BlockRecorder atEnd(100);
    atEnd.failOnCall = 0;
    EXPECT_TRUE(atEnd.Begin());
    EXPECT_TRUE(atEnd.Write(bytes.data(), 50));
    EXPECT_FALSE(atEnd.End());
}

TEST(AudioWriter, BitrateRangeOnlyWithAPositiveLimit) {
    BlockRecorder writer(0);
    EXPECT_TRUE(writer.SetFormat(128000, 44100, 2, 16, -1, -1));
    EXPECT_FALSE(writer.HasBitrateRange());
    EXPECT_TRUE(writer.SetFormat(128000, 44100, 2, 16, 192000, 0));
    EXPECT_TRUE(writer.HasBitrateRange());
    EXPECT_EQ(writer.MaxBitrate(), 192000);
    EXPECT_EQ(writer.MinBitrate(), 0);
    EXPECT_EQ(writer.SampleRate(), 44100);
}

TEST(AudioWriter, OpenAndCloseTheFile) {
    TempDir dir;
    BlockRecorder writer(0);
    EXPECT_FALSE(writer.Close()) << "not open";
    EXPECT_FALSE(writer.OpenFile((dir / "missing/a.wav").c_str()));
    EXPECT_FALSE(writer.IsOpen());
    ASSERT_TRUE(writer.OpenFile((dir / "a.wav").c_str()));
    EXPECT_TRUE(writer.IsOpen());
    EXPECT_TRUE(PathExists(dir / "a.wav"));
    EXPECT_TRUE(writer.Close());
    EXPECT_FALSE(writer.IsOpen());
}

// The recorder creates each track's file empty before its writer opens it: every writer, the WMA
// plug-in included, takes that file, but never one that holds data or a link planted in its place.
TEST(AudioWriter, EveryWriterOpensOnlyAnEmptyFileOfItsOwn) {
    TempDir dir;
    const std::string victim = dir / "victim.txt";
    WriteFileBytes(victim, "keep me");
    ASSERT_EQ(symlink(victim.c_str(), (dir / "link").c_str()), 0);
    WriteFileBytes(dir / "full", "someone else's");
    WriteFileBytes(dir / "empty", "");
    const std::function<std::unique_ptr<CAudioWriter>()> writers[] = {
        [] { return std::make_unique<CWavWriter>(); }, [] { return std::make_unique<CMp3Writer>(); },
        [] { return std::make_unique<COggWriter>(); }, [] { return std::make_unique<CWmaWriter>(); }};
    for (const auto& make : writers) {
        for (const char* name : {"link", "full"}) {
            std::unique_ptr<CAudioWriter> writer = make();
            EXPECT_FALSE(writer->Open((dir / name).c_str())) << name << " kind " << static_cast<int>(writer->Kind());
        }
        std::unique_ptr<CAudioWriter> writer = make();
        EXPECT_TRUE(writer->Open((dir / "empty").c_str())) << "kind " << static_cast<int>(writer->Kind());
    }
    EXPECT_EQ(ReadFileBytes(victim), "keep me");
    EXPECT_EQ(ReadFileBytes(dir / "full"), "someone else's");
}
