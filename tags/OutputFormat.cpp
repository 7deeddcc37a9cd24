// The output formats' stored numbers and extensions.
#include "tags/OutputFormat.h"

#include <strings.h>

std::optional<OutputFormat> OutputFormatOfCode(int code) {
    switch (static_cast<OutputFormat>(code)) {
        case OutputFormat::Wav:
        case OutputFormat::Wma:
        case OutputFormat::OggVorbis:
        case OutputFormat::Mp3:
        case OutputFormat::Flac:
        case OutputFormat::Opus: return static_cast<OutputFormat>(code);
    }
    return std::nullopt;
}

std::optional<OutputFormat> OutputFormatOfExtension(const char* extension) {
    static constexpr struct {
        const char* extension;
        OutputFormat format;
    } kFormats[] = {{".mp3", OutputFormat::Mp3}, {".rmp", OutputFormat::Mp3}, {".ogg", OutputFormat::OggVorbis},
                    {".wav", OutputFormat::Wav}, {".wma", OutputFormat::Wma},
                    {".flac", OutputFormat::Flac},
                    {".opus", OutputFormat::Opus}};
    for (const auto& entry : kFormats)
        if (extension && strcasecmp(extension, entry.extension) == 0) return entry.format;
    return std::nullopt;
}
