// The WAV reader: the figures of a file's format block, its INFO tags, its PCM, and files it must refuse.
#include "audiofile/WavReader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "audiofile/FormatTable.h"
#include "audiofile/WavWriter.h"
#include "tags/WavTagFile.h"
#include "tests/support/ReaderTestFiles.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

// Our WAV writer leaves the INFO list to the tag editor, as the recorder does.
bool WriteTaggedWav(const std::string& path, int rate, int channels, int64_t frames, const TagFieldSet& tags) {
    CWavWriter writer;
    if (!WriteToneTrack(writer, path, 0, rate, channels, frames)) return false;
    CWavTagFile editor;
    if (!editor.Open(path.c_str())) return false;
    editor.Tags() = tags;
    return editor.Write() && editor.Close();
}

}  // namespace

TEST(WavReader, TenSecondsOfCdAudioAndTheEditorGetsTheFigures) {
    TempDir dir;
    const std::string path = dir / "cd.wav";
    ASSERT_TRUE(WriteWav16(path, 44100, 2, MakePcm(441000, 2)));

    CWavReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(reader.Length(), 1764000);
    EXPECT_EQ(reader.GetDuration(), 10000);
    EXPECT_EQ(reader.Bitrate(), 1411200);
    EXPECT_EQ(reader.SampleRate(), 44100);
    EXPECT_EQ(reader.Channels(), 2);
    EXPECT_EQ(reader.BitsPerSample(), 16);
    EXPECT_FALSE(reader.IsVbr());
    ASSERT_NE(reader.TagFile(), nullptr);
    const StreamInfo& stream = reader.TagFile()->Stream();
    EXPECT_TRUE(stream.present);
    EXPECT_EQ(stream.durationMs, 10000);
    EXPECT_EQ(stream.bitrate, 1411200);
    EXPECT_EQ(stream.bitsPerSample, 16);
    EXPECT_TRUE(reader.Close());
    EXPECT_EQ(reader.TagFile(), nullptr);
    EXPECT_EQ(reader.Length(), 0);
}

TEST(WavReader, TagsOfOurWriterAndPcmBlocksBackExactly) {
    TempDir dir;
    const std::string path = dir / "take.wav";
    const TagFieldSet tags = SampleTags();
    ASSERT_TRUE(WriteTaggedWav(path, 22050, 1, 60000, tags));

    CWavReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(reader.TagFile()->Tags().title, tags.title);
    EXPECT_EQ(reader.TagFile()->Tags().artist, tags.artist);
    EXPECT_EQ(reader.TagFile()->Tags().album, tags.album);
    EXPECT_EQ(reader.TagFile()->Tags().trackNumber, 7);
    EXPECT_EQ(reader.GetDuration(), 60000 * 1000 / 22050);
    EXPECT_EQ(reader.Bitrate(), 16 * 22050);

    // The tags behind the audio are not part of it.
    const std::vector<int16_t> tone = TonePcm(22050, 1, 60000);
    const std::string expected(reinterpret_cast<const char*>(tone.data()), tone.size() * 2);
    ASSERT_TRUE(reader.Begin());
    std::string pcm;
    while (reader.ReadBlock()) {
        EXPECT_LE(reader.BlockBytes(), 49152);
        pcm.append(reinterpret_cast<const char*>(reader.Block()), reader.BlockBytes());
    }
    EXPECT_TRUE(pcm == expected) << pcm.size() << " bytes decoded, " << expected.size() << " written";

    // Seeking goes by whole seconds: 2.5 s lands on 2 s.
    ASSERT_TRUE(reader.Seek(2500));
    EXPECT_EQ(reader.Position(), 2 * 44100);
    ASSERT_EQ(reader.ReadBlock(), 1);
    EXPECT_EQ(memcmp(reader.Block(), expected.data() + 2 * 44100, 64), 0);
}

TEST(WavReader, AttachedFileGivesTheSameFiguresAndTags) {
    TempDir dir;
    const std::string path = dir / "a.wav";
    const TagFieldSet tags = SampleTags();
    ASSERT_TRUE(WriteTaggedWav(path, 44100, 2, 44100, tags));

    auto file = std::make_unique<CFileStream>();
    ASSERT_TRUE(file->Open(path.c_str(), CFileStream::kRead));
    CWavReader reader;
    ASSERT_TRUE(reader.AttachFile(std::move(file)));
    EXPECT_EQ(reader.GetDuration(), 1000);
    EXPECT_EQ(reader.TagFile()->Tags().title, tags.title);
    EXPECT_EQ(reader.TagFile()->Stream().durationMs, 1000);
    // The editor read through the reader's own file, which still decodes from the start.
    std::string pcm = DecodeAll(reader);
    EXPECT_EQ(pcm.size(), 44100u * 4);
}

TEST(WavReader, FilesOfOtherProgramsIncludingEightBit) {
    TempDir dir;
    const std::string source = ToneWav(dir / "src.wav", 48000, 2, 96000);
    const std::string sox8 = dir / "eight.wav";
    ASSERT_TRUE(RunEncoder("sox " + ShellQuote(source) + " -b 8 " + ShellQuote(sox8)));
    CWavReader reader;
    ASSERT_TRUE(reader.Open(sox8.c_str()));
    EXPECT_EQ(reader.BitsPerSample(), 8);
    EXPECT_EQ(reader.Bitrate(), 8 * 2 * 48000);
    EXPECT_EQ(reader.GetDuration(), 2000);

    const std::string mono = dir / "mono.wav";
    ASSERT_TRUE(RunEncoder("ffmpeg -nostdin -y -i " + ShellQuote(source) +
                           " -ac 1 -ar 16000 -fflags +bitexact -flags:a +bitexact -map_metadata -1 " +
                           ShellQuote(mono)));
    ASSERT_TRUE(reader.Open(mono.c_str()));
    EXPECT_EQ(reader.Channels(), 1);
    EXPECT_EQ(reader.SampleRate(), 16000);
    EXPECT_EQ(reader.GetDuration(), 2000);
}

TEST(WavReader, RefusesGarbageAndSurvivesTruncation) {
    TempDir dir;
    CWavReader reader;
    EXPECT_TRUE(RefusesFile(reader, dir / "noise.wav", std::string(5000, '\x5a')));
    EXPECT_TRUE(RefusesFile(reader, dir / "empty.wav", ""));
    EXPECT_FALSE(reader.Open((dir / "missing.wav").c_str()));
    const std::string whole = MakeWav(std::string(176400, '\x01'), 44100, 2);
    EXPECT_TRUE(RefusesFile(reader, dir / "head.wav", whole.substr(0, 30)));

    // Cut off mid-track: the audio that is there counts, not the size the header claims.
    WriteFileBytes(dir / "cut.wav", whole.substr(0, 44 + 88200));
    ASSERT_TRUE(reader.Open((dir / "cut.wav").c_str()));
    EXPECT_EQ(reader.Length(), 88200);
    EXPECT_EQ(reader.GetDuration(), 500);
    EXPECT_EQ(DecodeAll(reader).size(), 88200u);
}

// Past 4 GiB the writer saturates both sizes: 6 h 50 min of CD audio is as long as its bytes,
// not as the 4 GiB the header could say. The file is sparse, so this costs no disk.
TEST(WavReader, TrackPastFourGibTakesItsLengthFromTheFile) {
    TempDir dir;
    const std::string path = dir / "long.wav";
    std::string header = MakeWav("", 44100, 2);
    header.replace(4, 4, "\xFF\xFF\xFF\xFF");
    header.replace(40, 4, "\xFF\xFF\xFF\xFF");
    WriteFileBytes(path, header);
    const int64_t pcmBytes = int64_t{(6 * 60 + 50) * 60} * 176400;
    // A torn last frame is not audio.
    if (truncate(path.c_str(), 44 + pcmBytes + 3) != 0) GTEST_SKIP() << "no sparse 4 GiB file here";

    CWavReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(reader.Length(), pcmBytes);
    EXPECT_EQ(reader.GetDuration(), 24600000);
    EXPECT_EQ(reader.TagFile()->Stream().durationMs, 24600000);
}

TEST(ReaderByExtension, TheTableOfExtensions) {
    EXPECT_EQ(NewReaderByExtension("/m/a.wav")->Kind(), OutputFormat::Wav);
    EXPECT_EQ(NewReaderByExtension("/m/a.MP3")->Kind(), OutputFormat::Mp3);
    EXPECT_EQ(NewReaderByExtension("/m/LIVE.RMP")->Kind(), OutputFormat::Mp3);
    EXPECT_EQ(NewReaderByExtension("/m/a.Ogg")->Kind(), OutputFormat::OggVorbis);
    EXPECT_EQ(NewReaderByExtension("/m/a.wma")->Kind(), OutputFormat::Wma);
    EXPECT_EQ(NewReaderByExtension("/m/a.wav.tmp"), nullptr);
    EXPECT_EQ(NewReaderByExtension("/m/v1.wav/take"), nullptr);
    EXPECT_EQ(NewReaderByExtension("/m/mp3"), nullptr);
    EXPECT_EQ(NewReaderByExtension(nullptr), nullptr);
}
