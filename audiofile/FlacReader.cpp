// Reading FLAC files with libFLAC's stream decoder over our file object.
#include "audiofile/FlacReader.h"

#include <algorithm>

#include "audiofile/FlacWriter.h"
#include "tags/FlacTagFile.h"
#include "tags/FormatFailures.h"

namespace {

FLAC__StreamDecoderReadStatus ReadFile(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes, void* source) {
    CFileStream& file = *static_cast<FlacDecodeSource*>(source)->file;
    const int64_t got = file.Read(buffer, static_cast<int64_t>(*bytes)).value_or(-1);
    *bytes = got > 0 ? static_cast<size_t>(got) : 0;
    if (got < 0) return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
    return got == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

FLAC__StreamDecoderSeekStatus SeekFile(const FLAC__StreamDecoder*, FLAC__uint64 offset, void* source) {
    return static_cast<FlacDecodeSource*>(source)->file->Seek(static_cast<int64_t>(offset), CFileStream::kFromStart)
               ? FLAC__STREAM_DECODER_SEEK_STATUS_OK
               : FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
}

FLAC__StreamDecoderTellStatus TellFile(const FLAC__StreamDecoder*, FLAC__uint64* offset, void* source) {
    const int64_t at = static_cast<FlacDecodeSource*>(source)->file->Tell();
    if (at < 0) return FLAC__STREAM_DECODER_TELL_STATUS_ERROR;
    *offset = static_cast<FLAC__uint64>(at);
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderLengthStatus LengthOfFile(const FLAC__StreamDecoder*, FLAC__uint64* length, void* source) {
    const int64_t size = static_cast<FlacDecodeSource*>(source)->file->GetSize();
    if (size < 0) return FLAC__STREAM_DECODER_LENGTH_STATUS_ERROR;
    *length = static_cast<FLAC__uint64>(size);
    return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
}

FLAC__bool AtEndOfFile(const FLAC__StreamDecoder*, void* source) {
    const CFileStream* stream = static_cast<FlacDecodeSource*>(source)->file;
    return stream->Tell() >= stream->GetSize();
}

FLAC__StreamDecoder* NewDecoder(FlacDecodeSource& source, FLAC__StreamDecoderWriteCallback write,
                                FLAC__StreamDecoderMetadataCallback metadata, FLAC__StreamDecoderErrorCallback error) {
    FLAC__StreamDecoder* decoder = FLAC__stream_decoder_new();
    if (!decoder) return nullptr;
    if (!source.file->Seek(0, CFileStream::kFromStart) ||
        FLAC__stream_decoder_init_stream(decoder, ReadFile, SeekFile, TellFile, LengthOfFile, AtEndOfFile, write,
                                         metadata, error, &source) != FLAC__STREAM_DECODER_INIT_STATUS_OK ||
        !FLAC__stream_decoder_process_until_end_of_metadata(decoder)) {
        FLAC__stream_decoder_delete(decoder);
        return nullptr;
    }
    return decoder;
}

}  // namespace

CFlacReader::~CFlacReader() { static_cast<void>(CFlacReader::Close()); }

std::unique_ptr<CTagFile> CFlacReader::NewTagFile() const { return std::make_unique<CFlacTagFile>(); }

void CFlacReader::TakeMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata, void* source) {
    if (metadata->type != FLAC__METADATA_TYPE_STREAMINFO) return;
    auto* self = static_cast<CFlacReader*>(static_cast<FlacDecodeSource*>(source)->owner);
    const FLAC__StreamMetadata_StreamInfo& info = metadata->data.stream_info;
    self->m_channels = static_cast<int>(info.channels);
    self->m_sampleRate = static_cast<int>(info.sample_rate);
    self->m_bitsPerSample = static_cast<int>(info.bits_per_sample);
    self->m_length = static_cast<int64_t>(info.total_samples);
}

void CFlacReader::TakeError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* source) {
    static_cast<CFlacReader*>(static_cast<FlacDecodeSource*>(source)->owner)->m_damaged = true;
}

FLAC__StreamDecoderWriteStatus CFlacReader::TakeFrame(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                                      const FLAC__int32* const channels[], void* source) {
    auto* self = static_cast<CFlacReader*>(static_cast<FlacDecodeSource*>(source)->owner);
    const uint32_t count = frame->header.channels;
    const uint32_t frames = frame->header.blocksize;
    const int shift = static_cast<int>(frame->header.bits_per_sample) - 16;
    self->m_buffer.resize(static_cast<size_t>(frames) * count * 2);
    unsigned char* out = self->m_buffer.data();
    for (uint32_t i = 0; i < frames; ++i)
        for (uint32_t channel = 0; channel < count; ++channel, out += 2) {
            const FLAC__int32 sample = shift >= 0 ? channels[channel][i] >> shift : channels[channel][i] << -shift;
            out[0] = static_cast<unsigned char>(sample);
            out[1] = static_cast<unsigned char>(sample >> 8);
        }
    self->m_block = self->m_buffer.data();
    self->m_blockBytes = static_cast<int>(self->m_buffer.size());
    self->m_position = static_cast<int64_t>(frame->header.number.sample_number) + frames;
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

Result<void> CFlacReader::AttachFile(std::unique_ptr<CFileStream> file) {
    if (!file) return NoFileToAttach();
    if (m_open) static_cast<void>(Close());
    m_source = {file.get(), this};
    m_damaged = false;
    m_length = 0;
    m_channels = 0;
    m_decoder = NewDecoder(m_source, TakeFrame, TakeMetadata, TakeError);
    FLAC__uint64 audioOffset = 0;
    if (!m_decoder || m_channels == 0 || !FLAC__stream_decoder_get_decode_position(m_decoder, &audioOffset)) {
        static_cast<void>(Close());
        return KindFailure(FailureKind::kBadData, UserText("FlacReader", "libFLAC がファイルのメタデータを読めません"));
    }
    // The average over the frames: what the track takes per second on the disk.
    const int64_t audioBytes = file->GetSize() - static_cast<int64_t>(audioOffset);
    m_bitrate = m_length > 0 && m_sampleRate > 0 ? static_cast<int>(audioBytes * 8 * m_sampleRate / m_length) : 0;
    m_vbr = true;
    m_position = 0;
    return CAudioReader::AttachFile(std::move(file));
}

Result<void> CFlacReader::Close() {
    if (m_decoder) FLAC__stream_decoder_delete(m_decoder);
    m_decoder = nullptr;
    m_buffer = {};
    return CAudioReader::Close();
}

int64_t CFlacReader::GetDuration() const { return m_sampleRate > 0 ? m_length * 1000 / m_sampleRate : -1; }

bool CFlacReader::ReadBlock() {
    m_blockBytes = 0;
    while (m_decoder && !m_damaged && m_blockBytes == 0) {
        if (!FLAC__stream_decoder_process_single(m_decoder) ||
            FLAC__stream_decoder_get_state(m_decoder) == FLAC__STREAM_DECODER_END_OF_STREAM)
            break;
    }
    return m_blockBytes > 0 && !m_damaged;
}

Result<void> CFlacReader::Seek(int64_t ms) {
    int64_t scaled = 0;
    if (!m_decoder) return NoFileOpen();
    if (ms < 0 || __builtin_mul_overflow(ms, int64_t{m_sampleRate}, &scaled)) return NoSuchTime();
    m_damaged = false;
    if (!FLAC__stream_decoder_seek_absolute(m_decoder, static_cast<FLAC__uint64>(scaled / 1000))) {
        FLAC__stream_decoder_flush(m_decoder);
        return NoSuchTime();
    }
    m_position = scaled / 1000;
    return {};
}

namespace {

// Counts the whole frames of a stream, up to the first that does not decode.
struct FrameCount {
    FlacDecodeSource source;
    uint64_t totalSamples = 0;
    uint64_t frameSamples = 0;  // of the frame just decoded
    bool streamTotalSet = false;
    int bitsPerSample = 16;
    bool damaged = false;

    static FLAC__StreamDecoderWriteStatus Take(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                               const FLAC__int32* const[], void* source) {
        static_cast<FrameCount*>(static_cast<FlacDecodeSource*>(source)->owner)->frameSamples = frame->header.blocksize;
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    }
    static void Metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata, void* source) {
        if (metadata->type != FLAC__METADATA_TYPE_STREAMINFO) return;
        auto* self = static_cast<FrameCount*>(static_cast<FlacDecodeSource*>(source)->owner);
        self->streamTotalSet = metadata->data.stream_info.total_samples > 0;
        self->bitsPerSample = static_cast<int>(metadata->data.stream_info.bits_per_sample);
    }
    static void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* source) {
        static_cast<FrameCount*>(static_cast<FlacDecodeSource*>(source)->owner)->damaged = true;
    }
};

}  // namespace

bool CompleteFlacStream(const char* path) {
    CFileStream file;
    if (!file.Open(path, CFileStream::kReadWrite)) return false;
    FrameCount count;
    count.source = {&file, &count};
    FLAC__StreamDecoder* decoder = NewDecoder(count.source, FrameCount::Take, FrameCount::Metadata, FrameCount::Error);
    FLAC__uint64 end = 0;
    if (!decoder || !FLAC__stream_decoder_get_decode_position(decoder, &end)) {
        if (decoder) FLAC__stream_decoder_delete(decoder);
        return false;
    }
    if (count.streamTotalSet) {
        FLAC__stream_decoder_delete(decoder);
        return true;
    }
    uint32_t minFrame = 0;
    uint32_t maxFrame = 0;
    for (;;) {
        count.frameSamples = 0;
        FLAC__uint64 at = 0;
        // A frame the kill cut short ends the stream without decoding.
        if (!FLAC__stream_decoder_process_single(decoder) || count.damaged || count.frameSamples == 0 ||
            !FLAC__stream_decoder_get_decode_position(decoder, &at))
            break;
        const auto frameBytes = static_cast<uint32_t>(at - end);
        minFrame = minFrame ? std::min(minFrame, frameBytes) : frameBytes;
        maxFrame = std::max(maxFrame, frameBytes);
        count.totalSamples += count.frameSamples;
        end = at;
    }
    FLAC__stream_decoder_delete(decoder);
    const auto whole = static_cast<int64_t>(end);
    return (file.GetSize() == whole || file.SetLength(whole)) &&
           SetFlacStreamTotals(file, count.bitsPerSample, count.totalSamples, minFrame, maxFrame);
}
