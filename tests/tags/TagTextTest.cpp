// Japanese text in the 8-bit tag formats: what Linux readers make of ours, and what our editors
// make of the Shift-JIS older versions wrote.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "tags/Id3v2Tag.h"
#include "tags/Mp3TagFile.h"
#include "tags/RiffInfo.h"
#include "tags/WavTagFile.h"
#include "tests/support/AudioProbe.h"
#include "tests/support/Mutagen.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPcm.h"

namespace {

TagFieldSet JapaneseTags() {
    TagFieldSet tags;
    tags.title = "深夜ラジオ 第3回";
    tags.artist = "録音者";
    tags.album = "♪Velsona アルバム";
    tags.comment = "plain";
    tags.trackNumber = 2;
    return tags;
}

std::string Le32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

// An ID3v2.3 tag of text frames written with encoding 0 in Shift-JIS, as older versions did.
std::string ShiftJisId3v2(const TagFieldSet& tags) {
    std::string body;
    for (const auto& [id, text] : {std::pair{"TIT2", tags.title}, {"TPE1", tags.artist}, {"TALB", tags.album}}) {
        const std::string payload = std::string(1, '\0') + text.ToCp932() + std::string(1, '\0');
        const auto size = static_cast<uint32_t>(payload.size());
        body += id + std::string{char(size >> 24), char(size >> 16), char(size >> 8), char(size)} + '\0' + '\0' + payload;
    }
    unsigned char syncsafe[4];
    EncodeSyncsafe(static_cast<uint32_t>(body.size()), syncsafe);
    return std::string("ID3\3\0\0", 6) + std::string(reinterpret_cast<const char*>(syncsafe), 4) + body;
}

// A RIFF INFO list of Shift-JIS texts, as older versions wrote.
std::string ShiftJisInfoList(const TagFieldSet& tags) {
    std::string list;
    for (const auto& [id, text] : {std::pair{"INAM", tags.title}, {"IART", tags.artist}, {"IPRD", tags.album}}) {
        std::string bytes = text.ToCp932() + '\0';
        if (bytes.size() & 1) bytes += '\0';
        list += id + Le32(static_cast<uint32_t>(bytes.size())) + bytes;
    }
    return "LIST" + Le32(static_cast<uint32_t>(list.size() + 4)) + "INFO" + list;
}

std::string Mp3Audio(const TempDir& dir) {
    const std::string path = dir / "tone.mp3";
    EXPECT_EQ(RunProcess("ffmpeg -nostdin -v error -f lavfi -i sine=frequency=440:duration=1 -c:a libmp3lame -b:a 64k " +
                         ShellQuote(path)).exitCode, 0);
    return ReadFileBytes(path);
}

// What exiftool shows as a file's title, artist and album, one line each.
std::string ExiftoolTitleArtistAlbum(const std::string& path) {
    return RunProcess("exiftool -s3 -Title -Artist -Album " + ShellQuote(path)).output;
}

struct TextFormat {
    const char* name;
    // A fresh untagged file's bytes.
    std::function<std::string(const TempDir&)> audio;
    // The file's bytes with the tags as older versions stored them.
    std::function<std::string(const std::string& audio, const TagFieldSet&)> oldTagged;
    std::function<std::unique_ptr<CTagFile>()> editor;
    bool id3;
};

const TextFormat kFormats[] = {
    {"mp3", Mp3Audio, [](const std::string& audio, const TagFieldSet& tags) { return ShiftJisId3v2(tags) + audio; },
     [] { return std::make_unique<CMp3TagFile>(); }, true},
    {"wav", [](const TempDir&) { return MakeWav(std::string(44100 * 4, '\x11'), 44100, 2); },
     [](const std::string& audio, const TagFieldSet& tags) { return audio + ShiftJisInfoList(tags); },
     [] { return std::make_unique<CWavTagFile>(); }, false},
};

void PrintTo(const TextFormat& format, std::ostream* out) { *out << format.name; }

class TagText : public testing::TestWithParam<TextFormat> {};

TEST_P(TagText, LinuxReadersShowOurJapaneseAndOurEditorsReadOldShiftJis) {
    const TextFormat& format = GetParam();
    TempDir dir;
    const std::string audio = format.audio(dir);
    ASSERT_FALSE(audio.empty());
    const TagFieldSet tags = JapaneseTags();

    const std::string path = dir / (std::string("new.") + format.name);
    WriteFileBytes(path, audio);
    std::unique_ptr<CTagFile> editor = format.editor();
    ASSERT_TRUE(RewriteTags(*editor, path.c_str(), tags));

    const ProbedAudio probed = ProbeWithFfprobe(path);
    EXPECT_EQ(probed.tags.count("title") ? probed.tags.at("title") : "", tags.title.str());
    EXPECT_EQ(probed.tags.count("artist") ? probed.tags.at("artist") : "", tags.artist.str());
    EXPECT_EQ(probed.tags.count("album") ? probed.tags.at("album") : "", tags.album.str());
    if (format.id3) {
        const auto mutagen = ReadTagsWithMutagen(path);
        EXPECT_EQ(mutagen.count("TIT2") ? mutagen.at("TIT2") : "", "TIT2:" + tags.title.str());
        EXPECT_EQ(mutagen.count("TPE1") ? mutagen.at("TPE1") : "", "TPE1:" + tags.artist.str());
        EXPECT_EQ(mutagen.count("TALB") ? mutagen.at("TALB") : "", "TALB:" + tags.album.str());
        EXPECT_EQ(ExiftoolTitleArtistAlbum(path), tags.title.str() + "\n" + tags.artist.str() + "\n" + tags.album.str() + "\n");
        // ID3v1 has no other way to hold Japanese than the Shift-JIS old Japanese players read.
        const std::string bytes = ReadFileBytes(path);
        EXPECT_EQ(bytes.substr(bytes.size() - 125, tags.title.ToCp932().size()), tags.title.ToCp932());
    }

    const std::string oldPath = dir / (std::string("old.") + format.name);
    WriteFileBytes(oldPath, format.oldTagged(audio, tags));
    for (const std::string& file : {path, oldPath}) {
        SCOPED_TRACE(file);
        std::unique_ptr<CTagFile> reader = format.editor();
        ASSERT_TRUE(reader->Open(file.c_str()));
        EXPECT_EQ(reader->Tags().title, tags.title);
        EXPECT_EQ(reader->Tags().artist, tags.artist);
        EXPECT_EQ(reader->Tags().album, tags.album);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, TagText, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<TextFormat>& info) { return std::string(info.param.name); });

}  // namespace
