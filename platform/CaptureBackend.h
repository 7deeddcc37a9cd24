// CCaptureBackend: a family of capture devices (PulseAudio, ALSA, the signal source) and the
// choice among them.
#pragma once

#include "foundation/Result.h"
#include "platform/CaptureStream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct CaptureDeviceInfo {
    int id = -1;           // -1 is the default input; 0 … n-1 the devices in the backend's order
    std::string name;      // what the user sees
    uint32_t formats = 0;  // WAVE_FORMAT_* flags (platform/WaveFormats.h) the device accepts
};

// Watching a backend's devices; destroying it stops the watching.
class CDeviceWatch {
public:
    virtual ~CDeviceWatch() = default;
};

class CCaptureBackend {
public:
    virtual ~CCaptureBackend() = default;
    // "pulse", "alsa" or "signal".
    virtual const char* Name() const = 0;
    // The default input (id -1) first, then every device; ids stay valid for Open as long as
    // the set of devices does not change.
    virtual std::vector<CaptureDeviceInfo> ListDevices() = 0;
    // Calls `changed` on a thread of the backend's whenever a device comes or goes, until the
    // watch is destroyed; null when the backend cannot tell.
    virtual std::unique_ptr<CDeviceWatch> WatchDevices(std::function<void()> changed);
    // Opens device `id` in `format`, not yet capturing.
    Result<std::unique_ptr<CCaptureStream>> Open(int id, const CaptureFormat& format, CCaptureClient& client);
    // Opens the device an earlier stream had, by its CCaptureStream::DeviceName (empty: the
    // default input), whatever number it has now.
    Result<std::unique_ptr<CCaptureStream>> OpenNamed(const std::string& name, const CaptureFormat& format,
                                                      CCaptureClient& client);

protected:
    // Open with a format that CaptureFormat::IsSupported; a `name` that is not empty chooses the
    // device instead of `id`.
    virtual Result<std::unique_ptr<CCaptureStream>> OpenStream(int id, const std::string& name,
                                                               const CaptureFormat& format, CCaptureClient& client) = 0;
};

// Why device `id` of a backend's list cannot be opened: there is none by that number.
Failure NoCaptureDevice(int id);

// `choice` is "pulse", "alsa", "signal:<spec>" (platform/SignalGenerator.h) or empty for
// automatic: PulseAudio when a server answers, otherwise ALSA. The signal source is never
// chosen automatically. An unknown choice or a bad signal spec fails.
Result<std::unique_ptr<CCaptureBackend>> CreateCaptureBackend(const std::string& choice);
