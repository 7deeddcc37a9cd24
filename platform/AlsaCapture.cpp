// Capture through ALSA: a device thread reads the PCM into the deep ring.
#include "platform/AlsaCapture.h"

#include "platform/CaptureRing.h"
#include "platform/WaveFormats.h"

#include <alsa/asoundlib.h>
#include <cerrno>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <mutex>
#include <thread>

namespace {

constexpr int kDeepBufferSeconds = 10;

// The ALSA library writes its own lines to stderr whenever a configured card or server is
// missing, a dozen at a time while devices are listed. They go nowhere; the first one of the
// current call is kept so that a failure we report can say what ALSA found.
thread_local std::string t_alsaComplaint;

void KeepAlsaComplaint(const char* file, int line, const char* function, int, const char* format, ...) {
    (void)file;
    (void)line;
    (void)function;
    if (!t_alsaComplaint.empty()) return;
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    t_alsaComplaint = text;
}

void KeepJackComplaint(const char* text) {
    if (t_alsaComplaint.empty()) t_alsaComplaint = std::string("JACK: ") + text;
}

// ALSA's JACK PCMs open through libjack, which prints its own lines ("jack server is not running
// or cannot be started" …) whenever they are probed without a JACK server: at every listing. The
// plugin uses the process's one copy of libjack, so loading it first lets its complaints be kept
// as ALSA's are. Without libjack there is no JACK plugin either.
void SilenceJackLibrary() {
    void* jack = dlopen("libjack.so.0", RTLD_LAZY | RTLD_LOCAL);
    if (!jack) return;
    using SetHandler = void (*)(void (*)(const char*));
    for (const char* setter : {"jack_set_error_function", "jack_set_info_function"})
        if (auto set = reinterpret_cast<SetHandler>(dlsym(jack, setter))) set(&KeepJackComplaint);
}

void SilenceAlsaLibrary() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        snd_lib_error_set_handler(&KeepAlsaComplaint);
        SilenceJackLibrary();
    });
}

// " (ALSA: Unknown PCM foo)" for an error text, once per complaint.
std::string TakeAlsaComplaint() {
    std::string said = std::move(t_alsaComplaint);
    t_alsaComplaint.clear();
    return said;
}

struct AlsaPcm {
    std::string name;         // what snd_pcm_open takes
    std::string description;  // first line of the hint's description
};

// "default" first, then the capture-capable PCMs of the hints.
std::vector<AlsaPcm> ListPcms() {
    std::vector<AlsaPcm> pcms{{"default", "Default ALSA device"}};
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0) return pcms;
    for (void** hint = hints; *hint; ++hint) {
        char* name = snd_device_name_get_hint(*hint, "NAME");
        char* description = snd_device_name_get_hint(*hint, "DESC");
        char* ioid = snd_device_name_get_hint(*hint, "IOID");
        const bool capture = !ioid || std::string(ioid) == "Input";
        if (name && capture) {
            std::string text = description ? description : name;
            text = text.substr(0, text.find('\n'));
            if (std::string(name) == "default")
                pcms[0].description = text;
            else
                pcms.push_back({name, text});
        }
        free(name);
        free(description);
        free(ioid);
    }
    snd_device_name_free_hint(hints);
    return pcms;
}

snd_pcm_format_t AlsaFormat(int bits) { return bits == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE; }

uint32_t ProbeFormats(const std::string& name) {
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK) < 0) return 0;
    snd_pcm_hw_params_t* any;
    snd_pcm_hw_params_t* trial;
    snd_pcm_hw_params_alloca(&any);
    snd_pcm_hw_params_alloca(&trial);
    uint32_t mask = 0;
    if (snd_pcm_hw_params_any(pcm, any) >= 0) {
        for (const WaveFormatFlag& f : kWaveFormatFlags) {
            snd_pcm_hw_params_copy(trial, any);
            if (snd_pcm_hw_params_set_access(pcm, trial, SND_PCM_ACCESS_RW_INTERLEAVED) >= 0 &&
                snd_pcm_hw_params_set_format(pcm, trial, AlsaFormat(f.bits)) >= 0 &&
                snd_pcm_hw_params_set_channels(pcm, trial, f.channels) >= 0 &&
                snd_pcm_hw_params_test_rate(pcm, trial, f.sampleRate, 0) >= 0)
                mask |= f.flag;
        }
    }
    snd_pcm_close(pcm);
    return mask;
}

class CAlsaCaptureStream final : public CRingCaptureStream {
public:
    CAlsaCaptureStream(const CaptureFormat& format, CCaptureClient& client)
        : CRingCaptureStream(format, client, kDeepBufferSeconds) {}

    ~CAlsaCaptureStream() override {
        Close();
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
        if (m_device.joinable()) m_device.join();
        if (m_pcm) snd_pcm_close(m_pcm);
    }

    Result<void> Open(const std::string& name) {
        int err = snd_pcm_open(&m_pcm, name.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
        if (err < 0) {
            m_pcm = nullptr;
            const std::string complaint = TakeAlsaComplaint();
            UserText why = complaint.empty() ? UserText("AlsaCapture", "ALSA デバイス「%1」を開けません: %2")
                                             : UserText("AlsaCapture", "ALSA デバイス「%1」を開けません: %2（ALSA: %3）");
            why.Arg(name).Arg(UserText::Verbatim(snd_strerror(err)));
            if (!complaint.empty()) why.Arg(UserText::Verbatim(complaint));
            return SystemFailure(-err, std::move(why));
        }
        snd_pcm_hw_params_t* params;
        snd_pcm_hw_params_alloca(&params);
        unsigned rate = static_cast<unsigned>(Format().sampleRate);
        // As much device-side buffer as it gives, up to two seconds; the ring adds the rest.
        unsigned bufferTime = 2000000;
        unsigned periodTime = 20000;
        if ((err = snd_pcm_hw_params_any(m_pcm, params)) < 0 ||
            (err = snd_pcm_hw_params_set_access(m_pcm, params, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0 ||
            (err = snd_pcm_hw_params_set_format(m_pcm, params, AlsaFormat(Format().bits))) < 0 ||
            (err = snd_pcm_hw_params_set_channels(m_pcm, params, Format().channels)) < 0 ||
            (err = snd_pcm_hw_params_set_rate(m_pcm, params, rate, 0)) < 0 ||
            (err = snd_pcm_hw_params_set_buffer_time_near(m_pcm, params, &bufferTime, nullptr)) < 0 ||
            (err = snd_pcm_hw_params_set_period_time_near(m_pcm, params, &periodTime, nullptr)) < 0 ||
            (err = snd_pcm_hw_params(m_pcm, params)) < 0 ||
            (err = snd_pcm_hw_params_get_period_size(params, &m_periodFrames, nullptr)) < 0) {
            return SystemFailure(-err, UserText("AlsaCapture", "ALSA デバイス「%1」はこの録音形式を受け付けません: %2")
                                           .Arg(name)
                                           .Arg(UserText::Verbatim(snd_strerror(err))));
        }
        m_chunk = std::make_unique<char[]>(m_periodFrames * Format().BlockAlign());
        m_device = std::thread(&CAlsaCaptureStream::RunDevice, this);
        // The PCM "default" is the default input, found again as such.
        SetDeviceName(name == "default" ? std::string() : name);
        Launch();
        return {};
    }

protected:
    bool BeginCapture() override {
        {
            std::lock_guard lock(m_mutex);
            if (m_failed) return false;
            m_ring.Clear();
            m_wanted = true;
        }
        m_wake.notify_one();
        return true;
    }

    void EndCapture() override {
        std::lock_guard lock(m_mutex);
        m_wanted = false;
    }

private:
    // Device thread: the only one that touches the PCM once it is open.
    void RunDevice() {
        bool running = false;
        const long frameBytes = Format().BlockAlign();
        for (;;) {
            {
                std::unique_lock lock(m_mutex);
                if (!m_wanted && running) {
                    snd_pcm_drop(m_pcm);
                    running = false;
                }
                m_wake.wait(lock, [this] { return m_quit || m_wanted; });
                if (m_quit) return;
            }
            int err = 0;
            if (!running) {
                if ((err = snd_pcm_prepare(m_pcm)) >= 0 && (err = snd_pcm_start(m_pcm)) >= 0) running = true;
            } else if ((err = snd_pcm_wait(m_pcm, 100)) >= 0) {
                const snd_pcm_sframes_t frames = snd_pcm_readi(m_pcm, m_chunk.get(), m_periodFrames);
                if (frames > 0)
                    Push(m_chunk.get(), static_cast<size_t>(frames) * frameBytes);
                else if (frames != -EAGAIN)
                    err = static_cast<int>(frames);
            }
            if (err == -EPIPE) ReportOverrun();  // the device's own buffer overflowed
            if (err < 0 && err != -EAGAIN && snd_pcm_recover(m_pcm, err, 1) < 0) {
                {
                    std::lock_guard lock(m_mutex);
                    m_failed = true;
                }
                m_ring.Fail(UserText("AlsaCapture", "ALSA デバイスでエラーが発生しました: %1").Arg(UserText::Verbatim(snd_strerror(err))));
                return;
            }
            if (err < 0) running = false;  // recovered: prepare and start again
        }
    }

    snd_pcm_t* m_pcm = nullptr;
    snd_pcm_uframes_t m_periodFrames = 0;
    std::unique_ptr<char[]> m_chunk;
    std::thread m_device;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_wanted = false;
    bool m_quit = false;
    bool m_failed = false;
};

}  // namespace

CAlsaCaptureBackend::CAlsaCaptureBackend() { SilenceAlsaLibrary(); }

std::vector<CaptureDeviceInfo> CAlsaCaptureBackend::ListDevices() {
    const std::vector<AlsaPcm> pcms = ListPcms();
    std::vector<CaptureDeviceInfo> devices;
    for (size_t i = 0; i < pcms.size(); ++i)
        devices.push_back({static_cast<int>(i) - 1, pcms[i].description, ProbeFormats(pcms[i].name)});
    return devices;
}

Result<std::unique_ptr<CCaptureStream>> CAlsaCaptureBackend::OpenStream(int id, const std::string& name,
                                                                        const CaptureFormat& format,
                                                                        CCaptureClient& client) {
    std::string pcm = name;
    if (pcm.empty()) {
        const std::vector<AlsaPcm> pcms = ListPcms();
        if (id < -1 || id + 1 >= static_cast<int>(pcms.size()))
            return NoCaptureDevice(id);
        pcm = pcms[id + 1].name;
    }
    auto stream = std::make_unique<CAlsaCaptureStream>(format, client);
    TakeAlsaComplaint();  // what listing found is not about this device
    if (Result<void> opened = stream->Open(pcm); !opened) return std::move(opened).error();
    return std::unique_ptr<CCaptureStream>(std::move(stream));
}
