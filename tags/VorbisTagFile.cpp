// Vorbis comments: the fixed key table, reading it back, and the rewrite in place or through a temporary file.
#include "tags/VorbisTagFile.h"

#include <stdio.h>
#include <strings.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/StepHook.h"
#include "tags/FormatFailures.h"
#include "tags/OggCommentHeader.h"

namespace {

// One comment key and the field it carries; numbers are written from `minimum` up, texts
// when not empty unless `always`.
struct CommentKey {
    const char* key;
    CCharString TagFieldSet::*text;
    int TagFieldSet::*number;
    bool always;
    int minimum;
};

constexpr CommentKey kCommentKeys[] = {
    {"TITLE=", &TagFieldSet::title, nullptr, true, 0},
    {"ARTIST=", &TagFieldSet::artist, nullptr, true, 0},
    {"ALBUM=", &TagFieldSet::album, nullptr, false, 0},
    {"TRACKNUMBER=", nullptr, &TagFieldSet::trackNumber, false, 1},
    {"DATE=", &TagFieldSet::year, nullptr, false, 0},
    {"GENRE=", &TagFieldSet::genre, nullptr, false, 0},
    {"COMMENT=", &TagFieldSet::comment, nullptr, false, 0},
    {"GENREID=", nullptr, &TagFieldSet::genreNumber, false, 0},
};

// The number a text starts with (after blanks and a sign), like atoi but clamped to int.
int LeadingNumber(std::string_view text) {
    const std::string copy(text);
    const long value = strtol(copy.c_str(), nullptr, 10);
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

// Where vcedit writes the copy, and what stopped the write that failed.
struct CopySink {
    CFileStream* file;
    Result<void> written;
};

Failure UnwritableText() {
    return KindFailure(FailureKind::kBadValue, UserText("VorbisTagFile", "タグの文字列をコメントとして書き込めません"));
}

bool IsValidKey(std::string_view key) {
    if (key.empty()) return false;
    for (const char c : key)
        if (c < 0x20 || c > 0x7D || c == '=') return false;
    return true;
}

}  // namespace

Result<void> StandardComments(const TagFieldSet& tags, std::vector<std::pair<std::string, std::string>>& comments,
                              GainComments gains) {
    comments.clear();
    for (const CommentKey& entry : kCommentKeys) {
        CCharString line;
        if (entry.text) {
            const CCharString& value = tags.*entry.text;
            if (!entry.always && value.IsEmpty()) continue;
            line = CCharString(entry.key) + value;
        } else {
            const int value = tags.*entry.number;
            if (value < entry.minimum) continue;
            line = CCharString::Formatted("%s%d", entry.key, value);
        }
        std::string utf8;
        if (!CCharString::ToUtf8(line, utf8)) return UnwritableText();
        const size_t equals = utf8.find('=');
        if (equals == std::string::npos) return UnwritableText();
        std::string key = utf8.substr(0, equals);
        if (!IsValidKey(key)) return UnwritableText();
        comments.emplace_back(std::move(key), utf8.substr(equals + 1));
    }
    if (!tags.loudness) return {};
    if (gains == GainComments::R128) {
        comments.emplace_back("R128_TRACK_GAIN", R128GainText(*tags.loudness));  // untranslated: a tag key
    } else {
        comments.emplace_back("REPLAYGAIN_TRACK_GAIN", ReplayGainText(*tags.loudness));  // untranslated: a tag key
        comments.emplace_back("REPLAYGAIN_TRACK_PEAK", ReplayPeakText(*tags.loudness));  // untranslated: a tag key
    }
    return {};
}

Result<void> StandardCommentLines(const TagFieldSet& tags, std::vector<std::string>& lines, GainComments gains) {
    std::vector<std::pair<std::string, std::string>> comments;
    lines.clear();
    if (Result<void> made = StandardComments(tags, comments, gains); !made) return made;
    for (const auto& [key, value] : comments) lines.push_back(key + "=" + value);
    return {};
}

Result<void> AddStandardComments(const TagFieldSet& tags, vorbis_comment* comments, VorbisCommentAdd add) {
    std::vector<std::pair<std::string, std::string>> lines;
    if (!comments || !add) return KindFailure(FailureKind::kMissing, UserText("VorbisTagFile", "追加先のコメント一覧がありません"));
    if (Result<void> made = StandardComments(tags, lines); !made) return made;
    for (const auto& [key, value] : lines) add(comments, key.c_str(), value.c_str());
    return {};
}

namespace {

void AppendLe32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

bool TakeLe32(std::string_view data, size_t& at, uint32_t& value) {
    if (at > data.size() || data.size() - at < 4) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + at);
    value = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    at += 4;
    return true;
}

bool TakeText(std::string_view data, size_t& at, std::string_view& text) {
    uint32_t length = 0;
    if (!TakeLe32(data, at, length) || data.size() - at < length) return false;
    text = data.substr(at, length);
    at += length;
    return true;
}

}  // namespace

std::string CommentListBytes(std::string_view vendor, const std::vector<std::string>& comments) {
    std::string out;
    AppendLe32(out, static_cast<uint32_t>(vendor.size()));
    out += vendor;
    AppendLe32(out, static_cast<uint32_t>(comments.size()));
    for (const std::string& comment : comments) {
        AppendLe32(out, static_cast<uint32_t>(comment.size()));
        out += comment;
    }
    return out;
}

bool ParseCommentList(std::string_view data, size_t& at, std::string& vendor, std::vector<std::string_view>& comments) {
    std::string_view text;
    uint32_t count = 0;
    if (!TakeText(data, at, text) || !TakeLe32(data, at, count)) return false;
    vendor = text;
    comments.clear();
    for (; count > 0; --count) {
        if (!TakeText(data, at, text)) return false;
        comments.push_back(text);
    }
    return true;
}

void ReadStandardComment(std::string_view comment, TagFieldSet& tags) {
    const size_t equals = comment.find('=');
    if (equals != std::string_view::npos && ReadGainTag(comment.substr(0, equals), comment.substr(equals + 1), tags.loudness))
        return;
    for (const CommentKey& entry : kCommentKeys) {
        const std::string_view key(entry.key);
        if (comment.size() < key.size() || strncasecmp(comment.data(), entry.key, key.size()) != 0) continue;
        const std::string_view value = comment.substr(key.size());
        if (entry.text)
            CCharString::FromUtf8(value, tags.*entry.text);
        else
            tags.*entry.number = LeadingNumber(value);
        return;
    }
}

CVorbisTagFile::~CVorbisTagFile() { static_cast<void>(CVorbisTagFile::Close()); }

size_t CVorbisTagFile::ReadFromFile(void* buffer, size_t size, size_t count, void* editor) {
    CFileStream* file = static_cast<CVorbisTagFile*>(editor)->m_file.get();
    if (!file || size == 0) return 0;
    const int64_t got = file->Read(buffer, static_cast<int64_t>(size * count)).value_or(-1);
    return got > 0 ? static_cast<size_t>(got) / size : 0;
}

size_t CVorbisTagFile::WriteToFile(const void* buffer, size_t size, size_t count, void* sink) {
    if (!sink || size == 0) return 0;
    auto& copy = *static_cast<CopySink*>(sink);
    copy.written = copy.file->Write(buffer, static_cast<int64_t>(size * count));
    return copy.written ? count : 0;
}

Result<void> CVorbisTagFile::AttachFile(std::unique_ptr<CFileStream> file) {
    if (IsOpen()) static_cast<void>(Close());
    m_decoder = LoadVorbisDecoder();
    if (!m_decoder) return VorbisModuleMissing();
    if (!file) return NoFileToAttach();
    // The read callback reads through m_file; the base takes it over once the headers are read.
    m_file = std::move(file);
    static_cast<void>(m_file->Seek(0, CFileStream::kFromStart));
    m_state = m_decoder->vcedit_new_state();
    if (!m_state || m_decoder->vcedit_open_callbacks(m_state, this, ReadFromFile, WriteToFile) < 0) {
        if (m_state) m_decoder->vcedit_clear(m_state);
        m_state = nullptr;
        m_file.reset();
        return NotFormat("Ogg Vorbis");
    }
    Clear();
    ReadComments(*m_decoder->vcedit_comments(m_state));
    return CTagFile::AttachFile(std::move(m_file));
}

void CVorbisTagFile::ReadComments(const vorbis_comment& comments) {
    for (int i = 0; i < comments.comments; ++i)
        ReadStandardComment(std::string_view(comments.user_comments[i], comments.comment_lengths[i]), m_tags);
}

Result<void> CVorbisTagFile::Write() {
    if (!m_state || !m_decoder) return NoFileOpen();
    // Every old comment goes, the encoder's "ENCODER" included.
    vorbis_comment* comments = m_decoder->vcedit_comments(m_state);
    m_decoder->vorbis_comment_clear(comments);
    m_decoder->vorbis_comment_init(comments);
    if (Result<void> added = AddStandardComments(m_tags, comments, m_decoder->vorbis_comment_add_tag); !added)
        return added;
    if (RewriteInPlace()) return {};
    return RewriteAndReopen([this](CFileStream& file) -> Result<void> {
        CopySink copy{&file, {}};
        if (m_decoder->vcedit_write(m_state, &copy) >= 0) return {};
        if (!copy.written) return std::move(copy).written.error();
        return KindFailure(FailureKind::kCodec, UserText("VorbisTagFile", "Vorbis コメントを書き込めませんでした"));
    });
}

bool CVorbisTagFile::RewriteInPlace() {
    static constexpr std::string_view kCommentMagic("\x03vorbis", 7);
    OggCommentHeader header;
    std::string vendor;
    std::vector<std::string_view> old;
    std::vector<std::string> lines;
    size_t at = kCommentMagic.size();
    // vcedit reads on from where it stopped when it copies.
    const int64_t position = m_file->Tell();
    // The framing bit ends the comments; what follows it is the room, which readers pass over.
    const bool written =
        ReadOggCommentHeader(*m_file, header) && std::string_view(header.packet).starts_with(kCommentMagic) &&
        ParseCommentList(header.packet, at, vendor, old) && StandardCommentLines(m_tags, lines) &&
        RewriteCommentPacketInPlace(*m_file, header, std::string(kCommentMagic) + CommentListBytes(vendor, lines) + '\x01');
    if (!written) static_cast<void>(m_file->Seek(position, CFileStream::kFromStart));
    return written;
}

Result<void> CVorbisTagFile::Close() {
    Result<void> result = CTagFile::Close();
    if (m_state) m_decoder->vcedit_clear(m_state);
    m_state = nullptr;
    return result;
}
