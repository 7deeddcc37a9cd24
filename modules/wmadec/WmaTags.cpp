// WMADEC9.so, attribute half: ASF attributes through TagLib, texts exchanged as UTF-8.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include <taglib/asffile.h>
#include <taglib/asftag.h>

#include "abi/WmaDecoderAbi.h"
#include "foundation/FileRoom.h"
#include "modules/HandleTable.h"
#include "modules/wmadec/AsfHeaderCheck.h"

namespace {

struct TagFile {
    explicit TagFile(const char* name) : file(name, false) {}
    TagLib::ASF::File file;
    bool changed = false;
};

HandleTable<TagFile>& TagFiles() {
    static HandleTable<TagFile> table;
    return table;
}

// A text for the caller's buffer of `limit` bytes and a terminator; whole characters only.
std::string ToUtf8(const TagLib::String& text, size_t limit) {
    std::string out = text.to8Bit(true);
    if (out.size() <= limit) return out;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    out.resize(cut);
    return out;
}

TagLib::String AttributeName(const uint16_t* name) {
    std::wstring wide;
    for (; *name; ++name) wide += static_cast<wchar_t>(*name);
    return TagLib::String(wide);
}

// The content description object stores each text's length in bytes, terminator included, in
// 16 bits; TagLib writes a longer one whole behind a wrapped length, into its neighbours' place.
constexpr unsigned kLongestDescribedText = (0xFFFF - 2) / 2;

// The text cut to what the content description holds, never between the halves of a surrogate pair.
TagLib::String DescribedText(const TagLib::String& text) {
    if (text.size() <= kLongestDescribedText) return text;
    const wchar_t last = text[kLongestDescribedText - 1];
    return text.substr(0, last >= 0xD800 && last <= 0xDBFF ? kLongestDescribedText - 1 : kLongestDescribedText);
}

// The fields ASF keeps in its content description object rather than as attributes.
enum class Described { None, Title, Author, Description, Copyright, Rating };

Described DescribedField(const TagLib::String& name) {
    if (name == "Title") return Described::Title;
    if (name == "Author") return Described::Author;
    if (name == "Description") return Described::Description;
    if (name == "Copyright") return Described::Copyright;
    if (name == "Rating") return Described::Rating;
    return Described::None;
}

bool ReadDescribed(TagLib::ASF::Tag& tag, Described field, TagLib::String& value) {
    switch (field) {
    case Described::Title: value = tag.title(); break;
    case Described::Author: value = tag.artist(); break;
    case Described::Description: value = tag.comment(); break;
    case Described::Copyright: value = tag.copyright(); break;
    case Described::Rating: value = tag.rating(); break;
    case Described::None: return false;
    }
    return !value.isEmpty();
}

void WriteDescribed(TagLib::ASF::Tag& tag, Described field, const TagLib::String& value) {
    switch (field) {
    case Described::Title: tag.setTitle(value); break;
    case Described::Author: tag.setArtist(value); break;
    case Described::Description: tag.setComment(value); break;
    case Described::Copyright: tag.setCopyright(value); break;
    case Described::Rating: tag.setRating(value); break;
    case Described::None: break;
    }
}

bool AttributeNumber(const TagLib::ASF::Attribute& attribute, int64_t& number) {
    switch (attribute.type()) {
    case TagLib::ASF::Attribute::DWordType: number = attribute.toUInt(); return true;
    case TagLib::ASF::Attribute::QWordType: number = static_cast<int64_t>(attribute.toULongLong()); return true;
    case TagLib::ASF::Attribute::WordType: number = attribute.toUShort(); return true;
    case TagLib::ASF::Attribute::BoolType: number = attribute.toBool() ? 1 : 0; return true;
    case TagLib::ASF::Attribute::UnicodeType: {
        const std::string text = attribute.toString().to8Bit(true);
        char* end = nullptr;
        number = strtoll(text.c_str(), &end, 10);
        return end != text.c_str();
    }
    default: return false;
    }
}

// More than the header can grow by when saved: every attribute twice over (name in UTF-16, value,
// the descriptor's fields), the described texts, and the headers of the objects that hold them.
int64_t HeaderGrowthBound(const TagLib::ASF::Tag& tag) {
    int64_t bytes = 8192;
    for (const TagLib::String& text : {tag.title(), tag.artist(), tag.copyright(), tag.comment(), tag.rating()})
        bytes += 4 * static_cast<int64_t>(text.size()) + 2;
    for (const auto& [name, list] : tag.attributeListMap())
        for (const TagLib::ASF::Attribute& attribute : list)
            bytes += 2 * (4 * static_cast<int64_t>(name.size()) + attribute.dataSize() + 32);
    return bytes;
}

}  // namespace

MODULE_EXPORT WmaTagOpenFn WMATag_Open;
MODULE_EXPORT WmaTagGetAttrbFn WMATag_GetAttrb;
MODULE_EXPORT WmaTagSetAttrbFn WMATag_SetAttrb;
MODULE_EXPORT WmaTagCloseFn WMATag_Close;

int32_t WMATag_Open(const char* fileName) {
    // TagLib would take seconds over a few lying bytes; such a header has no attributes to offer.
    if (!fileName || !IsSoundAsfHeader(fileName)) return 0;
    auto tagFile = std::make_unique<TagFile>(fileName);
    if (!tagFile->file.isValid() || !tagFile->file.tag()) return 0;
    return TagFiles().Add(std::move(tagFile));
}

int32_t WMATag_GetAttrb(int32_t handle, int32_t type, const uint16_t* name, void* value, int32_t size) {
    TagFile* tagFile = TagFiles().Get(handle);
    if (!tagFile || !name || !value) return 0;
    TagLib::ASF::Tag& tag = *tagFile->file.tag();
    const TagLib::String key = AttributeName(name);
    const Described field = DescribedField(key);
    TagLib::String text;
    const TagLib::ASF::AttributeListMap& attributes = tag.attributeListMap();
    const bool isAttribute = field == Described::None && attributes.contains(key) && !attributes[key].isEmpty();
    if (field != Described::None && !ReadDescribed(tag, field, text)) return 0;
    if (field == Described::None && !isAttribute) return 0;

    if (type == WMA_ATTRIBUTE_NUMBER) {
        if (size < 4) return 0;
        int64_t number = 0;
        if (isAttribute ? !AttributeNumber(attributes[key].front(), number)
                        : !AttributeNumber(TagLib::ASF::Attribute(text), number))
            return 0;
        const auto value32 = static_cast<uint32_t>(number);
        memcpy(value, &value32, 4);
        return 1;
    }
    if (type != WMA_ATTRIBUTE_TEXT || size < 1) return 0;
    if (isAttribute) {
        const TagLib::ASF::Attribute& attribute = attributes[key].front();
        int64_t number = 0;
        if (attribute.type() == TagLib::ASF::Attribute::UnicodeType)
            text = attribute.toString();
        else if (AttributeNumber(attribute, number))
            text = TagLib::String(std::to_string(number));
        else
            return 0;
    }
    const std::string bytes = ToUtf8(text, static_cast<size_t>(size) - 1);
    memcpy(value, bytes.c_str(), bytes.size() + 1);
    return 1;
}

int32_t WMATag_SetAttrb(int32_t handle, int32_t type, const uint16_t* name, const void* value) {
    TagFile* tagFile = TagFiles().Get(handle);
    if (!tagFile || !name || !value || tagFile->file.readOnly()) return 0;
    TagLib::ASF::Tag& tag = *tagFile->file.tag();
    const TagLib::String key = AttributeName(name);
    const Described field = DescribedField(key);
    if (type == WMA_ATTRIBUTE_TEXT) {
        const TagLib::String text(static_cast<const char*>(value), TagLib::String::UTF8);
        if (field != Described::None)
            WriteDescribed(tag, field, DescribedText(text));
        else
            tag.setAttribute(key, TagLib::ASF::Attribute(text));
    } else if (type == WMA_ATTRIBUTE_NUMBER && field == Described::None) {
        uint32_t number = 0;
        memcpy(&number, value, 4);
        tag.setAttribute(key, TagLib::ASF::Attribute(static_cast<unsigned int>(number)));
    } else {
        return 0;
    }
    tagFile->changed = true;
    return 1;
}

int32_t WMATag_Close(int32_t handle) {
    std::unique_ptr<TagFile> tagFile = TagFiles().Remove(handle);
    if (!tagFile) return 0;
    if (!tagFile->changed) return 1;
    // One save for all attributes: ASF keeps them in the header, and every size change of the
    // header moves the whole file. Stopped by a full disk half way, that would leave the file
    // short of its own data, so the room is taken first; without it the file stays as it was.
    const int fd = open(tagFile->file.name(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat info {};
    bool saved = fstat(fd, &info) == 0 && ReserveFileRoom(fd, info.st_size + HeaderGrowthBound(*tagFile->file.tag()));
    if (saved) {
        saved = tagFile->file.save();
        tagFile.reset();
        // The room not used goes back.
        saved = fstat(fd, &info) == 0 && ftruncate(fd, info.st_size) == 0 && saved;
    }
    close(fd);
    return saved ? 1 : 0;
}
