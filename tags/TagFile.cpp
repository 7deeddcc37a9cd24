// The tag editor base: opening, attaching and releasing the file.
#include "tags/TagFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "foundation/StepHook.h"

CTagFile::~CTagFile() { CTagFile::Close(); }

int CTagFile::Open(const char* name) {
    if (m_open) Close();
    if (!OpenFile(name)) return 0;
    m_name = name;
    return 1;
}

int CTagFile::AttachFile(std::unique_ptr<CFileStream> file) {
    if (!file) return 0;
    m_file = std::move(file);
    m_open = true;
    return 1;
}

void CTagFile::Clear() {
    m_tags = TagFieldSet();
    m_stream = StreamInfo();
}

int CTagFile::Close() {
    m_name = CCharString();
    m_file.reset();
    const bool wasOpen = m_open;
    m_open = false;
    return wasOpen ? 1 : 0;
}

int CTagFile::ReplaceWithRewrite(const CCharString& temporary, bool written) {
    const CCharString name = m_name;
    struct stat original;
    if (written && stat(name, &original) == 0) written = chmod(temporary, original.st_mode & 07777) == 0;
    if (!written) {
        unlink(temporary);
        return 0;
    }
    Close();
    ReachedStep("rewrite-renaming");
    if (rename(temporary, name) != 0) {
        unlink(temporary);
        Open(name);
        return 0;
    }
    return Open(name);
}

bool CreateRewriteFile(CFileStream& file, const CCharString& temporary) {
    constexpr int kMode = CFileStream::kWrite | CFileStream::kNew;
    const Result<void> opened = file.Open(temporary, kMode);
    if (opened) return true;
    struct stat st {};
    return opened.error().error == EEXIST && lstat(temporary, &st) == 0 && S_ISREG(st.st_mode) &&
           unlink(temporary) == 0 && file.Open(temporary, kMode);
}

namespace {

constexpr int64_t kCopyChunk = 1 << 20;

}  // namespace

bool RewriteThroughTemporary(CFileStream& file, const std::string& head, int64_t audioOffset, int64_t audioLength,
                             const std::string& trailer) {
    const CCharString name = file.Path();
    if (name.IsEmpty()) return false;
    const CCharString temporary = name + kRewriteSuffix;
    CFileStream copy;
    if (!CreateRewriteFile(copy, temporary)) return false;
    bool ok = copy.Write(head.data(), static_cast<int64_t>(head.size())) &&
              file.Seek(audioOffset, CFileStream::kFromStart);
    std::vector<unsigned char> buffer(static_cast<size_t>(std::min(std::max<int64_t>(audioLength, 1), kCopyChunk)));
    for (int64_t done = 0; ok && done < audioLength;) {
        const int64_t n = std::min(static_cast<int64_t>(buffer.size()), audioLength - done);
        ok = file.Read(buffer.data(), n).value_or(-1) == n && copy.Write(buffer.data(), n);
        done += n;
    }
    ok = ok && copy.Write(trailer.data(), static_cast<int64_t>(trailer.size())) && copy.Flush();
    copy.Close();
    struct stat st {};
    if (ok && stat(name.c_str(), &st) == 0) chmod(temporary.c_str(), st.st_mode & 07777);
    if (ok) ReachedStep("rewrite-renaming");
    if (!ok || rename(temporary.c_str(), name.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    // The stream goes on with the finished file, not the one the name no longer holds.
    return file.Open(name, CFileStream::kReadWrite).has_value();
}

bool RewriteTags(CTagFile& editor, const char* name, const TagFieldSet& tags) {
    ReachedStep("tagging");
    if (!editor.Open(name)) return false;
    editor.Tags() = tags;
    const bool written = editor.Write() != 0;
    // Some editors store only when closed.
    return editor.Close() != 0 && written;
}

int CTagFile::OpenFile(const char* name) {
    // Read/write mode would create a missing file; an editor must never make an empty track.
    if (!name || access(name, F_OK) != 0) return 0;
    auto file = std::make_unique<CFileStream>();
    if (!file->Open(name, CFileStream::kReadWrite) && !file->Open(name, CFileStream::kRead)) return 0;
    return AttachFile(std::move(file));
}
