// What the recorder and the output bar ask of the formats' rows before a track is written: whether
// the encoder is present, what to do without it, and how many bytes a second of it takes.
#pragma once

#include <functional>
#include <string>

#include "app/settings/RecordingSettings.h"
#include "audiofile/FormatTable.h"
#include "foundation/Result.h"

// Fails, saying why, when the format's encoder module cannot be loaded.
Result<void> OutputFormatAvailable(OutputFormat format);
// True when a track can be written and tagged in the format: its encoder loads and, for WMA, the
// module that writes its attributes too.
bool OutputFormatUsable(OutputFormat format);
// What this system needs for the format's modules (packages and module files); empty for the
// formats that need none.
UserText EncoderInstallHint(OutputFormat format);

// What a recording is made in when the chosen format's encoder is missing.
inline constexpr OutputFormat kFallBackFormat = OutputFormat::OggVorbis;
// When `usable` refuses the settings' format: the settings become the fall-back format at its
// default quality, the template's extension with it, and the result says so (the missing
// module, what to install). Empty, the settings untouched, when the format can be used.
UserText FallBackFromMissingEncoder(RecordingSettings& settings,
                                    const std::function<bool(OutputFormat)>& usable = OutputFormatUsable);

// Bytes a second of recording takes in the settings' format and quality; 0 when unknown.
double OutputBytesPerSecond(const RecordingSettings& settings);
