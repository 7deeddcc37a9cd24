// CMemoryStream: a read-only CFileStream over the fuzzer's bytes, so parsers run without touching the disk.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "foundation/FileStream.h"

class CMemoryStream : public CFileStream {
public:
    CMemoryStream(const uint8_t* data, size_t size) : m_data(data), m_size(static_cast<int64_t>(size)) {}

    bool IsOpen() const override { return true; }
    Result<int64_t> Read(void* buffer, int64_t length) override {
        if (length < 0) return SystemFailure(EINVAL, UserText::Verbatim("invalid length"));
        const int64_t n = std::clamp<int64_t>(m_size - m_position, 0, length);
        if (n > 0) memcpy(buffer, m_data + m_position, static_cast<size_t>(n));
        m_position += n;
        m_eof = n == 0;
        return n;
    }
    Result<void> Write(const void*, int64_t) override { return ReadOnly(); }
    Result<void> Seek(int64_t offset, int origin) override {
        const int64_t base = origin == kFromStart ? 0 : origin == kFromCurrent ? m_position : m_size;
        if (base + offset < 0) return SystemFailure(EINVAL, UserText::Verbatim("seek before the start"));
        m_position = base + offset;
        return {};
    }
    void Close() override {}
    Result<void> Flush() override { return {}; }
    int64_t GetSize() const override { return m_size; }
    bool IsEof() const override { return m_eof; }
    int64_t Tell() const override { return m_position; }
    Result<void> SetEndOfFile() override { return ReadOnly(); }
    Result<void> SetLength(int64_t) override { return ReadOnly(); }

private:
    static Failure ReadOnly() { return SystemFailure(EBADF, UserText::Verbatim("read-only")); }

    const uint8_t* m_data;
    int64_t m_size;
    int64_t m_position = 0;
    bool m_eof = false;
};
