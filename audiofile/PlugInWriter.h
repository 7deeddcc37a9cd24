// CPlugInWriter: a track writer whose encoding and file output belong to an encoder plug-in.
#pragma once

#include <cstdint>

#include "audiofile/AudioWriter.h"
#include "audiofile/EncoderPlugIn.h"

class CPlugInWriter : public CAudioWriter {
public:
    // `slot` is a slot of the plug-in table, 0 for none (Open then fails).
    CPlugInWriter(OutputFormat kind, int slot) : CAudioWriter(kind), m_slot(slot) {}
    ~CPlugInWriter() override;

    // The plug-in opens (and writes) the file itself.
    Result<void> Open(const char* name) override;
    // Both refused: a plug-in writes its own file. OpenFile does not create one on the way.
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    Result<void> OpenFile(const char* name) override;
    // Also hands the format to the plug-in; its answer is the result.
    Result<void> SetFormat(int bitrate, int sampleRate, int channels, int bitsPerSample, int maxBitrate,
                           int minBitrate) override;
    Result<void> Close() override;
    Result<void> Begin() override;
    // The base end of the stream (the last block goes to the plug-in), then the plug-in's End,
    // which is called also when that block failed; a failure when either failed or the plug-in
    // refused any audio before.
    Result<void> EndStream() override;
    // The plug-in's own option; its answer is returned unchanged.
    int SetOption(int value);

    int Slot() const { return m_slot; }

protected:
    Result<void> WriteBlock(const void* data, int length) override;

    int m_slot;
    // The plug-in's End succeeded: its file is complete.
    bool m_finished = false;

private:
    const PlugInFunctions* m_functions = nullptr;
    bool m_blockRefused = false;  // the plug-in refused audio since Begin
    int32_t m_handle = 0;
};
