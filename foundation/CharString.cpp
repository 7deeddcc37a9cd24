// CCharString and the conversions between UTF-8, Shift-JIS and UTF-16.
#include "foundation/CharString.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iconv.h>
#include <locale.h>
#include <strings.h>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes one character at text[pos], advancing pos; malformed input yields U+FFFD for one byte.
char32_t DecodeUtf8(std::string_view text, size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const int length = Utf8CharLength(lead);
    if (length == 1) {
        ++pos;
        return lead < 0x80 ? lead : kReplacement;
    }
    if (pos + length > text.size()) {
        ++pos;
        return kReplacement;
    }
    char32_t cp = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(c)) {
            ++pos;
            return kReplacement;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kReplacement;
    }
    pos += length;
    return cp;
}

void EncodeUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) EncodeUtf8(DecodeUtf8(text, pos), out);
    return out;
}

// iconv, one character at a time where the whole text does not convert, so that one bad
// character never costs the rest of the text.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts input; on a sequence it cannot take, emits `substitute` and skips `skip(pos)` bytes.
    template <typename Skip>
    std::string Run(std::string_view input, std::string_view substitute, Skip skip) const {
        std::string out;
        if (m_cd == reinterpret_cast<iconv_t>(-1)) return out;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char chunk[256];
        size_t pos = 0;
        while (pos < input.size()) {
            char* in = const_cast<char*>(input.data() + pos);
            size_t inLeft = input.size() - pos;
            char* outPtr = chunk;
            size_t outLeft = sizeof chunk;
            const size_t result = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            out.append(chunk, outPtr - chunk);
            pos = input.size() - inLeft;
            if (result == static_cast<size_t>(-1) && errno != E2BIG) {
                out += substitute;
                pos += skip(input, pos);
                iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t m_cd;
};

size_t SkipUtf8Char(std::string_view text, size_t pos) {
    size_t next = pos;
    DecodeUtf8(text, next);
    return next - pos;
}

size_t SkipCp932Char(std::string_view text, size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const bool doubleByte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    return doubleByte && pos + 1 < text.size() ? 2 : 1;
}

}  // namespace

int Utf8CharLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    return 1;
}

CCharString::CCharString(const char* text) {
    if (text && *text) m_buffer = std::make_shared<std::string>(text);
}

CCharString::CCharString(std::string_view text) {
    if (!text.empty()) m_buffer = std::make_shared<std::string>(text);
}

CCharString& CCharString::operator=(const char* text) {
    *this = CCharString(text);
    return *this;
}

std::string& CCharString::Own() {
    if (!m_buffer)
        m_buffer = std::make_shared<std::string>();
    else if (m_buffer.use_count() > 1)
        m_buffer = std::make_shared<std::string>(*m_buffer);
    return *m_buffer;
}

CCharString& CCharString::operator+=(const char* text) {
    if (text && *text) Own() += text;
    return *this;
}

CCharString& CCharString::operator+=(const CCharString& text) {
    if (!text.IsEmpty()) {
        const std::string copy = text.str();  // text may share this buffer
        Own() += copy;
    }
    return *this;
}

CCharString& CCharString::operator+=(char c) {
    Own() += c;
    return *this;
}

int CCharString::Compare(const char* text, bool ignoreCase) const {
    const int result = ignoreCase ? strcasecmp(c_str(), text ? text : "") : strcmp(c_str(), text ? text : "");
    return (result > 0) - (result < 0);
}

int CCharString::Find(const char* text, int start) const {
    const int needle = text ? static_cast<int>(strlen(text)) : 0;
    const int length = GetLength();
    if (start < 0 || start + needle > length) return -1;
    const char* data = c_str();
    // Step to the first character start at or after `start`.
    int pos = start;
    while (pos < length && IsContinuation(static_cast<unsigned char>(data[pos]))) ++pos;
    for (; pos + needle <= length; pos += Utf8CharLength(static_cast<unsigned char>(data[pos]))) {
        if (memcmp(data + pos, text, needle) == 0) return pos;
    }
    return -1;
}

CCharString CCharString::Mid(int start, int count) const {
    const int length = GetLength();
    if (start < 0 || start > length) return {};
    if (count < 0 || count > length - start) count = length - start;
    return CCharString(std::string_view(c_str() + start, count));
}

CCharString CCharString::Left(int count) const {
    if (count < 0 || count > GetLength()) return {};
    return CCharString(std::string_view(c_str(), count));
}

int CCharString::ReplaceAll(const char* oldText, const char* newText) {
    if (!oldText || !*oldText) return 0;
    const int oldLength = static_cast<int>(strlen(oldText));
    int count = 0;
    std::string result;
    int from = 0;
    for (int at = Find(oldText, 0); at >= 0; at = Find(oldText, from)) {
        result.append(c_str() + from, at - from);
        result += newText ? newText : "";
        from = at + oldLength;
        ++count;
    }
    if (count == 0) return 0;
    result.append(c_str() + from, GetLength() - from);
    *this = CCharString(result);
    return count;
}

void CCharString::Trim() {
    // White space is ASCII and no UTF-8 continuation byte looks like it, so a byte scan steps
    // over multi-byte characters whole.
    const std::string_view text = view();
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        m_buffer.reset();
        return;
    }
    const size_t last = text.find_last_not_of(" \t\r\n");
    if (first == 0 && last + 1 == text.size()) return;
    *this = CCharString(text.substr(first, last + 1 - first));
}

namespace {
// A Qt program calls setlocale(LC_ALL, ""): printed numbers must still read "30.5", in file
// names, tags, the items list and the terminal alike. uselocale only affects this thread.
class CNumbersInCLocale {
public:
    CNumbersInCLocale() : m_previous(uselocale(CLocale())) {}
    ~CNumbersInCLocale() { uselocale(m_previous); }
    CNumbersInCLocale(const CNumbersInCLocale&) = delete;
    CNumbersInCLocale& operator=(const CNumbersInCLocale&) = delete;

private:
    // Only the text of numbers depends on it: "%s" copies bytes in any locale.
    static locale_t CLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        return c;
    }
    locale_t m_previous;
};

std::string FormatV(const char* format, va_list args) {
    const CNumbersInCLocale numbers;
    // Most texts (times, numbers, names) fit here and are written once; a longer one is written
    // again at its measured length.
    char small[256];
    va_list again;
    va_copy(again, args);
    const int needed = vsnprintf(small, sizeof small, format, args);
    std::string out;
    if (needed > 0 && static_cast<size_t>(needed) < sizeof small) {
        out.assign(small, static_cast<size_t>(needed));
    } else if (needed > 0) {
        out.resize(static_cast<size_t>(needed) + 1);
        vsnprintf(out.data(), out.size(), format, again);
        out.resize(static_cast<size_t>(needed));
    }
    va_end(again);
    return out;
}
}  // namespace

void CCharString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    *this = CCharString(FormatV(format, args));
    va_end(args);
}

CCharString CCharString::Formatted(const char* format, ...) {
    va_list args;
    va_start(args, format);
    CCharString result(FormatV(format, args));
    va_end(args);
    return result;
}

bool CCharString::ToUtf8(const CCharString& local, std::string& utf8) {
    utf8.clear();
    if (local.IsEmpty()) return false;
    utf8 = ValidUtf8(local.view());
    return true;
}

bool CCharString::FromUtf8(std::string_view utf8, CCharString& local) {
    local = CCharString();
    if (utf8.empty()) return false;
    local = CCharString(ValidUtf8(utf8));
    return true;
}

std::string CCharString::ToCp932() const {
    static thread_local const Converter toCp932("CP932", "UTF-8");
    return toCp932.Run(view(), "?", SkipUtf8Char);
}

CCharString CCharString::FromCp932(std::string_view bytes) {
    static thread_local const Converter fromCp932("UTF-8", "CP932");
    return CCharString(fromCp932.Run(bytes, "\xEF\xBF\xBD", SkipCp932Char));
}

CCharString CCharString::FromUtf8OrCp932(std::string_view bytes) {
    return ValidUtf8(bytes) == bytes ? CCharString(bytes) : FromCp932(bytes);
}

bool CCharString::IsAscii() const {
    for (const char c : view())
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::string CCharString::ToUtf16(bool bigEndian) const {
    std::string out;
    const std::string_view text = view();
    out.reserve(text.size() * 2);
    auto put = [&](char16_t unit) {
        const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    for (size_t pos = 0; pos < text.size();) {
        const char32_t cp = DecodeUtf8(text, pos);
        if (cp >= 0x10000) {
            put(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            put(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            put(static_cast<char16_t>(cp));
        }
    }
    return out;
}

CCharString CCharString::FromUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    const size_t units = bytes.size() / 2;
    auto unitAt = [&](size_t i) {
        const auto a = static_cast<unsigned char>(bytes[2 * i]), b = static_cast<unsigned char>(bytes[2 * i + 1]);
        return static_cast<char32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    };
    for (size_t i = 0; i < units; ++i) {
        char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                EncodeUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
                ++i;
                continue;
            }
        }
        EncodeUtf8(unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit, out);
    }
    return CCharString(out);
}

CCharString operator+(const CCharString& a, const CCharString& b) {
    CCharString result(a);
    result += b;
    return result;
}

CCharString operator+(const char* a, const CCharString& b) { return CCharString(a) + b; }
CCharString operator+(const CCharString& a, const char* b) { return a + CCharString(b); }
