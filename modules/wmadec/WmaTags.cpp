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
#include <taglib/tbytevectorstream.h>

#include "abi/WmaDecoderAbi.h"
#include "modules/AsfPadding.h"
#include "modules/HandleTable.h"
#include "modules/wmadec/AsfHeaderCheck.h"

namespace {

// TagLib reads and saves the header alone, in memory: the file itself is written only at the
// close, in place where the header keeps its size.
struct TagFile {
    TagFile(const char* fileName, const std::string& header, bool canWrite)
        : name(fileName), headerSize(header.size()), writable(canWrite),
          stream(TagLib::ByteVector(header.data(), static_cast<unsigned>(header.size()))), file(&stream, false) {}
    std::string name;
    uint64_t headerSize;
    bool writable;
    TagLib::ByteVectorStream stream;
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

// The whole header of an ASF file whose header IsSoundAsfHeader has checked.
bool ReadHeader(const char* fileName, std::string& header) {
    const int fd = open(fileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    header.resize(kAsfHeaderStart);
    bool read = pread(fd, header.data(), kAsfHeaderStart, 0) == static_cast<ssize_t>(kAsfHeaderStart);
    if (read) {
        const uint64_t size = AsfNumber(header, 16, 8);
        header.resize(size);
        read = pread(fd, header.data(), size, 0) == static_cast<ssize_t>(size);
    }
    close(fd);
    return read;
}

bool WriteAll(int fd, const char* data, size_t size, off_t position) {
    while (size > 0) {
        const ssize_t n = pwrite(fd, data, size, position);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
        position += n;
    }
    return true;
}

// A header that outgrew its room: a complete new file with the new header (and fresh room) and
// the rest of the old one is written beside it and renamed over it, so the name always holds
// a whole file. The file size the header states counts the new header.
bool RewriteWithHeader(const std::string& name, std::string header, uint64_t oldHeaderSize) {
    const uint64_t room = (header.size() + kAsfHeaderRoom / 2 + kAsfHeaderRoom - 1) / kAsfHeaderRoom * kAsfHeaderRoom;
    FitAsfHeader(header, room);
    const int in = open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    if (in < 0 || fstat(in, &info) != 0 || static_cast<uint64_t>(info.st_size) < oldHeaderSize) {
        if (in >= 0) close(in);
        return false;
    }
    if (const size_t properties = FindAsfObject(header, kAsfFilePropertiesGuid))
        SetAsfNumber(header, properties + kAsfFileSizeField, 8, info.st_size - oldHeaderSize + header.size());
    const std::string temporary = name + ".vctemp";
    // Left by an interrupted rewrite, the temporary file is ours; anything else there fails.
    struct stat left {};
    if (lstat(temporary.c_str(), &left) == 0 && S_ISREG(left.st_mode)) unlink(temporary.c_str());
    const int out = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, info.st_mode & 07777);
    bool ok = out >= 0 && WriteAll(out, header.data(), header.size(), 0);
    std::string buffer(1 << 20, '\0');
    off_t from = static_cast<off_t>(oldHeaderSize), to = static_cast<off_t>(header.size());
    while (ok) {
        const ssize_t n = pread(in, buffer.data(), buffer.size(), from);
        if (n == 0) break;
        ok = n > 0 && WriteAll(out, buffer.data(), static_cast<size_t>(n), to);
        from += n;
        to += n;
    }
    close(in);
    ok = ok && fsync(out) == 0;
    if (out >= 0) close(out);
    if (!ok || rename(temporary.c_str(), name.c_str()) != 0) {
        if (out >= 0) unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

MODULE_EXPORT WmaTagOpenFn WMATag_Open;
MODULE_EXPORT WmaTagGetAttrbFn WMATag_GetAttrb;
MODULE_EXPORT WmaTagSetAttrbFn WMATag_SetAttrb;
MODULE_EXPORT WmaTagCloseFn WMATag_Close;

int32_t WMATag_Open(const char* fileName) {
    // TagLib would take seconds over a few lying bytes; such a header has no attributes to offer.
    std::string header;
    if (!fileName || !IsSoundAsfHeader(fileName) || !ReadHeader(fileName, header)) return 0;
    auto tagFile = std::make_unique<TagFile>(fileName, header, access(fileName, W_OK) == 0);
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
    if (!tagFile || !name || !value || !tagFile->writable) return 0;
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
    if (!tagFile->file.save()) return 0;
    const TagLib::ByteVector* saved = tagFile->stream.data();
    std::string header(saved->data(), saved->size());
    // The header takes the room its padding leaves, so the audio stays where it is and one write
    // within the first page changes the file: a kill leaves the old header or the new one.
    if (header.size() != tagFile->headerSize && !FitAsfHeader(header, tagFile->headerSize))
        return RewriteWithHeader(tagFile->name, header, tagFile->headerSize) ? 1 : 0;
    const int fd = open(tagFile->name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return 0;
    const bool written = WriteAll(fd, header.data(), header.size(), 0);
    close(fd);
    return written ? 1 : 0;
}
