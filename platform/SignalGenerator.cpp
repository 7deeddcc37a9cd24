// The test signal: parsing its spec and generating its samples.
#include "platform/SignalGenerator.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>

#include "foundation/PathUtils.h"

namespace {

constexpr size_t kScratchFrames = 4096;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A number followed by one of `units` (scaled by its factor); "" may be among them.
bool ParseQuantity(const std::string& text, std::initializer_list<std::pair<const char*, double>> units,
                   double& value) {
    double number = 0;
    const char* end = ParseDecimal(text.c_str(), number);
    if (!end || !std::isfinite(number)) return false;
    const std::string unit = Lower(end);
    for (const auto& [name, scale] : units)
        if (unit == name) {
            value = number * scale;
            return true;
        }
    return false;
}

Failure BadSpec(UserText message) { return KindFailure(FailureKind::kBadValue, std::move(message)); }

Result<double> ParseDuration(const std::string& text) {
    double seconds = 0;
    if (ParseQuantity(text, {{"ms", 0.001}, {"s", 1}, {"min", 60}, {"h", 3600}}, seconds) && seconds >= 0)
        return seconds;
    return BadSpec(UserText("SignalGenerator", "長さ「%1」が不正です（250ms、2s、5min、1h のように）").Arg(text));
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

Result<SignalSegment> ParseTone(const std::string& value) {
    const std::vector<std::string> fields = Split(value, '/');
    SignalSegment segment;
    segment.kind = SignalSegment::Kind::Tone;
    if (fields.size() > 3 || !ParseQuantity(fields[0], {{"", 1}, {"hz", 1}}, segment.frequency) ||
        segment.frequency <= 0)
        return BadSpec(UserText("SignalGenerator", "トーン「%1」が不正です（tone=<周波数>hz[/<レベル>db][/<長さ>]）").Arg(value));
    if (fields.size() > 1 &&
        (!ParseQuantity(fields[1], {{"", 1}, {"db", 1}, {"dbfs", 1}}, segment.levelDb) || segment.levelDb > 0))
        return BadSpec(UserText("SignalGenerator", "トーンのレベル「%1」が不正です（dBFS、0 以下）").Arg(fields[1]));
    if (fields.size() < 3) return segment;
    Result<double> seconds = ParseDuration(fields[2]);
    if (!seconds) return std::move(seconds).error();
    segment.seconds = *seconds;
    return segment;
}

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

Result<SignalSpec> ParseSignalSpec(const std::string& text) {
    SignalSpec spec;
    spec.text = text;
    for (const std::string& item : Split(text, ',')) {
        const size_t equals = item.find('=');
        const std::string key = Lower(item.substr(0, equals));
        const std::string value = equals == std::string::npos ? "" : item.substr(equals + 1);
        const bool hasValue = equals != std::string::npos;
        SignalSegment segment;
        if (key == "tone" && hasValue) {
            Result<SignalSegment> tone = ParseTone(value);
            if (!tone) return std::move(tone).error();
            spec.segments.push_back(*tone);
        } else if (key == "silence") {
            if (hasValue) {
                Result<double> seconds = ParseDuration(value);
                if (!seconds) return std::move(seconds).error();
                segment.seconds = *seconds;
            }
            spec.segments.push_back(segment);
        } else if (key == "file" && hasValue && !value.empty()) {
            segment.kind = SignalSegment::Kind::File;
            segment.path = value;
            spec.segments.push_back(segment);
        } else if (key == "length" && hasValue) {
            Result<double> seconds = ParseDuration(value);
            if (!seconds) return std::move(seconds).error();
            spec.lengthSeconds = *seconds;
        } else if (key == "loop" && !hasValue) {
            spec.loop = true;
        } else if (key == "drop" && hasValue) {
            const size_t at = value.find('@');
            if (at == std::string::npos) return BadSpec(UserText("SignalGenerator", "途切れ「%1」が不正です（drop=<間隔>@<時点>、例えば drop=5s@10s）").Arg(value));
            Result<double> gap = ParseDuration(value.substr(0, at));
            if (!gap) return std::move(gap).error();
            Result<double> dropAt = ParseDuration(value.substr(at + 1));
            if (!dropAt) return std::move(dropAt).error();
            spec.dropGapSeconds = *gap;
            spec.dropAtSeconds = *dropAt;
        } else if (key == "drift" && hasValue) {
            double drift = 0;
            if (!ParseQuantity(value, {{"%", 0.01}, {"ppm", 0.000001}}, drift) || drift <= -0.5 || drift >= 1)
                return BadSpec(UserText("SignalGenerator", "時計のずれ「%1」が不正です（drift=+1%、drift=-50ppm のように、-50% から +100% まで）").Arg(value));
            spec.clockRate = 1 + drift;
        } else if (key == "fast" && !hasValue) {
            spec.realTime = false;
        } else if (key == "realtime" && !hasValue) {
            spec.realTime = true;
        } else {
            return BadSpec(UserText("SignalGenerator", "信号の項目「%1」はありません").Arg(item));
        }
    }
    if (spec.segments.empty()) return BadSpec(UserText("SignalGenerator", "信号にトーン、無音、ファイルのいずれもありません"));
    return spec;
}

Result<void> CSignalGenerator::OpenFile(const SignalSegment& from, Segment& segment) {
    segment.file.reset(std::fopen(from.path.c_str(), "rb"), [](FILE* f) {
        if (f) std::fclose(f);  // shared_ptr calls the deleter even for a failed fopen
    });
    if (!segment.file) {
        const int error = errno;
        return SystemFailure(error, UserText("SignalGenerator", "信号ファイル「%1」を開けません: %2").Arg(from.path).ArgError(error));
    }
    FILE* f = segment.file.get();
    unsigned char header[12];
    if (std::fread(header, 1, 12, f) != 12 || std::memcmp(header, "RIFF", 4) || std::memcmp(header + 8, "WAVE", 4)) {
        return KindFailure(FailureKind::kBadData, UserText("SignalGenerator", "信号ファイル「%1」は WAV ファイルではありません").Arg(from.path));
    }
    int rate = 0, bits = 0;
    segment.fileChannels = 0;
    for (;;) {
        unsigned char chunk[8];
        if (std::fread(chunk, 1, 8, f) != 8)
            return KindFailure(FailureKind::kBadData, UserText("SignalGenerator", "信号ファイル「%1」に PCM データがありません").Arg(from.path));
        const uint32_t size = Le32(chunk + 4);
        if (!std::memcmp(chunk, "fmt ", 4) && size >= 16) {
            unsigned char fmt[16];
            if (std::fread(fmt, 1, 16, f) != 16) break;
            const uint16_t tag = Le16(fmt);
            if (tag == 1 || tag == 0xFFFE) {
                segment.fileChannels = Le16(fmt + 2);
                rate = static_cast<int>(Le32(fmt + 4));
                bits = Le16(fmt + 14);
            }
            std::fseek(f, static_cast<long>(size - 16 + (size & 1)), SEEK_CUR);
        } else if (!std::memcmp(chunk, "data", 4)) {
            if (bits != 16 || rate != m_rate || (segment.fileChannels != 1 && segment.fileChannels != 2))
                return KindFailure(FailureKind::kBadData,
                                   UserText("SignalGenerator", "信号ファイル「%1」は %2 Hz の 16 ビット PCM（モノラルかステレオ）でなければなりません")
                                       .Arg(from.path)
                                       .Arg(m_rate));
            segment.dataOffset = std::ftell(f);
            segment.frames = size / (2 * segment.fileChannels);
            return {};
        } else {
            std::fseek(f, static_cast<long>(size + (size & 1)), SEEK_CUR);
        }
    }
    return KindFailure(FailureKind::kBadData, UserText("SignalGenerator", "信号ファイル「%1」は壊れています").Arg(from.path));
}

Result<void> CSignalGenerator::Open(const SignalSpec& spec, int sampleRate, int channels, int bits) {
    m_segments.clear();
    m_rate = sampleRate;
    m_channels = channels;
    m_bits = bits;
    m_loop = spec.loop;
    m_limit = spec.lengthSeconds < 0 ? -1 : std::llround(spec.lengthSeconds * sampleRate);
    m_generated = 0;
    m_ended = false;
    m_scratch = std::make_unique<unsigned char[]>(kScratchFrames * 4);
    int64_t loopFrames = 0;
    for (const SignalSegment& from : spec.segments) {
        Segment segment{from.kind, -1, 0, from.frequency, {}, nullptr, 0, 0};
        if (from.kind == SignalSegment::Kind::File) {
            if (Result<void> opened = OpenFile(from, segment); !opened) return std::move(opened).error();
        } else if (from.seconds >= 0) {
            segment.frames = std::llround(from.seconds * sampleRate);
        }
        if (from.kind == SignalSegment::Kind::Tone) {
            if (from.frequency >= sampleRate / 2.0)
                return KindFailure(FailureKind::kBadValue,
                                   UserText("SignalGenerator", "トーンの周波数はサンプリング周波数の半分より低くなければなりません"));
            segment.amplitude = 32767.0 * std::pow(10.0, from.levelDb / 20.0);
            // Whole-Hz tones repeat every `rate` samples: a table is exact and much cheaper than sin.
            if (from.frequency == std::floor(from.frequency)) {
                segment.table.resize(sampleRate);
                for (int i = 0; i < sampleRate; ++i)
                    segment.table[i] = static_cast<int16_t>(
                        std::lround(segment.amplitude * std::sin(2 * std::numbers::pi * i / sampleRate)));
            }
        }
        loopFrames = segment.frames < 0 || loopFrames < 0 ? -1 : loopFrames + segment.frames;
        m_segments.push_back(std::move(segment));
    }
    if (m_loop && loopFrames == 0)
        return KindFailure(FailureKind::kBadValue,
                           UserText("SignalGenerator", "繰り返す信号には長さのある区間が少なくとも一つ必要です"));
    if (!EnterSegment(0)) {
        const int error = errno;
        return SystemFailure(error, UserText("SignalGenerator", "信号ファイルを読み取れません: %1").ArgError(error));
    }
    return {};
}

bool CSignalGenerator::EnterSegment(size_t index) {
    m_index = index;
    m_position = 0;
    Segment& segment = m_segments[index];
    return !segment.file || std::fseek(segment.file.get(), segment.dataOffset, SEEK_SET) == 0;
}

void CSignalGenerator::Put(char*& out, int16_t sample) const {
    if (m_bits == 8) {
        *out++ = static_cast<char>((sample >> 8) + 128);
    } else {
        *out++ = static_cast<char>(sample & 0xFF);
        *out++ = static_cast<char>(sample >> 8);
    }
}

size_t CSignalGenerator::RenderTone(const Segment& segment, char* out, size_t frames) {
    const int64_t rate = m_rate;
    const int64_t frequency = static_cast<int64_t>(segment.frequency);
    for (size_t i = 0; i < frames; ++i) {
        const int64_t n = m_position + static_cast<int64_t>(i);
        const int16_t sample =
            segment.table.empty()
                ? static_cast<int16_t>(std::lround(segment.amplitude *
                                                   std::sin(2 * std::numbers::pi * segment.frequency * n / rate)))
                : segment.table[frequency * (n % rate) % rate];
        for (int c = 0; c < m_channels; ++c) Put(out, sample);
    }
    return frames;
}

size_t CSignalGenerator::RenderFile(Segment& segment, char* out, size_t frames) {
    const int fileChannels = segment.fileChannels;
    size_t done = 0;
    while (done < frames) {
        const size_t want = std::min(frames - done, kScratchFrames);
        const size_t got = std::fread(m_scratch.get(), 2 * fileChannels, want, segment.file.get());
        for (size_t i = 0; i < got; ++i) {
            const unsigned char* frame = m_scratch.get() + i * 2 * fileChannels;
            const int16_t left = static_cast<int16_t>(Le16(frame));
            const int16_t right = fileChannels == 2 ? static_cast<int16_t>(Le16(frame + 2)) : left;
            if (m_channels == 2) {
                Put(out, left);
                Put(out, right);
            } else {
                Put(out, static_cast<int16_t>((left + right) >> 1));
            }
        }
        done += got;
        if (got < want) {
            segment.frames = m_position + static_cast<int64_t>(done);  // truncated file: end here
            break;
        }
    }
    return done;
}

size_t CSignalGenerator::SkipFile(Segment& segment, size_t frames) {
    const long bytes = static_cast<long>(frames) * 2 * segment.fileChannels;
    if (std::fseek(segment.file.get(), bytes, SEEK_CUR) == 0) return frames;
    segment.frames = m_position;  // an unreadable file ends here, as in RenderFile
    return 0;
}

size_t CSignalGenerator::Generate(char* out, size_t frames) {
    const size_t blockAlign = static_cast<size_t>(m_channels) * m_bits / 8;
    size_t done = 0;
    while (done < frames && !m_ended) {
        if (m_limit >= 0 && static_cast<int64_t>(m_generated) >= m_limit) {
            m_ended = true;
            break;
        }
        Segment& segment = m_segments[m_index];
        if (segment.frames >= 0 && m_position >= segment.frames) {
            size_t next = m_index + 1;
            if (next == m_segments.size()) {
                if (!m_loop) {
                    m_ended = true;
                    break;
                }
                next = 0;
            }
            if (!EnterSegment(next)) m_ended = true;
            continue;
        }
        int64_t want = static_cast<int64_t>(frames - done);
        if (segment.frames >= 0) want = std::min(want, segment.frames - m_position);
        if (m_limit >= 0) want = std::min(want, m_limit - static_cast<int64_t>(m_generated));
        // Without `out` (Skip) only the position moves: tones are computed from it.
        char* at = out ? out + done * blockAlign : nullptr;
        size_t got = static_cast<size_t>(want);
        switch (segment.kind) {
            case SignalSegment::Kind::Tone:
                if (at) RenderTone(segment, at, got);
                break;
            case SignalSegment::Kind::Silence:
                if (at) std::memset(at, m_bits == 8 ? 0x80 : 0, got * blockAlign);
                break;
            case SignalSegment::Kind::File: got = at ? RenderFile(segment, at, got) : SkipFile(segment, got); break;
        }
        m_position += static_cast<int64_t>(got);
        m_generated += got;
        done += got;
    }
    return done;
}
