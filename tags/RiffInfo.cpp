// Writing and reading RIFF INFO lists.
#include "tags/RiffInfo.h"

#include <cstring>

#include "tags/Id3v1.h"

namespace {

constexpr uint32_t kMaxSubChunk = 0x80000;

void AppendLe32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
}

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

void AppendText(std::string& out, const char* id, const CCharString& text) {
    // UTF-8, the local text; the ID3v1 block beside it keeps Shift-JIS.
    std::string bytes;
    CCharString::ToUtf8(text, bytes);  // an empty text stays empty
    const size_t size = (bytes.size() + 2) & ~size_t(1);  // text, NUL, pad to even
    out.append(id, 4);
    AppendLe32(out, static_cast<uint32_t>(size));
    out += bytes;
    out.append(size - bytes.size(), '\0');
}

CCharString* TextField(TagFieldSet& tags, const unsigned char* id) {
    struct Field {
        const char* id;
        CCharString TagFieldSet::*member;
    };
    static constexpr Field kFields[] = {
        {"INAM", &TagFieldSet::title},   {"IART", &TagFieldSet::artist},  {"IPRD", &TagFieldSet::album},
        {"ICRD", &TagFieldSet::year},    {"ICMT", &TagFieldSet::comment}, {"IGNR", &TagFieldSet::genre},
    };
    for (const Field& f : kFields)
        if (memcmp(id, f.id, 4) == 0) return &(tags.*f.member);
    return nullptr;
}

}  // namespace

std::string BuildInfoList(const TagFieldSet& tags) {
    std::string list = "LIST";
    AppendLe32(list, 0);
    list += "INFO";
    AppendText(list, "INAM", tags.title);
    AppendText(list, "IART", tags.artist);
    AppendText(list, "IPRD", tags.album);
    AppendText(list, "ICRD", tags.year);
    AppendText(list, "ICMT", tags.comment);
    AppendText(list, "IGNR", tags.genre);
    // The INFO block carries a track number only from 1 on.
    TagFieldSet id3 = tags;
    if (id3.trackNumber <= 0) id3.trackNumber = -1;
    unsigned char block[kId3v1Size];
    BuildId3v1(block, id3, true);
    list += "IID3";
    AppendLe32(list, kId3v1Size);
    list.append(reinterpret_cast<const char*>(block), kId3v1Size);
    const uint32_t size = static_cast<uint32_t>(list.size() - 8);
    for (int i = 0; i < 4; ++i) list[4 + i] = static_cast<char>(size >> (8 * i));
    return list;
}

bool ReadInfoList(CFileStream& file, TagFieldSet& tags, int64_t* listLength) {
    unsigned char header[12];
    if (file.Read(header, sizeof header).value_or(-1) != static_cast<int64_t>(sizeof header) || memcmp(header, "LIST", 4) != 0 ||
        memcmp(header + 8, "INFO", 4) != 0)
        return false;
    const uint32_t listSize = Le32(header + 4);
    if (listLength) *listLength = 8 + static_cast<int64_t>(listSize);
    // Sub-chunks end where the list ends, whatever follows it.
    int64_t left = static_cast<int64_t>(listSize) - 4;
    std::string data;  // data() is never null, even for an empty sub-chunk
    while (left >= 8) {
        unsigned char sub[8];
        if (file.Read(sub, sizeof sub).value_or(-1) != static_cast<int64_t>(sizeof sub)) break;
        const uint32_t size = (Le32(sub + 4) + 1) & ~1u;
        if (Le32(sub + 4) > kMaxSubChunk) return false;
        data.resize(size);
        if (file.Read(data.data(), size).value_or(-1) != static_cast<int64_t>(size)) break;
        left -= 8 + static_cast<int64_t>(size);
        if (CCharString* field = TextField(tags, sub)) {
            *field = CCharString::FromUtf8OrCp932(std::string_view(data.data(), strnlen(data.data(), size)));
        } else if (memcmp(sub, "IID3", 4) == 0 && size >= kId3v1Size) {
            const auto* block = reinterpret_cast<const unsigned char*>(data.data());
            if (block[125] == 0) tags.trackNumber = block[126];
            tags.genreNumber = block[127];
            tags.genre = GenreName(block[127]);
        }
    }
    return true;
}
