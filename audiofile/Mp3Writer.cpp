// The MP3 writer: configuration defaults, the encoder's call order, and the MP3 quality list.
#include "audiofile/Mp3Writer.h"

#include <cstring>
#include <string>

#include "foundation/StepHook.h"
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

CMp3Writer::CMp3Writer() : CAudioWriter(FileKind::Mp3), m_lame(LoadLameLibrary().value_or(nullptr)) {
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

CMp3Writer::~CMp3Writer() { CMp3Writer::Close(); }

int CMp3Writer::Open(const char* name) {
    if (!OpenFile(name)) return 0;
    m_name = name;
    return 1;
}

int CMp3Writer::SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                          int minBitrate) {
    CAudioWriter::SetFormat(bitrate, sampleRate, channels, bitsPerSample, maxBitrate, minBitrate);
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
    return 1;
}

int CMp3Writer::SetOptions(const void* record, int size) {
    // Anything shorter than the record would be read past its end.
    if (!record || size < static_cast<int>(sizeof m_config)) return 0;
    memcpy(&m_config, record, sizeof m_config);
    return 1;
}

int CMp3Writer::Begin() {
    if (!m_lame || !m_file) return 0;
    m_lame->version(&m_version);
    uint32_t samples = 0;
    HBE_STREAM stream = 0;
    m_lastError = m_lame->initStream(&m_config, &samples, &m_outputSize, &stream);
    if (m_lastError != BE_ERR_SUCCESSFUL) return 0;
    m_stream = stream;
    // The tags' room comes before the first frame (LAME's placeholder for its Info frame), so
    // finishing writes tags and Info frame in place and never moves the audio.
    CId3v2Tag room;
    room.paddingSize = kMp3TagRoom - 10;
    const std::string reserved = room.Render();
    if (const Result<void> written = m_file->Write(reserved.data(), kMp3TagRoom); !written) {
        m_fileError = written.error().error;
        return 0;
    }
    m_blockSize = static_cast<int>(samples * 2);
    CAudioWriter::Begin();
    m_output.assign(m_outputSize + 2, 0);
    return 1;
}

int CMp3Writer::WriteOutput(uint32_t bytes) {
    if (bytes == 0) return 1;
    // A frame the disk stopped part way is cut off again: it would end the track with a
    // decoding error.
    const Result<void> written = m_file->Write(m_output.data(), bytes);
    if (written) return 1;
    m_fileError = written.error().error;
    return 0;
}

int CMp3Writer::WriteBlock(const void* data, int length) {
    if (length <= 0) return 1;
    if (!m_stream || !m_file) return 0;
    uint32_t produced = 0;
    m_lastError = m_lame->encodeChunk(m_stream, static_cast<uint32_t>(length / 2), static_cast<const int16_t*>(data),
                                      m_output.data(), &produced);
    if (m_lastError != BE_ERR_SUCCESSFUL) return 0;
    return WriteOutput(produced);
}

int CMp3Writer::EndStream() {
    if (!CAudioWriter::EndStream() || !m_stream || !m_file) return 0;
    uint32_t produced = 0;
    m_lastError = m_lame->deinitStream(m_stream, m_output.data(), &produced);
    const int result = m_lastError == BE_ERR_SUCCESSFUL && WriteOutput(produced);
    m_output = {};
    return result;
}

int CMp3Writer::Close() {
    m_output = {};
    const bool hadStream = m_stream != 0;
    if (hadStream) m_lame->closeStream(m_stream);
    m_file.reset();
    // Rewritten in place, and left out by LAME where a frame is too small to hold it.
    if (!m_name.IsEmpty() && hadStream && m_config.bWriteVBRHeader) m_lame->writeVbrHeader(m_name.c_str());
    m_stream = 0;
    // A track whose tags could not be written is still a good track, but its owner must hear of it.
    bool tagged = true;
    if (IsOpen() && m_tags && !m_name.IsEmpty()) {
        ReachedStep("tagging");
        tagged = WriteMp3TagsByName(m_name.c_str(), {kContainerMp3, kTagId3v1 | kTagId3v1Track | kTagId3v2}, *m_tags);
    }
    return CAudioWriter::Close() && tagged ? 1 : 0;
}
