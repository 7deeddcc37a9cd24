// ID3v2 reading and writing.
#include "tags/Id3v2Tag.h"

#include <cstring>

namespace {

constexpr size_t kMaxTextBytes = 1024000;

struct IdMapping {
    const char* v22;
    const char* v23;
};
constexpr IdMapping kVersion2Ids[] = {
    {"TT2", "TIT2"}, {"TRK", "TRCK"}, {"TP1", "TPE1"}, {"TAL", "TALB"}, {"TYE", "TYER"},
    {"TCO", "TCON"}, {"COM", "COMM"}, {"TCM", "TCOM"}, {"TOA", "TOPE"}, {"TCR", "TCOP"},
    {"WXX", "WXXX"}, {"TSS", "TSSE"}, {"TEN", "TENC"},
};

bool IsCommentLike(const char* id) { return memcmp(id, "COMM", 4) == 0 || memcmp(id, "USLT", 4) == 0; }

uint32_t Be32(const unsigned char* p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// Length of the text at `p` up to its terminator (one 0 byte, or an aligned 0 0 pair for UTF-16).
size_t TextLength(std::string_view bytes, int encoding) {
    const size_t limit = std::min(bytes.size(), kMaxTextBytes);
    if (encoding == 1 || encoding == 2) {
        size_t n = 0;
        while (n + 1 < limit && !(bytes[n] == 0 && bytes[n + 1] == 0)) n += 2;
        return std::min(n, limit);
    }
    size_t n = 0;
    while (n < limit && bytes[n] != 0) ++n;
    return n;
}

// Bytes the terminator takes after a text of that encoding.
size_t TerminatorLength(int encoding) { return encoding == 1 || encoding == 2 ? 2 : 1; }

bool DecodeText(std::string_view bytes, int encoding, CCharString& text) {
    const std::string_view body = bytes.substr(0, TextLength(bytes, encoding));
    switch (encoding) {
        case 0: text = CCharString::FromUtf8OrCp932(body); return true;
        case 1:
        case 2: {
            if (body.size() < 2) return false;
            const auto b0 = static_cast<unsigned char>(body[0]), b1 = static_cast<unsigned char>(body[1]);
            if (b0 == 0xFF && b1 == 0xFE) text = CCharString::FromUtf16(body.substr(2), false);
            else if (b0 == 0xFE && b1 == 0xFF) text = CCharString::FromUtf16(body.substr(2), true);
            else return false;
            return true;
        }
        case 3:
            text = CCharString();
            return body.empty() || CCharString::FromUtf8(body, text);
        default: return false;
    }
}

std::string EncodeText(const CCharString& text, int encoding) {
    switch (encoding) {
        case 1: return std::string("\xFF\xFE", 2) + text.ToUtf16(false) + std::string(2, '\0');
        case 2: return std::string("\xFE\xFF", 2) + text.ToUtf16(true) + std::string(2, '\0');
        default: return text.str() + std::string(1, '\0');  // 0 holds only ASCII
    }
}

std::string EmptyDescription(int encoding) {
    switch (encoding) {
        case 1: return std::string("\xFF\xFE\0\0", 4);
        case 2: return std::string("\xFE\xFF\0\0", 4);
        default: return std::string(1, '\0');
    }
}

void DecodeFrame(CId3v2Frame& frame) {
    const std::string_view payload = frame.payload;
    if (payload.empty()) return;
    const int encoding = static_cast<unsigned char>(payload[0]);
    if (frame.id[0] == 'T') {
        frame.hasText = DecodeText(payload.substr(1), encoding, frame.text);
    } else if (IsCommentLike(frame.id)) {
        if (payload.size() < 4) return;
        const std::string_view description = payload.substr(4);
        const size_t skipped = 4 + TextLength(description, encoding) + TerminatorLength(encoding);
        if (skipped > payload.size()) return;
        frame.hasText = DecodeText(payload.substr(skipped), encoding, frame.text);
    }
}

std::string RemoveUnsynchronisation(const std::string& body) {
    std::string out;
    out.reserve(body.size());
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] == 0 && i > 0 && static_cast<unsigned char>(body[i - 1]) == 0xFF) continue;
        out += body[i];
    }
    return out;
}

// One frame at the start of `rest`; 0 when parsing must stop, else the bytes consumed.
size_t ParseFrame(std::string_view rest, int version, CId3v2Frame& frame) {
    if (version == 2) {
        if (rest.size() <= 6) return 0;
        const auto* p = reinterpret_cast<const unsigned char*>(rest.data());
        const size_t size = uint32_t(p[3]) << 16 | p[4] << 8 | p[5];
        if (size + 6 > rest.size()) return 0;
        const IdMapping* mapping = nullptr;
        for (const IdMapping& m : kVersion2Ids)
            if (rest.substr(0, 3) == m.v22) mapping = &m;
        if (!mapping) return 0;
        memcpy(frame.id, mapping->v23, 4);
        frame.payload.assign(rest.substr(6, size));
        return size + 6;
    }
    if (rest.size() < 10) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(rest.data());
    if (Be32(p) == 0) return 0;  // padding
    const size_t size = version == 4 ? DecodeSyncsafe(p + 4) : Be32(p + 4);
    if (size > rest.size() - 10) return 0;
    memcpy(frame.id, p, 4);
    frame.flags = static_cast<uint16_t>(p[8] << 8 | p[9]);
    frame.payload.assign(rest.substr(10, size));
    return size + 10;
}

}  // namespace

uint32_t DecodeSyncsafe(const unsigned char* b) {
    return uint32_t(b[0] & 0x7F) << 21 | (b[1] & 0x7F) << 14 | (b[2] & 0x7F) << 7 | (b[3] & 0x7F);
}

void EncodeSyncsafe(uint32_t value, unsigned char* b) {
    for (int i = 0; i < 4; ++i) b[i] = static_cast<unsigned char>(value >> (7 * (3 - i)) & 0x7F);
}

bool CId3v2Frame::Is(const char* frameId) const { return memcmp(id, frameId, 4) == 0; }

Result<int> CId3v2Tag::SetFrameText(const char* frameId, const CCharString& text) {
    if (textEncoding < 0 || textEncoding > 3)
        return KindFailure(FailureKind::kBadValue, UserText("Id3v2Tag", "そのような ID3v2 の文字コードはありません"));
    CId3v2Frame* frame = nullptr;
    for (auto& f : frames)
        if (f->Is(frameId)) {
            frame = f.get();
            break;
        }
    if (!frame) {
        frames.push_back(std::make_unique<CId3v2Frame>());
        frame = frames.back().get();
        memcpy(frame->id, frameId, 4);
    }
    // Plain text keeps encoding 0, byte for byte what old readers know; any other text goes
    // as UTF-16, which every 2.3 reader reads, where Latin-1 would turn it into mojibake.
    const int encoding = textEncoding == 0 && !text.IsAscii() ? 1 : textEncoding;
    std::string payload(1, static_cast<char>(encoding));
    if (IsCommentLike(frame->id)) payload += "jpn" + EmptyDescription(encoding);
    payload += EncodeText(text, encoding);
    frame->payload = std::move(payload);
    // Flags read from a file may announce compression or encryption the new payload lacks.
    frame->flags = 0;
    frame->text = text;
    frame->hasText = true;
    return static_cast<int>(frame->payload.size());
}

void CId3v2Tag::SetUserText(const std::string& description, const std::string& value) {
    const std::string head = std::string(1, '\0') + description + std::string(1, '\0');
    // A tag read from the file may hold the frame already: it is replaced.
    std::erase_if(frames, [&](const auto& frame) { return frame->Is("TXXX") && frame->payload.starts_with(head); });
    auto frame = std::make_unique<CId3v2Frame>();
    memcpy(frame->id, "TXXX", 4);
    frame->payload = head + value;
    frames.push_back(std::move(frame));
}

void CId3v2Tag::ForEachUserText(const std::function<void(std::string_view, std::string_view)>& found) const {
    for (const auto& frame : frames) {
        const std::string_view payload = frame->payload;
        if (!frame->Is("TXXX") || payload.empty() || (payload[0] != 0 && payload[0] != 3)) continue;
        const std::string_view rest = payload.substr(1);
        const size_t end = rest.find('\0');
        if (end == std::string_view::npos) continue;
        std::string_view value = rest.substr(end + 1);
        if (!value.empty() && value.back() == '\0') value.remove_suffix(1);
        found(rest.substr(0, end), value);
    }
}

CCharString CId3v2Tag::GetFrameText(const char* frameId, const CCharString& fallback) const {
    for (const auto& f : frames)
        if (f->Is(frameId)) return f->hasText ? f->text : fallback;
    return fallback;
}

bool CId3v2Tag::ReadTag(CFileStream& file) {
    unsigned char header[10];
    if (file.Read(header, sizeof header).value_or(-1) != static_cast<int64_t>(sizeof header) || memcmp(header, "ID3", 3) != 0)
        return false;
    const int versionWord = header[3] * 256 + header[4];
    const int readVersion = versionWord >= 1024 ? 4 : versionWord >= 768 ? 3 : versionWord >= 512 ? 2 : 0;
    const uint32_t size = DecodeSyncsafe(header + 6);
    // A size beyond the end of the file is a lie; don't allocate for it.
    const int64_t position = file.Tell(), length = file.GetSize();
    if (position < 0 || length < 0 || static_cast<int64_t>(size) > length - position) return false;
    std::string body(size, '\0');
    if (file.Read(body.data(), size).value_or(-1) != static_cast<int64_t>(size)) return false;
    rawBody = body;
    frames.clear();
    unsynchronised = (header[5] & 0x80) != 0;
    if (unsynchronised) body = RemoveUnsynchronisation(body);
    size_t pos = 0;
    if (header[5] & 0x40) {
        const size_t extended = body.size() >= 4 ? DecodeSyncsafe(reinterpret_cast<const unsigned char*>(body.data())) : 0;
        pos = std::min(body.size(), readVersion == 3 ? extended + 4 : extended);
    }
    if (readVersion != 0) {
        for (;;) {
            auto frame = std::make_unique<CId3v2Frame>();
            const size_t used = ParseFrame(std::string_view(body).substr(pos), readVersion, *frame);
            if (used == 0) break;
            pos += used;
            DecodeFrame(*frame);
            if (!frame->payload.empty() && static_cast<unsigned char>(frame->payload[0]) <= 3)
                textEncoding = static_cast<unsigned char>(frame->payload[0]);
            frames.push_back(std::move(frame));
        }
    }
    paddingSize = static_cast<int>(body.size() - pos);
    version = readVersion;
    present = true;
    return true;
}

std::string CId3v2Tag::Render() {
    if (version <= 2) version = 3;
    uint64_t total = paddingSize > 0 ? paddingSize : 0;
    for (const auto& f : frames) total += f->payload.size() + 10;
    if (total >= (1u << 28)) return {};
    std::string out(10, '\0');
    memcpy(out.data(), "ID3", 3);
    out[3] = static_cast<char>(version);
    EncodeSyncsafe(static_cast<uint32_t>(total), reinterpret_cast<unsigned char*>(out.data() + 6));
    out.reserve(total + 10);
    for (const auto& f : frames) {
        unsigned char head[10];
        memcpy(head, f->id, 4);
        const auto size = static_cast<uint32_t>(f->payload.size());
        if (version == 4) {
            EncodeSyncsafe(size, head + 4);
        } else {
            for (int i = 0; i < 4; ++i) head[4 + i] = static_cast<unsigned char>(size >> (8 * (3 - i)));
        }
        head[8] = static_cast<unsigned char>(f->flags >> 8);
        head[9] = static_cast<unsigned char>(f->flags);
        out.append(reinterpret_cast<const char*>(head), sizeof head);
        out += f->payload;
    }
    out.append(total + 10 - out.size(), '\0');
    return out;
}

bool CId3v2Tag::WriteTag(CFileStream& file) {
    const std::string bytes = Render();
    return !bytes.empty() && file.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
}
