// The plug-in writer: the writer interface turned into calls of one loaded encoder plug-in.
#include "audiofile/PlugInWriter.h"

CPlugInWriter::~CPlugInWriter() { CPlugInWriter::Close(); }

int CPlugInWriter::Open(const char* name) {
    if (IsOpen()) Close();
    m_functions = m_slot > 0 ? EncoderPlugInFunctions(m_slot) : nullptr;
    if (!m_functions || !name) return 0;
    m_handle = m_functions->open(name);
    if (!m_handle) return 0;
    return CAudioWriter::Open(name);
}

int CPlugInWriter::AttachFile(std::unique_ptr<CFileStream>) { return 0; }

int CPlugInWriter::OpenFile(const char*) { return 0; }

int CPlugInWriter::SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                             int minBitrate) {
    CAudioWriter::SetFormat(bitrate, sampleRate, channels, bitsPerSample, maxBitrate, minBitrate);
    if (!m_handle) return 0;
    return m_functions->output(m_handle, bitrate, sampleRate, channels, bitsPerSample, maxBitrate, minBitrate);
}

int CPlugInWriter::Close() {
    if (m_functions && m_handle) {
        m_functions->close(m_handle);
        m_handle = 0;
    }
    return CAudioWriter::Close();
}

int CPlugInWriter::Begin() {
    CAudioWriter::Begin();
    m_blockRefused = false;
    if (!m_handle) return 0;
    return m_functions->start(m_handle);
}

int CPlugInWriter::WriteBlock(const void* data, int length) {
    if (!m_handle) return 0;
    const int written = m_functions->writeDevice(m_handle, data, length);
    if (!written) m_blockRefused = true;
    return written;
}

int CPlugInWriter::EndStream() {
    // The plug-in finishes its file even when the last block could not be written.
    const int flushed = CAudioWriter::EndStream();
    m_finished = m_handle && m_functions->end(m_handle);
    // Audio the plug-in refused earlier (a full disk) is missing from the file it finished.
    return flushed && m_finished && !m_blockRefused ? 1 : 0;
}

int CPlugInWriter::SetOption(int value) {
    if (!m_handle) return 0;
    return m_functions->setOpt(m_handle, value, 0);
}
