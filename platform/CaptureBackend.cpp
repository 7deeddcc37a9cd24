// Choosing the capture backend.
#include "platform/CaptureBackend.h"

#include "platform/AlsaCapture.h"
#include "platform/PulseCapture.h"
#include "platform/SignalCapture.h"

Result<std::unique_ptr<CCaptureStream>> CCaptureBackend::Open(int id, const CaptureFormat& format,
                                                              CCaptureClient& client) {
    if (!format.IsSupported()) return UnsupportedCaptureFormat(format);
    return OpenStream(id, {}, format, client);
}

Result<std::unique_ptr<CCaptureStream>> CCaptureBackend::OpenNamed(const std::string& name,
                                                                   const CaptureFormat& format,
                                                                   CCaptureClient& client) {
    if (name.empty()) return Open(-1, format, client);
    if (!format.IsSupported()) return UnsupportedCaptureFormat(format);
    return OpenStream(-1, name, format, client);
}

Failure NoCaptureDevice(int id) {
    return KindFailure(FailureKind::kMissing, UserText("CaptureBackend", "入力デバイス %1 はありません").Arg(id));
}

std::unique_ptr<CDeviceWatch> CCaptureBackend::WatchDevices(std::function<void()>) { return nullptr; }

Result<std::unique_ptr<CCaptureBackend>> CreateCaptureBackend(const std::string& choice) {
    using Backend = std::unique_ptr<CCaptureBackend>;
    if (choice == "pulse") return Backend(std::make_unique<CPulseCaptureBackend>());
    if (choice == "alsa") return Backend(std::make_unique<CAlsaCaptureBackend>());
    if (choice.rfind("signal:", 0) == 0) {
        Result<SignalSpec> spec = ParseSignalSpec(choice.substr(7));
        if (!spec) return std::move(spec).error();
        return Backend(std::make_unique<CSignalCaptureBackend>(*std::move(spec)));
    }
    if (choice.empty() || choice == "auto") {
        if (PulseServerAnswers()) return Backend(std::make_unique<CPulseCaptureBackend>());
        return Backend(std::make_unique<CAlsaCaptureBackend>());
    }
    return KindFailure(FailureKind::kBadValue,
                       UserText("CaptureBackend", "録音方式「%1」はありません（pulse、alsa、signal:<仕様> のいずれか）")
                           .Arg(choice));
}
