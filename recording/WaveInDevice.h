// CWaveInDevice: one capture device with its five circulating buffers, handing every filled
// buffer to one data handler on the device's audio thread.
//
// Use, from the owner's thread:
//   CWaveInDevice device;
//   device.SetDataHandler(&Handle, owner);   // runs on the audio thread, under the device lock
//   device.SetEventHandler(&OnEvent, owner); // optional: overrun, failure, end of the source
//   device.SetFormat(48000, 2, 16);
//   device.bufferDuration = 100;             // milliseconds
//   Result<void> opened = device.Open(-1);     // then device.Start(), likewise
//   if (!opened) … report opened.error(), destroy the device
//   … buffers flow …
//   device.Stop();    // returns once no handler runs; nothing is delivered afterwards
//   device.Close();   // releases the device and the buffers
//
// Rules for the handlers: they run with the device lock held, so they must never wait for the
// owner's thread (which may be waiting in Stop or Close for that lock) and must never call Close
// or destroy the device. To stop after a failure, post to the owner's thread, which then calls
// Stop and Close: every buffer captured before the failure has been delivered by then.
#pragma once

#include "foundation/Result.h"
#include "platform/CaptureBackend.h"
#include "recording/CriticalSectionLock.h"
#include "recording/PcmFormat.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class CWaveInDevice : private CCaptureClient {
public:
    static constexpr int kBufferCount = 5;

    // Non-zero: the buffer goes back to the device; zero: capture stops after this buffer.
    using DataHandler = int (*)(const char* data, uint32_t bytes, void* user);
    // Overrun (audio was lost, capture goes on), Failed (device failed or vanished) or Ended (a
    // finite source ran out); after Failed and Ended no more buffers come.
    using EventHandler = void (*)(CaptureEvent event, const UserText& detail, void* user);

    CWaveInDevice();
    // Closes the device.
    virtual ~CWaveInDevice();
    CWaveInDevice(const CWaveInDevice&) = delete;
    CWaveInDevice& operator=(const CWaveInDevice&) = delete;

    // Takes effect at the next Open.
    void SetFormat(int sampleRate, int channels, int bits);
    const PcmFormat& Format() const { return m_format; }
    void SetDataHandler(DataHandler handler, void* user);
    void SetEventHandler(EventHandler handler, void* user);
    // The backend to open devices with. Without one, each Open chooses PulseAudio when a server
    // answers, else ALSA; only the front ends let the user choose (app/control/CaptureChoice.h).
    void SetBackend(std::shared_ptr<CCaptureBackend> backend);

    // Milliseconds of audio per buffer; set before Open.
    int bufferDuration = 250;

    // Opens device `deviceId` (-1: the default input) in the current format with five buffers of
    // BufferLength() bytes, not yet capturing; an open device is closed first. A failure leaves
    // the device closed, the failure saying why.
    Result<void> Open(int deviceId);
    // Opens, as Open does, the device an earlier Open had, by its DeviceName (empty: the
    // default input), whatever number it has now.
    Result<void> OpenNamed(const std::string& deviceName);
    Result<void> Start();
    void Stop();
    bool IsOpen() const;
    bool IsRunning() const { return m_running.load(); }
    // False when it was not open.
    bool Close();

    // bufferDuration × bytes per second ÷ 1000, cut to whole sample frames; 0 before Open.
    uint32_t BufferLength() const { return m_bufferLength; }
    // The id of the last successful Open, -1 before any (and after OpenNamed).
    int DeviceId() const { return m_deviceId; }
    // The name that finds the device of the last successful open again (CCaptureStream::DeviceName).
    const std::string& DeviceName() const { return m_deviceName; }
    uint64_t OverrunCount() const { return m_overruns.load(); }
    bool HasFailed() const { return m_failed.load(); }

protected:
    // Hands the buffer to the data handler; true without one.
    virtual bool OnData(const char* data, uint32_t bytes);
    // Hands the event to the event handler.
    virtual void OnEvent(CaptureEvent event, const UserText& detail);

private:
    void OnBufferDone(CaptureBuffer& buffer) override;
    void OnCaptureEvent(CaptureEvent event, const UserText& detail) override;
    // By the name when there is one, else by the id.
    Result<void> OpenDevice(int deviceId, const std::string* deviceName);

    CCriticalSectionLock m_lock;
    DataHandler m_dataHandler = nullptr;
    void* m_dataUser = nullptr;
    EventHandler m_eventHandler = nullptr;
    void* m_eventUser = nullptr;
    std::atomic<bool> m_running{false};
    PcmFormat m_format;
    std::shared_ptr<CCaptureBackend> m_backend;
    std::unique_ptr<CCaptureStream> m_stream;  // the open device; null while closed
    int m_deviceId = -1;
    std::string m_deviceName;
    uint32_t m_bufferLength = 0;
    std::unique_ptr<CaptureBuffer[]> m_headers;
    std::unique_ptr<char[]> m_memory;  // all five buffers, one after another
    std::atomic<uint64_t> m_overruns{0};
    std::atomic<bool> m_failed{false};
};
