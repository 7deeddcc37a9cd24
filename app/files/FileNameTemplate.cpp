// Template expansion: tokens replaced in a fixed order, the clock stamped between the two groups.
#include "app/files/FileNameTemplate.h"

#include <string>
#include <string_view>

#include "foundation/PathUtils.h"

namespace {

constexpr const char* kUnknown = "？";  // untranslated: a value templates write into names and tags
constexpr const char* kReplacementCharacter = "\uFFFD";
// "_99999", ".rename-error" and "_99999" again, ".vctemp" and a spare byte or two.
constexpr int kRoomForSuffixes = 32;

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

// Every "." or ".." part (between separators) becomes its full-width look-alike, so the path
// cannot climb out of the folder it is joined to; `replaced` counts them.
CCharString WithoutDotParts(const CCharString& path, int& replaced) {
    std::string out;
    const std::string_view text = path.view();
    size_t start = 0;
    for (;;) {
        size_t end = start;
        while (end < text.size() && !IsPathSeparator(text[end])) ++end;
        const std::string_view part = text.substr(start, end - start);
        if (part == "." || part == "..") {
            ++replaced;
            out += part.size() == 1 ? "．" : "．．";  // untranslated: what templates produce
        } else {
            out += part;
        }
        if (end == text.size()) break;
        out += text[end];
        start = end + 1;
    }
    return CCharString(out);
}

// Control characters (newlines, escape sequences) have no place in a file name.
CCharString WithoutControlCharacters(const CCharString& text) {
    std::string out;
    const std::string_view bytes = text.view();
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool c1 = c == 0xC2 && i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) < 0xA0;
        // A tab has a replacement of its own when the name is cleaned up.
        if ((c < 0x20 && c != '\t') || c == 0x7F || c1) {
            out += kReplacementCharacter;
            i += c1 ? 1 : 0;
        } else {
            out += bytes[i];
        }
    }
    return CCharString(out);
}

// Every part of the name within what the file system takes. The file name leaves room for what
// may still be added to it (a number that keeps it unique, the ".rename-error" or ".recovered"
// marker, a temporary copy's suffix), and keeps its extension.
CCharString FitToFileSystem(const CCharString& folder, const CCharString& name) {
    const int limit = FileNameLimit(folder);
    std::string out;
    const std::string_view text = name.view();
    for (size_t start = 0;;) {
        const size_t slash = text.find('/', start);
        const std::string_view part = text.substr(start, slash == std::string_view::npos ? slash : slash - start);
        const bool last = slash == std::string_view::npos;
        out += ShortenFileName(CCharString(part), last ? limit - kRoomForSuffixes : limit).view();
        if (last) break;
        out += '/';
        start = slash + 1;
    }
    return CCharString(out);
}

// Up to three letters after the dot, or one of the formats' own longer ones (".flac", ".opus"),
// which would otherwise be taken for part of the name and get a second extension.
bool IsFormatExtension(const CCharString& extension) {
    return !extension.IsEmpty() &&
           (CharacterCount(extension) <= 4 || OutputFormatOfExtension(extension.c_str()).has_value());
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
        case OutputFormat::Flac: return ".flac";
        case OutputFormat::Opus: return ".opus";
        case OutputFormat::Wav: break;
    }
    return ".wav";
}

CCharString TemplateWithFormatExtension(const CCharString& fileNameTemplate, OutputFormat format) {
    const CCharString extension = ExtensionOf(fileNameTemplate);
    if (extension.IsEmpty() || IsFormatExtension(extension))
        return ReplaceExtension(fileNameTemplate, DefaultExtension(format));
    return fileNameTemplate + DefaultExtension(format);
}

CCharString FormatExtensionOf(const CCharString& fileNameTemplate) {
    CCharString extension = ExtensionOf(fileNameTemplate);
    return IsFormatExtension(extension) ? extension : CCharString();
}

CCharString WithoutFormatExtension(const CCharString& fileNameTemplate) {
    return fileNameTemplate.Left(fileNameTemplate.GetLength() - FormatExtensionOf(fileNameTemplate).GetLength());
}

CCharString BuildTrackPath(bool endKnown, CCharString& outputFolder, const CCharString& fileNameTemplate,
                           OutputFormat format, const TemplateValues& values, TrackClocks& clocks) {
    if (outputFolder.IsEmpty() || !IsPathSeparator(outputFolder.c_str()[outputFolder.GetLength() - 1]))
        outputFolder += '/';
    // A template stored in another encoding still names a file, with U+FFFD as the tags have it.
    CCharString expanded;
    CCharString::FromUtf8(ExpandTemplate(fileNameTemplate, endKnown, values, clocks).view(), expanded);
    int dotParts = 0;
    CCharString name = WithoutDotParts(WithoutControlCharacters(expanded), dotParts);
    if (!IsFormatExtension(ExtensionOf(name))) name += DefaultExtension(format);
    // The folder is a path the user gave on this system; only the generated names are cleaned up.
    const CCharString folder = OutputFolderInUse(outputFolder);
    return folder + FitToFileSystem(folder, NormalizeSeparators(CleanUpName(name, CleanUpMode::Template)));
}

UserText FileNameTemplateWarning(const CCharString& fileNameTemplate) {
    int dotParts = 0;
    WithoutDotParts(fileNameTemplate, dotParts);
    if (dotParts == 0) return {};
    return UserText("FileNameTemplate",
                    "ファイル名テンプレートの「.」「..」は出力先フォルダの外を指すため、「．」「．．」として保存します: %1")
        .Arg(fileNameTemplate.str());
}

CCharString OutputFolderInUse(const CCharString& outputFolder) { return NormalizeSeparators(outputFolder); }

UserText OutputFolderWarning(const CCharString& outputFolder) {
    const CCharString used = OutputFolderInUse(outputFolder);
    if (used == outputFolder) return {};
    return UserText("FileNameTemplate", "出力先フォルダの「\\」はフォルダの区切りとして扱い、次のフォルダに保存します: %1")
        .Arg(used.str());
}

CCharString CleanUpName(const CCharString& text, CleanUpMode mode) {
    return SanitizeFileName(text, mode == CleanUpMode::Template, false);
}
