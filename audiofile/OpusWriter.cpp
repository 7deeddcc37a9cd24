// The Opus writer: libopusenc in pull mode, its pages written by us, and the Opus quality list.
#include "audiofile/OpusWriter.h"

#include <string>
#include <utility>
#include <vector>

#include <opus/opusenc.h>

#include "audiofile/OggWriter.h"
#include "tags/FormatFailures.h"
#include "tags/OpusTagFile.h"
#include "tags/VorbisTagFile.h"

const QualityEntry kOpusQualities[kOpusQualityCount] = {
    {"256k bps / 48.0 kHz / Stereo", 256000, 48000, 2}, {"192k bps / 48.0 kHz / Stereo", 192000, 48000, 2},
    {"160k bps / 48.0 kHz / Stereo", 160000, 48000, 2}, {"128k bps / 48.0 kHz / Stereo", 128000, 48000, 2},
    {"96k bps / 48.0 kHz / Stereo", 96000, 48000, 2},   {"64k bps / 48.0 kHz / Stereo", 64000, 48000, 2},
    {"48k bps / 48.0 kHz / Stereo", 48000, 48000, 2},   {"32k bps / 48.0 kHz / Stereo", 32000, 48000, 2},
    {"24k bps / 48.0 kHz / Stereo", 24000, 48000, 2},   {"16k bps / 48.0 kHz / Stereo", 16000, 48000, 2},
    {"128k bps / 48.0 kHz / Mono", 128000, 48000, 1},   {"96k bps / 48.0 kHz / Mono", 96000, 48000, 1},
    {"64k bps / 48.0 kHz / Mono", 64000, 48000, 1},     {"48k bps / 48.0 kHz / Mono", 48000, 48000, 1},
    {"32k bps / 48.0 kHz / Mono", 32000, 48000, 1},     {"24k bps / 48.0 kHz / Mono", 24000, 48000, 1},
    {"16k bps / 48.0 kHz / Mono", 16000, 48000, 1},     {"12k bps / 48.0 kHz / Mono", 12000, 48000, 1},
    {"8k bps / 48.0 kHz / Mono", 8000, 48000, 1},       {"6k bps / 48.0 kHz / Mono", 6000, 48000, 1},
};

namespace {

// Granules count 48 kHz samples whatever the input rate.
constexpr int kGranuleRate = 48000;
// A page at least every fifth of a second of audio, as the Ogg Vorbis writer: a recorder killed
// in between loses less than half a second, for some 27 bytes a page.
constexpr int kPagesPerSecond = 5;

}  // namespace

namespace {

Failure EncoderRefused() {
    return KindFailure(FailureKind::kCodec, UserText("OpusWriter", "libopusenc がこの設定を受け付けませんでした"));
}

}  // namespace

COpusWriter::~COpusWriter() { static_cast<void>(COpusWriter::Close()); }

Result<void> COpusWriter::Begin() {
    if (Result<void> ready = ReadyToEncode(m_encoder != nullptr); !ready) return ready;
    if (SampleRate() <= 0 || Bitrate() <= 0)
        return KindFailure(FailureKind::kBadValue, UserText("OpusWriter", "Opus にはサンプリングレートとビットレートが必要です"));
    OggOpusComments* comments = ope_comments_create();
    if (!comments) return EncoderRefused();
    std::vector<std::pair<std::string, std::string>> lines;
    bool ok = !m_tags || StandardComments(*m_tags, lines, GainComments::R128);
    for (const auto& [key, value] : lines) ok = ok && ope_comments_add(comments, key.c_str(), value.c_str()) == OPE_OK;
    int error = OPE_OK;
    if (ok) m_encoder = ope_encoder_create_pull(comments, SampleRate(), Channels(), 0, &error);
    ope_comments_destroy(comments);
    if (!m_encoder) return EncoderRefused();
    // Unconstrained VBR, as opusenc encodes files. Frames are encoded as soon as they are whole
    // (libopusenc would hold two seconds back to decide on chaining, which a track never does),
    // and paged at least every fifth of a second.
    if (ope_encoder_ctl(m_encoder, OPUS_SET_BITRATE(Bitrate())) != OPE_OK ||
        ope_encoder_ctl(m_encoder, OPUS_SET_VBR_CONSTRAINT(0)) != OPE_OK ||
        ope_encoder_ctl(m_encoder, OPE_SET_DECISION_DELAY(0)) != OPE_OK ||
        ope_encoder_ctl(m_encoder, OPE_SET_MUXING_DELAY(kGranuleRate / kPagesPerSecond)) != OPE_OK ||
        ope_encoder_ctl(m_encoder, OPE_SET_SERIALNO(NextOggSerialNumber())) != OPE_OK ||
        ope_encoder_flush_header(m_encoder) != OPE_OK) {
        DestroyEncoder();
        return EncoderRefused();
    }
    m_output.Begin(m_file.get());
    // Players expect the headers to end their pages, before the first audio page.
    if (Result<void> written = WritePages(true); !written) {
        DestroyEncoder();
        return written;
    }
    m_blockSize = 0;
    m_framesFed = 0;
    return CAudioWriter::Begin();
}

Result<void> COpusWriter::WriteBlock(const void* data, int length) {
    if (!m_encoder) return StreamNotBegun();
    const int frames = length / (2 * Channels());
    if (frames > 0) {
        if (ope_encoder_write(m_encoder, static_cast<const opus_int16*>(data), frames) != OPE_OK)
            return KindFailure(FailureKind::kCodec, UserText("OpusWriter", "libopusenc が音声を受け付けませんでした"));
        m_framesFed += frames;
    }
    // A full disk is reported rather than taken for success.
    return WritePages(false);
}

Result<void> COpusWriter::WritePages(bool flush) {
    unsigned char* bytes = nullptr;
    opus_int32 length = 0;
    while (ope_encoder_get_page(m_encoder, &bytes, &length, flush) == 1) {
        const long headerLength = 27 + bytes[26];
        const ogg_page page{bytes, headerLength, bytes + headerLength, length - headerLength};
        static_cast<void>(m_output.Write(page));
        flush = false;
    }
    return m_output.Written();
}

Result<void> COpusWriter::EndStream() {
    if (!IsOpen()) return NoFile();
    Result<void> result = CAudioWriter::EndStream();
    if (m_encoder) {
        // libopusenc drains an encoder that was given no audio from memory it never set (seen to
        // abort the recorder at a stop just after a split); such a track stays headers only, which
        // is what a track without audio is taken for, and goes.
        if (m_framesFed > 0) {
            Result<void> drained =
                ope_encoder_drain(m_encoder) == OPE_OK
                    ? WritePages(false)
                    : KindFailure(FailureKind::kCodec, UserText("OpusWriter", "libopusenc がストリームを書き終えられませんでした"));
            result = FirstFailure(std::move(result), std::move(drained));
        }
        DestroyEncoder();
        result = FirstFailure(std::move(result), m_output.Finish());
    }
    return result;
}

void COpusWriter::DestroyEncoder() {
    if (m_encoder) ope_encoder_destroy(m_encoder);
    m_encoder = nullptr;
}

Result<void> COpusWriter::Close() {
    DestroyEncoder();
    const CCharString name = m_name;
    Result<void> result = CAudioWriter::Close();
    if (result && m_tags && !name.IsEmpty()) {
        // The tags known only now (the end, the length) replace those written at Begin, in place
        // when they fit its room; a failed rewrite leaves the file as encoded, and the caller hears
        // of it.
        COpusTagFile editor;
        if (Result<void> tagged = RewriteTags(editor, name, *m_tags); !tagged)
            return TagsNotWritten(FailureKind::kSystem, "Opus", name, std::move(tagged).error());
    }
    return result;
}
