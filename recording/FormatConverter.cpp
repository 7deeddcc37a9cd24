// The format converter: 200 ms blocks, linear interpolation, stereo/mono mixing.
#include "recording/FormatConverter.h"

#include <cmath>

namespace {

// Halves round up for positive values; negative values always round toward zero. Files written
// before depend on exactly these samples, so this is not std::round.
int16_t RoundSample(double x) {
    const double whole = std::trunc(x);
    return static_cast<int16_t>(x - whole >= 0.5 ? whole + 1 : whole);
}

Failure NoWriter() { return KindFailure(FailureKind::kMissing, UserText("FormatConverter", "変換の先にファイルの書き手がありません")); }

}  // namespace

CFormatConverter::CFormatConverter(std::unique_ptr<CAudioWriter> writer) : CAudioWriter(writer ? writer->Kind() : OutputFormat::Wav) {
    SetWrappedWriter(std::move(writer));
}

CFormatConverter::~CFormatConverter() {
    m_outputBlock = {};
    static_cast<void>(Close());
}

bool CFormatConverter::SetWrappedWriter(std::unique_ptr<CAudioWriter> writer) {
    m_writer = std::move(writer);
    // The base's open flag is the active flag; the converter keeps no name or file of its own.
    if (m_writer && !IsOpen()) static_cast<void>(CAudioWriter::Open(""));
    if (!m_writer && IsOpen()) static_cast<void>(CAudioWriter::Close());
    return m_writer != nullptr;
}

int64_t CFormatConverter::SampleFramesWritten() const { return m_writer ? m_writer->SampleFramesWritten() : 0; }

Result<void> CFormatConverter::Open(const char* name) { return IsOpen() ? m_writer->Open(name) : NoWriter(); }

Result<void> CFormatConverter::AttachFile(std::unique_ptr<CFileStream> file) {
    return IsOpen() ? m_writer->AttachFile(std::move(file)) : NoWriter();
}

Result<void> CFormatConverter::SetOptions(const void* record, int size) {
    return IsOpen() ? m_writer->SetOptions(record, size) : NoWriter();
}

Result<void> CFormatConverter::SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                                         int minBitrate) {
    if (!IsOpen()) return NoWriter();
    if (Result<void> set = m_writer->SetFormat(bitrate, sampleRate, channels, bitsPerSample, maxBitrate, minBitrate); !set)
        return set;
    SetInputFormat(sampleRate, channels, bitsPerSample);
    return CAudioWriter::SetFormat(bitrate, sampleRate, channels, bitsPerSample, maxBitrate, minBitrate);
}

void CFormatConverter::SetInputFormat(int sampleRate, int channels, int bitsPerSample) {
    m_inputRate = sampleRate;
    m_inputChannels = channels;
    m_inputBits = bitsPerSample;
    AdoptIncompleteFormat();
}

void CFormatConverter::AdoptIncompleteFormat() {
    if (!m_writer || (SampleRate() > 0 && Channels() > 0 && BitsPerSample() > 0 && Bitrate() > 0)) return;
    const CAudioWriter& w = *m_writer;
    static_cast<void>(CAudioWriter::SetFormat(w.Bitrate(), w.SampleRate(), w.Channels(), w.BitsPerSample(),
                                              w.HasBitrateRange() ? w.MaxBitrate() : -1,
                                              w.HasBitrateRange() ? w.MinBitrate() : -1));
}

Result<void> CFormatConverter::Close() {
    if (!IsOpen()) return NoWriter();
    static_cast<void>(CAudioWriter::Close());
    return m_writer->Close();
}

Result<void> CFormatConverter::Begin() {
    if (!IsOpen()) return NoWriter();
    AdoptIncompleteFormat();
    m_convert = SampleRate() != m_inputRate || Channels() != m_inputChannels || BitsPerSample() != m_inputBits;
    // Blocks hold whole frames, so a block boundary never falls between the channels of a frame.
    const int inputFrameBytes = m_inputBits / 8 * m_inputChannels;
    if (m_convert) {
        // The conversion reads and writes 16-bit mono or stereo samples; anything else would be noise.
        const auto supported = [](int channels, int bits) { return (channels == 1 || channels == 2) && bits == 16; };
        const int outputFrames = SampleRate() / 5;
        if (outputFrames <= 0 || m_inputRate / 5 <= 0 || !supported(Channels(), BitsPerSample()) ||
            !supported(m_inputChannels, m_inputBits))
            return KindFailure(FailureKind::kBadValue, UserText("FormatConverter", "変換できるのは 16 ビットのモノラルかステレオだけです"));
        m_outputBlock.assign(static_cast<size_t>(outputFrames) * Channels(), 0);
    }
    m_blockSize = inputFrameBytes * (m_inputRate / 5);
    static_cast<void>(CAudioWriter::Begin());
    return m_writer->Begin();
}

Result<void> CFormatConverter::Write(const void* data, int length) {
    if (m_convert) return CAudioWriter::Write(data, length);
    return m_writer ? m_writer->Write(data, length) : Result<void>();
}

Result<void> CFormatConverter::EndStream() {
    Result<void> flushed = CAudioWriter::EndStream();
    Result<void> ended = IsOpen() ? m_writer->EndStream() : NoWriter();
    m_outputBlock = {};
    return FirstFailure(std::move(flushed), std::move(ended));
}

Result<void> CFormatConverter::FinishEnd() { return IsOpen() ? m_writer->FinishEnd() : NoWriter(); }

void CFormatConverter::SetTags(TagFieldSet* tags) {
    CAudioWriter::SetTags(tags);
    if (m_writer) m_writer->SetTags(tags);
}

Result<void> CFormatConverter::WriteBlock(const void* data, int length) {
    return ConvertBlock(static_cast<const int16_t*>(data), length / 2);
}

Result<void> CFormatConverter::ConvertBlock(const int16_t* samples, int sampleCount) {
    const int outRate = SampleRate();
    const int outChannels = Channels();
    const int outputFrames = outRate / 5;
    const int inputFrames = sampleCount / m_inputChannels;
    const bool stereoIn = m_inputChannels == 2;
    int16_t* out = m_outputBlock.data();
    int produced = 0;
    // Positions come afresh from i × input rate for every frame, so no error builds up.
    int64_t scaledPosition = 0;
    for (int i = 0; i < outputFrames; ++i, scaledPosition += m_inputRate) {
        const double p = static_cast<double>(scaledPosition) / outRate;
        const int m = static_cast<int>(p);
        const double f = p - m;
        if (m >= inputFrames) break;
        const int16_t* frame = samples + m * m_inputChannels;
        double left = frame[0];
        double right = stereoIn ? frame[1] : left;
        if (m < inputFrames - 1) {
            const int16_t* next = frame + m_inputChannels;
            left = next[0] * f + left * (1 - f);
            right = stereoIn ? next[1] * f + right * (1 - f) : left;
        }
        if (outChannels == 2) {
            *out++ = RoundSample(left);
            *out++ = RoundSample(right);
        } else {
            *out++ = RoundSample(stereoIn ? (left + right) * 0.5 : left);
        }
        ++produced;
    }
    return m_writer->Write(m_outputBlock.data(), produced * outChannels * 2);
}
