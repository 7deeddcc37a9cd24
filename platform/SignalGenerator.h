// CSignalGenerator: the deterministic test signal (tones, silence, WAV files) behind the signal
// source, and the text that describes it.
//
// A signal spec is a comma-separated list of items:
//   tone=<freq>[hz][/<level>[db]][/<duration>]  a sine on every channel; level in dBFS
//                                               (default -6), lasting <duration> (default: ever)
//   silence[=<duration>]                        digital silence (default: ever)
//   file=<path>                                 a 16-bit PCM WAV file at the capture rate, mono
//                                               or stereo (mixed/duplicated to the capture's
//                                               channels); the path may not contain a comma
//   loop                                        repeat the segments above without end
//   length=<duration>                           the whole signal ends after this much audio
//   fast | realtime                             pacing of the signal source (default realtime)
//   drift=<amount>%|<amount>ppm                 in real time, the source's clock runs this much
//                                               fast (or slow, negative) against the system's, as
//                                               a sound card's does: "drift=+1%" gives 101 s of
//                                               audio in 100 s; the samples are the same
//   drop=<gap>@<at>                             the input fails after <at> of signal (at once, on
//                                               the first open, for 0); opening it again is refused
//                                               until <gap> has passed on the clock, in fast mode
//                                               too; it then goes on from <at> + <gap> of signal,
//                                               so the gap's audio is missed exactly as a live
//                                               source's would be. Once per backend: later opens
//                                               go on from there and do not drop again.
// Durations: a number with ms, s, min or h ("250ms", "1.5s", "2min", "1h").
// Example: "tone=1000hz/-6db/2s,silence=3s,loop,length=1h,fast".
//
// Sample n (counted from the start of its tone segment) of a tone is
// round(32767 * 10^(level/20) * sin(2*pi*freq*n/rate)); a segment's length in frames is
// round(seconds * rate). Generating the same spec in the same format always gives the same bytes,
// however the output is cut into calls, so a test can regenerate what a capture delivered.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Result.h"

struct SignalSegment {
    enum class Kind { Tone, Silence, File };
    Kind kind = Kind::Silence;
    double frequency = 0;  // Hz, tones
    double levelDb = -6;   // dBFS, tones
    double seconds = -1;   // tones and silence; negative for no end
    std::string path;      // files
};

struct SignalSpec {
    std::vector<SignalSegment> segments;
    bool loop = false;
    double lengthSeconds = -1;  // negative for no limit
    bool realTime = true;
    double clockRate = 1;  // the source's seconds of audio per real second, in real time
    double dropAtSeconds = -1;  // negative for no drop
    double dropGapSeconds = 0;
    std::string text;  // as given, for names and messages
};

// Parses `text` (without the "signal:" prefix).
Result<SignalSpec> ParseSignalSpec(const std::string& text);

class CSignalGenerator {
public:
    CSignalGenerator() = default;
    CSignalGenerator(const CSignalGenerator&) = delete;
    CSignalGenerator& operator=(const CSignalGenerator&) = delete;

    // Prepares the signal in interleaved PCM of `bits` 16 (signed) or 8 (unsigned) and 1 or 2
    // channels: reads WAV headers and builds tone tables. Fails when a file is unusable or a
    // loop would produce nothing.
    Result<void> Open(const SignalSpec& spec, int sampleRate, int channels, int bits);
    // Writes up to `frames` frames; fewer only when the signal ends. Never allocates.
    size_t Generate(char* out, size_t frames);
    // Moves on by `frames` frames as Generate would, without writing them.
    size_t Skip(size_t frames) { return Generate(nullptr, frames); }
    bool Ended() const { return m_ended; }
    uint64_t FramesGenerated() const { return m_generated; }

private:
    struct Segment {
        SignalSegment::Kind kind;
        int64_t frames;  // -1 for no end
        double amplitude;
        double frequency;
        std::vector<int16_t> table;  // one sample per (freq*n mod rate) for whole-Hz tones
        std::shared_ptr<FILE> file;  // file segments, open from Open on
        long dataOffset;
        int fileChannels;
    };
    bool EnterSegment(size_t index);
    Result<void> OpenFile(const SignalSegment& from, Segment& segment);
    void Put(char*& out, int16_t sample) const;
    size_t RenderTone(const Segment& segment, char* out, size_t frames);
    size_t RenderFile(Segment& segment, char* out, size_t frames);
    size_t SkipFile(Segment& segment, size_t frames);

    std::vector<Segment> m_segments;
    bool m_loop = false;
    int64_t m_limit = -1;
    int m_rate = 0;
    int m_channels = 0;
    int m_bits = 16;
    size_t m_index = 0;
    int64_t m_position = 0;  // frames into the current segment
    uint64_t m_generated = 0;
    bool m_ended = false;
    std::unique_ptr<unsigned char[]> m_scratch;  // file samples on their way out
};
