// Reading MPEG audio files: stream facts from the first frame or the Xing header, decoding with libmpg123.
#include "audiofile/Mp3Reader.h"

#include <mpg123.h>

#include <cstdint>
#include <cstring>

#include "tags/FormatFailures.h"
#include "tags/Mp3TagFile.h"

namespace {

// PCM sample frames one MPEG audio frame carries. MPEG-2 Layer III frames hold half of
// MPEG-1's, so a 22050 Hz file counted at 1152 would last twice as long as it does.
int SamplesPerFrame(const Mp3FrameHeader& header) {
    if (header.layer == 1) return 384;
    if (header.layer == 3 && header.version != 1) return 576;
    return 1152;
}

}  // namespace

CMp3Reader::~CMp3Reader() { static_cast<void>(CMp3Reader::Close()); }

std::unique_ptr<CTagFile> CMp3Reader::NewTagFile() const { return std::make_unique<CMp3TagFile>(); }

Result<void> CMp3Reader::AttachFile(std::unique_ptr<CFileStream> file) {
    if (!file) return NoFileToAttach();
    if (m_open) static_cast<void>(Close());
    m_bitsPerSample = 16;
    if (!m_tagFile) m_tagFile = NewTagFile();
    auto& editor = static_cast<CMp3TagFile&>(*m_tagFile);
    if (!editor.IsOpen()) {
        const int64_t position = file->Tell();
        if (Result<void> attached = editor.AttachFile(BorrowFile(*file)); !attached) {
            m_tagFile.reset();
            return attached;
        }
        static_cast<void>(file->Seek(position, CFileStream::kFromStart));
    }
    m_info = editor.Info();
    m_channels = m_info.channels;
    m_sampleRate = m_info.sampleRate;
    m_bitrate = m_info.bitrate * 1000;
    m_vbr = false;
    m_duration = -1;
    if (m_info.xingPresent && m_info.xing.hasFrames && m_info.xing.frames > 0 && m_sampleRate > 0) {
        const int64_t samples = int64_t{m_info.xing.frames} * SamplesPerFrame(m_info.header);
        m_vbr = true;
        m_duration = static_cast<int64_t>(samples / (m_sampleRate * 0.001));
        // Over the exact time, not whole seconds: truncating them would give a 1.9 s file
        // twice its bitrate, and one under a second a division by zero.
        m_bitrate = static_cast<int>(m_info.audioLength * 8 * m_sampleRate / samples);
    } else if (m_bitrate > 0) {
        m_duration = m_info.audioLength * 8 / (m_bitrate / 1000);
    }
    m_length = m_openedByName ? m_info.audioLength : 0;
    m_position = 0;
    return CAudioReader::AttachFile(std::move(file));
}

Result<void> CMp3Reader::Close() {
    static_cast<void>(End());
    return CAudioReader::Close();
}

int64_t CMp3Reader::AudioEnd() const {
    return m_length > 0 ? m_info.audioOffset + m_length : m_file->GetSize();
}

Result<void> CMp3Reader::Begin() {
    if (!m_open) return NoFileOpen();
    static_cast<void>(End());
    int error = MPG123_OK;
    m_decoder = mpg123_new(nullptr, &error);
    if (!m_decoder) return Undecodable(UserText("Mp3Reader", "libmpg123 がデコーダーを作れません"));
    // Damaged frames are reported by the result, not printed on the terminal.
    mpg123_param(m_decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    if (mpg123_format_none(m_decoder) != MPG123_OK ||
        mpg123_format(m_decoder, m_sampleRate, m_channels == 1 ? MPG123_MONO : MPG123_STEREO, MPG123_ENC_SIGNED_16) !=
            MPG123_OK ||
        mpg123_open_feed(m_decoder) != MPG123_OK) {
        static_cast<void>(End());
        return Undecodable(UserText("Mp3Reader", "libmpg123 がストリームの形式を受け付けません"));
    }
    if (Result<void> at = m_file->Seek(m_info.audioOffset, CFileStream::kFromStart); !at) {
        static_cast<void>(End());
        return at;
    }
    m_position = 0;
    return {};
}

bool CMp3Reader::ReadFrame() {
    const int64_t end = AudioEnd();
    int64_t at = m_file->Tell();
    unsigned char head[4];
    if (at < 0 || at + 4 > end || m_file->Read(head, 4).value_or(-1) != 4) return false;
    for (;;) {
        const uint32_t word = uint32_t(head[0]) << 24 | head[1] << 16 | head[2] << 8 | head[3];
        Mp3FrameHeader header;
        int kbps = 0;
        int rate = 0;
        if (DecodeMp3FrameHeader(word, header, kbps, rate)) {
            const int length = Mp3FrameLength(header, kbps, rate);
            if (length < 4 || at + length > end) return false;
            m_frame.resize(length);
            memcpy(m_frame.data(), head, 4);
            return m_file->Read(m_frame.data() + 4, length - 4).value_or(-1) == length - 4;
        }
        // Not a header here: slide one byte on.
        if (++at + 4 > end) return false;
        memmove(head, head + 1, 3);
        if (m_file->Read(head + 3, 1).value_or(-1) != 1) return false;
    }
}

bool CMp3Reader::ReadBlock() {
    m_blockBytes = 0;
    m_pcm.clear();
    if (!m_open || !m_decoder) return false;
    while (m_pcm.empty()) {
        if (!ReadFrame()) return false;
        if (mpg123_feed(m_decoder, m_frame.data(), m_frame.size()) != MPG123_OK) return false;
        unsigned char out[8192];
        for (;;) {
            size_t done = 0;
            const int result = mpg123_read(m_decoder, out, sizeof out, &done);
            m_pcm.insert(m_pcm.end(), out, out + done);
            // NEED_MORE: the frame is used up. Anything else but OK and NEW_FORMAT is a damaged
            // frame, which decodes to nothing; the next one is tried.
            if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;
        }
        m_position = m_file->Tell() - m_info.audioOffset;
    }
    m_block = m_pcm.data();
    m_blockBytes = static_cast<int>(m_pcm.size());
    return true;
}

Result<void> CMp3Reader::Seek(int64_t ms) {
    // A time whose byte offset 64 bits cannot hold lies past the end of any file.
    int64_t offset = 0;
    if (!m_open || !m_decoder) return NoDecoder();
    if (ms < 0 || __builtin_mul_overflow(ms, m_bitrate / 8000, &offset) || offset > INT64_MAX - m_info.audioOffset)
        return NoSuchTime();
    if (Result<void> at = m_file->Seek(m_info.audioOffset + offset, CFileStream::kFromStart); !at) return at;
    // The decoder forgets the old position's bit reservoir instead of mixing it into the new one.
    if (mpg123_open_feed(m_decoder) != MPG123_OK) return Undecodable(UserText("Mp3Reader", "libmpg123 がデコードをやり直せません"));
    m_position = offset;
    return {};
}

Result<void> CMp3Reader::End() {
    if (!m_decoder) return NoDecoder();
    mpg123_delete(m_decoder);
    m_decoder = nullptr;
    return {};
}
