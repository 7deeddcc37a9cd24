// Whole Ogg pages into a track's file.
#include "audiofile/OggPageOutput.h"

namespace {

// A 27-byte header, 255 lacing values, 255 segments of 255 bytes.
constexpr size_t kLargestPage = 27 + 255 + 255 * 255;

}  // namespace

void COggPageOutput::Begin(CFileStream* file) {
    m_file = file;
    m_failed = false;
    m_fileError = 0;
    m_end = file ? file->Tell() : 0;
    m_lastPage.bytes.clear();
    // No allocation per page once a track runs.
    m_lastPage.bytes.reserve(kLargestPage);
}

bool COggPageOutput::Write(const ogg_page& page) {
    if (m_failed || !m_file) return false;
    Result<void> written = m_file->Write(page.header, page.header_len);
    if (written) written = m_file->Write(page.body, page.body_len);
    if (!written) {
        m_fileError = written.error().error;
        static_cast<void>(m_file->SetLength(m_end));
        m_failed = true;
        return false;
    }
    m_end += page.header_len + page.body_len;
    m_lastPage.bytes.assign(page.header, page.header + page.header_len);
    m_lastPage.bytes.insert(m_lastPage.bytes.end(), page.body, page.body + page.body_len);
    m_lastPage.headerLength = page.header_len;
    return true;
}

bool COggPageOutput::MarkLastPageEndOfStream() {
    if (!m_file || m_lastPage.bytes.size() < 27) return false;
    m_lastPage.MarkEndOfStream();
    m_lastPage.SetChecksum();
    const int64_t start = m_end - static_cast<int64_t>(m_lastPage.bytes.size());
    return m_file->Seek(start, CFileStream::kFromStart) &&
           m_file->Write(m_lastPage.bytes.data(), m_lastPage.headerLength);
}

bool COggPageOutput::Finish() {
    if (!m_file) return false;
    if (m_failed) MarkLastPageEndOfStream();
    return m_file->SetLength(m_end) && !m_failed;
}
