// CPulseCaptureBackend: capture through a PulseAudio (or PipeWire) sound server; every source,
// monitors of outputs included, is a device.
#pragma once

#include "platform/CaptureBackend.h"

class CPulseCaptureBackend : public CCaptureBackend {
public:
    const char* Name() const override { return "pulse"; }
    // Id -1 is the server's default source; then the sources in the server's order, each named
    // by its description. The server converts any rate, so every format is offered.
    std::vector<CaptureDeviceInfo> ListDevices() override;
    // Sources added or removed (a USB microphone plugged in or out), told from the client
    // library's main-loop thread.
    std::unique_ptr<CDeviceWatch> WatchDevices(std::function<void()> changed) override;

protected:
    // The default source follows the server's default; a chosen source is never silently
    // replaced: when it disappears the stream fails and the client is told. A stream's
    // DeviceName is its source's name, which a restarted server keeps.
    Result<std::unique_ptr<CCaptureStream>> OpenStream(int id, const std::string& name, const CaptureFormat& format,
                                                       CCaptureClient& client) override;
};

// True when a PulseAudio server accepts a connection (never starts one).
bool PulseServerAnswers();
