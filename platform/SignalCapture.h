// CSignalCaptureBackend: the built-in device that plays a generated signal, for tests, benchmarks
// and demonstrations. It is used only when asked for by name ("signal:<spec>").
#pragma once

#include "platform/CaptureBackend.h"
#include "platform/SignalGenerator.h"

#include <chrono>
#include <mutex>

// Where a spec's drop stands, shared by the streams one backend opens in turn.
struct SignalDrop {
    std::mutex mutex;
    bool dropped = false;  // the input has failed
    bool over = false;     // it has come back; streams go on from the end of the gap
    std::chrono::steady_clock::time_point droppedAt;
};

class CSignalCaptureBackend : public CCaptureBackend {
public:
    explicit CSignalCaptureBackend(SignalSpec spec)
        : m_spec(std::move(spec)), m_drop(std::make_shared<SignalDrop>()) {}
    const char* Name() const override { return "signal"; }
    // One device, the signal, as the default input. Every id opens it, so stored settings that
    // name a real device still record the signal.
    std::vector<CaptureDeviceInfo> ListDevices() override;

protected:
    Result<std::unique_ptr<CCaptureStream>> OpenStream(int id, const std::string& name, const CaptureFormat& format,
                                                       CCaptureClient& client) override;

private:
    SignalSpec m_spec;
    std::shared_ptr<SignalDrop> m_drop;
};
