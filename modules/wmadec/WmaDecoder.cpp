// WMADEC9.so, decoding half: WMA files to 16-bit PCM with FFmpeg.
#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include "modules/HandleTable.h"
#include "abi/WmaDecoderAbi.h"

namespace {

constexpr int kUnitsPerSecond = 10000000;  // positions and lengths count 100 ns

struct Decoder {
    ~Decoder() {
        swr_free(&resampler);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    int streamIndex = -1;
    bool draining = false;
    int64_t nextPosition = 0;  // where the next block starts when a frame carries no time
    std::vector<unsigned char> pcm;
};

HandleTable<Decoder>& Decoders() {
    static HandleTable<Decoder> table;
    return table;
}

bool IsWmaCodec(AVCodecID id) {
    return id == AV_CODEC_ID_WMAV1 || id == AV_CODEC_ID_WMAV2 || id == AV_CODEC_ID_WMAPRO ||
           id == AV_CODEC_ID_WMALOSSLESS || id == AV_CODEC_ID_WMAVOICE;
}

bool OpenDecoder(Decoder& decoder, const char* fileName) {
    const AVInputFormat* asf = av_find_input_format("asf");
    if (!asf || avformat_open_input(&decoder.format, fileName, asf, nullptr) < 0) return false;
    if (avformat_find_stream_info(decoder.format, nullptr) < 0) return false;
    const AVCodec* codec = nullptr;
    decoder.streamIndex = av_find_best_stream(decoder.format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (decoder.streamIndex < 0 || !codec) return false;
    const AVCodecParameters* parameters = decoder.format->streams[decoder.streamIndex]->codecpar;
    if (!IsWmaCodec(parameters->codec_id)) return false;
    decoder.codec = avcodec_alloc_context3(codec);
    if (!decoder.codec || avcodec_parameters_to_context(decoder.codec, parameters) < 0 ||
        avcodec_open2(decoder.codec, codec, nullptr) < 0)
        return false;
    if (swr_alloc_set_opts2(&decoder.resampler, &decoder.codec->ch_layout, AV_SAMPLE_FMT_S16,
                            decoder.codec->sample_rate, &decoder.codec->ch_layout, decoder.codec->sample_fmt,
                            decoder.codec->sample_rate, 0, nullptr) < 0 ||
        swr_init(decoder.resampler) < 0)
        return false;
    decoder.frame = av_frame_alloc();
    decoder.packet = av_packet_alloc();
    return decoder.frame && decoder.packet;
}

// The next decoded frame, reading packets as the decoder asks for them.
bool NextFrame(Decoder& decoder) {
    for (;;) {
        const int result = avcodec_receive_frame(decoder.codec, decoder.frame);
        if (result == 0) return true;
        if (result != AVERROR(EAGAIN) || decoder.draining) return false;
        const int read = av_read_frame(decoder.format, decoder.packet);
        if (read < 0) {
            decoder.draining = true;
            avcodec_send_packet(decoder.codec, nullptr);
            continue;
        }
        if (decoder.packet->stream_index == decoder.streamIndex) {
            // A damaged packet is skipped; the decoder carries on with the next one.
            avcodec_send_packet(decoder.codec, decoder.packet);
        }
        av_packet_unref(decoder.packet);
    }
}

void Restart(Decoder& decoder) {
    avcodec_flush_buffers(decoder.codec);
    decoder.draining = false;
}

}  // namespace

MODULE_EXPORT WmaOpenFn WMA_Open;
MODULE_EXPORT WmaStartFn WMA_Start;
MODULE_EXPORT WmaDecodeFn WMA_Decode;
MODULE_EXPORT WmaSeekFn WMA_Seek;
MODULE_EXPORT WmaEndFn WMA_End;
MODULE_EXPORT WmaCloseFn WMA_Close;
MODULE_EXPORT WmaGetInfoFn WMA_GetInfo;

int32_t WMA_Open(const char* fileName, int32_t, int32_t) {
    if (!fileName) return 0;
    av_log_set_level(AV_LOG_QUIET);
    auto decoder = std::make_unique<Decoder>();
    if (!OpenDecoder(*decoder, fileName)) return 0;
    return Decoders().Add(std::move(decoder));
}

int32_t WMA_GetInfo(int32_t handle, WmaStreamInfo* info) {
    Decoder* decoder = Decoders().Get(handle);
    if (!decoder || !info) return 0;
    const AVStream* stream = decoder->format->streams[decoder->streamIndex];
    info->bitsPerSample = 16;
    info->channels = decoder->codec->ch_layout.nb_channels;
    info->sampleRate = decoder->codec->sample_rate;
    info->bitrate = static_cast<int32_t>(stream->codecpar->bit_rate > 0 ? stream->codecpar->bit_rate
                                                                         : decoder->format->bit_rate);
    info->length = decoder->format->duration > 0 ? decoder->format->duration * (kUnitsPerSecond / AV_TIME_BASE) : 0;
    return 1;
}

int32_t WMA_Start(int32_t handle) { return WMA_Seek(handle, 0); }

int32_t WMA_Decode(int32_t handle, const void** pcm, int32_t* bytes, int64_t* position) {
    Decoder* decoder = Decoders().Get(handle);
    if (!decoder || !pcm || !bytes || !NextFrame(*decoder)) return 0;
    const int channels = decoder->codec->ch_layout.nb_channels;
    const int capacity = swr_get_out_samples(decoder->resampler, decoder->frame->nb_samples);
    decoder->pcm.resize(static_cast<size_t>(capacity > 0 ? capacity : 0) * channels * 2);
    uint8_t* out = decoder->pcm.data();
    const int frames = swr_convert(decoder->resampler, &out, capacity,
                                   const_cast<const uint8_t**>(decoder->frame->extended_data),
                                   decoder->frame->nb_samples);
    if (frames < 0) return 0;
    const AVRational timeBase = decoder->format->streams[decoder->streamIndex]->time_base;
    const int64_t pts = decoder->frame->best_effort_timestamp;
    const int64_t start = pts == AV_NOPTS_VALUE ? decoder->nextPosition
                                                : av_rescale_q(pts, timeBase, AVRational{1, kUnitsPerSecond});
    decoder->nextPosition = start + static_cast<int64_t>(frames) * kUnitsPerSecond / decoder->codec->sample_rate;
    if (position) *position = start;
    *pcm = decoder->pcm.data();
    *bytes = frames * channels * 2;
    av_frame_unref(decoder->frame);
    return 1;
}

int32_t WMA_Seek(int32_t handle, int64_t milliseconds) {
    Decoder* decoder = Decoders().Get(handle);
    // Positions count 100 ns in 64 bits: a time they cannot hold is no time in any file.
    int64_t position = 0;
    if (!decoder || milliseconds < 0 || __builtin_mul_overflow(milliseconds, kUnitsPerSecond / 1000, &position))
        return 0;
    const AVRational timeBase = decoder->format->streams[decoder->streamIndex]->time_base;
    const int64_t target = av_rescale_q(milliseconds, AVRational{1, 1000}, timeBase);
    if (av_seek_frame(decoder->format, decoder->streamIndex, target, AVSEEK_FLAG_BACKWARD) < 0) return 0;
    Restart(*decoder);
    decoder->nextPosition = position;
    return 1;
}

int32_t WMA_End(int32_t handle) {
    Decoder* decoder = Decoders().Get(handle);
    if (!decoder) return 0;
    Restart(*decoder);
    return 1;
}

int32_t WMA_Close(int32_t handle) { return Decoders().Remove(handle) ? 1 : 0; }
