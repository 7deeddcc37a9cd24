// The extensions of the four output formats.
#include "tags/FileKind.h"

#include <strings.h>

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
