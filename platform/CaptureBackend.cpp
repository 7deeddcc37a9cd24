// Choosing the capture backend.
#include "platform/CaptureBackend.h"

#include "platform/AlsaCapture.h"
#include "platform/PulseCapture.h"
#include "platform/SignalCapture.h"

std::unique_ptr<CCaptureStream> CCaptureBackend::Open(int id, const CaptureFormat& format, CCaptureClient& client,
                                                      std::string& error) {
    if (!format.IsSupported()) {
        error = "unsupported capture format " + format.Text();
        return nullptr;
    }
    return OpenStream(id, {}, format, client, error);
}

std::unique_ptr<CCaptureStream> CCaptureBackend::OpenNamed(const std::string& name, const CaptureFormat& format,
                                                           CCaptureClient& client, std::string& error) {
    if (name.empty()) return Open(-1, format, client, error);
    if (!format.IsSupported()) {
        error = "unsupported capture format " + format.Text();
        return nullptr;
    }
    return OpenStream(-1, name, format, client, error);
}

std::unique_ptr<CDeviceWatch> CCaptureBackend::WatchDevices(std::function<void()>) { return nullptr; }

std::unique_ptr<CCaptureBackend> CreateCaptureBackend(const std::string& choice, std::string& error) {
    if (choice == "pulse") return std::make_unique<CPulseCaptureBackend>();
    if (choice == "alsa") return std::make_unique<CAlsaCaptureBackend>();
    if (choice.rfind("signal:", 0) == 0) {
        SignalSpec spec;
        if (!ParseSignalSpec(choice.substr(7), spec, error)) return nullptr;
        return std::make_unique<CSignalCaptureBackend>(spec);
    }
    if (choice.empty() || choice == "auto") {
        if (PulseServerAnswers()) return std::make_unique<CPulseCaptureBackend>();
        return std::make_unique<CAlsaCaptureBackend>();
    }
    error = "unknown capture backend \"" + choice + "\" (use pulse, alsa or signal:<spec>)";
    return nullptr;
}
