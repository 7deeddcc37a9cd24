// COggWriter: encodes a track to Ogg Vorbis with libvorbis; OggNominalBitrate for the settings caption.
#pragma once

#include <cstdint>

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include "audiofile/AudioWriter.h"
#include "audiofile/OggPageOutput.h"

// The encoding option record handed to SetOptions, 20 bytes.
struct OggOptions {
    enum Mode : int32_t { kQualityVbr = 0, kManagedBitrate = 1, kAverageBitrate = 2 };
    int32_t mode = kQualityVbr;
    int32_t quality = 40;        // percent
    int32_t nominalBitrate = 0;  // bits per second
    int32_t minBitrate = 0;
    int32_t maxBitrate = 0;
};
static_assert(sizeof(OggOptions) == 20);

class COggWriter : public CAudioWriter {
public:
    COggWriter() : CAudioWriter(OutputFormat::OggVorbis) {}
    ~COggWriter() override;

    Result<void> Open(const char* name) override { return OpenFile(name); }
    // A positive maximum or minimum switches to managed bitrate with these figures.
    Result<void> SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                           int minBitrate) override;
    // `record` is an OggOptions of exactly `size` bytes.
    Result<void> SetOptions(const void* record, int size) override;
    Result<void> SetQuality(int quality);
    // Headers are written here, as pages of their own before any audio.
    Result<void> Begin() override;
    // The last pages, the end-of-stream mark among them; the comments follow in Close.
    Result<void> EndStream() override;
    // Closes the file, then rewrites its comments from the tags when asked to.
    Result<void> Close() override;

    // The recorder asks for every track's comments to be rewritten after Close.
    void SetRewriteComments(bool rewrite) { m_rewriteComments = rewrite; }
    const OggOptions& Options() const { return m_options; }
    // The stream serial number of the last Begin.
    int SerialNumber() const { return m_serial; }

protected:
    Result<void> WriteBlock(const void* data, int length) override;

private:
    int InitEncoder();
    // Writes the pages that are ready; `flush` forces out a page even when it is not full.
    Result<void> WritePages(bool flush);
    void ClearEncoder();

    vorbis_info m_info{};
    vorbis_comment m_comment{};
    vorbis_dsp_state m_dsp{};
    vorbis_block m_block{};
    ogg_stream_state m_stream{};
    ogg_page m_page{};
    ogg_packet m_packet{};
    bool m_endOfStream = false;
    COggPageOutput m_output;
    bool m_encoding = false;
    ogg_int64_t m_flushedGranule = 0;  // the sample position the last forced page reached
    int m_serial = 0;
    OggOptions m_options;
    bool m_rewriteComments = false;
};

// A stream serial number no other track of this process has had just before.
int NextOggSerialNumber();

// The nominal bitrate (bit/s) libvorbis picks for quality 0..100 at this rate and channel
// count, or -1 when it cannot encode that. Nothing is encoded.
int OggNominalBitrate(int quality, int sampleRate, int channels);
