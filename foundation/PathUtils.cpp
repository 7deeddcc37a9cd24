// Path, file-name and number helpers.
#include "foundation/PathUtils.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

namespace {

// Index of the last separator, or -1. UTF-8 continuation bytes are never ASCII, so a byte
// scan cannot mistake part of a character for a separator.
int LastSeparator(const CCharString& path) {
    for (int i = path.GetLength() - 1; i >= 0; --i)
        if (IsPathSeparator(path.c_str()[i])) return i;
    return -1;
}

int ExtensionDot(const CCharString& path) {
    const int separator = LastSeparator(path);
    for (int i = path.GetLength() - 1; i > separator; --i)
        if (path.c_str()[i] == '.') return i;
    return -1;
}

enum class PathKind { Missing, Folder, Other };

PathKind KindOf(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return PathKind::Missing;
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
}

}  // namespace

CCharString FolderOf(const CCharString& path) { return path.Left(LastSeparator(path) + 1); }

CCharString FileNameOf(const CCharString& path) { return path.Mid(LastSeparator(path) + 1); }

CCharString ExtensionOf(const CCharString& path) {
    const int dot = ExtensionDot(path);
    return dot < 0 ? CCharString() : path.Mid(dot);
}

CCharString ReplaceExtension(const CCharString& path, const char* extension) {
    const int dot = ExtensionDot(path);
    return (dot < 0 ? path : path.Left(dot)) + extension;
}

bool EndsWithChar(const CCharString& text, char c) {
    return text.GetLength() > 0 && text.c_str()[text.GetLength() - 1] == c;
}

CCharString NormalizeSeparators(const CCharString& path) {
    CCharString result(path);
    result.ReplaceAll("\\", "/");
    return result;
}

bool EnsureFolder(const CCharString& path, std::vector<CCharString>* created) {
    const std::string full = NormalizeSeparators(path).str();
    if (full.empty()) {
        errno = ENOENT;
        return false;
    }
    const PathKind kind = KindOf(full);
    if (kind == PathKind::Other) errno = ENOTDIR;
    if (kind != PathKind::Missing) return kind == PathKind::Folder;
    std::vector<CCharString> made;
    // A chain that cannot be finished is taken back: a refused folder leaves nothing behind.
    const auto fail = [&made] {
        const int error = errno;
        RemoveCreatedFolders(made);
        errno = error;
        return false;
    };
    const auto make = [&made](const std::string& level) {
        if (mkdir(level.c_str(), 0777) == 0) {
            made.emplace_back(level);
            return true;
        }
        return errno == EEXIST && KindOf(level) == PathKind::Folder;
    };
    for (size_t slash = full.find('/', 1); slash != std::string::npos; slash = full.find('/', slash + 1)) {
        const std::string prefix = full.substr(0, slash);
        const PathKind prefixKind = KindOf(prefix);
        if (prefixKind == PathKind::Other) {
            errno = ENOTDIR;
            return fail();
        }
        if (prefixKind == PathKind::Missing && !make(prefix)) return fail();
    }
    if (KindOf(full) != PathKind::Folder && !make(full)) return fail();
    if (created) created->insert(created->end(), made.begin(), made.end());
    return true;
}

void RemoveCreatedFolders(const std::vector<CCharString>& created) {
    for (auto level = created.rbegin(); level != created.rend(); ++level) rmdir(level->c_str());
}

int FileNameLimit(const CCharString& path) {
    std::string folder = NormalizeSeparators(path).str();
    for (;;) {
        errno = 0;
        const long limit = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
        if (limit > 0) return static_cast<int>(std::min<long>(limit, INT_MAX));
        if (folder.empty() || folder == "/" || (errno != ENOENT && errno != ENOTDIR)) return NAME_MAX;
        while (!folder.empty() && folder.back() == '/') folder.pop_back();
        const size_t slash = folder.rfind('/');
        folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    }
}

CCharString ShortenFileName(const CCharString& name, int maxBytes) {
    if (name.GetLength() <= maxBytes) return name;
    const CCharString extension = ExtensionOf(name);
    const int room = maxBytes - extension.GetLength();
    int end = 0;
    while (end < name.GetLength() - extension.GetLength()) {
        const int next = end + Utf8CharLength(name.ByteAt(end));
        if (next > room) break;
        end = next;
    }
    return name.Left(end) + extension;
}

CCharString SanitizeFileName(const CCharString& text, bool keepSeparators, bool keepDrive) {
    CCharString result(text);
    if (!keepSeparators) {
        result.ReplaceAll("\\", "￥");
        result.ReplaceAll("/", "／");
        result.ReplaceAll(":", "：");
    } else if (!keepDrive || result.GetLength() <= 2) {
        result.ReplaceAll(":", "：");
    } else {
        CCharString tail = result.Mid(2);
        tail.ReplaceAll(":", "：");
        result = result.Left(2) + tail;
    }
    static constexpr const char* kReplacements[][2] = {
        {"\t", "\u3000"}, {";", "；"}, {"|", "｜"}, {"*", "＊"}, {"\"", "”"},
        {"?", "？"},      {"<", "＜"}, {">", "＞"},
    };
    for (const auto& [from, to] : kReplacements) result.ReplaceAll(from, to);
    return result;
}

CCharString GroupDigits(int64_t value) {
    const std::string digits = std::to_string(value < 0 ? 0 : value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return CCharString(out);
}

CCharString FormatDecimal(double value, int decimals) {
    const CCharString printed = CCharString::Formatted("%0.*f", decimals, value);
    const int dot = printed.Find(".");
    // The printed text is already rounded to the decimals, so its integer part is too.
    const CCharString integer = dot < 0 ? printed : printed.Left(dot);
    return GroupDigits(std::strtoll(integer.c_str(), nullptr, 10)) + (dot < 0 ? CCharString() : printed.Mid(dot));
}

const char* ParseDecimal(const char* text, double& value) {
    // strtod would read "1,5" under a German locale and stop at "1.5".
    while (*text == ' ' || *text == '\t') ++text;
    if (*text == '+') ++text;
    const char* last = text + std::strlen(text);
    const std::from_chars_result read = std::from_chars(text, last, value, std::chars_format::general);
    return read.ec == std::errc() ? read.ptr : nullptr;
}
