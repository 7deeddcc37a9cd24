// WMAENC.so: the encoder plug-in that writes WMA (wmav2 in ASF) with FFmpeg.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

#include "abi/EncoderPlugInAbi.h"
#include "foundation/FileRoom.h"
#include "modules/AsfPadding.h"
#include "modules/HandleTable.h"

namespace {

constexpr char kPrefix[] = "WMAENC";
// SetOpt value that asks for the bitrate the encoder really uses.
constexpr int32_t kOptionEffectiveBitrate = 1;
// Above any bitrate the table asks for; the search for an accepted bitrate stops here.
constexpr int kHighestBitrate = 320000;
constexpr int kIoBufferSize = 65536;
// Room kept allocated past what is written, so that once the disk is full the file can still be
// finished: FFmpeg's output buffer, the last packets, and the header rewrite and index of the
// trailer (6 bytes a second).
constexpr int64_t kRoomForTheEnd = 2 * kIoBufferSize;
constexpr int64_t kIndexBytesPerSecond = 8;
// ASF packets reach the file only when full, so the last one is lost when the recorder is killed:
// a packet holds as many codec frames as a tenth of a second of audio does, at least one (FFmpeg's
// 3200 bytes would be over a second at 24 kbit/s). FFmpeg pads a packet rather than split an audio
// frame across two, so the size fits whole frames with their payload headers (17 bytes each) and
// the packet's own header (under 32 bytes).
constexpr int kPacketsPerSecond = 10;
constexpr int kPayloadHeaderBytes = 17;
constexpr int kPacketHeaderBytes = 32;
constexpr int kLargestPacket = 3200;
constexpr int kSmallestPacket = 100;  // FFmpeg's least

struct Encoder {
    ~Encoder() {
        avcodec_free_context(&codec);
        av_frame_free(&frame);
        av_packet_free(&packet);
        if (format) {
            if (format->pb) {
                av_freep(&format->pb->buffer);
                avio_context_free(&format->pb);
            }
            avformat_free_context(format);
        }
        if (fd >= 0) close(fd);
    }

    int fd = -1;
    AVCodecContext* codec = nullptr;
    AVFormatContext* format = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int channels = 0;
    int frameFill = 0;  // sample frames waiting in `frame`
    int64_t nextPts = 0;
    unsigned char carry[4] = {};  // bytes of a sample frame split across two writes
    int carryLength = 0;
    bool started = false;
    bool ended = false;
    int64_t roomEnd = 0;  // blocks are allocated up to here
    // FFmpeg's muxer leaves no room in the header; a padding object behind its header gives the
    // attribute editor that room. FFmpeg writes as if it were not there: `position` is where it
    // writes in its own view, `header` its header as it last wrote it, and everything after
    // that header lies `padding` bytes further on in the file.
    int64_t position = 0;
    std::string header;
    int64_t padding = 0;
    // The room for the end could not be kept: no more audio is taken, so the file can be finished.
    bool roomShort = false;
};

// Keeps the room for the end allocated past a write of `size` bytes at `position`.
bool KeepRoomForTheEnd(Encoder& encoder, int64_t position, int64_t size) {
    const int64_t seconds = encoder.codec ? encoder.nextPts / encoder.codec->sample_rate : 0;
    const int64_t wanted = position + size + kRoomForTheEnd + kIndexBytesPerSecond * seconds;
    if (wanted <= encoder.roomEnd) return true;
    if (!AllocateFileRoom(encoder.fd, std::max(encoder.roomEnd, position), wanted)) return false;
    encoder.roomEnd = wanted;
    return true;
}

HandleTable<Encoder>& Encoders() {
    static HandleTable<Encoder> table;
    return table;
}

bool WriteAllAt(int fd, const unsigned char* data, int64_t size, int64_t position) {
    while (size > 0) {
        const ssize_t n = pwrite(fd, data, static_cast<size_t>(size), position);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= n;
        position += n;
    }
    return true;
}

// FFmpeg's header as it goes into the file: with the padding object, and the file size it states
// counting that object.
std::string HeaderInFile(const Encoder& encoder) {
    std::string header = encoder.header;
    if (encoder.padding == 0) return header;
    FitAsfHeader(header, encoder.header.size() + static_cast<uint64_t>(encoder.padding));
    if (const size_t properties = FindAsfObject(header, kAsfFilePropertiesGuid)) {
        const uint64_t fileSize = AsfNumber(header, properties + kAsfFileSizeField, 8);
        if (fileSize > 0) SetAsfNumber(header, properties + kAsfFileSizeField, 8, fileSize + encoder.padding);
    }
    return header;
}

int WriteToFile(void* opaque, uint8_t* data, int size) {
    auto* encoder = static_cast<Encoder*>(opaque);
    const int64_t at = encoder->position;
    // FFmpeg's first write begins with its whole header, its size at 16.
    if (encoder->header.empty() && at == 0 && size >= static_cast<int>(kAsfHeaderStart)) {
        std::string header(reinterpret_cast<const char*>(data), kAsfHeaderStart);
        const uint64_t headerSize = AsfNumber(header, 16, 8);
        if (headerSize >= kAsfHeaderStart && headerSize <= static_cast<uint64_t>(size)) {
            encoder->header.assign(reinterpret_cast<const char*>(data), headerSize);
            std::string fitted = encoder->header;
            if (FitAsfHeader(fitted, kAsfHeaderRoom)) encoder->padding = static_cast<int64_t>(fitted.size() - headerSize);
        }
    }
    const auto headerEnd = static_cast<int64_t>(encoder->header.size());
    // A write that fails leaves FFmpeg's output failing for good and the header unfinished, so
    // the disk filling up is noticed while the room for the end is still there. These bytes
    // are written all the same: that room pays for them.
    if (!encoder->ended && !KeepRoomForTheEnd(*encoder, at + encoder->padding, size)) encoder->roomShort = true;
    bool written = true;
    if (at < headerEnd) {
        const int64_t n = std::min<int64_t>(size, headerEnd - at);
        encoder->header.replace(static_cast<size_t>(at), static_cast<size_t>(n), reinterpret_cast<const char*>(data), n);
        const std::string header = HeaderInFile(*encoder);
        written = WriteAllAt(encoder->fd, reinterpret_cast<const unsigned char*>(header.data()),
                             static_cast<int64_t>(header.size()), 0);
    }
    const int64_t from = std::max(at, headerEnd);
    if (written && from < at + size)
        written = WriteAllAt(encoder->fd, data + (from - at), at + size - from, from + encoder->padding);
    if (!written) return AVERROR(errno ? errno : EIO);
    encoder->position = at + size;
    return size;
}

int64_t SeekInFile(void* opaque, int64_t offset, int whence) {
    auto* encoder = static_cast<Encoder*>(opaque);
    struct stat info {};
    if (fstat(encoder->fd, &info) != 0) return AVERROR(errno);
    const int64_t size = std::max<int64_t>(0, info.st_size - encoder->padding);
    if (whence & AVSEEK_SIZE) return size;
    int64_t position = offset;
    switch (whence & ~AVSEEK_FORCE) {
        case SEEK_SET: break;
        case SEEK_CUR: position += encoder->position; break;
        case SEEK_END: position += size; break;
        default: return AVERROR(EINVAL);
    }
    if (position < 0) return AVERROR(EINVAL);
    encoder->position = position;
    return position;
}

AVCodecContext* OpenCodec(const AVCodec* codec, int bitrate, int sampleRate, int channels) {
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context) return nullptr;
    context->bit_rate = bitrate;
    context->sample_rate = sampleRate;
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    av_channel_layout_default(&context->ch_layout, channels);
    context->time_base = AVRational{1, sampleRate};
    context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(context, codec, nullptr) < 0) avcodec_free_context(&context);
    return context;
}

// wmav2 refuses low bitrates (below 24 kbit/s in FFmpeg 5.1, whatever the rate and channels).
// A request it refuses is raised to the lowest bitrate it accepts for that rate and channel
// count, so every quality the program offers still gives a file.
AVCodecContext* OpenCodecAtLowestAcceptedBitrate(int bitrate, int sampleRate, int channels) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (!codec) return nullptr;
    if (AVCodecContext* context = OpenCodec(codec, bitrate, sampleRate, channels)) return context;
    AVCodecContext* accepted = OpenCodec(codec, kHighestBitrate, sampleRate, channels);
    if (!accepted || bitrate >= kHighestBitrate) return accepted;
    int refused = bitrate;  // refused < answer <= accepted's bitrate
    int lowest = kHighestBitrate;
    while (lowest - refused > 1) {
        const int middle = refused + (lowest - refused) / 2;
        if (AVCodecContext* context = OpenCodec(codec, middle, sampleRate, channels)) {
            avcodec_free_context(&accepted);
            accepted = context;
            lowest = middle;
        } else {
            refused = middle;
        }
    }
    return accepted;
}

int32_t AddEncoderOnDescriptor(int fd) {
    if (fd < 0) return 0;
    auto encoder = std::make_unique<Encoder>();
    encoder->fd = fd;
    return Encoders().Add(std::move(encoder));
}

int DrainPackets(Encoder& encoder) {
    for (;;) {
        const int result = avcodec_receive_packet(encoder.codec, encoder.packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return 1;
        if (result < 0) return 0;
        av_packet_rescale_ts(encoder.packet, encoder.codec->time_base, encoder.stream->time_base);
        encoder.packet->stream_index = encoder.stream->index;
        const int written = av_write_frame(encoder.format, encoder.packet);
        av_packet_unref(encoder.packet);
        if (written < 0) return 0;
    }
}

int SendFrame(Encoder& encoder) {
    encoder.frame->nb_samples = encoder.frameFill;
    encoder.frame->pts = encoder.nextPts;
    encoder.nextPts += encoder.frameFill;
    encoder.frameFill = 0;
    if (avcodec_send_frame(encoder.codec, encoder.frame) < 0) return 0;
    return DrainPackets(encoder);
}

// FFmpeg's wmav2 decoder gives back a track without its first codec frame (its output lags the
// encoder by one frame and it drops what the first frame primes), so a track would lose that
// much audio at its start: a frame of silence goes first and takes that place.
int SendPrimingFrame(Encoder& encoder) {
    if (av_frame_make_writable(encoder.frame) < 0) return 0;
    av_samples_set_silence(encoder.frame->extended_data, 0, encoder.codec->frame_size, encoder.channels,
                           encoder.codec->sample_fmt);
    encoder.frameFill = encoder.codec->frame_size;
    return SendFrame(encoder);
}

// Appends whole sample frames of 16-bit interleaved PCM, encoding every full codec frame.
int AppendFrames(Encoder& encoder, const unsigned char* pcm, int frames) {
    const int frameSize = encoder.codec->frame_size;
    for (int i = 0; i < frames; ++i) {
        if (encoder.frameFill == 0 && av_frame_make_writable(encoder.frame) < 0) return 0;
        for (int c = 0; c < encoder.channels; ++c) {
            const auto sample = static_cast<int16_t>(pcm[0] | (pcm[1] << 8));
            reinterpret_cast<float*>(encoder.frame->data[c])[encoder.frameFill] = sample / 32768.0f;
            pcm += 2;
        }
        if (++encoder.frameFill == frameSize && !SendFrame(encoder)) return 0;
    }
    return 1;
}

int Finish(Encoder& encoder) {
    encoder.ended = true;
    int ok = 1;
    if (encoder.frameFill > 0) ok = SendFrame(encoder);
    if (avcodec_send_frame(encoder.codec, nullptr) < 0 || !DrainPackets(encoder)) ok = 0;
    if (av_write_trailer(encoder.format) < 0) ok = 0;
    avio_flush(encoder.format->pb);
    if (encoder.format->pb->error < 0) ok = 0;
    // The room not used goes back.
    struct stat info {};
    if (fstat(encoder.fd, &info) != 0 || ftruncate(encoder.fd, info.st_size) != 0) ok = 0;
    // The file is complete here: the attribute editor may open it before Close.
    if (close(encoder.fd) != 0) ok = 0;
    encoder.fd = -1;
    return ok;
}

}  // namespace

MODULE_EXPORT PlugInInfoFn PlugIn_Info;
MODULE_EXPORT PlugInOpenFn WMAENC_Open;
MODULE_EXPORT PlugInOutputFn WMAENC_Output;
MODULE_EXPORT PlugInStartFn WMAENC_Start;
MODULE_EXPORT PlugInWriteDeviceFn WMAENC_WriteDevice;
MODULE_EXPORT PlugInEndFn WMAENC_End;
MODULE_EXPORT PlugInCloseFn WMAENC_Close;
MODULE_EXPORT PlugInSetOptFn WMAENC_SetOpt;
MODULE_EXPORT PlugInGetInfoFn WMAENC_GetInfo;
MODULE_EXPORT PlugInOpenFromHandlerFn WMAENC_OpenFromHandler;
MODULE_EXPORT PlugInWriteSampleFn WMAENC_WriteSample;

int32_t PlugIn_Info(int32_t, char* prefix, int32_t size) {
    if (!prefix || size < static_cast<int32_t>(sizeof kPrefix)) return -1;
    memcpy(prefix, kPrefix, sizeof kPrefix);
    // The module is silent, like the rest of the program; results carry the failures.
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

int32_t WMAENC_Open(const char* fileName) {
    if (!fileName) return 0;
    // Like every writer: never through a link, never over a file that already holds data (the
    // recorder creates each track's file empty before the plug-in opens it), and a file it
    // creates itself is created exclusively.
    int fd = open(fileName, O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) fd = open(fileName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    struct stat st {};
    if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != 0)) {
        close(fd);
        return 0;
    }
    return AddEncoderOnDescriptor(fd);
}

int32_t WMAENC_OpenFromHandler(int32_t fileDescriptor) {
    return AddEncoderOnDescriptor(fcntl(fileDescriptor, F_DUPFD_CLOEXEC, 0));
}

int32_t WMAENC_Output(int32_t handle, int32_t bitrate, int32_t sampleRate, int32_t channels,
                      int32_t bitsPerSample, int32_t, int32_t) {
    Encoder* encoder = Encoders().Get(handle);
    if (!encoder || encoder->started || bitsPerSample != 16 || channels < 1 || channels > 2 || sampleRate <= 0 ||
        bitrate <= 0)
        return 0;
    avcodec_free_context(&encoder->codec);
    encoder->codec = OpenCodecAtLowestAcceptedBitrate(bitrate, sampleRate, channels);
    encoder->channels = channels;
    return encoder->codec ? 1 : 0;
}

int32_t WMAENC_Start(int32_t handle) {
    Encoder* encoder = Encoders().Get(handle);
    // A failed start leaves the muxer behind and is final.
    if (!encoder || !encoder->codec || encoder->format) return 0;
    if (avformat_alloc_output_context2(&encoder->format, nullptr, "asf", nullptr) < 0) return 0;
    // Without room to finish a file there is no point in starting one.
    if (!KeepRoomForTheEnd(*encoder, 0, 0)) return 0;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    if (!buffer) return 0;
    encoder->format->pb = avio_alloc_context(buffer, kIoBufferSize, 1, encoder, nullptr, WriteToFile, SeekInFile);
    if (!encoder->format->pb) {
        av_free(buffer);
        return 0;
    }
    encoder->stream = avformat_new_stream(encoder->format, nullptr);
    if (!encoder->stream || avcodec_parameters_from_context(encoder->stream->codecpar, encoder->codec) < 0) return 0;
    encoder->stream->time_base = encoder->codec->time_base;
    encoder->frame = av_frame_alloc();
    encoder->packet = av_packet_alloc();
    if (!encoder->frame || !encoder->packet) return 0;
    encoder->frame->format = encoder->codec->sample_fmt;
    encoder->frame->nb_samples = encoder->codec->frame_size;
    encoder->frame->sample_rate = encoder->codec->sample_rate;
    if (av_channel_layout_copy(&encoder->frame->ch_layout, &encoder->codec->ch_layout) < 0 ||
        av_frame_get_buffer(encoder->frame, 0) < 0)
        return 0;
    const int64_t framesPerPacket = std::max(1, encoder->codec->sample_rate / kPacketsPerSecond / encoder->codec->frame_size);
    const int64_t packetSize = std::clamp<int64_t>(
        framesPerPacket * (encoder->codec->block_align + kPayloadHeaderBytes) + kPacketHeaderBytes, kSmallestPacket,
        kLargestPacket);
    AVDictionary* options = nullptr;
    av_dict_set_int(&options, "packet_size", packetSize, 0);
    const int headerWritten = avformat_write_header(encoder->format, &options);
    av_dict_free(&options);
    if (headerWritten < 0 || !SendPrimingFrame(*encoder)) return 0;
    encoder->started = true;
    return 1;
}

int32_t WMAENC_WriteDevice(int32_t handle, const void* pcm, int32_t bytes) {
    Encoder* encoder = Encoders().Get(handle);
    if (!encoder || !encoder->started || encoder->ended || encoder->roomShort || bytes < 0 || (!pcm && bytes > 0))
        return 0;
    const auto* data = static_cast<const unsigned char*>(pcm);
    const int frameBytes = 2 * encoder->channels;
    if (encoder->carryLength > 0) {
        const int take = std::min(frameBytes - encoder->carryLength, static_cast<int>(bytes));
        memcpy(encoder->carry + encoder->carryLength, data, take);
        encoder->carryLength += take;
        data += take;
        bytes -= take;
        if (encoder->carryLength < frameBytes) return 1;
        encoder->carryLength = 0;
        if (!AppendFrames(*encoder, encoder->carry, 1)) return 0;
    }
    const int frames = bytes / frameBytes;
    if (!AppendFrames(*encoder, data, frames)) return 0;
    encoder->carryLength = bytes - frames * frameBytes;
    memcpy(encoder->carry, data + frames * frameBytes, encoder->carryLength);
    return encoder->roomShort ? 0 : 1;
}

int32_t WMAENC_WriteSample(int32_t handle, const int16_t* pcm, int32_t frames) {
    Encoder* encoder = Encoders().Get(handle);
    if (!encoder || frames < 0 || frames > INT32_MAX / 4) return 0;
    return WMAENC_WriteDevice(handle, pcm, frames * 2 * encoder->channels);
}

int32_t WMAENC_End(int32_t handle) {
    Encoder* encoder = Encoders().Get(handle);
    if (!encoder || !encoder->started || encoder->ended) return 0;
    return Finish(*encoder);
}

int32_t WMAENC_Close(int32_t handle) {
    std::unique_ptr<Encoder> encoder = Encoders().Remove(handle);
    if (!encoder) return 0;
    // A track abandoned without End still gets a playable file of what was written.
    if (encoder->started && !encoder->ended) Finish(*encoder);
    return 1;
}

int32_t WMAENC_SetOpt(int32_t handle, int32_t value, int32_t) {
    Encoder* encoder = Encoders().Get(handle);
    if (!encoder || !encoder->codec || value != kOptionEffectiveBitrate) return 0;
    return static_cast<int32_t>(encoder->codec->bit_rate);
}

int32_t WMAENC_GetInfo(int32_t handle, char* text, int32_t size) {
    Encoder* encoder = Encoders().Get(handle);
    if (!encoder || !encoder->codec || !text || size <= 0) return 0;
    const int length = snprintf(text, size, "wmav2 %lld bps %d Hz %d ch",
                                static_cast<long long>(encoder->codec->bit_rate), encoder->codec->sample_rate,
                                encoder->channels);
    return length < size ? length : 0;
}
