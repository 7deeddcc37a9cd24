// Prints how fast WMA tracks encode through CWmaWriter and the WMAENC plug-in, per quality row:
// ten minutes of the signal source's tone in 100 ms buffers, as a recording session feeds them,
// and the bitrate of the file that makes.
#include "audiofile/WmaWriter.h"
#include "platform/SignalGenerator.h"
#include "bench/CpuTime.h"

#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <vector>

int main() {
    constexpr int kSeconds = 600;
    const std::string path = "/tmp/velsona-wma-bench-" + std::to_string(getpid()) + ".wma";
    for (const int row : {0, 6, 16, 32}) {
        const QualityEntry& quality = kWmaQualities[row];
        CSignalGenerator generator;
        const Result<void> opened = generator.Open(*ParseSignalSpec("tone=440hz/-6db"), quality.sampleRate, quality.channels, 16);
        if (!opened) {
            fprintf(stderr, "signal: %s\n", opened.error().message.SourceText().c_str());
            return 1;
        }
        const size_t frames = quality.sampleRate / 10;
        std::vector<char> buffer(frames * quality.channels * 2);
        CWmaWriter writer;
        // The plug-in takes no file that already holds data: each row writes a new one.
        remove(path.c_str());
        if (!writer.Open(path.c_str()) ||
            !writer.SetFormat(quality.value, quality.sampleRate, quality.channels, 16, -1, -1) || !writer.Begin()) {
            fprintf(stderr, "WMAENC is not available\n");
            return 1;
        }
        double encoding = 0;
        for (int i = 0; i < kSeconds * 10; ++i) {
            generator.Generate(buffer.data(), frames);
            const double start = ProcessCpuSeconds();
            static_cast<void>(writer.Write(buffer.data(), static_cast<int>(buffer.size())));
            encoding += ProcessCpuSeconds() - start;
        }
        const double start = ProcessCpuSeconds();
        static_cast<void>(writer.End());
        static_cast<void>(writer.Close());
        encoding += ProcessCpuSeconds() - start;
        // The file against the bitrate asked for: what the ASF packets and the index cost.
        struct stat file {};
        stat(path.c_str(), &file);
        printf("row %2d %-30s %6.2f s CPU per hour of audio (%.0fx real time), %.1f kbit/s in the file\n", row,
               quality.label, encoding * 3600 / kSeconds, kSeconds / encoding, file.st_size * 8.0 / kSeconds / 1000);
    }
    remove(path.c_str());
    return 0;
}
