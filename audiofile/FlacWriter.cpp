// The FLAC writer: libFLAC's stream encoder writing through our file, comments and their room.
#include "audiofile/FlacWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include <FLAC/metadata.h>

#include "audiofile/WavWriter.h"
#include "tags/FlacTagFile.h"
#include "tags/FormatFailures.h"
#include "tags/VorbisTagFile.h"

namespace {

std::array<QualityEntry, kFlacQualityCount> FlacQualities() {
    std::array<QualityEntry, kFlacQualityCount> rows{};
    auto row = rows.begin();
    for (int level = 8; level >= 0; --level)
        for (const QualityEntry& pcm : kPcmQualityTable) {
            std::snprintf(row->label, sizeof row->label, "Level %d / %.32s", level, pcm.label);
            row->value = level;
            row->sampleRate = pcm.sampleRate;
            row->channels = pcm.channels;
            ++row;
        }
    return rows;
}

constexpr int kFramesPerBlock = 1024;
// "fLaC", then STREAMINFO's header; its body follows.
constexpr int64_t kStreamInfoBody = 8;

}  // namespace

const std::array<QualityEntry, kFlacQualityCount> kFlacQualities = FlacQualities();

CFlacWriter::~CFlacWriter() { static_cast<void>(CFlacWriter::Close()); }

Result<void> CFlacWriter::SetCompressionLevel(int level) {
    if (level < 0 || level > 8)
        return KindFailure(FailureKind::kBadValue, UserText("FlacWriter", "FLAC のレベルは 0 から 8 までです"));
    m_level = level;
    return {};
}

bool CFlacWriter::AddMetadata() {
    std::vector<std::string> lines;
    if (m_tags && !StandardCommentLines(*m_tags, lines)) return false;
    m_comments = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
    m_padding = FLAC__metadata_object_new(FLAC__METADATA_TYPE_PADDING);
    if (!m_comments || !m_padding) return false;
    for (const std::string& line : lines) {
        FLAC__StreamMetadata_VorbisComment_Entry entry{static_cast<FLAC__uint32>(line.size()),
                                                        reinterpret_cast<FLAC__byte*>(const_cast<char*>(line.data()))};
        if (!FLAC__metadata_object_vorbiscomment_append_comment(m_comments, entry, true)) return false;
    }
    // libFLAC writes its own vendor string in the comment block.
    const std::vector<std::string> noComments;
    int64_t commentBytes = static_cast<int64_t>(BuildFlacCommentBlock(FLAC__VENDOR_STRING, noComments, false).size());
    for (const std::string& line : lines) commentBytes += 4 + static_cast<int64_t>(line.size());
    // "fLaC", STREAMINFO, the comments and the padding's header before the padding itself.
    m_padding->length = static_cast<uint32_t>(std::max<int64_t>(kFlacTagRoom - 4 - 38 - commentBytes - 4, 0));
    FLAC__StreamMetadata* blocks[] = {m_comments, m_padding};
    return FLAC__stream_encoder_set_metadata(m_encoder, blocks, 2);
}

Result<void> CFlacWriter::Begin() {
    if (Result<void> ready = ReadyToEncode(m_encoder != nullptr); !ready) return ready;
    m_finishing = false;
    m_framesWritten = {};
    m_framesEnd = m_file->Tell();
    m_framesSamples = 0;
    m_minFrameBytes = m_maxFrameBytes = 0;
    m_encoder = FLAC__stream_encoder_new();
    if (!m_encoder || !FLAC__stream_encoder_set_channels(m_encoder, Channels()) ||
        !FLAC__stream_encoder_set_bits_per_sample(m_encoder, 16) ||
        !FLAC__stream_encoder_set_sample_rate(m_encoder, SampleRate()) ||
        !FLAC__stream_encoder_set_compression_level(m_encoder, m_level) || !AddMetadata() ||
        FLAC__stream_encoder_init_stream(m_encoder, WriteFrame, SeekFile, TellFile, nullptr, this) !=
            FLAC__STREAM_ENCODER_INIT_STATUS_OK) {
        DeleteEncoder();
        return KindFailure(FailureKind::kCodec, UserText("FlacWriter", "libFLAC がこの設定を受け付けませんでした"));
    }
    // The bitrate is known only from the file; the level is what the quality row set.
    static_cast<void>(CAudioWriter::SetFormat(0, SampleRate(), Channels(), BitsPerSample(), -1, -1));
    m_blockSize = Channels() * 2 * kFramesPerBlock;
    m_samples.assign(static_cast<size_t>(Channels()) * kFramesPerBlock, 0);
    return CAudioWriter::Begin();
}

FLAC__StreamEncoderWriteStatus CFlacWriter::WriteFrame(const FLAC__StreamEncoder*, const FLAC__byte buffer[],
                                                       size_t bytes, uint32_t samples, uint32_t, void* writer) {
    auto* self = static_cast<CFlacWriter*>(writer);
    if (!self->m_framesWritten) return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
    const auto length = static_cast<int64_t>(bytes);
    if (Result<void> written = self->m_file->Write(buffer, length); !written) {
        // Half a frame would end the track with a decoding error.
        if (!self->m_finishing) static_cast<void>(self->m_file->SetLength(self->m_framesEnd));
        self->m_framesWritten = std::move(written);
        return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
    }
    if (self->m_finishing) return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
    self->m_framesEnd += length;
    if (samples > 0) {
        const auto frameBytes = static_cast<uint32_t>(bytes);
        self->m_framesSamples += samples;
        self->m_minFrameBytes = self->m_minFrameBytes ? std::min(self->m_minFrameBytes, frameBytes) : frameBytes;
        self->m_maxFrameBytes = std::max(self->m_maxFrameBytes, frameBytes);
    }
    return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
}

FLAC__StreamEncoderSeekStatus CFlacWriter::SeekFile(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* writer) {
    auto* self = static_cast<CFlacWriter*>(writer);
    // libFLAC seeks only to rewrite STREAMINFO once the last frame is out.
    self->m_finishing = true;
    return self->m_file->Seek(static_cast<int64_t>(offset), CFileStream::kFromStart)
               ? FLAC__STREAM_ENCODER_SEEK_STATUS_OK
               : FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
}

FLAC__StreamEncoderTellStatus CFlacWriter::TellFile(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* writer) {
    const int64_t at = static_cast<CFlacWriter*>(writer)->m_file->Tell();
    if (at < 0) return FLAC__STREAM_ENCODER_TELL_STATUS_ERROR;
    *offset = static_cast<FLAC__uint64>(at);
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

Result<void> CFlacWriter::WriteBlock(const void* data, int length) {
    if (!m_encoder) return StreamNotBegun();
    if (!m_framesWritten) return m_framesWritten;
    const int samples = length / 2;
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (int i = 0; i < samples; ++i, bytes += 2) m_samples[i] = static_cast<int16_t>(bytes[0] | bytes[1] << 8);
    // libFLAC writes each frame as soon as it is encoded: a few thousand sample frames behind.
    const bool encoded = FLAC__stream_encoder_process_interleaved(m_encoder, m_samples.data(),
                                                                  static_cast<uint32_t>(samples / Channels()));
    if (!m_framesWritten) return m_framesWritten;
    if (!encoded) return KindFailure(FailureKind::kCodec, UserText("FlacWriter", "libFLAC が音声を受け付けませんでした"));
    return {};
}

Result<void> CFlacWriter::EndStream() {
    if (!IsOpen()) return NoFile();
    Result<void> result = CAudioWriter::EndStream();
    if (!m_encoder) return StreamNotBegun();
    // The last frame goes out as a frame; only STREAMINFO's rewrite comes after it.
    const bool finished = FLAC__stream_encoder_finish(m_encoder);
    DeleteEncoder();
    if (!finished || !m_framesWritten) {
        // What reached the file stays, described as what it is; its MD5 stays unset.
        static_cast<void>(m_file->SetLength(m_framesEnd));
        static_cast<void>(
            SetFlacStreamTotals(*m_file, BitsPerSample(), m_framesSamples, m_minFrameBytes, m_maxFrameBytes));
        Result<void> lastFrame =
            m_framesWritten
                ? KindFailure(FailureKind::kCodec, UserText("FlacWriter", "libFLAC がストリームを終えられませんでした"))
                : m_framesWritten;
        result = FirstFailure(std::move(result), std::move(lastFrame));
    }
    m_samples = {};
    return result;
}

void CFlacWriter::DeleteEncoder() {
    if (m_encoder) FLAC__stream_encoder_delete(m_encoder);
    m_encoder = nullptr;
    if (m_comments) FLAC__metadata_object_delete(m_comments);
    if (m_padding) FLAC__metadata_object_delete(m_padding);
    m_comments = m_padding = nullptr;
}

Result<void> CFlacWriter::Close() {
    DeleteEncoder();
    const CCharString name = m_name;
    const bool wasOpen = IsOpen();
    Result<void> result = CAudioWriter::Close();
    if (wasOpen && m_tags && !name.IsEmpty()) {
        // A failed rewrite leaves the file as encoded, with the comments written at Begin.
        CFlacTagFile editor;
        if (Result<void> tagged = RewriteTags(editor, name, *m_tags); !tagged)
            return TagsNotWritten(FailureKind::kSystem, "FLAC", name, std::move(tagged).error());
    }
    return result;
}

Result<void> SetFlacStreamTotals(CFileStream& file, int bitsPerSample, uint64_t totalSamples, uint32_t minFrameBytes,
                         uint32_t maxFrameBytes) {
    // Bytes 4 to 9 of the body: the two 24-bit frame sizes; 13 to 17: the low four bits of the
    // sample size, then the 36-bit total.
    unsigned char sizes[6], total[5];
    for (int i = 0; i < 3; ++i) {
        sizes[i] = static_cast<unsigned char>(minFrameBytes >> (16 - 8 * i));
        sizes[3 + i] = static_cast<unsigned char>(maxFrameBytes >> (16 - 8 * i));
    }
    total[0] = static_cast<unsigned char>(((bitsPerSample - 1) & 0x0F) << 4 | ((totalSamples >> 32) & 0x0F));
    for (int i = 0; i < 4; ++i) total[1 + i] = static_cast<unsigned char>(totalSamples >> (24 - 8 * i));
    Result<void> written = file.Seek(kStreamInfoBody + 4, CFileStream::kFromStart);
    if (written) written = file.Write(sizes, 6);
    if (written) written = file.Seek(kStreamInfoBody + 13, CFileStream::kFromStart);
    if (written) written = file.Write(total, 5);
    return written;
}
