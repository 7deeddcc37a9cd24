// The WMA reader: figures in 100-ns units, attributes, decoding through the module, bad files.
#include "audiofile/WmaReader.h"

#include <gtest/gtest.h>

#include "audiofile/WmaWriter.h"
#include "tests/support/ReaderTestFiles.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

TEST(WmaReader, OurTrackWithItsAttributesAndDecodedLength) {
    TempDir dir;
    const std::string path = dir / "ours.wma";
    TagFieldSet tags = SampleTags();
    CWmaWriter writer;
    const QualityEntry& quality = kWmaQualities[kWmaDefaultQuality];
    ASSERT_TRUE(WriteToneTrack(writer, path, quality.value, quality.sampleRate, quality.channels, 44100 * 3, &tags));

    CWmaReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(reader.Kind(), OutputFormat::Wma);
    EXPECT_EQ(reader.SampleRate(), 44100);
    EXPECT_EQ(reader.Channels(), 2);
    EXPECT_EQ(reader.BitsPerSample(), 16);
    EXPECT_NEAR(reader.Bitrate(), quality.value, quality.value * 0.05);
    EXPECT_EQ(reader.GetDuration(), reader.Length() / 10000);
    const ProbedAudio probe = ProbeWithFfprobe(path);
    ASSERT_TRUE(probe.ok);
    EXPECT_NEAR(reader.GetDuration(), probe.durationSeconds * 1000, 100);
    EXPECT_EQ(reader.TagFile()->Tags().title, tags.title);
    EXPECT_EQ(reader.TagFile()->Tags().artist, tags.artist);
    EXPECT_EQ(reader.TagFile()->Tags().album, tags.album);
    EXPECT_EQ(reader.TagFile()->Stream().durationMs, reader.GetDuration());

    const std::string pcm = DecodeAll(reader);
    EXPECT_NEAR(static_cast<double>(pcm.size()) / 4 / 44100, 3.0, 0.1);
    EXPECT_TRUE(reader.Close());
    EXPECT_EQ(reader.TagFile(), nullptr);

    // Cut in the middle: the header still tells the whole length; decoding stops where the data does.
    const std::string bytes = ReadFileBytes(path);
    WriteFileBytes(dir / "cut.wma", bytes.substr(0, bytes.size() / 2));
    ASSERT_TRUE(reader.Open((dir / "cut.wma").c_str()));
    EXPECT_LT(DecodeAll(reader).size(), pcm.size() * 3 / 4);
}

TEST(WmaReader, FfmpegMonoFile) {
    TempDir dir;
    const std::string wav = ToneWav(dir / "m.wav", 22050, 1, 44100);
    const std::string path = dir / "m.wma";
    ASSERT_TRUE(RunEncoder("ffmpeg -nostdin -y -i " + ShellQuote(wav) + " -c:a wmav2 -b:a 32k -metadata title=Noon " +
                           ShellQuote(path)));
    CWmaReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(reader.SampleRate(), 22050);
    EXPECT_EQ(reader.Channels(), 1);
    EXPECT_NEAR(reader.GetDuration(), 2000, 100);
    EXPECT_EQ(reader.TagFile()->Tags().title, "Noon");
}

TEST(WmaReader, RefusesGarbageAndAnAttachedFile) {
    TempDir dir;
    CWmaReader reader;
    EXPECT_TRUE(RefusesFile(reader, dir / "noise.wma", std::string(30000, 'q')));
    EXPECT_FALSE(reader.Open((dir / "missing.wma").c_str()));
    EXPECT_EQ(reader.ReadBlock(), 0);

    auto file = std::make_unique<CFileStream>();
    ASSERT_TRUE(file->Open((dir / "noise.wma").c_str(), CFileStream::kRead));
    EXPECT_FALSE(reader.AttachFile(std::move(file)));
}
