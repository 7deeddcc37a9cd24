// The comment editor: reads the Vorbis headers, then writes the stream again with a new
// comment header. Audio pages are copied byte for byte (granule positions untouched); only
// their sequence numbers move when the header needs more or fewer pages, and their checksums
// are recomputed for that.
#include "abi/vcedit.h"

#include <ogg/ogg.h>

#include <new>
#include <string>
#include <vector>

namespace {

constexpr long kReadChunk = 65536;

void AppendLe32(std::vector<unsigned char>& out, size_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// The comment header packet, keeping the stream's own vendor string (libvorbis's packer
// would put its own there).
std::vector<unsigned char> PackComments(const std::string& vendor, const vorbis_comment& comments) {
    std::vector<unsigned char> out = {0x03, 'v', 'o', 'r', 'b', 'i', 's'};
    AppendLe32(out, vendor.size());
    out.insert(out.end(), vendor.begin(), vendor.end());
    AppendLe32(out, comments.comments > 0 ? comments.comments : 0);
    for (int i = 0; i < comments.comments; ++i) {
        const size_t length = comments.comment_lengths[i];
        AppendLe32(out, length);
        out.insert(out.end(), comments.user_comments[i], comments.user_comments[i] + length);
    }
    out.push_back(1);  // framing bit
    return out;
}

ogg_packet MakePacket(std::vector<unsigned char>& bytes, long number) {
    ogg_packet packet{};
    packet.packet = bytes.data();
    packet.bytes = static_cast<long>(bytes.size());
    packet.b_o_s = number == 0;
    packet.granulepos = 0;
    packet.packetno = number;
    return packet;
}

// The input's stream state while the headers are read.
struct InputStream {
    ogg_stream_state state;
    bool started = false;
    ~InputStream() {
        if (started) ogg_stream_clear(&state);
    }
};

}  // namespace

struct vcedit_state {
    void* source = nullptr;
    vcedit_read_func read = nullptr;
    vcedit_write_func write = nullptr;
    ogg_sync_state sync;
    vorbis_info info;
    vorbis_comment comments;
    std::string vendor;
    std::vector<unsigned char> identification;
    std::vector<unsigned char> setup;
    int serial = 0;
    long lastHeaderPage = 0;
    bool headerEndsStream = false;
    bool opened = false;
    bool written = false;
    const char* error = nullptr;

    vcedit_state() {
        ogg_sync_init(&sync);
        vorbis_info_init(&info);
        vorbis_comment_init(&comments);
    }
    ~vcedit_state() {
        ogg_sync_clear(&sync);
        vorbis_comment_clear(&comments);
        vorbis_info_clear(&info);
    }

    int Fail(const char* why) {
        error = why;
        return -1;
    }

    // 1 with a page, 0 at a clean end of input, -1 on damage (the error is set).
    int NextPage(ogg_page& page) {
        for (;;) {
            const int result = ogg_sync_pageout(&sync, &page);
            if (result == 1) return 1;
            // Skipped bytes mean garbage or a page whose checksum failed: copying on would lose audio.
            if (result < 0) return Fail("damaged Ogg data (a page is corrupt or out of sync)");
            char* buffer = ogg_sync_buffer(&sync, kReadChunk);
            if (!buffer) return Fail("out of memory");
            const size_t got = read(buffer, 1, kReadChunk, source);
            if (got == 0) {
                if (sync.fill > sync.returned) return Fail("the file ends inside an Ogg page");
                return 0;
            }
            ogg_sync_wrote(&sync, static_cast<long>(got));
        }
    }

    int ReadHeaders() {
        InputStream stream;
        ogg_page page;
        int headers = 0;
        while (headers < 3) {
            const int got = NextPage(page);
            if (got < 0) return -1;
            if (got == 0) return Fail("the file ends inside the Vorbis headers");
            if (!stream.started) {
                if (!ogg_page_bos(&page)) return Fail("the stream does not begin with a first page");
                serial = ogg_page_serialno(&page);
                ogg_stream_init(&stream.state, serial);
                stream.started = true;
            } else if (ogg_page_serialno(&page) != serial) {
                return Fail("another logical stream is mixed into the Vorbis headers");
            }
            ogg_stream_pagein(&stream.state, &page);
            ogg_packet packet;
            while (headers < 3) {
                const int out = ogg_stream_packetout(&stream.state, &packet);
                if (out == 0) break;
                if (out < 0) return Fail("a Vorbis header is missing data");
                if (vorbis_synthesis_headerin(&info, &comments, &packet) < 0) return Fail("not an Ogg Vorbis stream");
                if (headers == 0) identification.assign(packet.packet, packet.packet + packet.bytes);
                if (headers == 1) vendor = comments.vendor ? comments.vendor : "";
                if (headers == 2) setup.assign(packet.packet, packet.packet + packet.bytes);
                ++headers;
            }
            if (headers < 3) continue;
            // Audio must start on a fresh page, or the header pages could not be replaced whole.
            const int segments = page.header[26];
            const bool packetContinues = segments > 0 && page.header[27 + segments - 1] == 255;
            if (ogg_stream_packetpeek(&stream.state, nullptr) == 1 || packetContinues)
                return Fail("audio data shares a page with the Vorbis headers");
            lastHeaderPage = ogg_page_pageno(&page);
            headerEndsStream = ogg_page_eos(&page) != 0;
        }
        return 0;
    }

    bool WritePage(const ogg_page& page, void* sink) {
        return write(page.header, 1, page.header_len, sink) == static_cast<size_t>(page.header_len) &&
               write(page.body, 1, page.body_len, sink) == static_cast<size_t>(page.body_len);
    }

    // The three headers, the comment header built from `comments`; counts the pages written.
    int WriteHeaders(void* sink, long& pagesWritten) {
        std::vector<unsigned char> commentPacket = PackComments(vendor, comments);
        ogg_stream_state stream;
        ogg_stream_init(&stream, serial);
        ogg_packet packets[3] = {MakePacket(identification, 0), MakePacket(commentPacket, 1),
                                 MakePacket(setup, 2)};
        packets[2].e_o_s = headerEndsStream;
        ogg_page page;
        bool ok = true;
        // The identification header has a page of its own; the other two follow on fresh pages.
        ogg_stream_packetin(&stream, &packets[0]);
        while (ok && ogg_stream_flush(&stream, &page)) ok = WritePage(page, sink);
        ogg_stream_packetin(&stream, &packets[1]);
        ogg_stream_packetin(&stream, &packets[2]);
        while (ok && ogg_stream_flush(&stream, &page)) ok = WritePage(page, sink);
        pagesWritten = stream.pageno;
        ogg_stream_clear(&stream);
        return ok ? 0 : Fail("could not write the output");
    }

    int CopyPages(void* sink, long sequenceShift) {
        bool ours = !headerEndsStream;
        ogg_page page;
        for (;;) {
            const int got = NextPage(page);
            if (got <= 0) return got;
            if (ours && ogg_page_serialno(&page) == serial) {
                const long sequence = ogg_page_pageno(&page) + sequenceShift;
                for (int i = 0; i < 4; ++i) page.header[18 + i] = static_cast<unsigned char>(sequence >> (8 * i));
                ogg_page_checksum_set(&page);
                // A chained stream may reuse the serial number; its pages keep their own numbers.
                if (ogg_page_eos(&page)) ours = false;
            }
            if (!WritePage(page, sink)) return Fail("could not write the output");
        }
    }
};

extern "C" {

vcedit_state* vcedit_new_state(void) { return new (std::nothrow) vcedit_state; }

void vcedit_clear(vcedit_state* state) { delete state; }

vorbis_comment* vcedit_comments(vcedit_state* state) { return state ? &state->comments : nullptr; }

int vcedit_open_callbacks(vcedit_state* state, void* source, vcedit_read_func read, vcedit_write_func write) {
    if (!state || !read || !write) return -1;
    if (state->opened) return state->Fail("the editor is already open");
    state->source = source;
    state->read = read;
    state->write = write;
    try {
        if (state->ReadHeaders() < 0) return -1;
    } catch (const std::bad_alloc&) {
        return state->Fail("out of memory");
    }
    state->opened = true;
    state->error = nullptr;
    return 0;
}

int vcedit_write(vcedit_state* state, void* sink) {
    if (!state) return -1;
    if (!state->opened) return state->Fail("no stream is open");
    // The input has been read on to its end; a second pass would write a stream without audio.
    if (state->written) return state->Fail("the stream has already been written");
    state->written = true;
    try {
        long headerPages = 0;
        if (state->WriteHeaders(sink, headerPages) < 0) return -1;
        return state->CopyPages(sink, headerPages - (state->lastHeaderPage + 1)) < 0 ? -1 : 0;
    } catch (const std::bad_alloc&) {
        return state->Fail("out of memory");
    }
}

const char* vcedit_error(vcedit_state* state) { return state ? state->error : nullptr; }

}  // extern "C"
