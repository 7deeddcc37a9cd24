// The tag editor base: opening, attaching and releasing the file.
#include "tags/TagFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "foundation/StepHook.h"
#include "tags/FormatFailures.h"

CTagFile::~CTagFile() { static_cast<void>(CTagFile::Close()); }

Result<void> CTagFile::Open(const char* name) {
    if (m_open) static_cast<void>(Close());
    if (Result<void> opened = OpenFile(name); !opened) return opened;
    m_name = name;
    return {};
}

Result<void> CTagFile::AttachFile(std::unique_ptr<CFileStream> file) {
    if (!file) return NoFileToAttach();
    m_file = std::move(file);
    m_open = true;
    return {};
}

void CTagFile::Clear() {
    m_tags = TagFieldSet();
    m_stream = StreamInfo();
}

Result<void> CTagFile::Close() {
    m_name = CCharString();
    m_file.reset();
    const bool wasOpen = m_open;
    m_open = false;
    if (!wasOpen) return NoFileOpen();
    return {};
}

Result<void> CTagFile::RewriteAndReopen(const std::function<Result<void>(CFileStream& copy)>& writeCopy) {
    const CCharString name = m_name;
    if (Result<void> replaced = ReplaceThroughTemporary(name, writeCopy); !replaced) return replaced;
    static_cast<void>(Close());
    return Open(name);
}

namespace {

constexpr int64_t kCopyChunk = 1 << 20;

Result<void> CreateRewriteFile(CFileStream& file, const CCharString& temporary) {
    constexpr int kMode = CFileStream::kWrite | CFileStream::kNew;
    Result<void> opened = file.Open(temporary, kMode);
    if (opened || opened.error().error != EEXIST) return opened;
    struct stat st {};
    if (lstat(temporary, &st) != 0) return ErrnoFailure(errno);
    if (!S_ISREG(st.st_mode)) return opened;
    if (unlink(temporary) != 0) return ErrnoFailure(errno);
    return file.Open(temporary, kMode);
}

// The copy in the name's place, with the original's permissions.
Result<void> RenameOver(const CCharString& temporary, const CCharString& name) {
    struct stat original {};
    if (stat(name, &original) == 0 && chmod(temporary, original.st_mode & 07777) != 0) return ErrnoFailure(errno);
    ReachedStep("rewrite-renaming");
    if (rename(temporary, name) != 0) return ErrnoFailure(errno);
    return {};
}

}  // namespace

Result<void> ReplaceThroughTemporary(const CCharString& name,
                                     const std::function<Result<void>(CFileStream& copy)>& writeCopy) {
    if (name.IsEmpty()) return KindFailure(FailureKind::kMissing, UserText("TagFile", "書き直すファイルに名前がありません"));
    const CCharString temporary = name + kRewriteSuffix;
    CFileStream copy;
    if (Result<void> created = CreateRewriteFile(copy, temporary); !created) return created;
    Result<void> written = writeCopy(copy);
    if (written) written = copy.Flush();
    copy.Close();
    if (written) written = RenameOver(temporary, name);
    if (!written) unlink(temporary);
    return written;
}

Result<void> RewriteThroughTemporary(CFileStream& file, const std::string& head, int64_t audioOffset,
                                     int64_t audioLength, const std::string& trailer) {
    const CCharString name = file.Path();
    Result<void> replaced = ReplaceThroughTemporary(name, [&](CFileStream& copy) -> Result<void> {
        if (Result<void> written = copy.Write(head.data(), static_cast<int64_t>(head.size())); !written) return written;
        if (Result<void> found = file.Seek(audioOffset, CFileStream::kFromStart); !found) return found;
        std::vector<unsigned char> buffer(
            static_cast<size_t>(std::min(std::max<int64_t>(audioLength, 1), kCopyChunk)));
        for (int64_t done = 0; done < audioLength;) {
            const int64_t n = std::min(static_cast<int64_t>(buffer.size()), audioLength - done);
            const Result<int64_t> got = file.Read(buffer.data(), n);
            if (!got) return got.error();
            if (*got != n) return KindFailure(FailureKind::kBadData, UserText("TagFile", "音声が記載の長さより前に終わっています"));
            if (Result<void> written = copy.Write(buffer.data(), n); !written) return written;
            done += n;
        }
        return copy.Write(trailer.data(), static_cast<int64_t>(trailer.size()));
    });
    if (!replaced) return replaced;
    // The stream goes on with the finished file, not the one the name no longer holds.
    return file.Open(name, CFileStream::kReadWrite);
}

Result<void> RewriteTags(CTagFile& editor, const char* name, const TagFieldSet& tags) {
    ReachedStep("tagging");
    if (Result<void> opened = editor.Open(name); !opened) return opened;
    editor.Tags() = tags;
    const Result<void> written = editor.Write();
    // Some editors store only when closed.
    Result<void> closed = editor.Close();
    if (!written) return written;
    return closed;
}

Result<void> CTagFile::OpenFile(const char* name) {
    // Read/write mode would create a missing file; an editor must never make an empty track.
    if (!name) return ErrnoFailure(EINVAL);
    if (access(name, F_OK) != 0) return ErrnoFailure(errno);
    auto file = std::make_unique<CFileStream>();
    if (!file->Open(name, CFileStream::kReadWrite)) {
        if (Result<void> opened = file->Open(name, CFileStream::kRead); !opened) return opened;
    }
    return AttachFile(std::move(file));
}
