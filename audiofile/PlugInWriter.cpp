// The plug-in writer: the writer interface turned into calls of one loaded encoder plug-in.
#include "audiofile/PlugInWriter.h"

namespace {

// The plug-in's answers carry no reason, and its file is its own: no errno reaches us.
Failure PlugInRefused(UserText what) { return KindFailure(FailureKind::kCodec, std::move(what)); }

Failure OwnFileOnly() {
    return KindFailure(FailureKind::kBadValue, UserText("PlugInWriter", "エンコーダープラグインは自分でファイルを書き込みます"));
}

Failure NotOpen() { return KindFailure(FailureKind::kMissing, UserText("PlugInWriter", "エンコーダープラグインのトラックが開かれていません")); }

}  // namespace

CPlugInWriter::~CPlugInWriter() { static_cast<void>(CPlugInWriter::Close()); }

Result<void> CPlugInWriter::Open(const char* name) {
    if (IsOpen()) static_cast<void>(Close());
    m_functions = m_slot > 0 ? EncoderPlugInFunctions(m_slot) : nullptr;
    if (!m_functions) return KindFailure(FailureKind::kMissing, UserText("PlugInWriter", "エンコーダープラグインが読み込まれていません"));
    if (!name) return KindFailure(FailureKind::kBadValue, UserText("PlugInWriter", "ファイル名がありません"));
    m_handle = m_functions->open(name);
    if (!m_handle) return PlugInRefused(UserText("PlugInWriter", "エンコーダープラグインがファイルを開きませんでした"));
    return CAudioWriter::Open(name);
}

Result<void> CPlugInWriter::AttachFile(std::unique_ptr<CFileStream>) {
    return OwnFileOnly();
}

Result<void> CPlugInWriter::OpenFile(const char*) {
    return OwnFileOnly();
}

Result<void> CPlugInWriter::SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                                      int minBitrate) {
    static_cast<void>(CAudioWriter::SetFormat(bitrate, sampleRate, channels, bitsPerSample, maxBitrate, minBitrate));
    if (!m_handle) return NotOpen();
    if (!m_functions->output(m_handle, bitrate, sampleRate, channels, bitsPerSample, maxBitrate, minBitrate))
        return PlugInRefused(UserText("PlugInWriter", "エンコーダープラグインがこの形式を受け付けませんでした"));
    return {};
}

Result<void> CPlugInWriter::Close() {
    if (m_functions && m_handle) {
        m_functions->close(m_handle);
        m_handle = 0;
    }
    return CAudioWriter::Close();
}

Result<void> CPlugInWriter::Begin() {
    static_cast<void>(CAudioWriter::Begin());
    m_blockRefused = false;
    if (!m_handle) return NotOpen();
    if (!m_functions->start(m_handle)) return PlugInRefused(UserText("PlugInWriter", "エンコーダープラグインが開始しませんでした"));
    return {};
}

Result<void> CPlugInWriter::WriteBlock(const void* data, int length) {
    if (!m_handle) return NotOpen();
    if (m_functions->writeDevice(m_handle, data, length)) return {};
    m_blockRefused = true;
    return PlugInRefused(UserText("PlugInWriter", "エンコーダープラグインが音声を受け付けませんでした"));
}

Result<void> CPlugInWriter::EndStream() {
    // The plug-in finishes its file even when the last block could not be written.
    Result<void> flushed = CAudioWriter::EndStream();
    m_finished = m_handle && m_functions->end(m_handle);
    if (!flushed) return flushed;
    if (!m_finished) return PlugInRefused(UserText("PlugInWriter", "エンコーダープラグインがファイルを書き終えませんでした"));
    // Audio the plug-in refused earlier (a full disk) is missing from the file it finished.
    if (m_blockRefused) return PlugInRefused(UserText("PlugInWriter", "エンコーダープラグインがこのトラックの音声を受け付けませんでした"));
    return {};
}

int CPlugInWriter::SetOption(int value) {
    if (!m_handle) return 0;
    return m_functions->setOpt(m_handle, value, 0);
}
