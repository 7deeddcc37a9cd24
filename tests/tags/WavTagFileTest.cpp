// WAV files: the INFO list behind the audio, replacing it, and files whose sizes cannot be trusted.
#include "tags/WavTagFile.h"

#include <gtest/gtest.h>

#include "tags/RiffInfo.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

uint32_t Le32At(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
}

// What the WAV writer's End does with its tags.
int TagByName(const std::string& path, const TagFieldSet& tags) {
    CWavTagFile editor;
    if (!editor.Open(path.c_str())) return 0;
    TagFieldSet& t = editor.Tags();
    t.title = tags.title;
    t.artist = tags.artist;
    t.album = tags.album;
    t.comment = tags.comment;
    t.year = tags.year;
    t.genre = tags.genre;
    t.trackNumber = tags.trackNumber;
    t.genreNumber = tags.genreNumber;
    const int written = editor.Write();
    editor.Close();
    return written;
}

}  // namespace

TEST(WavTagFile, InfoListFollowsTheAudioAndFfprobeShowsIt) {
    TempDir dir;
    const std::vector<int16_t> tone = TonePcm(22050, 1, 22050);
    const std::string pcm(reinterpret_cast<const char*>(tone.data()), tone.size() * 2);
    const std::string path = dir / "t.wav";
    WriteFileBytes(path, MakeWav(pcm, 22050, 1));
    TagFieldSet tags;
    tags.title = "A long title";
    tags.artist = "Someone";
    tags.trackNumber = 4;
    ASSERT_EQ(TagByName(path, tags), 1);
    std::string bytes = ReadFileBytes(path);
    EXPECT_TRUE(bytes.substr(8, 36 + pcm.size()) == MakeWav(pcm, 22050, 1).substr(8));
    EXPECT_EQ(Le32At(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(bytes.substr(44 + pcm.size(), 4), "LIST");
    ProbedAudio probe = ProbeWithFfprobe(path);
    EXPECT_EQ(probe.tags["title"], "A long title");
    EXPECT_EQ(probe.tags["artist"], "Someone");
    EXPECT_EQ(probe.sampleRate, 22050);

    // Tagging again replaces the list; the editor reads the old one first.
    CWavTagFile editor;
    ASSERT_EQ(editor.Open(path.c_str()), 1);
    EXPECT_EQ(editor.Tags().title, "A long title");
    EXPECT_EQ(editor.Tags().trackNumber, 4);
    tags.title = "T";
    ASSERT_EQ(TagByName(path, tags), 1);
    bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.size(), 44 + pcm.size() + BuildInfoList(tags).size());
    EXPECT_EQ(ProbeWithFfprobe(path).tags["title"], "T");
}

TEST(WavTagFile, RefusesWhereTheAudioEndIsUnknownOrOtherChunksFollow) {
    TempDir dir;
    TagFieldSet tags;
    tags.title = "x";
    // Beyond 4 GiB the writer saturates both sizes; the file is sparse, so this costs no disk.
    const std::string big = dir / "big.wav";
    std::string header = MakeWav("", 48000, 2);
    header.replace(4, 4, "\xFF\xFF\xFF\xFF");
    header.replace(40, 4, "\xFF\xFF\xFF\xFF");
    WriteFileBytes(big, header);
    const int64_t length = 5LL << 30;
    {
        CFileStream file;
        ASSERT_TRUE(file.Open(big.c_str(), CFileStream::kReadWrite));
        ASSERT_TRUE(file.SetLength(length));
        ASSERT_TRUE(file.Seek(length - 4, CFileStream::kFromStart));
        ASSERT_TRUE(file.Write("tail", 4));
    }
    EXPECT_EQ(TagByName(big, tags), 0);
    CFileStream file;
    ASSERT_TRUE(file.Open(big.c_str(), CFileStream::kRead));
    EXPECT_EQ(file.GetSize(), length);
    char tail[4];
    ASSERT_TRUE(file.Seek(length - 4, CFileStream::kFromStart));
    ASSERT_EQ(file.Read(tail, 4).value_or(-1), 4);
    EXPECT_EQ(std::string(tail, 4), "tail");

    // A data size beyond the end of the file (a cut-off recording) is not trusted either.
    std::string cut = MakeWav(std::string(1000, '\1'), 8000, 1).substr(0, 600);
    WriteFileBytes(dir / "cut.wav", cut);
    EXPECT_EQ(TagByName(dir / "cut.wav", tags), 0);
    EXPECT_TRUE(ReadFileBytes(dir / "cut.wav") == cut);

    const std::string withChunk = MakeWav(std::string(100, '\1'), 8000, 1) + "cue " + std::string(4, '\0');
    WriteFileBytes(dir / "cue.wav", withChunk);
    EXPECT_EQ(TagByName(dir / "cue.wav", tags), 0);
    EXPECT_TRUE(ReadFileBytes(dir / "cue.wav") == withChunk);
}

TEST(WavTagFile, OddDataChunkGetsItsPadByte) {
    TempDir dir;
    std::string wav = MakeWav(std::string(101, '\1'), 8000, 1);
    WriteFileBytes(dir / "o.wav", wav);
    TagFieldSet tags;
    ASSERT_EQ(TagByName(dir / "o.wav", tags), 1);
    const std::string bytes = ReadFileBytes(dir / "o.wav");
    EXPECT_EQ(bytes[44 + 101], '\0');
    EXPECT_EQ(bytes.substr(44 + 102, 4), "LIST");
    EXPECT_EQ(Le32At(bytes, 40), 101u);
}
