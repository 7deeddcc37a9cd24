// Capture through the PulseAudio client library's threaded main loop.
#include "platform/PulseCapture.h"

#include "platform/CaptureRing.h"
#include "platform/WaveFormats.h"

#include <chrono>
#include <functional>
#include <pulse/pulseaudio.h>
#include <thread>

namespace {

constexpr int kDeepBufferSeconds = 10;
constexpr auto kServerTimeout = std::chrono::seconds(10);

// One connection to the server with its own main-loop thread.
class PulseConnection {
public:
    ~PulseConnection() {
        if (!m_loop) return;
        pa_threaded_mainloop_lock(m_loop);
        if (m_context) {
            pa_context_set_state_callback(m_context, nullptr, nullptr);
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
        }
        pa_threaded_mainloop_unlock(m_loop);
        pa_threaded_mainloop_stop(m_loop);
        pa_threaded_mainloop_free(m_loop);
    }

    Result<void> Connect() {
        m_loop = pa_threaded_mainloop_new();
        if (!m_loop || pa_threaded_mainloop_start(m_loop) < 0)
            return KindFailure(FailureKind::kSystem, UserText("PulseCapture", "PulseAudio のメインループを開始できません"));
        Lock lock(*this);
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Velsona");
        if (!m_context || pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return KindFailure(FailureKind::kMissing, UserText("PulseCapture", "PulseAudio サーバーが応答しません"));
        const bool ready = WaitFor([this] {
            const pa_context_state_t state = pa_context_get_state(m_context);
            return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
        });
        if (!ready || pa_context_get_state(m_context) != PA_CONTEXT_READY)
            return KindFailure(FailureKind::kMissing, UserText("PulseCapture", "PulseAudio サーバーが応答しません: %1")
                                                          .Arg(UserText::Verbatim(pa_strerror(pa_context_errno(m_context)))));
        return {};
    }

    // Waits, with the loop locked, until `done` holds or the server takes too long. Polling
    // keeps the wait bounded even when the server never answers; it runs only while opening.
    bool WaitFor(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + kServerTimeout;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            pa_threaded_mainloop_unlock(m_loop);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            pa_threaded_mainloop_lock(m_loop);
        }
        return true;
    }

    // Runs an operation to its end; false when it was cancelled or timed out.
    bool Complete(pa_operation* operation) {
        if (!operation) return false;
        const bool done = WaitFor([operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; });
        const bool ok = done && pa_operation_get_state(operation) == PA_OPERATION_DONE;
        if (!done) pa_operation_cancel(operation);
        pa_operation_unref(operation);
        return ok;
    }

    struct Lock {
        explicit Lock(PulseConnection& c) : loop(c.m_loop) { pa_threaded_mainloop_lock(loop); }
        ~Lock() { pa_threaded_mainloop_unlock(loop); }
        pa_threaded_mainloop* loop;
    };

    pa_threaded_mainloop* Loop() const { return m_loop; }
    pa_context* Context() const { return m_context; }

private:
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
};

struct PulseSource {
    std::string name;
    std::string description;
};

// With the loop locked: every source in the server's order, and the default source's name.
bool ListSources(PulseConnection& connection, std::vector<PulseSource>& sources, std::string& defaultName) {
    auto onSource = [](pa_context*, const pa_source_info* info, int eol, void* user) {
        if (eol == 0 && info)
            static_cast<std::vector<PulseSource>*>(user)->push_back(
                {info->name, info->description ? info->description : info->name});
    };
    auto onServer = [](pa_context*, const pa_server_info* info, void* user) {
        if (info && info->default_source_name) *static_cast<std::string*>(user) = info->default_source_name;
    };
    pa_context* context = connection.Context();
    return connection.Complete(pa_context_get_source_info_list(context, onSource, &sources)) &&
           connection.Complete(pa_context_get_server_info(context, onServer, &defaultName));
}

class CPulseCaptureStream final : public CRingCaptureStream {
public:
    CPulseCaptureStream(const CaptureFormat& format, CCaptureClient& client)
        : CRingCaptureStream(format, client, kDeepBufferSeconds) {}

    ~CPulseCaptureStream() override {
        Close();
        if (m_stream) {
            PulseConnection::Lock lock(m_connection);
            pa_stream_set_state_callback(m_stream, nullptr, nullptr);
            pa_stream_set_read_callback(m_stream, nullptr, nullptr);
            pa_stream_disconnect(m_stream);
            pa_stream_unref(m_stream);
        }
    }

    Result<void> Open(int id, const std::string& name) {
        if (Result<void> connected = m_connection.Connect(); !connected) return connected;
        PulseConnection::Lock lock(m_connection);
        std::string sourceName = name;
        const bool chosen = id >= 0 || !name.empty();
        if (sourceName.empty() && id >= 0) {
            std::vector<PulseSource> sources;
            std::string defaultName;
            if (!ListSources(m_connection, sources, defaultName))
                return KindFailure(FailureKind::kSystem, UserText("PulseCapture", "PulseAudio の入力デバイスを一覧できません"));
            if (static_cast<size_t>(id) >= sources.size())
                return NoCaptureDevice(id);
            sourceName = sources[id].name;
        }
        const pa_sample_spec spec{Format().bits == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE,
                                  static_cast<uint32_t>(Format().sampleRate), static_cast<uint8_t>(Format().channels)};
        m_stream = pa_stream_new(m_connection.Context(), "Velsona recording", &spec, nullptr);
        if (!m_stream)
            return KindFailure(FailureKind::kSystem,
                               UserText("PulseCapture", "PulseAudio のストリームを作成できません: %1")
                                   .Arg(UserText::Verbatim(pa_strerror(pa_context_errno(m_connection.Context())))));
        pa_stream_set_state_callback(m_stream, &OnStreamState, this);
        pa_stream_set_read_callback(m_stream, &OnReadable, this);
        pa_context_set_state_callback(m_connection.Context(), &OnContextState, this);
        // Small fragments keep the ring filling smoothly; the ring itself is the deep buffer.
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(20000, &spec));
        int flags = PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY;
        if (chosen) flags |= PA_STREAM_DONT_MOVE;
        if (pa_stream_connect_record(m_stream, chosen ? sourceName.c_str() : nullptr, &attr,
                                     static_cast<pa_stream_flags_t>(flags)) < 0 ||
            !m_connection.WaitFor([this] { return pa_stream_get_state(m_stream) != PA_STREAM_CREATING; }) ||
            pa_stream_get_state(m_stream) != PA_STREAM_READY) {
            UserText why = chosen ? UserText("PulseCapture", "PulseAudio の入力デバイス「%1」から録音できません: %2")
                                  : UserText("PulseCapture", "PulseAudio の既定の入力デバイスから録音できません: %1");
            if (chosen) why.Arg(sourceName);
            why.Arg(UserText::Verbatim(pa_strerror(pa_context_errno(m_connection.Context()))));
            return KindFailure(FailureKind::kMissing, std::move(why));
        }
        SetDeviceName(chosen ? sourceName : std::string());
        Launch();
        return {};
    }

protected:
    bool BeginCapture() override {
        PulseConnection::Lock lock(m_connection);
        if (pa_stream_get_state(m_stream) != PA_STREAM_READY) return false;
        m_ring.Clear();
        m_accepting = true;
        if (pa_operation* op = pa_stream_cork(m_stream, 0, nullptr, nullptr)) pa_operation_unref(op);
        return true;
    }

    void EndCapture() override {
        PulseConnection::Lock lock(m_connection);
        m_accepting = false;
        if (pa_operation* op = pa_stream_cork(m_stream, 1, nullptr, nullptr)) pa_operation_unref(op);
    }

private:
    // Main-loop thread: move everything readable into the ring; holes become silence.
    static void OnReadable(pa_stream* stream, size_t, void* user) {
        auto* self = static_cast<CPulseCaptureStream*>(user);
        while (pa_stream_readable_size(stream) > 0) {
            const void* data = nullptr;
            size_t bytes = 0;
            if (pa_stream_peek(stream, &data, &bytes) < 0) {
                self->m_ring.Fail(UserText("PulseCapture", "PulseAudio のストリームから読み取れませんでした"));
                return;
            }
            if (bytes == 0) return;
            if (self->m_accepting) self->Push(data, bytes);
            pa_stream_drop(stream);
        }
    }

    static void OnStreamState(pa_stream* stream, void* user) {
        auto* self = static_cast<CPulseCaptureStream*>(user);
        if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
            self->m_ring.Fail(UserText("PulseCapture", "PulseAudio の入力デバイスがなくなりました: %1")
                                  .Arg(UserText::Verbatim(pa_strerror(pa_context_errno(pa_stream_get_context(stream))))));
    }

    static void OnContextState(pa_context* context, void* user) {
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context)))
            static_cast<CPulseCaptureStream*>(user)->m_ring.Fail(
                UserText("PulseCapture", "PulseAudio サーバーとの接続が切れました"));
    }

    PulseConnection m_connection;
    pa_stream* m_stream = nullptr;
    bool m_accepting = false;  // guarded by the main-loop lock
};

class CPulseDeviceWatch final : public CDeviceWatch {
public:
    explicit CPulseDeviceWatch(std::function<void()> changed) : m_changed(std::move(changed)) {}
    ~CPulseDeviceWatch() override {
        if (!m_connection.Loop() || !m_connection.Context()) return;
        PulseConnection::Lock lock(m_connection);
        pa_context_set_subscribe_callback(m_connection.Context(), nullptr, nullptr);
    }

    bool Start() {
        if (!m_connection.Connect()) return false;
        PulseConnection::Lock lock(m_connection);
        pa_context_set_subscribe_callback(m_connection.Context(), &OnEvent, this);
        return m_connection.Complete(pa_context_subscribe(m_connection.Context(), PA_SUBSCRIPTION_MASK_SOURCE,
                                                          nullptr, nullptr));
    }

private:
    static void OnEvent(pa_context*, pa_subscription_event_type_t type, uint32_t, void* user) {
        const int kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
        if (kind == PA_SUBSCRIPTION_EVENT_NEW || kind == PA_SUBSCRIPTION_EVENT_REMOVE)
            static_cast<CPulseDeviceWatch*>(user)->m_changed();
    }

    PulseConnection m_connection;
    std::function<void()> m_changed;
};

}  // namespace

std::unique_ptr<CDeviceWatch> CPulseCaptureBackend::WatchDevices(std::function<void()> changed) {
    auto watch = std::make_unique<CPulseDeviceWatch>(std::move(changed));
    if (!watch->Start()) return nullptr;
    return watch;
}

bool PulseServerAnswers() {
    PulseConnection connection;
    return connection.Connect().has_value();
}

std::vector<CaptureDeviceInfo> CPulseCaptureBackend::ListDevices() {
    PulseConnection connection;
    std::vector<PulseSource> sources;
    std::string defaultName;
    if (!connection.Connect()) return {};
    {
        PulseConnection::Lock lock(connection);
        if (!ListSources(connection, sources, defaultName)) return {};
    }
    std::vector<CaptureDeviceInfo> devices{{-1, "Default source", kAllWaveFormats}};
    for (size_t i = 0; i < sources.size(); ++i) {
        if (sources[i].name == defaultName) devices[0].name = sources[i].description;
        devices.push_back({static_cast<int>(i), sources[i].description, kAllWaveFormats});
    }
    return devices;
}

Result<std::unique_ptr<CCaptureStream>> CPulseCaptureBackend::OpenStream(int id, const std::string& name,
                                                                         const CaptureFormat& format,
                                                                         CCaptureClient& client) {
    auto stream = std::make_unique<CPulseCaptureStream>(format, client);
    if (Result<void> opened = stream->Open(id, name); !opened) return std::move(opened).error();
    return std::unique_ptr<CCaptureStream>(std::move(stream));
}
