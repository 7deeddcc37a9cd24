// How long the close of a long Ogg Vorbis and Opus track takes: the comments of the close written
// in place in the room the writer left, against the whole-file copy that comments too long for it
// take (the way every close went before the room).
// Usage: comment_close_bench [track length in minutes, 60] [folder for the tracks, /tmp]
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "audiofile/FormatTable.h"
#include "bench/PcmSignal.h"
#include "tags/OggCommentHeader.h"
#include "tags/VorbisDecoder.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Codec {
    const char* name;
    OutputFormat format;
    int bitrate;
};

TagFieldSet Tags(const char* end) {
    TagFieldSet tags;
    tags.title = CCharString("タイトルNo1 - 2026-12-10 ") + end;
    tags.artist = "アーティスト";
    tags.comment = CCharString("コメント00:00:00-") + end;
    return tags;
}

}  // namespace

int main(int argc, char** argv) {
    const int minutes = argc > 1 ? atoi(argv[1]) : 60;
    const std::string folder = argc > 2 ? argv[2] : "/tmp";
    const Codec codecs[] = {
        {"Ogg Vorbis q40", OutputFormat::OggVorbis, 40},
        {"Opus 64k", OutputFormat::Opus, 64000},
    };
    // Loaded once per process, at a recorder's first Ogg track: not part of every close.
    static_cast<void>(LoadVorbisDecoder());
    // One minute of signal fed again and again: an hour of PCM would not fit in memory well.
    const std::vector<int16_t> minute = MakeBenchSignal(60);
    const size_t buffer = kBenchRate / 10 * kBenchChannels;
    printf("%-15s %8s %10s %18s %18s\n", "", "track", "file", "close, in place", "close, by a copy");
    printf("%-15s %8s %10s %18s %18s\n", "", "(min)", "(MB)", "(ms)", "(ms)");
    for (const Codec& codec : codecs) {
        const std::string path = folder + "/velsona-comment-bench-" + std::to_string(getpid()) +
                                 FormatRowOf(codec.format).extension;
        TagFieldSet tags = Tags("？");
        std::unique_ptr<CAudioWriter> writer = FormatRowOf(codec.format).newWriter(codec.bitrate);
        writer->SetTags(&tags);
        if (!writer->Open(path.c_str()) || !writer->SetFormat(codec.bitrate, kBenchRate, kBenchChannels, 16, -1, -1) ||
            !writer->Begin()) {
            printf("%-15s could not begin a track in %s\n", codec.name, folder.c_str());
            continue;
        }
        for (int m = 0; m < minutes; ++m)
            for (size_t at = 0; at < minute.size(); at += buffer)
                static_cast<void>(
                    writer->Write(minute.data() + at, static_cast<int>(std::min(buffer, minute.size() - at) * 2)));
        static_cast<void>(writer->EndStream());
        // The recorder's close: tags known only now, in place.
        tags = Tags("01:00:00");
        Clock::time_point start = Clock::now();
        const bool inPlace = static_cast<bool>(writer->Close());
        const double inPlaceMs = Ms(Clock::now() - start);
        writer.reset();
        // Comments longer than the room: the whole file copied, synced and renamed over the track.
        TagFieldSet longer = Tags("01:00:00");
        longer.comment = CCharString(std::string(kOggCommentRoomEnd, 'x').c_str());
        std::unique_ptr<CTagFile> editor = FormatRowOf(codec.format).newTagEditor();
        start = Clock::now();
        const bool copied = static_cast<bool>(RewriteTags(*editor, path.c_str(), longer));
        const double copyMs = Ms(Clock::now() - start);
        printf("%-15s %8d %10.1f %18.2f %18.2f%s\n", codec.name, minutes, BenchFileBytes(path) / 1e6, inPlaceMs, copyMs,
               inPlace && copied ? "" : "  (a close failed)");
        fflush(stdout);
        unlink(path.c_str());
    }
    return 0;
}
