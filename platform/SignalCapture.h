// CSignalCaptureBackend: the built-in device that plays a generated signal, for tests, benchmarks
// and demonstrations. It is used only when asked for by name ("signal:<spec>").
#pragma once

#include "platform/CaptureBackend.h"
#include "platform/SignalGenerator.h"

class CSignalCaptureBackend : public CCaptureBackend {
public:
    explicit CSignalCaptureBackend(SignalSpec spec) : m_spec(std::move(spec)) {}
    const char* Name() const override { return "signal"; }
    // One device, the signal, as the default input. Every id opens it, so stored settings that
    // name a real device still record the signal.
    std::vector<CaptureDeviceInfo> ListDevices() override;

protected:
    std::unique_ptr<CCaptureStream> OpenStream(int id, const CaptureFormat& format, CCaptureClient& client,
                                               std::string& error) override;

private:
    SignalSpec m_spec;
};
