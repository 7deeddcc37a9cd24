// CAlsaCaptureBackend: capture straight from ALSA, for machines without a sound server.
#pragma once

#include "platform/CaptureBackend.h"

class CAlsaCaptureBackend : public CCaptureBackend {
public:
    // Keeps the ALSA library's own error lines off stderr for the rest of the process; what
    // it said shows in the reasons this backend gives.
    CAlsaCaptureBackend();
    const char* Name() const override { return "alsa"; }
    // Id -1 is the PCM "default"; then every capture-capable PCM the ALSA hints name, in their
    // order. Formats are probed by opening each device; a busy or broken device lists none.
    std::vector<CaptureDeviceInfo> ListDevices() override;

protected:
    Result<std::unique_ptr<CCaptureStream>> OpenStream(int id, const std::string& name, const CaptureFormat& format,
                                                       CCaptureClient& client) override;
};
