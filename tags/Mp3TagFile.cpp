// Tag writing for MP3-family files: the audio is moved to its new place and the tags put around it.
#include "tags/Mp3TagFile.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "foundation/StepHook.h"
#include "tags/Id3v1.h"
#include "tags/RiffInfo.h"

namespace {

void PutLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

bool WriteAt(CFileStream& file, int64_t offset, const void* data, int64_t length) {
    return file.Seek(offset, CFileStream::kFromStart) && file.Write(data, length);
}

std::string BuildId3v2(const TagFieldSet& tags, CId3v2Tag& tag) {
    tag.version = 3;
    tag.textEncoding = 0;
    tag.SetFrameText("TIT2", tags.title);
    tag.SetFrameText("TPE1", tags.artist);
    tag.SetFrameText("TALB", tags.album);
    tag.SetFrameText("TYER", tags.year);
    tag.SetFrameText("TCON", tags.genre);
    tag.SetFrameText("COMM", tags.comment);
    if (tags.trackNumber >= 0) tag.SetFrameText("TRCK", CCharString::Formatted("%d", tags.trackNumber));
    return tag.Render();
}

}  // namespace

void BuildRiffMp3Header(unsigned char* header, uint32_t audioLength) {
    memcpy(header, "RIFF", 4);
    PutLe32(header + 4, audioLength + 12);
    memcpy(header + 8, "RMP3data", 8);
    PutLe32(header + 16, audioLength);
}

int WriteMp3Tags(CFileStream& file, Mp3TagOptions options, const TagFieldSet& tags, CId3v2Tag* id3v2) {
    Mp3FileInfo info;
    if (!ReadMp3FileInfo(file, info, true, nullptr, nullptr)) return 0;

    std::string head;
    int flags = options.flags;
    if (options.container == kContainerMp3) {
        if (flags & kTagId3v2) {
            CId3v2Tag local;
            CId3v2Tag& tag = id3v2 ? *id3v2 : local;
            head = BuildId3v2(tags, tag);
            if (head.empty()) return 0;
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
        if (info.audioLength > 0xFFFFFFFFLL - 12) return 0;
        head.resize(kRiffMp3HeaderSize);
        BuildRiffMp3Header(reinterpret_cast<unsigned char*>(head.data()), static_cast<uint32_t>(info.audioLength));
        if (flags > 0) flags = kTagRiffInfo;
    } else {
        return 0;
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
        if (end - 8 > 0xFFFFFFFFLL) return 0;
        PutLe32(reinterpret_cast<unsigned char*>(head.data() + 4), static_cast<uint32_t>(end - 8));
    }

    bool ok;
    if (headLength == info.audioOffset) {
        // In place: the trailer first, then the head, one write within the file's first page
        // when the writer reserved the room, so a kill leaves the old head or the new one.
        // With the room taken first, a full disk leaves the file untouched.
        ok = file.Reserve(end) &&
             WriteAt(file, headLength + info.audioLength, trailer.data(), static_cast<int64_t>(trailer.size())) &&
             file.SetEndOfFile() && WriteAt(file, 0, head.data(), headLength);
    } else {
        ok = RewriteThroughTemporary(file, head, info.audioOffset, info.audioLength, trailer);
    }
    static_cast<void>(file.Seek(0, CFileStream::kFromStart));
    return ok ? 1 : 0;
}

int WriteMp3TagsByName(const char* name, Mp3TagOptions options, const TagFieldSet& tags) {
    CFileStream file;
    if (!file.Open(name, CFileStream::kReadWrite)) return 0;
    return WriteMp3Tags(file, options, tags);
}

CMp3TagFile::~CMp3TagFile() { CMp3TagFile::Close(); }

int CMp3TagFile::Open(const char* name) {
    if (IsOpen()) Close();
    m_skipTrailingTags = false;
    return CTagFile::Open(name);
}

int CMp3TagFile::AttachFile(std::unique_ptr<CFileStream> file) {
    if (!CTagFile::AttachFile(std::move(file))) return 0;
    if (!ReadMp3FileInfo(*m_file, m_info, !m_skipTrailingTags, &m_id3v2, &m_tags)) {
        CTagFile::Close();
        return 0;
    }
    return 1;
}

int CMp3TagFile::Write() {
    m_changed = true;
    if (m_options.container <= 0) m_options.container = kContainerMp3;
    if (m_options.flags <= 0) m_options.flags = kTagId3v1 | kTagId3v1Track | kTagId3v2;
    return 1;
}

int CMp3TagFile::Close() {
    int result = 1;
    if (m_changed) {
        m_changed = false;
        if (m_file) result = WriteMp3Tags(*m_file, m_options, m_tags);
        else if (!m_name.IsEmpty()) result = WriteMp3TagsByName(m_name.c_str(), m_options, m_tags);
    }
    return CTagFile::Close() && result;
}
