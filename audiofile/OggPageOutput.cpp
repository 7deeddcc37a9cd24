// Whole Ogg pages into a track's file.
#include "audiofile/OggPageOutput.h"

#include "tags/OggCommentHeader.h"

namespace {

// A 27-byte header, 255 lacing values, 255 segments of 255 bytes.
constexpr size_t kLargestPage = 27 + 255 + 255 * 255;

Failure NoFile() { return KindFailure(FailureKind::kMissing, UserText("OggPageOutput", "ページを書き込むファイルがありません")); }

}  // namespace

void COggPageOutput::Begin(CFileStream* file) {
    m_file = file;
    m_written = {};
    m_end = file ? file->Tell() : 0;
    m_lastPage.bytes.clear();
    // No allocation per page once a track runs.
    m_lastPage.bytes.reserve(kLargestPage);
}

Result<void> COggPageOutput::Write(const ogg_page& page) {
    if (ogg_page_pageno(&page) != 1) return WriteWhole(page);
    OggPageBytes padded;
    padded.bytes.assign(page.header, page.header + page.header_len);
    padded.bytes.insert(padded.bytes.end(), page.body, page.body + page.body_len);
    padded.headerLength = page.header_len;
    PadToCommentRoom(padded, m_end);
    return WriteWhole(padded.View());
}

Result<void> COggPageOutput::WriteWhole(const ogg_page& page) {
    if (!m_written) return m_written;
    if (!m_file) return NoFile();
    Result<void> written = m_file->Write(page.header, page.header_len);
    if (written) written = m_file->Write(page.body, page.body_len);
    if (!written) {
        static_cast<void>(m_file->SetLength(m_end));
        m_written = written;
        return written;
    }
    m_end += page.header_len + page.body_len;
    m_lastPage.bytes.assign(page.header, page.header + page.header_len);
    m_lastPage.bytes.insert(m_lastPage.bytes.end(), page.body, page.body + page.body_len);
    m_lastPage.headerLength = page.header_len;
    return {};
}

Result<void> COggPageOutput::MarkLastPageEndOfStream() {
    if (!m_file || m_lastPage.bytes.size() < 27)
        return KindFailure(FailureKind::kMissing, UserText("OggPageOutput", "印を付ける完全なページがありません"));
    m_lastPage.MarkEndOfStream();
    m_lastPage.SetChecksum();
    const int64_t start = m_end - static_cast<int64_t>(m_lastPage.bytes.size());
    if (Result<void> sought = m_file->Seek(start, CFileStream::kFromStart); !sought) return sought;
    return m_file->Write(m_lastPage.bytes.data(), m_lastPage.headerLength);
}

Result<void> COggPageOutput::Finish() {
    if (!m_file) return NoFile();
    // Unmarked, the stream still ends at its last whole page; the failure told is the write's.
    if (!m_written) static_cast<void>(MarkLastPageEndOfStream());
    return FirstFailure(m_written, m_file->SetLength(m_end));
}
