// Template expansion: tokens replaced in a fixed order, the clock stamped between the two groups.
#include "app/files/FileNameTemplate.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "audiofile/FormatTable.h"
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

// A time of day; in the hour the clocks go back, with its offset from UTC ("02:30:00+0200", then
// "02:30:00+0100"), so the two tracks of that hour keep names of their own.
CCharString ClockText(const LocalDateTime& t) {
    CCharString text = CCharString::Formatted("%02d:%02d:%02d", t.hour, t.minute, t.second);
    if (t.repeated) {
        const int offset = t.utcOffset < 0 ? -t.utcOffset : t.utcOffset;
        text += CCharString::Formatted("%c%02d%02d", t.utcOffset < 0 ? '-' : '+', offset / 3600, offset / 60 % 60);
    }
    return text;
}

// A file name's expansion marks each value it puts in, so that cutting a long name to fit takes
// the template's own words and keeps the numbers and times that tell tracks apart. The template's
// own control characters are gone before it is expanded, so no mark is ever the user's.
constexpr char kValueStart = '\x01';
constexpr char kValueEnd = '\x02';

struct Filler {
    bool marked = false;
    void operator()(CCharString& text, const char* token, const CCharString& value) const {
        if (!marked) {
            text.ReplaceAll(token, value.c_str());
            return;
        }
        CCharString wrapped;
        wrapped += kValueStart;
        wrapped += value;
        wrapped += kValueEnd;
        text.ReplaceAll(token, wrapped.c_str());
    }
    void EndValue(CCharString& text, const char* token, bool endKnown, const CCharString& value) const {
        (*this)(text, token, endKnown ? value : CCharString(kUnknown));
    }
};

std::string WithoutMarks(std::string_view text) {
    std::string out;
    for (const char c : text)
        if (c != kValueStart && c != kValueEnd) out += c;
    return out;
}

CCharString Expand(const CCharString& text, bool endKnown, const TemplateValues& values, TrackClocks& clocks,
                   const Filler& fill) {
    CCharString result(text);
    fill(result, "%RCN%", CCharString::Formatted("%02d", values.recordingNumber));
    fill(result, "%TKN%", CCharString::Formatted("%03d", values.trackNumber));
    fill(result, "%STM%", MinutesSeconds(values.startOffsetMs));
    fill.EndValue(result, "%ETM%", endKnown, MinutesSeconds(values.endOffsetMs));
    fill.EndValue(result, "%TLN%", endKnown, MinutesSeconds(values.trackLengthMs));

    (endKnown ? clocks.end : clocks.start) = clocks.now();
    const LocalDateTime& start = clocks.start;
    const LocalDateTime& end = clocks.end;

    fill(result, "%TDY%", CCharString::Formatted("%04d-%02d-%02d", start.year, start.month, start.day));
    fill(result, "%SNW%", ClockText(start));
    fill.EndValue(result, "%ENW%", endKnown, ClockText(end));
    fill(result, "%TKN2%", CCharString::Formatted("%02d", values.trackNumber));
    fill(result, "%STM2%", HoursMinutesSeconds(values.startOffsetMs));
    fill.EndValue(result, "%ETM2%", endKnown, HoursMinutesSeconds(values.endOffsetMs));
    fill.EndValue(result, "%TLN2%", endKnown, HoursMinutesSeconds(values.trackLengthMs));
    fill(result, "%TDY2%", CCharString::Formatted("%02d-%02d-%02d", start.year % 100, start.month, start.day));
    return result;
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

// What a byte of a name is to a cut: the template's words go first, then the separators that join
// them to values, never a value or the extension.
enum class ByteRole : char { Word, Joint, Kept };

// Takes whole characters from the bytes whose role is at most `upTo`, from the end of the
// longest such stretch first, until `excess` bytes are gone or none is left; `roles` follows.
void CutStretches(std::string& text, std::vector<ByteRole>& roles, ByteRole upTo, size_t excess) {
    struct Stretch {
        size_t begin, end;  // `end` comes down as characters go
    };
    std::vector<Stretch> stretches;
    for (size_t i = 0; i < text.size();) {
        if (roles[i] > upTo) { ++i; continue; }
        const size_t begin = i;
        while (i < text.size() && roles[i] <= upTo) ++i;
        stretches.push_back({begin, i});
    }
    std::vector<bool> gone(text.size(), false);
    for (size_t cut = 0; cut < excess;) {
        const auto longest = std::max_element(stretches.begin(), stretches.end(), [](const Stretch& a, const Stretch& b) {
            return a.end - a.begin < b.end - b.begin;
        });
        if (longest == stretches.end() || longest->end == longest->begin) break;
        size_t start = longest->end - 1;
        while (start > longest->begin && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
        for (size_t i = start; i < longest->end; ++i) gone[i] = true;
        cut += longest->end - start;
        longest->end = start;
    }
    std::string keptText;
    std::vector<ByteRole> keptRoles;
    for (size_t i = 0; i < text.size(); ++i) {
        if (gone[i]) continue;
        keptText += text[i];
        keptRoles.push_back(roles[i]);
    }
    text = std::move(keptText);
    roles = std::move(keptRoles);
}

bool IsJointByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x80 && !std::isalnum(b);
}

// One part of a name, marked as Expand marks it, within `maxBytes`. The template's words go
// first, longest first and from their ends, while the values, a file name's extension and the
// separators that join words to what follows them ("_" before a track number) stay; then those
// separators; only then the values, from the end.
std::string FitPart(std::string_view marked, int maxBytes, bool fileName) {
    std::string text;
    std::vector<ByteRole> roles;
    bool inValue = false;
    for (const char c : marked) {
        if (c == kValueStart || c == kValueEnd) {
            inValue = c == kValueStart;
            continue;
        }
        text += c;
        roles.push_back(inValue ? ByteRole::Kept : ByteRole::Word);
    }
    const size_t limit = static_cast<size_t>(std::max(maxBytes, 0));
    if (text.size() <= limit) return text;
    const size_t extension = fileName ? static_cast<size_t>(ExtensionOf(CCharString(text)).GetLength()) : 0;
    std::fill(roles.end() - static_cast<std::ptrdiff_t>(extension), roles.end(), ByteRole::Kept);
    for (size_t i = text.size(); i-- > 0;) {
        const bool beforeKept = i + 1 == text.size() || roles[i + 1] != ByteRole::Word;
        if (roles[i] == ByteRole::Word && beforeKept && IsJointByte(text[i])) roles[i] = ByteRole::Joint;
    }
    for (const ByteRole upTo : {ByteRole::Word, ByteRole::Joint}) {
        CutStretches(text, roles, upTo, text.size() - limit);
        if (text.size() <= limit) return text;
    }
    return ShortenFileName(CCharString(text), maxBytes).str();
}

// Every part of the name within what the file system takes. The file name leaves room for what
// may still be added to it (a number that keeps it unique, the ".rename-error" or ".recovered"
// marker, a temporary copy's suffix), and keeps its extension.
CCharString FitToFileSystem(const CCharString& folder, const CCharString& markedName) {
    const int limit = FileNameLimit(folder);
    std::string out;
    const std::string_view text = markedName.view();
    for (size_t start = 0;;) {
        const size_t slash = text.find('/', start);
        const bool last = slash == std::string_view::npos;
        const std::string_view part = text.substr(start, last ? slash : slash - start);
        out += FitPart(part, last ? limit - kRoomForSuffixes : limit, last);
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
    return Expand(text, endKnown, values, clocks, Filler{});
}

const char* DefaultExtension(OutputFormat format) { return FormatRowOf(format).extension; }

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
    CCharString readable;
    CCharString::FromUtf8(fileNameTemplate.view(), readable);
    const CCharString expanded = Expand(WithoutControlCharacters(readable), endKnown, values, clocks, Filler{true});
    int dotParts = 0;
    CCharString name = WithoutDotParts(expanded, dotParts);
    if (!IsFormatExtension(ExtensionOf(CCharString(WithoutMarks(name.view()))))) name += DefaultExtension(format);
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
