// Vorbis comments: reading keys in any case, the fixed table on rewrite, and rewrites that fail
// without touching the track.
#include "tags/VorbisTagFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/AudioProbe.h"
#include "tests/support/OggFiles.h"
#include "tests/support/TempDir.h"

namespace {

// Rewrites `path` with `tags` through the editor.
Result<void> Rewrite(const std::string& path, const TagFieldSet& tags) {
    CVorbisTagFile editor;
    if (Result<void> opened = editor.Open(path.c_str()); !opened) return opened;
    editor.Tags() = tags;
    return editor.Write();
}

std::vector<std::pair<std::string, std::string>> g_added;
void RecordComment(vorbis_comment*, const char* key, const char* value) { g_added.emplace_back(key, value); }

}  // namespace

TEST(AddStandardComments, KeepsTableOrderAndSplitsAtTheFirstEquals) {
    TagFieldSet tags;
    tags.title = "a=b";
    tags.artist = "Artist";
    tags.album = "Album";
    tags.year = "2024";
    tags.genre = "JPop";
    tags.comment = "Note";
    tags.trackNumber = 12;
    tags.genreNumber = 146;
    vorbis_comment comments{};
    g_added.clear();
    ASSERT_TRUE(AddStandardComments(tags, &comments, RecordComment));
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"TITLE", "a=b"}, {"ARTIST", "Artist"}, {"ALBUM", "Album"},  {"TRACKNUMBER", "12"},
        {"DATE", "2024"}, {"GENRE", "JPop"},    {"COMMENT", "Note"}, {"GENREID", "146"}};
    EXPECT_EQ(g_added, expected);
    EXPECT_FALSE(AddStandardComments(tags, nullptr, RecordComment));
}

TEST(VorbisTagFile, ReadsKeysWithoutRegardToCase) {
    TempDir dir;
    const std::string path = dir / "mixed.ogg";
    ASSERT_TRUE(EncodeWithOggenc(path, 22050, 1, 0.5, 1,
                                 {"title=Lower", "Artist=Mixed", "ALBUM=Upper", "tracknumber=07/12", "date=2024",
                                  "Genre=JPop", "comment=x=y", "genreid=146abc", "SUBTITLE=ignored"}));
    CVorbisTagFile editor;
    ASSERT_TRUE(editor.Open(path.c_str()));
    EXPECT_EQ(editor.Kind(), OutputFormat::OggVorbis);
    const TagFieldSet& tags = editor.Tags();
    EXPECT_EQ(tags.title, "Lower");
    EXPECT_EQ(tags.artist, "Mixed");
    EXPECT_EQ(tags.album, "Upper");
    EXPECT_EQ(tags.year, "2024");
    EXPECT_EQ(tags.genre, "JPop");
    EXPECT_EQ(tags.comment, "x=y");
    EXPECT_EQ(tags.trackNumber, 7);
    EXPECT_EQ(tags.genreNumber, 146);
}

TEST(VorbisTagFile, RewriteLeavesExactlyTheTableAndKeepsTheAudio) {
    TempDir dir;
    const std::string path = dir / "track.ogg";
    ASSERT_TRUE(EncodeWithOggenc(path, 44100, 2, 2.0, 4, {"ENCODER=Mirelto", "TITLE=old", "FOO=bar"}));
    const std::string pcm = DecodeWithFfmpeg(path);
    TagFieldSet tags;
    tags.title = "Title";
    tags.artist = "Artist";
    tags.album = "Album";
    tags.year = "2024";
    tags.genre = "♪Velsona - オリジナルレコーディング";
    tags.comment = "Comment";
    tags.trackNumber = 3;
    tags.genreNumber = 146;

    CVorbisTagFile editor;
    ASSERT_TRUE(editor.Open(path.c_str()));
    editor.Tags() = tags;
    ASSERT_TRUE(editor.Write());
    EXPECT_TRUE(editor.IsOpen()) << "the editor reopens the rewritten file";
    EXPECT_EQ(editor.Tags().genre, tags.genre);
    static_cast<void>(editor.Close());

    EXPECT_EQ(ListVorbisComments(path),
              "TITLE=Title\nARTIST=Artist\nALBUM=Album\nTRACKNUMBER=3\nDATE=2024\n"
              "GENRE=♪Velsona - オリジナルレコーディング\nCOMMENT=Comment\nGENREID=146\n");
    EXPECT_FALSE(PathExists(path + ".vctemp"));
    EXPECT_TRUE(DecodeWithFfmpeg(path) == pcm);
}

TEST(VorbisTagFile, EmptyFieldsFollowTheTableConditions) {
    TempDir dir;
    const std::string path = dir / "empty.ogg";
    ASSERT_TRUE(EncodeWithOggenc(path, 22050, 1, 0.5, 1, {"ALBUM=gone", "TRACKNUMBER=5"}));
    TagFieldSet tags;
    tags.trackNumber = 0;
    tags.genreNumber = 0;
    ASSERT_TRUE(Rewrite(path, tags));
    EXPECT_EQ(ListVorbisComments(path), "TITLE=\nARTIST=\nGENREID=0\n");

    ASSERT_TRUE(Rewrite(path, TagFieldSet()));
    EXPECT_EQ(ListVorbisComments(path), "TITLE=\nARTIST=\n") << "-1 writes neither number";
}

TEST(VorbisTagFile, AJapaneseTitleRoundTripsByteExact) {
    TempDir dir;
    const std::string path = dir / "ja.ogg";
    ASSERT_TRUE(EncodeWithOggenc(path, 22050, 2, 0.5, 1, {}));
    // A character outside the BMP must stay one 4-byte sequence.
    const std::string title = "日本語のタイトル ♪ \xF0\xA0\x80\x8B";
    TagFieldSet tags;
    tags.title = title;
    ASSERT_TRUE(Rewrite(path, tags));
    EXPECT_EQ(ListVorbisComments(path), "TITLE=" + title + "\nARTIST=\n");
    const std::string bytes = ReadFileBytes(path);
    EXPECT_NE(bytes.find("TITLE=" + title), std::string::npos);
    CVorbisTagFile editor;
    ASSERT_TRUE(editor.Open(path.c_str()));
    EXPECT_EQ(editor.Tags().title.str(), title);
}

TEST(VorbisTagFile, AFailedRewriteLeavesTheTrackAsEncoded) {
    TempDir dir;
    const std::string path = dir / "keep.ogg";
    ASSERT_TRUE(EncodeWithOggenc(path, 44100, 2, 1.5, 2, {"TITLE=original"}));
    const std::string original = ReadFileBytes(path);
    TagFieldSet tags;
    tags.title = "new";

    // The temporary file cannot be created (a folder holds its name; root ignores permissions).
    ASSERT_EQ(mkdir((path + ".vctemp").c_str(), 0755), 0);
    EXPECT_FALSE(Rewrite(path, tags));
    EXPECT_TRUE(ReadFileBytes(path) == original);
    rmdir((path + ".vctemp").c_str());

    if (geteuid() != 0) {
        chmod(dir.path().c_str(), 0555);
        EXPECT_FALSE(Rewrite(path, tags));
        chmod(dir.path().c_str(), 0755);
        EXPECT_TRUE(ReadFileBytes(path) == original);
        EXPECT_FALSE(PathExists(path + ".vctemp"));
    }

    // The damage is found halfway through copying, after the temporary file was begun.
    const std::vector<OggPageInfo> pages = ReadOggPages(original);
    ASSERT_GE(pages.size(), 6u);
    const std::string cut = original.substr(0, static_cast<size_t>(pages[pages.size() - 2].offset) + 500);
    std::string flipped = original;
    flipped[static_cast<size_t>(pages[pages.size() - 2].offset) + 300] ^= 0x20;
    for (const std::string& damaged : {cut, flipped}) {
        WriteFileBytes(path, damaged);
        EXPECT_FALSE(Rewrite(path, tags));
        EXPECT_TRUE(ReadFileBytes(path) == damaged);
        EXPECT_FALSE(PathExists(path + ".vctemp"));
    }
}

TEST(VorbisTagFile, RefusesWhatIsNotOggVorbisWithoutTouchingIt) {
    TempDir dir;
    const std::string path = dir / "x.ogg";
    ASSERT_TRUE(EncodeWithOggenc(path, 22050, 1, 0.5, 1, {}));
    const std::string good = ReadFileBytes(path);
    const std::string inputs[] = {"", "RIFF----WAVEfmt " + std::string(100, '\0'), good.substr(0, 100),
                                  good.substr(0, static_cast<size_t>(ReadOggPages(good).at(1).offset) + 50)};
    for (const std::string& bytes : inputs) {
        WriteFileBytes(path, bytes);
        CVorbisTagFile editor;
        EXPECT_FALSE(editor.Open(path.c_str()));
        EXPECT_FALSE(editor.IsOpen());
        EXPECT_FALSE(editor.Write());
        EXPECT_TRUE(ReadFileBytes(path) == bytes);
    }
    CVorbisTagFile editor;
    EXPECT_FALSE(editor.Open((dir / "missing.ogg").c_str()));
    EXPECT_FALSE(PathExists(dir / "missing.ogg"));
}

TEST(VorbisTagFile, AStaleTemporaryFileGoesAndAPlantedLinkIsNeverWrittenThrough) {
    TempDir dir;
    const std::string path = dir / "stale.ogg";
    const std::string victim = dir / "victim.txt";
    TagFieldSet tags;
    tags.artist = "A";
    for (const bool link : {false, true}) {
        SCOPED_TRACE(link ? "link" : "stale file");
        ASSERT_TRUE(EncodeWithOggenc(path, 22050, 2, 1.0, 1, {}));
        const std::string encoded = ReadFileBytes(path);
        WriteFileBytes(victim, std::string(1 << 20, 'J'));
        if (link)
            ASSERT_EQ(symlink(victim.c_str(), (path + ".vctemp").c_str()), 0);
        else
            WriteFileBytes(path + ".vctemp", std::string(1 << 20, 'J'));
        ASSERT_EQ(Rewrite(path, tags).has_value(), !link);
        EXPECT_EQ(ReadFileBytes(victim), std::string(1 << 20, 'J'));
        if (link) {
            EXPECT_TRUE(ReadFileBytes(path) == encoded) << "the track keeps its comments";
            unlink((path + ".vctemp").c_str());
            continue;
        }
        EXPECT_FALSE(PathExists(path + ".vctemp"));
        bool complete = false;
        ReadOggPages(ReadFileBytes(path), &complete);
        EXPECT_TRUE(complete) << "the stale file's tail is not in the track";
        EXPECT_EQ(ProbeWithFfprobe(path).durationSamples, 22050);
    }
}
