// The MP3 writer: configuration defaults, the encoder's call order, and the MP3 quality list.
#include "audiofile/Mp3Writer.h"

#include <cstring>
#include <string>

#include "foundation/StepHook.h"
#include "tags/FormatFailures.h"
#include "tags/Id3v2Tag.h"
#include "tags/Mp3TagFile.h"

const QualityEntry kMp3Qualities[kMp3QualityCount] = {
    {"320k bps / 48.0 kHz / Stereo", 320000, 48000, 2},
    {"320k bps / 44.1 kHz / Stereo", 320000, 44100, 2},
    {"320k bps / 32.0 kHz / Stereo", 320000, 32000, 2},
    {"256k bps / 48.0 kHz / Stereo", 256000, 48000, 2},
    {"256k bps / 44.1 kHz / Stereo", 256000, 44100, 2},
    {"256k bps / 32.0 kHz / Stereo", 256000, 32000, 2},
    {"224k bps / 48.0 kHz / Stereo", 224000, 48000, 2},
    {"224k bps / 44.1 kHz / Stereo", 224000, 44100, 2},
    {"224k bps / 32.0 kHz / Stereo", 224000, 32000, 2},
    {"192k bps / 48.0 kHz / Stereo", 192000, 48000, 2},
    {"192k bps / 44.1 kHz / Stereo", 192000, 44100, 2},
    {"192k bps / 32.0 kHz / Stereo", 192000, 32000, 2},
    {"160k bps / 48.0 kHz / Stereo", 160000, 48000, 2},
    {"160k bps / 44.1 kHz / Stereo", 160000, 44100, 2},
    {"160k bps / 32.0 kHz / Stereo", 160000, 32000, 2},
    {"128k bps / 48.0 kHz / Stereo", 128000, 48000, 2},
    {"128k bps / 44.1 kHz / Stereo", 128000, 44100, 2},
    {"128k bps / 32.0 kHz / Stereo", 128000, 32000, 2},
    {"112k bps / 48.0 kHz / Stereo", 112000, 48000, 2},
    {"112k bps / 44.1 kHz / Stereo", 112000, 44100, 2},
    {"112k bps / 32.0 kHz / Stereo", 112000, 32000, 2},
    {"96k bps / 48.0 kHz / Stereo", 96000, 48000, 2},
    {"96k bps / 44.1 kHz / Stereo", 96000, 44100, 2},
    {"96k bps / 32.0 kHz / Stereo", 96000, 32000, 2},
    {"80k bps / 48.0 kHz / Stereo", 80000, 48000, 2},
    {"80k bps / 44.1 kHz / Stereo", 80000, 44100, 2},
    {"80k bps / 32.0 kHz / Stereo", 80000, 32000, 2},
    {"64k bps / 48.0 kHz / Stereo", 64000, 48000, 2},
    {"64k bps / 44.1 kHz / Stereo", 64000, 44100, 2},
    {"64k bps / 32.0 kHz / Stereo", 64000, 32000, 2},
    {"56k bps / 48.0 kHz / Stereo", 56000, 48000, 2},
    {"56k bps / 44.1 kHz / Stereo", 56000, 44100, 2},
    {"56k bps / 32.0 kHz / Stereo", 56000, 32000, 2},
    {"48k bps / 48.0 kHz / Stereo", 48000, 48000, 2},
    {"48k bps / 44.1 kHz / Stereo", 48000, 44100, 2},
    {"48k bps / 32.0 kHz / Stereo", 48000, 32000, 2},
    {"40k bps / 48.0 kHz / Stereo", 40000, 48000, 2},
    {"40k bps / 44.1 kHz / Stereo", 40000, 44100, 2},
    {"40k bps / 32.0 kHz / Stereo", 40000, 32000, 2},
    {"32k bps / 48.0 kHz / Stereo", 32000, 48000, 2},
    {"32k bps / 44.1 kHz / Stereo", 32000, 44100, 2},
    {"32k bps / 32.0 kHz / Stereo", 32000, 32000, 2},
};

CMp3Writer::CMp3Writer() : CAudioWriter(OutputFormat::Mp3), m_lame(LoadLameLibrary().value_or(nullptr)) {
    if (!m_lame) return;
    m_config.dwConfig = BE_CONFIG_LAME;
    m_config.dwStructVersion = 1;
    m_config.dwStructSize = sizeof(BE_CONFIG);
    m_config.dwSampleRate = 44100;
    m_config.dwReSampleRate = 0;
    m_config.nMode = BE_MP3_MODE_JSTEREO;
    m_config.dwBitrate = 128;
    m_config.dwMaxBitrate = 320;
    m_config.nPreset = LQP_HIGH_QUALITY;
    m_config.dwMpegVersion = MPEG1;
    m_config.bPrivate = 1;
    m_config.bCRC = 1;
    m_config.bOriginal = 1;
    m_config.bWriteVBRHeader = 1;
    m_config.nVBRQuality = 4;
    m_config.nVbrMethod = VBR_METHOD_DEFAULT;
    m_config.bNoRes = 1;
}

namespace {

// The module's error code is all it tells; it goes into the words.
Failure LameRefused(UserText what, BE_ERR error) {
    return KindFailure(FailureKind::kCodec, std::move(what).Arg(static_cast<long long>(error)));
}

}  // namespace

CMp3Writer::~CMp3Writer() { static_cast<void>(CMp3Writer::Close()); }

Result<void> CMp3Writer::SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                                   int minBitrate) {
    static_cast<void>(CAudioWriter::SetFormat(bitrate, sampleRate, channels, bitsPerSample, maxBitrate, minBitrate));
    m_config.dwConfig = BE_CONFIG_LAME;
    m_config.dwStructVersion = 1;
    m_config.dwStructSize = sizeof(BE_CONFIG);
    m_config.dwSampleRate = static_cast<uint32_t>(sampleRate);
    m_config.dwReSampleRate = static_cast<uint32_t>(sampleRate);
    // MPEG-1 has no frames below 32 kHz; the encoder refuses a record that asks for them.
    m_config.dwMpegVersion = sampleRate >= 32000 ? MPEG1 : MPEG2;
    if (channels == 1) m_config.nMode = BE_MP3_MODE_MONO;
    m_config.bNoRes = 1;
    if (m_config.bEnableVBR) m_config.bWriteVBRHeader = 1;
    else m_config.dwBitrate = static_cast<uint32_t>(bitrate / 1000);
    return {};
}

Result<void> CMp3Writer::SetOptions(const void* record, int size) {
    // Anything shorter than the record would be read past its end.
    if (!record || size < static_cast<int>(sizeof m_config))
        return KindFailure(FailureKind::kBadValue, UserText("Mp3Writer", "LAME の設定レコードは 331 バイトです"));
    memcpy(&m_config, record, sizeof m_config);
    return {};
}

Result<void> CMp3Writer::Begin() {
    if (!m_lame) return KindFailure(FailureKind::kMissing, UserText("Mp3Writer", "LAME エンコーダーモジュールが読み込まれていません"));
    if (!m_file) return NoFile();
    m_lame->version(&m_version);
    uint32_t samples = 0;
    HBE_STREAM stream = 0;
    if (const BE_ERR error = m_lame->initStream(&m_config, &samples, &m_outputSize, &stream); error != BE_ERR_SUCCESSFUL)
        return LameRefused(UserText("Mp3Writer", "LAME エンコーダーが設定を受け付けませんでした (エラー %1)"), error);
    m_stream = stream;
    // The tags' room comes before the first frame (LAME's placeholder for its Info frame), so
    // finishing writes tags and Info frame in place and never moves the audio.
    CId3v2Tag room;
    room.paddingSize = kMp3TagRoom - 10;
    const std::string reserved = room.Render();
    if (Result<void> written = m_file->Write(reserved.data(), kMp3TagRoom); !written) return written;
    m_blockSize = static_cast<int>(samples * 2);
    static_cast<void>(CAudioWriter::Begin());
    m_output.assign(m_outputSize + 2, 0);
    return {};
}

Result<void> CMp3Writer::WriteOutput(uint32_t bytes) {
    if (bytes == 0) return {};
    // A frame the disk stopped part way is cut off again: it would end the track with a
    // decoding error.
    return m_file->Write(m_output.data(), bytes);
}

Result<void> CMp3Writer::WriteBlock(const void* data, int length) {
    if (length <= 0) return {};
    if (!m_stream || !m_file) return NoFile();
    uint32_t produced = 0;
    if (const BE_ERR error = m_lame->encodeChunk(m_stream, static_cast<uint32_t>(length / 2),
                                                 static_cast<const int16_t*>(data), m_output.data(), &produced);
        error != BE_ERR_SUCCESSFUL)
        return LameRefused(UserText("Mp3Writer", "LAME エンコーダーが音声を受け付けませんでした (エラー %1)"), error);
    return WriteOutput(produced);
}

Result<void> CMp3Writer::EndStream() {
    if (Result<void> flushed = CAudioWriter::EndStream(); !flushed) return flushed;
    if (!m_stream || !m_file) return NoFile();
    uint32_t produced = 0;
    const BE_ERR error = m_lame->deinitStream(m_stream, m_output.data(), &produced);
    Result<void> result =
        error == BE_ERR_SUCCESSFUL
            ? WriteOutput(produced)
            : LameRefused(UserText("Mp3Writer", "LAME エンコーダーがストリームを終えられませんでした (エラー %1)"), error);
    m_output = {};
    return result;
}

Result<void> CMp3Writer::Close() {
    m_output = {};
    const bool hadStream = m_stream != 0;
    if (hadStream) m_lame->closeStream(m_stream);
    m_file.reset();
    // Rewritten in place, and left out by LAME where a frame is too small to hold it.
    if (!m_name.IsEmpty() && hadStream && m_config.bWriteVBRHeader) m_lame->writeVbrHeader(m_name.c_str());
    m_stream = 0;
    // A track whose tags could not be written is still a good track, but its owner must hear of it.
    Result<void> tagged;
    const CCharString name = m_name;
    if (IsOpen() && m_tags && !name.IsEmpty()) {
        ReachedStep("tagging");
        tagged = WriteMp3TagsByName(name.c_str(), {kContainerMp3, kTagId3v1 | kTagId3v1Track | kTagId3v2}, *m_tags);
    }
    Result<void> closed = CAudioWriter::Close();
    if (closed && !tagged) return TagsNotWritten(FailureKind::kSystem, "ID3", name.c_str(), std::move(tagged).error());
    return closed;
}
