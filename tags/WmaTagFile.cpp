// WMA attributes: the mapping to the tag field set, the track-number rules, UTF-8 texts.
#include "tags/WmaTagFile.h"

#include <cstdlib>
#include <utility>

#include "tags/FormatFailures.h"
#include "tags/WmaDecoder.h"

namespace {

const uint16_t* Name(const char16_t* name) { return reinterpret_cast<const uint16_t*>(name); }

// The text attributes, in the order they are read and written.
struct TextAttribute {
    const char16_t* name;
    CCharString TagFieldSet::*field;
};
constexpr TextAttribute kTextAttributes[] = {
    {u"Title", &TagFieldSet::title},    {u"Author", &TagFieldSet::artist},  {u"WM/AlbumTitle", &TagFieldSet::album},
    {u"WM/Year", &TagFieldSet::year},   {u"WM/Genre", &TagFieldSet::genre}, {u"Description", &TagFieldSet::comment},
};

// The ReplayGain attributes players read, as WM string attributes.
constexpr std::pair<const char16_t*, const char*> kGainAttributes[] = {
    {u"REPLAYGAIN_TRACK_GAIN", "REPLAYGAIN_TRACK_GAIN"},  // untranslated: attribute names
    {u"REPLAYGAIN_TRACK_PEAK", "REPLAYGAIN_TRACK_PEAK"},  // untranslated: attribute names
};

bool GetText(const WmaDecoderFunctions& wma, int32_t handle, const char16_t* name, CCharString& value) {
    char buffer[WMA_TEXT_BUFFER] = {};
    if (!wma.tagGetAttrb(handle, WMA_ATTRIBUTE_TEXT, Name(name), buffer, sizeof buffer)) return false;
    buffer[sizeof buffer - 1] = '\0';
    CCharString::FromUtf8(buffer, value);
    return true;
}

bool GetNumber(const WmaDecoderFunctions& wma, int32_t handle, const char16_t* name, int& value) {
    int32_t number = 0;
    if (!wma.tagGetAttrb(handle, WMA_ATTRIBUTE_NUMBER, Name(name), &number, sizeof number)) return false;
    value = number;
    return true;
}

bool SetText(const WmaDecoderFunctions& wma, int32_t handle, const char16_t* name, const CCharString& value) {
    std::string utf8;
    CCharString::ToUtf8(value, utf8);
    return wma.tagSetAttrb(handle, WMA_ATTRIBUTE_TEXT, Name(name), utf8.c_str()) != 0;
}

bool SetNumber(const WmaDecoderFunctions& wma, int32_t handle, const char16_t* name, int value) {
    const int32_t number = value;
    return wma.tagSetAttrb(handle, WMA_ATTRIBUTE_NUMBER, Name(name), &number) != 0;
}

}  // namespace

CWmaTagFile::~CWmaTagFile() { static_cast<void>(CWmaTagFile::Close()); }

Result<void> CWmaTagFile::Open(const char* name) {
    const WmaDecoderFunctions* wma = WmaDecoder();
    if (!wma) return LoadWmaDecoder().error();
    if (!name) return KindFailure(FailureKind::kMissing, UserText("WmaTagFile", "ファイル名がありません"));
    if (IsOpen()) static_cast<void>(Close());
    m_handle = wma->tagOpen(name);
    if (!m_handle) return KindFailure(FailureKind::kCodec, UserText("WmaTagFile", "WMA モジュールがファイルの属性を開けません"));
    // A field the file lacks stays empty rather than keeping a previous file's value.
    Clear();
    ReadAttributes();
    m_name = name;
    m_open = true;
    return {};
}

void CWmaTagFile::ReadAttributes() {
    const WmaDecoderFunctions& wma = *WmaDecoder();
    for (const TextAttribute& attribute : kTextAttributes) GetText(wma, m_handle, attribute.name, m_tags.*attribute.field);
    // "WM/Track" counts from 0 and wins; "WM/TrackNumber" only stands in when it is missing.
    int track = 0;
    if (GetNumber(wma, m_handle, u"WM/Track", track))
        m_tags.trackNumber = track + 1;
    else
        GetNumber(wma, m_handle, u"WM/TrackNumber", m_tags.trackNumber);
    CCharString genreId;
    if (GetText(wma, m_handle, u"WM/GenreID", genreId)) m_tags.genreNumber = atoi(genreId.c_str());
    for (const auto& [name, key] : kGainAttributes) {
        CCharString value;
        if (GetText(wma, m_handle, name, value)) static_cast<void>(ReadGainTag(key, value.view(), m_tags.loudness));
    }
}

Result<void> CWmaTagFile::AttachFile(std::unique_ptr<CFileStream>) {
    return KindFailure(FailureKind::kBadValue, UserText("WmaTagFile", "WMA の属性は名前でしか開けません"));
}

Result<void> CWmaTagFile::Write() {
    const WmaDecoderFunctions* wma = WmaDecoder();
    if (!wma || !m_handle) return NoFileOpen();
    // Every attribute is attempted even after one fails.
    bool ok = true;
    for (const TextAttribute& attribute : kTextAttributes)
        ok &= SetText(*wma, m_handle, attribute.name, m_tags.*attribute.field);
    ok &= SetNumber(*wma, m_handle, u"WM/Track", m_tags.trackNumber - 1);
    ok &= SetNumber(*wma, m_handle, u"WM/TrackNumber", m_tags.trackNumber);
    ok &= SetText(*wma, m_handle, u"WM/GenreID", CCharString::Formatted("%d", m_tags.genreNumber));
    if (m_tags.loudness) {
        ok &= SetText(*wma, m_handle, kGainAttributes[0].first, CCharString(ReplayGainText(*m_tags.loudness)));
        ok &= SetText(*wma, m_handle, kGainAttributes[1].first, CCharString(ReplayPeakText(*m_tags.loudness)));
    }
    if (!ok) return KindFailure(FailureKind::kCodec, UserText("WmaTagFile", "WMA モジュールが属性を受け付けませんでした"));
    return {};
}

Result<void> CWmaTagFile::Close() {
    // The module stores the attributes now, so a failed store must not pass for success.
    bool stored = true;
    if (m_handle) {
        stored = WmaDecoder()->tagClose(m_handle) != 0;
        m_handle = 0;
    }
    Result<void> closed = CTagFile::Close();
    if (closed && !stored) return KindFailure(FailureKind::kCodec, UserText("WmaTagFile", "WMA モジュールが属性を保存できませんでした"));
    return closed;
}
