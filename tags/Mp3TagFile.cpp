// Tag writing for MP3-family files: the audio is moved to its new place and the tags put around it.
#include "tags/Mp3TagFile.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "foundation/StepHook.h"
#include "tags/FormatFailures.h"
#include "tags/Id3v1.h"
#include "tags/RiffInfo.h"

namespace {

void PutLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

Result<void> WriteAt(CFileStream& file, int64_t offset, const void* data, int64_t length) {
    if (Result<void> found = file.Seek(offset, CFileStream::kFromStart); !found) return found;
    return file.Write(data, length);
}

Result<void> WriteInPlace(CFileStream& file, const std::string& head, int64_t audioLength, const std::string& trailer) {
    const auto headLength = static_cast<int64_t>(head.size());
    const int64_t end = headLength + audioLength + static_cast<int64_t>(trailer.size());
    Result<void> done = file.Reserve(end);
    if (done) done = WriteAt(file, headLength + audioLength, trailer.data(), static_cast<int64_t>(trailer.size()));
    if (done) done = file.SetEndOfFile();
    if (done) done = WriteAt(file, 0, head.data(), headLength);
    return done;
}

std::string BuildId3v2(const TagFieldSet& tags, CId3v2Tag& tag) {
    tag.version = 3;
    // An encoding every text can take, so no frame is refused.
    tag.textEncoding = 0;
    const std::pair<const char*, CCharString> frames[] = {
        {"TIT2", tags.title}, {"TPE1", tags.artist}, {"TALB", tags.album},
        {"TYER", tags.year},  {"TCON", tags.genre},  {"COMM", tags.comment},
    };
    for (const auto& [id, text] : frames) static_cast<void>(tag.SetFrameText(id, text));
    if (tags.trackNumber >= 0)
        static_cast<void>(tag.SetFrameText("TRCK", CCharString::Formatted("%d", tags.trackNumber)));
    if (tags.loudness) {
        tag.SetUserText("REPLAYGAIN_TRACK_GAIN", ReplayGainText(*tags.loudness));  // untranslated: a tag key
        tag.SetUserText("REPLAYGAIN_TRACK_PEAK", ReplayPeakText(*tags.loudness));  // untranslated: a tag key
    }
    return tag.Render();
}

}  // namespace

void BuildRiffMp3Header(unsigned char* header, uint32_t audioLength) {
    memcpy(header, "RIFF", 4);
    PutLe32(header + 4, audioLength + 12);
    memcpy(header + 8, "RMP3data", 8);
    PutLe32(header + 16, audioLength);
}

Result<void> WriteMp3Tags(CFileStream& file, Mp3TagOptions options, const TagFieldSet& tags, CId3v2Tag* id3v2) {
    Mp3FileInfo info;
    if (!ReadMp3FileInfo(file, info, true, nullptr, nullptr)) return NotFormat("MPEG");

    std::string head;
    int flags = options.flags;
    if (options.container == kContainerMp3) {
        if (flags & kTagId3v2) {
            CId3v2Tag local;
            CId3v2Tag& tag = id3v2 ? *id3v2 : local;
            head = BuildId3v2(tags, tag);
            if (head.empty()) return KindFailure(FailureKind::kBadValue, UserText("Mp3TagFile", "ID3v2 タグを作れません"));
            // The room in front of the audio (the writer reserves it) takes the tag, its padding
            // resized, so the audio stays where it is.
            const int64_t frameBytes = static_cast<int64_t>(head.size()) - 10 - tag.paddingSize;
            const int64_t room = info.audioOffset - 10 - frameBytes;
            if ((info.tagFlags & kTagId3v2) && room >= 0 && room <= INT32_MAX) {
                tag.paddingSize = static_cast<int>(room);
                head = tag.Render();
            }
        }
    } else if (options.container == kContainerRiffMp3) {
        // The RIFF size is only known after the trailer; it is patched below.
        if (info.audioLength > 0xFFFFFFFFLL - 12) return TooLongForRiff();
        head.resize(kRiffMp3HeaderSize);
        BuildRiffMp3Header(reinterpret_cast<unsigned char*>(head.data()), static_cast<uint32_t>(info.audioLength));
        if (flags > 0) flags = kTagRiffInfo;
    } else {
        return KindFailure(FailureKind::kBadValue, UserText("Mp3TagFile", "MP3 のコンテナが選ばれていません"));
    }

    std::string trailer;
    if (flags & kTagRiffInfo) {
        trailer = BuildInfoList(tags);
    } else if (flags & kTagId3v1) {
        unsigned char block[kId3v1Size];
        BuildId3v1(block, tags, (flags & kTagId3v1Track) != 0);
        trailer.assign(reinterpret_cast<const char*>(block), kId3v1Size);
    }
    const auto headLength = static_cast<int64_t>(head.size());
    const int64_t end = headLength + info.audioLength + static_cast<int64_t>(trailer.size());
    if (options.container == kContainerRiffMp3) {
        if (end - 8 > 0xFFFFFFFFLL) return TooLongForRiff();
        PutLe32(reinterpret_cast<unsigned char*>(head.data() + 4), static_cast<uint32_t>(end - 8));
    }

    // In place: the trailer first, then the head, one write within the file's first page when the
    // writer reserved the room, so a kill leaves the old head or the new one. With the room taken
    // first, a full disk leaves the file untouched.
    const Result<void> written = headLength == info.audioOffset
                                     ? WriteInPlace(file, head, info.audioLength, trailer)
                                     : RewriteThroughTemporary(file, head, info.audioOffset, info.audioLength, trailer);
    static_cast<void>(file.Seek(0, CFileStream::kFromStart));
    return written;
}

Result<void> WriteMp3TagsByName(const char* name, Mp3TagOptions options, const TagFieldSet& tags) {
    CFileStream file;
    if (Result<void> opened = file.Open(name, CFileStream::kReadWrite); !opened) return opened;
    return WriteMp3Tags(file, options, tags);
}

CMp3TagFile::~CMp3TagFile() { static_cast<void>(CMp3TagFile::Close()); }

Result<void> CMp3TagFile::Open(const char* name) {
    if (IsOpen()) static_cast<void>(Close());
    m_skipTrailingTags = false;
    return CTagFile::Open(name);
}

Result<void> CMp3TagFile::AttachFile(std::unique_ptr<CFileStream> file) {
    if (Result<void> attached = CTagFile::AttachFile(std::move(file)); !attached) return attached;
    if (!ReadMp3FileInfo(*m_file, m_info, !m_skipTrailingTags, &m_id3v2, &m_tags)) {
        static_cast<void>(CTagFile::Close());
        return NotFormat("MPEG");
    }
    return {};
}

Result<void> CMp3TagFile::Write() {
    m_changed = true;
    if (m_options.container <= 0) m_options.container = kContainerMp3;
    if (m_options.flags <= 0) m_options.flags = kTagId3v1 | kTagId3v1Track | kTagId3v2;
    return {};
}

Result<void> CMp3TagFile::Close() {
    Result<void> written;
    if (m_changed) {
        m_changed = false;
        if (m_file) written = WriteMp3Tags(*m_file, m_options, m_tags);
        else if (!m_name.IsEmpty()) written = WriteMp3TagsByName(m_name.c_str(), m_options, m_tags);
    }
    Result<void> closed = CTagFile::Close();
    if (!closed) return closed;
    return written;
}
