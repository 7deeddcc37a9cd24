// The encoder-library interface over libmp3lame: configuration record in, MP3 frames out.
#include "abi/LameEnc.h"

#include <fcntl.h>
#include <lame/lame.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <new>
#include <set>
#include <vector>

namespace {

struct Stream {
    lame_t lame = nullptr;
    int channels = 2;
    uint32_t chunkSamples = 0;  // over all channels
    uint32_t bufferSize = 0;
    bool writeTag = false;
};

// Handles come from callers; only streams in this set are ever dereferenced.
std::mutex g_streamsLock;
std::set<Stream*> g_streams;

// The LAME tag of the stream this thread closed last: a writer closes its stream, closes its
// file and then asks for the header by file name, all on one thread.
thread_local std::vector<unsigned char> t_pendingTag;

Stream* Find(HBE_STREAM handle) {
    std::lock_guard lock(g_streamsLock);
    auto it = g_streams.find(reinterpret_cast<Stream*>(handle));
    return it == g_streams.end() ? nullptr : *it;
}

bool ApplyPreset(lame_t lame, int32_t preset) {
    switch (preset) {
        case LQP_NORMAL_QUALITY: lame_set_quality(lame, 5); return false;
        case LQP_LOW_QUALITY: lame_set_quality(lame, 9); return false;
        case LQP_HIGH_QUALITY: lame_set_quality(lame, 2); return false;
        case LQP_VERYHIGH_QUALITY: lame_set_quality(lame, 0); return false;
        case LQP_VOICE_QUALITY: lame_set_preset(lame, 56); return false;
        // These name LAME's own presets, which decide bitrate and VBR themselves.
        case LQP_R3MIX: lame_set_preset(lame, R3MIX); return true;
        case LQP_STANDARD: lame_set_preset(lame, STANDARD); return true;
        case LQP_FAST_STANDARD: lame_set_preset(lame, STANDARD_FAST); return true;
        case LQP_EXTREME: lame_set_preset(lame, EXTREME); return true;
        case LQP_FAST_EXTREME: lame_set_preset(lame, EXTREME_FAST); return true;
        case LQP_INSANE: lame_set_preset(lame, INSANE); return true;
        default: return false;
    }
}

vbr_mode VbrMode(const BE_CONFIG& c) {
    if (c.dwVbrAbr_bps > 0) return vbr_abr;
    switch (c.nVbrMethod) {
        case VBR_METHOD_OLD: return vbr_rh;
        case VBR_METHOD_NEW:
        case VBR_METHOD_MTRH: return vbr_mtrh;
        case VBR_METHOD_ABR: return vbr_abr;
        default: return vbr_default;
    }
}

BE_ERR Configure(lame_t lame, const BE_CONFIG& c, int channels) {
    MPEG_mode mode;
    switch (c.nMode) {
        case BE_MP3_MODE_STEREO: mode = STEREO; break;
        case BE_MP3_MODE_JSTEREO: mode = JOINT_STEREO; break;
        case BE_MP3_MODE_DUALCHANNEL: mode = DUAL_CHANNEL; break;
        case BE_MP3_MODE_MONO: mode = MONO; break;
        default: return BE_ERR_INVALID_FORMAT_PARAMETERS;
    }
    lame_set_write_id3tag_automatic(lame, 0);  // tags are the writer's business
    lame_set_in_samplerate(lame, static_cast<int>(c.dwSampleRate));
    lame_set_out_samplerate(lame, static_cast<int>(c.dwReSampleRate));
    lame_set_num_channels(lame, channels);
    const bool presetDecides = ApplyPreset(lame, c.nPreset);
    lame_set_mode(lame, mode);
    if (!presetDecides) {
        if (c.bEnableVBR) {
            lame_set_VBR(lame, VbrMode(c));
            lame_set_VBR_q(lame, c.nVBRQuality);
            if (c.dwVbrAbr_bps > 0) lame_set_VBR_mean_bitrate_kbps(lame, static_cast<int>(c.dwVbrAbr_bps / 1000));
            if (c.dwBitrate > 0) lame_set_VBR_min_bitrate_kbps(lame, static_cast<int>(c.dwBitrate));
            if (c.dwMaxBitrate > 0) lame_set_VBR_max_bitrate_kbps(lame, static_cast<int>(c.dwMaxBitrate));
        } else {
            lame_set_VBR(lame, vbr_off);
            lame_set_brate(lame, static_cast<int>(c.dwBitrate));
        }
    }
    lame_set_emphasis(lame, static_cast<int>(c.dwEmphasis));
    lame_set_extension(lame, c.bPrivate ? 1 : 0);
    lame_set_error_protection(lame, c.bCRC ? 1 : 0);
    lame_set_copyright(lame, c.bCopyright ? 1 : 0);
    lame_set_original(lame, c.bOriginal ? 1 : 0);
    lame_set_bWriteVbrTag(lame, c.bWriteVBRHeader ? 1 : 0);
    lame_set_disable_reservoir(lame, c.bNoRes ? 1 : 0);
    lame_set_strict_ISO(lame, c.bStrictIso ? 1 : 0);
    if ((c.nQuality & 0xFF) == ((~c.nQuality >> 8) & 0xFF)) lame_set_quality(lame, c.nQuality & 0xFF);
    if (lame_init_params(lame) < 0) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    // LAME picks the MPEG version from the output rate; a record asking for the other one is contradictory.
    const bool mpeg1 = lame_get_version(lame) == 1;
    if ((c.dwMpegVersion == MPEG1) != mpeg1) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    return BE_ERR_SUCCESSFUL;
}

bool WriteAll(int fd, const unsigned char* data, size_t length, off_t offset) {
    while (length > 0) {
        const ssize_t n = pwrite(fd, data, length, offset);
        if (n <= 0) return false;
        data += n;
        length -= static_cast<size_t>(n);
        offset += n;
    }
    return true;
}

}  // namespace

extern "C" {

BE_ERR beInitStream(BE_CONFIG* config, uint32_t* samples, uint32_t* bufferSize, HBE_STREAM* stream) {
    if (!config || !samples || !bufferSize || !stream) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    if (config->dwConfig != BE_CONFIG_LAME) return BE_ERR_INVALID_FORMAT;
    if (config->dwStructVersion < 1 || config->dwStructSize < sizeof(BE_CONFIG)) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    auto* s = new (std::nothrow) Stream;
    if (!s) return BE_ERR_NO_MORE_HANDLES;
    s->lame = lame_init();
    if (!s->lame) {
        delete s;
        return BE_ERR_NO_MORE_HANDLES;
    }
    s->channels = config->nMode == BE_MP3_MODE_MONO ? 1 : 2;
    const BE_ERR result = Configure(s->lame, *config, s->channels);
    if (result != BE_ERR_SUCCESSFUL) {
        lame_close(s->lame);
        delete s;
        return result;
    }
    const int frameSize = lame_get_framesize(s->lame);
    s->chunkSamples = static_cast<uint32_t>(frameSize * s->channels);
    // LAME's own bound for one call's output; it also covers the flush.
    s->bufferSize = static_cast<uint32_t>(frameSize * 5 / 4 + 7200);
    s->writeTag = config->bWriteVBRHeader != 0;
    {
        std::lock_guard lock(g_streamsLock);
        g_streams.insert(s);
    }
    *samples = s->chunkSamples;
    *bufferSize = s->bufferSize;
    *stream = reinterpret_cast<HBE_STREAM>(s);
    return BE_ERR_SUCCESSFUL;
}

BE_ERR beEncodeChunk(HBE_STREAM stream, uint32_t samples, const int16_t* pcm, uint8_t* output, uint32_t* outputBytes) {
    Stream* s = Find(stream);
    if (!s) return BE_ERR_INVALID_HANDLE;
    if (!output || !outputBytes || (samples > 0 && !pcm)) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    // The output buffer is only sized for one chunk.
    if (samples > s->chunkSamples) return BE_ERR_BUFFER_TOO_SMALL;
    const int frames = static_cast<int>(samples) / s->channels;
    auto* in = const_cast<short*>(pcm);
    const int n = s->channels == 2
                      ? lame_encode_buffer_interleaved(s->lame, in, frames, output, static_cast<int>(s->bufferSize))
                      : lame_encode_buffer(s->lame, in, in, frames, output, static_cast<int>(s->bufferSize));
    if (n < 0) return n == -1 ? BE_ERR_BUFFER_TOO_SMALL : BE_ERR_INVALID_FORMAT_PARAMETERS;
    *outputBytes = static_cast<uint32_t>(n);
    return BE_ERR_SUCCESSFUL;
}

BE_ERR beDeinitStream(HBE_STREAM stream, uint8_t* output, uint32_t* outputBytes) {
    Stream* s = Find(stream);
    if (!s) return BE_ERR_INVALID_HANDLE;
    if (!output || !outputBytes) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    const int n = lame_encode_flush(s->lame, output, static_cast<int>(s->bufferSize));
    if (n < 0) return BE_ERR_BUFFER_TOO_SMALL;
    *outputBytes = static_cast<uint32_t>(n);
    return BE_ERR_SUCCESSFUL;
}

BE_ERR beCloseStream(HBE_STREAM stream) {
    Stream* s;
    {
        std::lock_guard lock(g_streamsLock);
        auto it = g_streams.find(reinterpret_cast<Stream*>(stream));
        if (it == g_streams.end()) return BE_ERR_INVALID_HANDLE;
        s = *it;
        g_streams.erase(it);
    }
    t_pendingTag.clear();
    if (s->writeTag) {
        const size_t size = lame_get_lametag_frame(s->lame, nullptr, 0);
        t_pendingTag.resize(size);
        if (size == 0 || lame_get_lametag_frame(s->lame, t_pendingTag.data(), size) != size) t_pendingTag.clear();
    }
    lame_close(s->lame);
    delete s;
    return BE_ERR_SUCCESSFUL;
}

void beVersion(BE_VERSION* version) {
    if (!version) return;
    memset(version, 0, sizeof *version);
    lame_version_t lame;
    get_lame_version_numerical(&lame);
    version->byDLLMajorVersion = 1;
    version->byDLLMinorVersion = 32;
    version->byMajorVersion = static_cast<uint8_t>(lame.major);
    version->byMinorVersion = static_cast<uint8_t>(lame.minor);
    version->byAlphaLevel = static_cast<uint8_t>(lame.alpha);
    version->byBetaLevel = static_cast<uint8_t>(lame.beta);
    strncpy(version->zHomepage, get_lame_url(), sizeof version->zHomepage - 1);
}

BE_ERR beWriteVBRHeader(const char* fileName) {
    std::vector<unsigned char> tag;
    tag.swap(t_pendingTag);
    if (tag.empty() || !fileName) return BE_ERR_INVALID_HANDLE;
    // The track's own file, never a link planted in its place.
    const int fd = open(fileName, O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return BE_ERR_INVALID_FORMAT_PARAMETERS;
    // The placeholder frame is the first frame, after an ID3v2 tag if one was put in front.
    unsigned char head[10];
    off_t offset = 0;
    if (pread(fd, head, sizeof head, 0) == static_cast<ssize_t>(sizeof head) && memcmp(head, "ID3", 3) == 0) {
        offset = 10 + ((head[6] & 0x7F) << 21 | (head[7] & 0x7F) << 14 | (head[8] & 0x7F) << 7 | (head[9] & 0x7F));
        if (head[5] & 0x10) offset += 10;  // footer
    }
    unsigned char sync[4];
    off_t end = lseek(fd, 0, SEEK_END);
    BE_ERR result = BE_ERR_INVALID_FORMAT;
    // Only a frame header where the placeholder should be, with room for the whole tag, is overwritten.
    if (end >= offset + static_cast<off_t>(tag.size()) && pread(fd, sync, 4, offset) == 4 && sync[0] == 0xFF &&
        (sync[1] & 0xE0) == 0xE0)
        result = WriteAll(fd, tag.data(), tag.size(), offset) ? BE_ERR_SUCCESSFUL : BE_ERR_INVALID_FORMAT_PARAMETERS;
    close(fd);
    return result;
}

}  // extern "C"
