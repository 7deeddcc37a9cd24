// The plug-in writer: the writer interface turned into calls of one loaded encoder plug-in.
#include "audiofile/PlugInWriter.h"

namespace {

// The plug-in's answers carry no reason, and its file is its own: no errno reaches us.
Failure PlugInRefused(const char* what) { return KindFailure(FailureKind::kCodec, std::string("the encoder plug-in ") + what); }

Failure NotOpen() { return KindFailure(FailureKind::kMissing, "no encoder plug-in track is open"); }

}  // namespace

CPlugInWriter::~CPlugInWriter() { static_cast<void>(CPlugInWriter::Close()); }

Result<void> CPlugInWriter::Open(const char* name) {
    if (IsOpen()) static_cast<void>(Close());
    m_functions = m_slot > 0 ? EncoderPlugInFunctions(m_slot) : nullptr;
    if (!m_functions) return KindFailure(FailureKind::kMissing, "no encoder plug-in is loaded");
    if (!name) return KindFailure(FailureKind::kBadValue, "no file name");
    m_handle = m_functions->open(name);
    if (!m_handle) return PlugInRefused("did not open the file");
    return CAudioWriter::Open(name);
}

Result<void> CPlugInWriter::AttachFile(std::unique_ptr<CFileStream>) {
    return KindFailure(FailureKind::kBadValue, "an encoder plug-in writes a file of its own");
}

Result<void> CPlugInWriter::OpenFile(const char*) {
    return KindFailure(FailureKind::kBadValue, "an encoder plug-in writes a file of its own");
}

Result<void> CPlugInWriter::SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                                      int minBitrate) {
    static_cast<void>(CAudioWriter::SetFormat(bitrate, sampleRate, channels, bitsPerSample, maxBitrate, minBitrate));
    if (!m_handle) return NotOpen();
    if (!m_functions->output(m_handle, bitrate, sampleRate, channels, bitsPerSample, maxBitrate, minBitrate))
        return PlugInRefused("refused the format");
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
    if (!m_functions->start(m_handle)) return PlugInRefused("did not start");
    return {};
}

Result<void> CPlugInWriter::WriteBlock(const void* data, int length) {
    if (!m_handle) return NotOpen();
    if (m_functions->writeDevice(m_handle, data, length)) return {};
    m_blockRefused = true;
    return PlugInRefused("refused the audio");
}

Result<void> CPlugInWriter::EndStream() {
    // The plug-in finishes its file even when the last block could not be written.
    Result<void> flushed = CAudioWriter::EndStream();
    m_finished = m_handle && m_functions->end(m_handle);
    if (!flushed) return flushed;
    if (!m_finished) return PlugInRefused("did not finish the file");
    // Audio the plug-in refused earlier (a full disk) is missing from the file it finished.
    if (m_blockRefused) return PlugInRefused("refused audio of this track");
    return {};
}

int CPlugInWriter::SetOption(int value) {
    if (!m_handle) return 0;
    return m_functions->setOpt(m_handle, value, 0);
}
