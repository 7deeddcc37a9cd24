// The Ogg Vorbis writer: libvorbisenc setup, analysis per 1024-frame block, Ogg paging.
#include "audiofile/OggWriter.h"

#include <time.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <random>

#include <vorbis/vorbisenc.h>

#include "tags/FormatFailures.h"
#include "tags/VorbisTagFile.h"

namespace {

constexpr int kFramesPerBlock = 1024;
// A page at least this often (per second of audio), whatever the stream's rate.
constexpr int kPagesPerSecond = 5;
}  // namespace

// One generator per process, seeded from the clock: two tracks never share a serial number
// within a process, also when they begin in the same second, and the sub-second clock and the
// process id keep recorders started together apart.
int NextOggSerialNumber() {
    static std::mutex lock;
    static uint32_t last = 0;
    static std::mt19937 generator = [] {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::seed_seq seed{static_cast<uint32_t>(now.tv_sec), static_cast<uint32_t>(now.tv_nsec),
                           static_cast<uint32_t>(getpid())};
        return std::mt19937(seed);
    }();
    std::lock_guard<std::mutex> guard(lock);
    uint32_t value;
    do value = generator();
    while (value == last);
    last = value;
    return static_cast<int>(value);
}

COggWriter::~COggWriter() { static_cast<void>(COggWriter::Close()); }

Result<void> COggWriter::SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                                   int minBitrate) {
    Result<void> result = CAudioWriter::SetFormat(bitrate, sampleRate, channels, bitsPerSample, maxBitrate, minBitrate);
    if (maxBitrate > 0 || minBitrate > 0) {
        const OggOptions managed{OggOptions::kManagedBitrate, m_options.quality, bitrate, minBitrate, maxBitrate};
        static_cast<void>(SetOptions(&managed, sizeof managed));
    }
    return result;
}

Result<void> COggWriter::SetOptions(const void* record, int size) {
    if (!record || size != static_cast<int>(sizeof(OggOptions)))
        return KindFailure(FailureKind::kBadValue, UserText("OggWriter", "Ogg Vorbis のオプションレコードは 20 バイトです"));
    memcpy(&m_options, record, sizeof m_options);
    if (m_options.mode == OggOptions::kManagedBitrate)
        static_cast<void>(CAudioWriter::SetFormat(m_options.nominalBitrate, SampleRate(), Channels(), BitsPerSample(),
                                                  m_options.maxBitrate, m_options.minBitrate));
    return {};
}

Result<void> COggWriter::SetQuality(int quality) {
    const OggOptions vbr{OggOptions::kQualityVbr, quality, 0, 0, 0};
    return SetOptions(&vbr, sizeof vbr);
}

int COggWriter::InitEncoder() {
    switch (m_options.mode) {
        case OggOptions::kQualityVbr:
            return vorbis_encode_init_vbr(&m_info, Channels(), SampleRate(), m_options.quality * 0.01f);
        case OggOptions::kManagedBitrate:
            return vorbis_encode_init(&m_info, Channels(), SampleRate(), MaxBitrate(), Bitrate(), MinBitrate());
        case OggOptions::kAverageBitrate: {
            int result = vorbis_encode_setup_managed(&m_info, Channels(), SampleRate(), MaxBitrate(), Bitrate(),
                                                     MinBitrate());
            if (result == 0) result = vorbis_encode_ctl(&m_info, OV_ECTL_RATEMANAGE_AVG, nullptr);
            if (result == 0) result = vorbis_encode_setup_init(&m_info);
            return result;
        }
        default:
            return -1;
    }
}

Result<void> COggWriter::Begin() {
    if (Result<void> ready = ReadyToEncode(m_encoding); !ready) return ready;
    m_endOfStream = false;
    m_flushedGranule = 0;
    m_output.Begin(m_file.get());
    vorbis_info_init(&m_info);
    if (InitEncoder() != 0) {
        vorbis_info_clear(&m_info);
        return KindFailure(FailureKind::kCodec, UserText("OggWriter", "libvorbis がこの設定を受け付けませんでした"));
    }
    static_cast<void>(CAudioWriter::SetFormat(static_cast<int>(m_info.bitrate_nominal), SampleRate(), Channels(),
                                              BitsPerSample(), MaxBitrate(), MinBitrate()));
    vorbis_comment_init(&m_comment);
    vorbis_comment_add_tag(&m_comment, "ENCODER", "Mirelto");
    if (m_tags && !AddStandardComments(*m_tags, &m_comment, vorbis_comment_add_tag)) {
        vorbis_comment_clear(&m_comment);
        vorbis_info_clear(&m_info);
        return KindFailure(FailureKind::kBadData, UserText("OggWriter", "タグを Vorbis コメントにできませんでした"));
    }
    vorbis_analysis_init(&m_dsp, &m_info);
    vorbis_block_init(&m_dsp, &m_block);
    m_serial = NextOggSerialNumber();
    ogg_stream_init(&m_stream, m_serial);
    m_encoding = true;

    ogg_packet identification, comments, codebooks;
    vorbis_analysis_headerout(&m_dsp, &m_comment, &identification, &comments, &codebooks);
    ogg_stream_packetin(&m_stream, &identification);
    ogg_stream_packetin(&m_stream, &comments);
    // Players expect the headers to end their pages, before the first audio page; the comments get
    // a page of their own, which the output pads so the comments of the close fit in place.
    Result<void> written = WritePages(true);
    ogg_stream_packetin(&m_stream, &codebooks);
    if (written) written = WritePages(true);
    if (!written) {
        ClearEncoder();
        return written;
    }
    m_blockSize = Channels() * 2 * kFramesPerBlock;
    return CAudioWriter::Begin();
}

Result<void> COggWriter::WriteBlock(const void* data, int length) {
    if (!m_encoding) return StreamNotBegun();
    const int channels = Channels();
    if (length > 0) {
        const int frames = length / (2 * channels);
        if (frames == 0) return {};  // zero frames would mark the end of the input
        float** buffer = vorbis_analysis_buffer(&m_dsp, kFramesPerBlock);
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (int frame = 0; frame < frames; ++frame)
            for (int channel = 0; channel < channels; ++channel, bytes += 2)
                buffer[channel][frame] = static_cast<int16_t>(bytes[0] | bytes[1] << 8) / 32768.f;
        vorbis_analysis_wrote(&m_dsp, frames);
    } else {
        vorbis_analysis_wrote(&m_dsp, 0);
    }
    Result<void> written;
    while (vorbis_analysis_blockout(&m_dsp, &m_block) == 1) {
        vorbis_analysis(&m_block, nullptr);
        vorbis_bitrate_addblock(&m_block);
        bool pageDue = false;
        while (vorbis_bitrate_flushpacket(&m_dsp, &m_packet)) {
            ogg_stream_packetin(&m_stream, &m_packet);
            if (m_packet.granulepos - m_flushedGranule >= SampleRate() / kPagesPerSecond) {
                pageDue = true;
                m_flushedGranule = m_packet.granulepos;
            }
        }
        // A quiet or low-rate stream fills a page only every few seconds; a recorder killed in
        // between would leave that audio in memory. A page every fifth of a second of audio keeps
        // what such a kill loses, encoder delay and the capture buffer included, under half a
        // second, for some 27 bytes a page.
        written = FirstFailure(std::move(written), WritePages(pageDue));
    }
    // A full disk is reported rather than taken for success.
    return written;
}

Result<void> COggWriter::WritePages(bool flush) {
    while (!m_endOfStream && (flush ? ogg_stream_flush(&m_stream, &m_page) : ogg_stream_pageout(&m_stream, &m_page))) {
        if (ogg_page_eos(&m_page)) m_endOfStream = true;
        static_cast<void>(m_output.Write(m_page));
    }
    return m_output.Written();
}

Result<void> COggWriter::EndStream() {
    if (!IsOpen()) return NoFile();
    Result<void> result = CAudioWriter::EndStream();
    if (m_encoding) {
        if (!m_endOfStream) result = FirstFailure(std::move(result), WriteBlock(nullptr, 0));
        ClearEncoder();
        result = FirstFailure(std::move(result), m_output.Finish());
    }
    return result;
}

void COggWriter::ClearEncoder() {
    if (!m_encoding) return;
    ogg_stream_clear(&m_stream);
    vorbis_block_clear(&m_block);
    vorbis_dsp_clear(&m_dsp);
    vorbis_comment_clear(&m_comment);
    vorbis_info_clear(&m_info);
    m_encoding = false;
}

Result<void> COggWriter::Close() {
    ClearEncoder();
    const CCharString name = m_name;
    Result<void> result = CAudioWriter::Close();
    if (result && m_rewriteComments && m_tags && !name.IsEmpty()) {
        // In place when the comments fit the room left at Begin. A failed rewrite (longer comments
        // and no room for a copy) leaves the file as encoded, with the comments written at Begin;
        // the caller hears of it.
        CVorbisTagFile editor;
        if (Result<void> tagged = RewriteTags(editor, name, *m_tags); !tagged)
            return TagsNotWritten(FailureKind::kSystem, "Vorbis", name, std::move(tagged).error());
    }
    return result;
}

int OggNominalBitrate(int quality, int sampleRate, int channels) {
    vorbis_info info;
    vorbis_info_init(&info);
    const bool ok = vorbis_encode_init_vbr(&info, channels, sampleRate, quality * 0.01f) == 0;
    const long bitrate = ok ? info.bitrate_nominal : -1;
    vorbis_info_clear(&info);
    return static_cast<int>(bitrate);
}
