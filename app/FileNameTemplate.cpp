// Template expansion: tokens replaced in a fixed order, the clock stamped between the two groups.
#include "app/FileNameTemplate.h"

#include "foundation/PathUtils.h"

namespace {

constexpr const char* kUnknown = "？";

CCharString MinutesSeconds(int64_t ms) {
    return CCharString::Formatted("%lld:%02lld", static_cast<long long>(ms / 60000),
                                  static_cast<long long>(ms / 1000 % 60));
}

CCharString HoursMinutesSeconds(int64_t ms) {
    return CCharString::Formatted("%lld:%02lld:%02lld", static_cast<long long>(ms / 3600000),
                                  static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60));
}

void Replace(CCharString& text, const char* token, const CCharString& value) { text.ReplaceAll(token, value.c_str()); }

void ReplaceEndValue(CCharString& text, const char* token, bool endKnown, const CCharString& value) {
    text.ReplaceAll(token, endKnown ? value.c_str() : kUnknown);
}

int CharacterCount(const CCharString& text) {
    int count = 0;
    for (int i = 0; i < text.GetLength(); i += Utf8CharLength(text.ByteAt(i))) ++count;
    return count;
}

}  // namespace

CCharString ExpandTemplate(const CCharString& text, bool endKnown, const TemplateValues& values, TrackClocks& clocks) {
    CCharString result(text);
    Replace(result, "%RCN%", CCharString::Formatted("%02d", values.recordingNumber));
    Replace(result, "%TKN%", CCharString::Formatted("%03d", values.trackNumber));
    Replace(result, "%STM%", MinutesSeconds(values.startOffsetMs));
    ReplaceEndValue(result, "%ETM%", endKnown, MinutesSeconds(values.endOffsetMs));
    ReplaceEndValue(result, "%TLN%", endKnown, MinutesSeconds(values.trackLengthMs));

    (endKnown ? clocks.end : clocks.start) = clocks.now();
    const LocalDateTime& start = clocks.start;
    const LocalDateTime& end = clocks.end;

    Replace(result, "%TDY%", CCharString::Formatted("%04d-%02d-%02d", start.year, start.month, start.day));
    Replace(result, "%SNW%", CCharString::Formatted("%02d:%02d:%02d", start.hour, start.minute, start.second));
    ReplaceEndValue(result, "%ENW%", endKnown,
                    CCharString::Formatted("%02d:%02d:%02d", end.hour, end.minute, end.second));
    Replace(result, "%TKN2%", CCharString::Formatted("%02d", values.trackNumber));
    Replace(result, "%STM2%", HoursMinutesSeconds(values.startOffsetMs));
    ReplaceEndValue(result, "%ETM2%", endKnown, HoursMinutesSeconds(values.endOffsetMs));
    ReplaceEndValue(result, "%TLN2%", endKnown, HoursMinutesSeconds(values.trackLengthMs));
    Replace(result, "%TDY2%", CCharString::Formatted("%02d-%02d-%02d", start.year % 100, start.month, start.day));
    return result;
}

const char* DefaultExtension(OutputFormat format) {
    switch (format) {
        case OutputFormat::Wma: return ".wma";
        case OutputFormat::OggVorbis: return ".ogg";
        case OutputFormat::Mp3: return ".mp3";
        case OutputFormat::Wav: break;
    }
    return ".wav";
}

CCharString TemplateWithFormatExtension(const CCharString& fileNameTemplate, OutputFormat format) {
    const CCharString extension = ExtensionOf(fileNameTemplate);
    if (CharacterCount(extension) < 5) return ReplaceExtension(fileNameTemplate, DefaultExtension(format));
    return fileNameTemplate + DefaultExtension(format);
}

CCharString FormatExtensionOf(const CCharString& fileNameTemplate) {
    CCharString extension = ExtensionOf(fileNameTemplate);
    return CharacterCount(extension) <= 4 ? extension : CCharString();
}

CCharString WithoutFormatExtension(const CCharString& fileNameTemplate) {
    return fileNameTemplate.Left(fileNameTemplate.GetLength() - FormatExtensionOf(fileNameTemplate).GetLength());
}

CCharString BuildTrackPath(bool endKnown, CCharString& outputFolder, const CCharString& fileNameTemplate,
                           OutputFormat format, const TemplateValues& values, TrackClocks& clocks) {
    if (outputFolder.IsEmpty() || !IsPathSeparator(outputFolder.c_str()[outputFolder.GetLength() - 1]))
        outputFolder += '/';
    CCharString path = outputFolder + ExpandTemplate(fileNameTemplate, endKnown, values, clocks);
    const int extensionLength = CharacterCount(ExtensionOf(path));
    if (extensionLength == 0 || extensionLength > 4) path += DefaultExtension(format);
    return NormalizeSeparators(CleanUpName(path, CleanUpMode::Path));
}

CCharString CleanUpName(const CCharString& text, CleanUpMode mode) {
    return SanitizeFileName(text, mode != CleanUpMode::Strict, mode == CleanUpMode::Path);
}
