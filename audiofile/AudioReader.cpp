// The reader base: opening by name or by file, the tag editor beside it, closing.
#include "audiofile/AudioReader.h"

#include "tags/FormatFailures.h"

#include <cerrno>

namespace {

// A file object that forwards to another one and never closes it: the tag editor reads
// through it while the reader keeps ownership of the real file.
class CBorrowedFileStream : public CFileStream {
public:
    explicit CBorrowedFileStream(CFileStream& file) : m_file(&file) {}

    Result<void> Open(const char*, int) override { return Gone(); }
    bool IsOpen() const override { return m_file && m_file->IsOpen(); }
    Result<int64_t> Read(void* buffer, int64_t length) override {
        return m_file ? m_file->Read(buffer, length) : Gone();
    }
    Result<void> Write(const void* buffer, int64_t length) override {
        return m_file ? m_file->Write(buffer, length) : Gone();
    }
    Result<void> Seek(int64_t offset, int origin) override { return m_file ? m_file->Seek(offset, origin) : Gone(); }
    void Close() override { m_file = nullptr; }
    Result<void> Flush() override { return m_file ? m_file->Flush() : Gone(); }
    int64_t GetSize() const override { return m_file ? m_file->GetSize() : -1; }
    bool IsEof() const override { return m_file && m_file->IsEof(); }
    int64_t Tell() const override { return m_file ? m_file->Tell() : -1; }
    Result<void> SetEndOfFile() override { return m_file ? m_file->SetEndOfFile() : Gone(); }
    Result<void> SetLength(int64_t length) override { return m_file ? m_file->SetLength(length) : Gone(); }

private:
    static Failure Gone() { return ErrnoFailure(EBADF); }

    CFileStream* m_file;
};

}  // namespace

CAudioReader::~CAudioReader() { static_cast<void>(CAudioReader::Close()); }

std::unique_ptr<CFileStream> CAudioReader::BorrowFile(CFileStream& file) {
    return std::make_unique<CBorrowedFileStream>(file);
}

Result<void> CAudioReader::OpenTagFile(const char* name) {
    if (!m_tagFile) m_tagFile = NewTagFile();
    return m_tagFile->Open(name);
}

Result<void> CAudioReader::Open(const char* name) {
    if (m_open) static_cast<void>(Close());
    auto file = std::make_unique<CFileStream>();
    if (!name) return ErrnoFailure(EINVAL);
    if (Result<void> opened = file->Open(name, CFileStream::kRead); !opened)
        return Unreadable(name, std::move(opened).error());
    // Tags that cannot be read by name are read from the file below, or stay empty.
    static_cast<void>(OpenTagFile(name));
    m_name = name;
    m_openedByName = true;
    if (Result<void> attached = AttachFile(std::move(file)); !attached) {
        // Whatever the format step left behind goes, so a refused file holds nothing open.
        m_file.reset();
        m_tagFile.reset();
        m_name = CCharString();
        m_openedByName = false;
        return Unreadable(name, std::move(attached).error());
    }
    CopyStreamInfo(*m_tagFile);
    return {};
}

Failure CAudioReader::Unreadable(const char* name, Failure why) {
    why.message = UserText("AudioReader", "%1 を読めません: %2").Arg(name).Arg(std::move(why.message));
    return why;
}

Result<void> CAudioReader::AttachFile(std::unique_ptr<CFileStream> file) {
    if (!file) return NoFileToAttach();
    if (m_open) static_cast<void>(Close());
    m_open = true;
    m_file = std::move(file);
    if (!m_tagFile) m_tagFile = NewTagFile();
    if (!m_tagFile->IsOpen()) {
        const int64_t position = m_file->Tell();
        static_cast<void>(m_tagFile->AttachFile(BorrowFile(*m_file)));
        static_cast<void>(m_file->Seek(position, CFileStream::kFromStart));
    }
    CopyStreamInfo(*m_tagFile);
    return {};
}

Result<void> CAudioReader::Close() {
    const bool wasOpen = m_open;
    if (m_open) {
        m_position = 0;
        m_length = 0;
        m_open = false;
        m_block = nullptr;
        m_blockBytes = 0;
    }
    // The editor goes first: it may still read through a view of the reader's file.
    if (m_tagFile) static_cast<void>(m_tagFile->Close());
    m_tagFile.reset();
    m_file.reset();
    m_name = CCharString();
    m_openedByName = false;
    if (!wasOpen) return NoFileOpen();
    return {};
}

Result<void> CAudioReader::Begin() { return m_open ? Result<void>() : NoFileOpen(); }

Result<void> CAudioReader::End() { return m_open ? Result<void>() : NoFileOpen(); }

void CAudioReader::CopyStreamInfo(CTagFile& editor) const {
    StreamInfo& stream = editor.Stream();
    stream.present = true;
    stream.sampleRate = m_sampleRate;
    stream.channels = m_channels;
    stream.bitsPerSample = m_bitsPerSample;
    stream.bitrate = m_bitrate;
    stream.durationMs = GetDuration();
}
