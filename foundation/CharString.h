// CCharString: the program's 8-bit text, UTF-8 on Linux, with a shared copy-on-change buffer.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

class CCharString {
public:
    CCharString() = default;
    CCharString(const char* text);
    CCharString(std::string_view text);
    CCharString(const std::string& text) : CCharString(std::string_view(text)) {}

    CCharString& operator=(const char* text);
    CCharString& operator+=(const char* text);
    CCharString& operator+=(const CCharString& text);
    CCharString& operator+=(char c);

    int GetLength() const { return m_buffer ? static_cast<int>(m_buffer->size()) : 0; }
    bool IsEmpty() const { return GetLength() == 0; }
    const char* c_str() const { return m_buffer ? m_buffer->c_str() : ""; }
    operator const char*() const { return c_str(); }
    std::string_view view() const { return {c_str(), static_cast<size_t>(GetLength())}; }
    std::string str() const { return std::string(view()); }
    unsigned char ByteAt(int index) const { return static_cast<unsigned char>(c_str()[index]); }

    // -1, 0 or 1; bytes compared as unsigned values.
    int Compare(const char* text, bool ignoreCase = false) const;
    bool operator==(const char* text) const { return Compare(text) == 0; }
    bool operator==(const CCharString& text) const { return Compare(text.c_str()) == 0; }

    // Byte index of the first match at or after start, or -1. Only character starts are tried.
    int Find(const char* text, int start = 0) const;
    CCharString Mid(int start, int count = -1) const;
    CCharString Left(int count) const;
    int ReplaceAll(const char* oldText, const char* newText);
    void Trim();

    // printf-style; sized by a measuring pass, so it cannot overrun whatever the arguments.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    static CCharString Formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));

    // Local text and UTF-8: both are UTF-8 here, so these validate. An empty text fails;
    // a malformed sequence becomes U+FFFD instead of failing the whole text.
    static bool ToUtf8(const CCharString& local, std::string& utf8);
    static bool FromUtf8(std::string_view utf8, CCharString& local);

    // Shift-JIS (CP932), as tag formats store 8-bit text. A character CP932 cannot hold
    // becomes "?"; a byte sequence that is not CP932 becomes U+FFFD.
    std::string ToCp932() const;
    static CCharString FromCp932(std::string_view bytes);
    // 8-bit text a tag stored: UTF-8 as written now, or Shift-JIS as older versions wrote,
    // told apart by whether the bytes are valid UTF-8.
    static CCharString FromUtf8OrCp932(std::string_view bytes);
    bool IsAscii() const;

    // UTF-16 without terminator or byte-order mark, in the given byte order.
    std::string ToUtf16(bool bigEndian) const;
    static CCharString FromUtf16(std::string_view bytes, bool bigEndian);

private:
    std::string& Own();

    std::shared_ptr<std::string> m_buffer;
};

CCharString operator+(const CCharString& a, const CCharString& b);
CCharString operator+(const char* a, const CCharString& b);
CCharString operator+(const CCharString& a, const char* b);

// Byte length of the UTF-8 character that starts with this byte (1 for a stray byte).
int Utf8CharLength(unsigned char lead);
