// Prints the CPU time the capture layer spends per hour of captured audio: an hour of the signal
// source, unpaced, through CWaveInDevice, minus what generating that signal alone costs.
#include "platform/SignalCapture.h"
#include "recording/WaveInDevice.h"
#include "bench/CpuTime.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>

namespace {

struct Run {
    std::mutex mutex;
    std::condition_variable done;
    bool ended = false;
    uint64_t bytes = 0;
    unsigned checksum = 0;  // touches every buffer, as a real handler would
};

int CountBuffer(const char* data, uint32_t bytes, void* user) {
    auto* run = static_cast<Run*>(user);
    run->bytes += bytes;
    run->checksum += static_cast<unsigned char>(data[0]) + static_cast<unsigned char>(data[bytes - 1]);
    return 1;
}

void OnEvent(CaptureEvent event, const UserText&, void* user) {
    auto* run = static_cast<Run*>(user);
    if (event == CaptureEvent::Overrun) return;
    std::lock_guard lock(run->mutex);
    run->ended = true;
    run->done.notify_all();
}

double GeneratorSeconds(const SignalSpec& spec, const PcmFormat& format, uint32_t bufferLength) {
    CSignalGenerator generator;
    if (!generator.Open(spec, format.sampleRate, format.channels, format.bitsPerSample)) return -1;
    auto buffer = std::make_unique<char[]>(bufferLength);
    const double start = ProcessCpuSeconds();
    while (generator.Generate(buffer.get(), bufferLength / format.BlockSize()) > 0) {
    }
    return ProcessCpuSeconds() - start;
}

void Measure(const char* label, const char* specText, const PcmFormat& format, int durationMs) {
    const Result<SignalSpec> parsed = ParseSignalSpec(specText);
    if (!parsed) {
        std::printf("%s: %s\n", label, parsed.error().message.SourceText().c_str());
        return;
    }
    const SignalSpec& spec = *parsed;
    Run run;
    CWaveInDevice device;
    device.SetBackend(std::make_shared<CSignalCaptureBackend>(spec));
    device.SetDataHandler(&CountBuffer, &run);
    device.SetEventHandler(&OnEvent, &run);
    device.SetFormat(format.sampleRate, format.channels, format.bitsPerSample);
    device.bufferDuration = durationMs;
    const double cpuStart = ProcessCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    Result<void> running = device.Open(-1);
    if (running) running = device.Start();
    if (!running) {
        std::printf("%s: %s\n", label, running.error().message.SourceText().c_str());
        return;
    }
    {
        std::unique_lock lock(run.mutex);
        run.done.wait(lock, [&] { return run.ended; });
    }
    device.Stop();
    device.Close();
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double audioHours = static_cast<double>(run.bytes) / format.BytesPerSecond() / 3600.0;
    const double generator = GeneratorSeconds(spec, format, device.BufferLength());
    std::printf("%-34s %6.3f h audio in %6.2f s wall (%6.0fx real time); CPU per audio hour: %7.1f ms total, "
                "%7.1f ms generating, %7.1f ms capture layer\n",
                label, audioHours, wall, audioHours * 3600 / wall, cpu / audioHours * 1000,
                generator / audioHours * 1000, (cpu - generator) / audioHours * 1000);
}

}  // namespace

int main() {
    Measure("silence 44100/2/16, 100 ms buffers", "silence,length=1h,fast", {44100, 2, 16}, 100);
    Measure("tone 44100/2/16, 100 ms buffers", "tone=1000hz/-6db,length=1h,fast", {44100, 2, 16}, 100);
    Measure("tone 48000/2/16, 250 ms buffers", "tone=1000hz/-6db,length=1h,fast", {48000, 2, 16}, 250);
    Measure("tone 11025/2/16, 200 ms buffers", "tone=440hz/-3db,length=1h,fast", {11025, 2, 16}, 200);
    return 0;
}
