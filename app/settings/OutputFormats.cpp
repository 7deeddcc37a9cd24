// Output formats as the front ends check and estimate them.
#include "app/settings/OutputFormats.h"

#include "app/files/FileNameTemplate.h"

Result<void> OutputFormatAvailable(OutputFormat format) {
    const FormatRow& row = FormatRowOf(format);
    return row.encoderAvailable ? row.encoderAvailable() : Result<void>{};
}

bool OutputFormatUsable(OutputFormat format) {
    const FormatRow& row = FormatRowOf(format);
    return OutputFormatAvailable(format).has_value() && (!row.taggerAvailable || row.taggerAvailable());
}

UserText EncoderInstallHint(OutputFormat format) {
    const FormatRow& row = FormatRowOf(format);
    return row.installHint ? row.installHint() : UserText();
}

UserText FallBackFromMissingEncoder(RecordingSettings& settings, const std::function<bool(OutputFormat)>& usable) {
    const OutputFormat chosen = settings.outputFormat;
    if (usable(chosen)) return {};
    // As a format switch leaves them: the default row, the default Ogg quality, the extension.
    settings.outputFormat = kFallBackFormat;
    settings.qualityIndex = DefaultQualityIndex(kFallBackFormat, settings.channels);
    settings.oggQuality = kDefaultOggQuality;
    settings.fileNameTemplate = TemplateWithFormatExtension(settings.fileNameTemplate, kFallBackFormat);
    return UserText("OutputFormats", "%1 のエンコーダーを使えないため、%2 形式 (拡張子 %3) で録音します。%4")
        .Arg(FormatName(chosen))
        .Arg(FormatName(kFallBackFormat))
        .Arg(DefaultExtension(kFallBackFormat))
        .Arg(EncoderInstallHint(chosen));
}

double OutputBytesPerSecond(const RecordingSettings& settings) {
    const QualityEntry* row = QualityRow(settings.outputFormat, settings.qualityIndex);
    return row ? FormatRowOf(settings.outputFormat).bytesPerSecond(*row, settings.oggQuality) : 0;
}
