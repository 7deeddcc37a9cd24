// The Vorbis decoding module: its exports, the all-or-none loader, and the comment editor on
// files other encoders made.
#include "tags/VorbisDecoder.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/AudioProbe.h"
#include "tests/support/OggFiles.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

size_t ReadStdio(void* buffer, size_t size, size_t count, void* file) {
    return fread(buffer, size, count, static_cast<FILE*>(file));
}
size_t WriteStdio(const void* buffer, size_t size, size_t count, void* file) {
    return fwrite(buffer, size, count, static_cast<FILE*>(file));
}

// Replaces every comment of `in` by `comments` ("KEY=value") and writes `out` through the
// module's editor. The editor's error text, or "" on success.
std::string EditComments(const CVorbisDecoder& d, const std::string& in, const std::string& out,
                         const std::vector<std::string>& comments) {
    FILE* source = fopen(in.c_str(), "rb");
    if (!source) return "cannot open the input";
    vcedit_state* state = d.vcedit_new_state();
    std::string error;
    auto fail = [&] { error = d.vcedit_error(state) ? d.vcedit_error(state) : "failed without a reason"; };
    if (d.vcedit_open_callbacks(state, source, ReadStdio, WriteStdio) < 0) {
        fail();
    } else {
        vorbis_comment* list = d.vcedit_comments(state);
        d.vorbis_comment_clear(list);
        d.vorbis_comment_init(list);
        for (const std::string& comment : comments) {
            const size_t equals = comment.find('=');
            d.vorbis_comment_add_tag(list, comment.substr(0, equals).c_str(), comment.substr(equals + 1).c_str());
        }
        FILE* sink = fopen(out.c_str(), "wb");
        if (d.vcedit_write(state, sink) < 0) fail();
        fclose(sink);
    }
    d.vcedit_clear(state);
    fclose(source);
    return error;
}

struct Decoded {
    int sampleRate = 0;
    int channels = 0;
    int64_t frames = -1;
    std::string pcm;
};

// Decodes through the module's vorbisfile functions.
Decoded DecodeWithModule(const CVorbisDecoder& d, const std::string& path) {
    Decoded result;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return result;
    const ov_callbacks callbacks = {
        ReadStdio, [](void* f, ogg_int64_t offset, int whence) { return fseeko(static_cast<FILE*>(f), offset, whence); },
        [](void* f) { return fclose(static_cast<FILE*>(f)); },
        [](void* f) { return static_cast<long>(ftello(static_cast<FILE*>(f))); }};
    OggVorbis_File vf;
    if (d.ov_open_callbacks(file, &vf, nullptr, 0, callbacks) < 0) {
        fclose(file);
        return result;
    }
    const vorbis_info* info = d.ov_info(&vf, -1);
    result.sampleRate = static_cast<int>(info->rate);
    result.channels = info->channels;
    result.frames = d.ov_pcm_total(&vf, -1);
    char buffer[8192];
    int section = 0;
    long got;
    while ((got = d.ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &section)) > 0) result.pcm.append(buffer, got);
    d.ov_clear(&vf);
    return result;
}

// Header pages lead with granule 0, or -1 where no header packet ends on them.
int HeaderPageCount(const std::vector<OggPageInfo>& pages) {
    int count = 0;
    while (count < static_cast<int>(pages.size()) && pages[count].granule <= 0) ++count;
    return count;
}

// Audio pages with everything but their sequence number and checksum.
std::vector<std::tuple<uint32_t, int64_t, bool, bool, std::string>> AudioPages(const std::vector<OggPageInfo>& pages) {
    std::vector<std::tuple<uint32_t, int64_t, bool, bool, std::string>> audio;
    for (size_t i = HeaderPageCount(pages); i < pages.size(); ++i)
        audio.emplace_back(pages[i].serial, pages[i].granule, pages[i].continued, pages[i].last, pages[i].body);
    return audio;
}

// A rewritten single stream: whole pages, good checksums, sequence numbers without gaps.
void ExpectWellFormed(const std::string& path) {
    bool complete = false;
    const std::vector<OggPageInfo> pages = ReadOggPages(ReadFileBytes(path), &complete);
    EXPECT_TRUE(complete) << path;
    ASSERT_FALSE(pages.empty());
    EXPECT_TRUE(pages.front().first);
    EXPECT_TRUE(pages.back().last);
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(pages[i].checksumOk) << "page " << i;
        EXPECT_EQ(pages[i].sequence, i);
    }
}

}  // namespace

TEST(VorbisDecoder, TheModuleExportsEveryFunctionAndLoadsOnce) {
    const CVorbisDecoder* decoder = LoadVorbisDecoder();
    ASSERT_NE(decoder, nullptr) << "bin/vorbisdec.so should be built beside the tests";
    EXPECT_TRUE(decoder->IsLoaded());
    EXPECT_NE(decoder->ov_time_seek_page, nullptr);
    EXPECT_NE(decoder->vorbis_comment_add_tag, nullptr);
    EXPECT_NE(decoder->vcedit_error, nullptr);
    EXPECT_EQ(LoadVorbisDecoder(), decoder);
}

TEST(VorbisDecoder, AMissingOrIncompleteModuleIsAReportedState) {
    CVorbisDecoder missing;
    EXPECT_FALSE(missing.Load("no_such_vorbisdec"));
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_FALSE(missing.Error().empty());

    CVorbisDecoder incomplete;
    EXPECT_FALSE(incomplete.Load("incomplete_vorbisdec"));
    EXPECT_FALSE(incomplete.IsLoaded());
    EXPECT_EQ(incomplete.ov_clear, nullptr) << "a function found before the missing one is forgotten";
    EXPECT_NE(incomplete.Error().SourceText().find("ov_open_callbacks"), std::string::npos)
        << incomplete.Error().SourceText();
}

TEST(VcEdit, ShrinksAndGrowsALongHeaderKeepingEveryAudioPage) {
    const CVorbisDecoder* d = LoadVorbisDecoder();
    ASSERT_NE(d, nullptr);
    TempDir dir;
    const std::string original = dir / "long.ogg", shrunk = dir / "shrunk.ogg", grown = dir / "grown.ogg";
    // Two comments of 60 kB (a shell command stays below 128 kB): the comment header spans pages.
    ASSERT_TRUE(EncodeWithOggenc(original, 44100, 2, 3.0, 3,
                                 {"COMMENT=" + std::string(60000, 'x'), "DESCRIPTION=" + std::string(60000, 'z')}));
    const std::vector<OggPageInfo> before = ReadOggPages(ReadFileBytes(original));
    ASSERT_GE(HeaderPageCount(before), 3);

    ASSERT_EQ(EditComments(*d, original, shrunk, {"TITLE=short"}), "");
    ExpectWellFormed(shrunk);
    const std::vector<OggPageInfo> afterShrink = ReadOggPages(ReadFileBytes(shrunk));
    EXPECT_EQ(HeaderPageCount(afterShrink), 2);
    EXPECT_EQ(AudioPages(afterShrink), AudioPages(before));
    EXPECT_EQ(ListVorbisComments(shrunk), "TITLE=short\n");

    const std::string big(200000, 'y');
    ASSERT_EQ(EditComments(*d, shrunk, grown, {"ARTIST=" + big, "TITLE=t"}), "");
    ExpectWellFormed(grown);
    const std::vector<OggPageInfo> afterGrow = ReadOggPages(ReadFileBytes(grown));
    EXPECT_GE(HeaderPageCount(afterGrow), 5);
    EXPECT_EQ(AudioPages(afterGrow), AudioPages(before));
    EXPECT_EQ(ListVorbisComments(grown), "ARTIST=" + big + "\nTITLE=t\n");

    const std::string pcm = DecodeWithFfmpeg(original);
    ASSERT_FALSE(pcm.empty());
    EXPECT_TRUE(DecodeWithFfmpeg(shrunk) == pcm);
    EXPECT_TRUE(DecodeWithFfmpeg(grown) == pcm);
    const Decoded viaModule = DecodeWithModule(*d, original), rewritten = DecodeWithModule(*d, grown);
    EXPECT_EQ(viaModule.sampleRate, 44100);
    EXPECT_EQ(viaModule.channels, 2);
    EXPECT_EQ(viaModule.frames, 3 * 44100);
    EXPECT_EQ(rewritten.frames, viaModule.frames);
    EXPECT_EQ(viaModule.pcm.size(), static_cast<size_t>(viaModule.frames * 4));
    EXPECT_TRUE(rewritten.pcm == viaModule.pcm);
}

TEST(VcEdit, EditsAnFfmpegFileKeepingItsVendor) {
    const CVorbisDecoder* d = LoadVorbisDecoder();
    ASSERT_NE(d, nullptr);
    TempDir dir;
    const std::string original = dir / "ffmpeg.ogg", edited = dir / "edited.ogg";
    ASSERT_EQ(RunProcess("ffmpeg -v error -f lavfi -i sine=frequency=500:duration=2:sample_rate=48000 -ac 1 "
                         "-c:a libvorbis -metadata title=Hello " + ShellQuote(original)).exitCode, 0);
    ASSERT_EQ(EditComments(*d, original, edited, {"TITLE=こんにちは", "ALBUM=x"}), "");
    ExpectWellFormed(edited);
    EXPECT_EQ(ListVorbisComments(edited), "TITLE=こんにちは\nALBUM=x\n");
    auto vendor = [](const std::string& path) {
        const std::string body = ReadOggPages(ReadFileBytes(path)).at(1).body;
        const size_t length = static_cast<unsigned char>(body[7]) | static_cast<unsigned char>(body[8]) << 8;
        return body.substr(11, length);
    };
    EXPECT_NE(vendor(original).find("Lavf"), std::string::npos) << vendor(original);
    EXPECT_EQ(vendor(edited), vendor(original));
    const ProbedAudio probe = ProbeWithFfprobe(edited);
    EXPECT_EQ(probe.sampleRate, 48000);
    EXPECT_EQ(probe.channels, 1);
    EXPECT_EQ(probe.durationSamples, 96000);
    EXPECT_TRUE(DecodeWithFfmpeg(edited) == DecodeWithFfmpeg(original));
}

TEST(VcEdit, AChainedSecondStreamIsCopiedUntouched) {
    const CVorbisDecoder* d = LoadVorbisDecoder();
    ASSERT_NE(d, nullptr);
    TempDir dir;
    const std::string first = dir / "a.ogg", second = dir / "b.ogg", chained = dir / "ab.ogg", edited = dir / "e.ogg";
    ASSERT_TRUE(EncodeWithOggenc(first, 22050, 1, 1.0, 2, {"TITLE=" + std::string(70000, 'a')}));
    ASSERT_TRUE(EncodeWithOggenc(second, 22050, 1, 1.0, 2, {"TITLE=b"}));
    const std::string secondBytes = ReadFileBytes(second);
    WriteFileBytes(chained, ReadFileBytes(first) + secondBytes);

    ASSERT_EQ(EditComments(*d, chained, edited, {"TITLE=a"}), "");
    const std::string out = ReadFileBytes(edited);
    ASSERT_GT(out.size(), secondBytes.size());
    EXPECT_TRUE(out.substr(out.size() - secondBytes.size()) == secondBytes);
    bool complete = false;
    for (const OggPageInfo& page : ReadOggPages(out, &complete)) EXPECT_TRUE(page.checksumOk);
    EXPECT_TRUE(complete);
    EXPECT_TRUE(DecodeWithFfmpeg(edited) == DecodeWithFfmpeg(chained));
}

TEST(VcEdit, RefusesDamagedAndTruncatedInput) {
    const CVorbisDecoder* d = LoadVorbisDecoder();
    ASSERT_NE(d, nullptr);
    TempDir dir;
    const std::string good = dir / "good.ogg", bad = dir / "bad.ogg", out = dir / "out.ogg";
    ASSERT_TRUE(EncodeWithOggenc(good, 44100, 2, 2.0, 2, {"TITLE=x"}));
    const std::string bytes = ReadFileBytes(good);
    const std::vector<OggPageInfo> pages = ReadOggPages(bytes);
    ASSERT_GE(pages.size(), 4u);
    const size_t audioStart = static_cast<size_t>(pages[HeaderPageCount(pages)].offset);

    struct Case {
        const char* what;
        std::string data;
        bool opens;
    };
    std::string flipped = bytes;
    flipped[audioStart + 200] ^= 0x55;
    std::string junkInFront = "ID3" + bytes;
    const Case cases[] = {
        {"empty", "", false},
        {"not Ogg", std::string(5000, 'R'), false},
        {"bytes before the first page", junkInFront, false},
        {"cut inside the headers", bytes.substr(0, static_cast<size_t>(pages[1].offset) + 100), false},
        {"cut inside the audio", bytes.substr(0, audioStart + 3000), true},
        {"a damaged audio page", flipped, true},
    };
    for (const Case& c : cases) {
        WriteFileBytes(bad, c.data);
        FILE* source = fopen(bad.c_str(), "rb");
        vcedit_state* state = d->vcedit_new_state();
        const int opened = d->vcedit_open_callbacks(state, source, ReadStdio, WriteStdio);
        EXPECT_EQ(opened == 0, c.opens) << c.what;
        if (opened == 0) {
            FILE* sink = fopen(out.c_str(), "wb");
            EXPECT_LT(d->vcedit_write(state, sink), 0) << c.what;
            fclose(sink);
        }
        EXPECT_NE(d->vcedit_error(state), nullptr) << c.what;
        d->vcedit_clear(state);
        fclose(source);
    }
}

TEST(VcEdit, WritesOnlyOncePerOpen) {
    const CVorbisDecoder* d = LoadVorbisDecoder();
    ASSERT_NE(d, nullptr);
    TempDir dir;
    const std::string good = dir / "good.ogg", out = dir / "out.ogg";
    ASSERT_TRUE(EncodeWithOggenc(good, 8000, 1, 0.5, 0, {}));
    FILE* source = fopen(good.c_str(), "rb");
    vcedit_state* state = d->vcedit_new_state();
    EXPECT_LT(d->vcedit_write(state, nullptr), 0) << "nothing is open yet";
    ASSERT_EQ(d->vcedit_open_callbacks(state, source, ReadStdio, WriteStdio), 0);
    FILE* sink = fopen(out.c_str(), "wb");
    EXPECT_EQ(d->vcedit_write(state, sink), 0);
    EXPECT_LT(d->vcedit_write(state, sink), 0) << "the input has been used up";
    fclose(sink);
    d->vcedit_clear(state);
    fclose(source);
    ExpectWellFormed(out);
}
