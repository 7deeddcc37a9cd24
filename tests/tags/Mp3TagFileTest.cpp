// MP3-family files: analysis, retagging plain MP3 and RIFF-MP3, and what other readers see.
#include "tags/Mp3TagFile.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tags/Mp3InfoFrame.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Mutagen.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

// A second of tone encoded by the lame command-line encoder: bare MPEG frames with LAME's tag first.
std::string LameMp3(const TempDir& dir) {
    EXPECT_TRUE(WriteWav16(dir / "src.wav", 44100, 2, TonePcm(44100, 2, 44100)));
    EXPECT_EQ(RunProcess("lame --quiet -b 128 " + ShellQuote(dir / "src.wav") + " " + ShellQuote(dir / "src.mp3")).exitCode, 0);
    return ReadFileBytes(dir / "src.mp3");
}

TagFieldSet SomeTags(const char* title, int track) {
    TagFieldSet tags;
    tags.title = title;
    tags.artist = "Artist";
    tags.album = "Album";
    tags.year = "2024";
    tags.genre = "Genre";
    tags.comment = "Comment";
    tags.trackNumber = track;
    tags.genreNumber = 146;
    return tags;
}

std::string Le32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

Mp3FileInfo Analyse(const std::string& path) {
    CFileStream file;
    EXPECT_TRUE(file.Open(path.c_str(), CFileStream::kRead));
    Mp3FileInfo info;
    EXPECT_TRUE(ReadMp3FileInfo(file, info, true, nullptr, nullptr));
    return info;
}

std::string Id3Version(const std::string& path) {
    return MutagenOutput(path, "from mutagen.id3 import ID3\nt=ID3(path,translate=False)\nprint(t.version, t['TIT2'].text[0])");
}

}  // namespace

// Tags that fit the room in front of the audio are written in place, the audio never moved; tags
// that do not are written with the audio into a new file renamed over the old one.
TEST(Mp3TagFile, RetaggingReplacesBothTagsInPlaceOrThroughANewFileAndKeepsTheAudio) {
    TempDir dir;
    const std::string audio = LameMp3(dir);
    const std::string path = dir / "t.mp3";
    WriteFileBytes(path, audio);
    // Bare frames leave no room: the first tags go through a new file.
    ASSERT_TRUE(WriteMp3TagsByName(path.c_str(), {kContainerMp3, 7}, SomeTags(std::string(300, 'L').c_str(), 3)));
    const std::string first = ReadFileBytes(path);
    const size_t firstTag = first.size() - audio.size() - 128;
    EXPECT_EQ(firstTag, 10 + 2048 + (7 + 8 + 7 + 6 + 7 + 13 + 3 - 5 + 300) + 7 * 10);
    EXPECT_TRUE(first.substr(firstTag, audio.size()) == audio);

    CMp3TagFile editor;
    ASSERT_TRUE(editor.Open(path.c_str()));
    EXPECT_EQ(editor.Info().tagFlags, kTagId3v2 | kTagId3v1 | kTagId3v1Track);
    EXPECT_EQ(editor.Info().audioLength, static_cast<int64_t>(audio.size()));
    EXPECT_EQ(editor.Tags().trackNumber, 3);
    EXPECT_EQ(editor.Tags().genreNumber, 250);  // "Genre" has no leading number
    editor.Tags() = SomeTags("Short", 9);
    EXPECT_TRUE(editor.Write());
    EXPECT_TRUE(editor.Close());
    // Shorter tags: the same room, more padding, the audio where it was.
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.size(), first.size());
    EXPECT_TRUE(bytes.substr(firstTag, audio.size()) == audio);
    EXPECT_EQ(bytes.substr(bytes.size() - 128, 8), "TAGShort");
    EXPECT_EQ(bytes[bytes.size() - 2], 9);
    EXPECT_EQ(Id3Version(path), "(2, 3, 0) Short\n");
    EXPECT_TRUE(DecodesCleanly(path));

    // Longer than the room: a new file again, and nothing left beside it.
    const std::string title(4000, 'T');
    ASSERT_TRUE(WriteMp3TagsByName(path.c_str(), {kContainerMp3, 7}, SomeTags(title.c_str(), 1)));
    const std::string grown = ReadFileBytes(path);
    const size_t grownTag = grown.size() - audio.size() - 128;
    EXPECT_EQ(grownTag, 10 + 2048 + (7 + 8 + 7 + 6 + 7 + 13 + 3 - 5 + 4000) + 7 * 10);
    EXPECT_TRUE(grown.substr(grownTag, audio.size()) == audio);
    EXPECT_EQ(Id3Version(path), "(2, 3, 0) " + title + "\n");
    EXPECT_FALSE(PathExists(path + ".vctemp"));
}

// A killed encoder leaves LAME's blank first frame and perhaps a frame cut short. Filled in from the
// frames present, the Info frame says what LAME's own says (frames, bytes, delay, and the padding
// when the sample count is known), so players drop exactly the samples they drop from LAME's file.
TEST(Mp3InfoFrame, ABlankInfoFrameIsFilledInAsLameFillsItAndAFrameCutShortGoes) {
    TempDir dir;
    const std::string lame = LameMp3(dir);  // 44100 sample frames
    const Mp3FileInfo own = Analyse(dir / "src.mp3");
    ASSERT_TRUE(own.xingPresent && own.xing.hasFrames && own.xing.hasBytes);
    const size_t tagAt = 4 + 32, frameLength = static_cast<size_t>(Mp3FrameLength(own.header, own.bitrate, own.sampleRate));
    std::string killed = lame;
    std::fill(killed.begin() + tagAt, killed.begin() + frameLength, '\0');
    killed += lame.substr(frameLength, 100);
    for (const int64_t samples : {int64_t{44100}, int64_t{-1}}) {
        SCOPED_TRACE(samples);
        const std::string path = dir / "killed.mp3";
        WriteFileBytes(path, killed);
        CFileStream file;
        ASSERT_TRUE(file.Open(path.c_str(), CFileStream::kReadWrite));
        ASSERT_TRUE(CompleteMp3Stream(file, samples, "LAME3.100"));
        file.Close();
        const std::string filled = ReadFileBytes(path);
        ASSERT_EQ(filled.size(), lame.size()) << "the frame cut short is gone";
        const Mp3FileInfo info = Analyse(path);
        EXPECT_EQ(info.xing.frames, own.xing.frames);
        EXPECT_EQ(info.xing.bytes, own.xing.bytes);
        // Delay and padding: 12 bits each.
        const auto delayAndPadding = [&](const std::string& bytes) {
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + tagAt + 120 + 21;
            return std::pair<int, int>{p[0] << 4 | p[1] >> 4, (p[1] & 0x0F) << 8 | p[2]};
        };
        EXPECT_EQ(delayAndPadding(filled).first, delayAndPadding(lame).first) << "the encoder delay";
        if (samples >= 0) {
            EXPECT_EQ(delayAndPadding(filled).second, delayAndPadding(lame).second) << "the padding";
            EXPECT_EQ(DecodedFrames(path, 2), 44100);
        } else {
            EXPECT_GT(DecodedFrames(path, 2), 44100) << "without the count nothing is dropped at the end";
        }
        EXPECT_TRUE(DecodesCleanly(path));
    }
    // Filled in once, the frame stays as it is.
    const std::string before = ReadFileBytes(dir / "killed.mp3");
    CFileStream again;
    ASSERT_TRUE(again.Open((dir / "killed.mp3").c_str(), CFileStream::kReadWrite));
    ASSERT_TRUE(CompleteMp3Stream(again, 44100, "LAME3.100"));
    again.Close();
    EXPECT_TRUE(ReadFileBytes(dir / "killed.mp3") == before);
}

TEST(Mp3TagFile, OlderAndNewerTagVersionsAreWrittenAsVersion3) {
    TempDir dir;
    const std::string audio = LameMp3(dir);
    const std::string v22 = std::string("ID3\2\0\0\0\0\0\x10", 10) + "TT2" + std::string("\0\0\4\0Old", 7) + std::string(9, '\0');
    const std::string v24 = std::string("ID3\4\0\0\0\0\0\x0F", 10) + "TIT2" + std::string("\0\0\0\4\0\0\3New", 10) +
                            std::string(5, '\0');
    for (const std::string& front : {v22, v24}) {
        WriteFileBytes(dir / "t.mp3", front + audio);
        CMp3TagFile editor;
        ASSERT_TRUE(editor.Open((dir / "t.mp3").c_str()));
        EXPECT_TRUE(editor.Tags().title == "Old" || editor.Tags().title == "New");
        EXPECT_EQ(editor.Info().audioOffset, static_cast<int64_t>(front.size()));
        editor.Tags().title = "Rewritten";
        ASSERT_TRUE(editor.Write());
        ASSERT_TRUE(editor.Close());
        EXPECT_EQ(Id3Version(dir / "t.mp3"), "(2, 3, 0) Rewritten\n");
    }
}

TEST(Mp3TagFile, RiffMp3GetsAnInfoListAndItsRiffSize) {
    TempDir dir;
    const std::string audio = LameMp3(dir).substr(0, 1000);
    const std::string riff = "RIFF" + Le32(1012) + "RMP3data" + Le32(1000) + audio;
    const std::string path = dir / "r.mp3";
    WriteFileBytes(path, riff + "junk after the audio");
    ASSERT_TRUE(WriteMp3TagsByName(path.c_str(), {kContainerRiffMp3, 0}, SomeTags("T", 1)));
    EXPECT_TRUE(ReadFileBytes(path) == riff);

    ASSERT_TRUE(WriteMp3TagsByName(path.c_str(), {kContainerRiffMp3, 7}, SomeTags("Riff title", 1)));
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.substr(0, 20), "RIFF" + Le32(bytes.size() - 8) + "RMP3data" + Le32(1000));
    EXPECT_TRUE(bytes.substr(20, 1000) == audio);
    EXPECT_EQ(bytes.substr(1020, 4), "LIST");
    CMp3TagFile editor;
    ASSERT_TRUE(editor.Open(path.c_str()));
    EXPECT_EQ(editor.Info().container, kContainerRiffMp3);
    EXPECT_EQ(editor.Info().tagFlags, kTagRiffInfo);
    EXPECT_EQ(editor.Tags().title, "Riff title");
}

TEST(Mp3FileInfo, ContainersFrameSearchAndXing) {
    TempDir dir;
    const std::string audio = LameMp3(dir);
    // Garbage in front is searched past; LAME's CBR tag is found in the first frame.
    WriteFileBytes(dir / "g.mp3", std::string(5000, 'x') + audio);
    Mp3FileInfo info = Analyse(dir / "g.mp3");
    EXPECT_EQ(info.audioOffset, 5000);
    EXPECT_EQ(info.container, kContainerMp3);
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_TRUE(info.xingPresent);
    EXPECT_TRUE(info.xing.hasFrames && info.xing.hasBytes && info.xing.hasToc);
    EXPECT_EQ(info.xing.bytes, audio.size());

    WriteFileBytes(dir / "far.mp3", std::string(81921, 'x') + audio);
    CFileStream file;
    ASSERT_TRUE(file.Open((dir / "far.mp3").c_str(), CFileStream::kRead));
    EXPECT_FALSE(ReadMp3FileInfo(file, info, true, nullptr, nullptr));
    EXPECT_FALSE(WriteMp3TagsByName((dir / "far.mp3").c_str(), {kContainerMp3, 7}, SomeTags("x", 1)));

    // MPEG in WAVE needs a 30- or 32-byte fmt chunk; a 16-byte one is something else.
    const std::string fmt30 = "RIFF" + Le32(0) + "WAVEfmt " + Le32(30) + std::string(30, '\0');
    WriteFileBytes(dir / "w.wav", fmt30 + "fact" + Le32(4) + Le32(0) + "data" + Le32(audio.size()) + audio);
    info = Analyse(dir / "w.wav");
    EXPECT_EQ(info.container, kContainerWaveMpeg);
    EXPECT_EQ(info.audioOffset, static_cast<int64_t>(fmt30.size() + 20));
    EXPECT_FALSE(WriteMp3TagsByName((dir / "w.wav").c_str(), {kContainerWaveMpeg, 8}, SomeTags("x", 1)));
    const std::string fmt16 = "RIFF" + Le32(0) + "WAVEfmt " + Le32(16) + std::string(16, '\0');
    WriteFileBytes(dir / "p.wav", fmt16 + "data" + Le32(audio.size()) + audio);
    EXPECT_EQ(Analyse(dir / "p.wav").container, kContainerMp3);  // found by the frame search
}
