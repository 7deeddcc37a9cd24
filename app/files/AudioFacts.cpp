// Filling the items list's file facts from a reader.
#include "app/files/AudioFacts.h"

#include <sys/stat.h>

#include "audiofile/FormatTable.h"
#include "foundation/FileStream.h"
#include "foundation/PathUtils.h"
#include "tags/OpusTagFile.h"

namespace {

// An MP3 killed before its first frame holds the ID3v2 room its writer keeps and nothing after.
bool OnlyAnId3v2Tag(const CCharString& path, int64_t size) {
    CFileStream file;
    unsigned char header[10] = {};
    if (!file.Open(path.c_str(), CFileStream::kRead) || file.Read(header, 10).value_or(-1) != 10) return false;
    if (header[0] != 'I' || header[1] != 'D' || header[2] != '3') return false;
    const int64_t tagSize = 10 + (int64_t{header[6] & 0x7F} << 21 | int64_t{header[7] & 0x7F} << 14 |
                                  int64_t{header[8] & 0x7F} << 7 | int64_t{header[9] & 0x7F});
    return size <= tagSize;
}

// An Opus track killed before its first audio page holds its header pages only, which libopusfile
// refuses as a stream without a valid length.
bool OnlyOpusHeaders(const CCharString& path, int64_t size) {
    if (OutputFormatOfExtension(ExtensionOf(path).c_str()) != OutputFormat::Opus) return false;
    COpusTagFile headers;
    return headers.Open(path.c_str()) && headers.AudioStart() == size;
}

}  // namespace

std::optional<AudioFileFacts> ReadAudioFileFacts(const CCharString& path) {
    std::unique_ptr<CAudioReader> reader = NewReaderByExtension(path.c_str());
    if (!reader || !reader->Open(path.c_str())) return std::nullopt;
    AudioFileFacts facts;
    if (const CTagFile* editor = reader->TagFile()) {
        const TagFieldSet& tags = editor->Tags();
        facts.title = tags.title;
        facts.artist = tags.artist;
        facts.album = tags.album;
        facts.trackNumber = static_cast<int16_t>(tags.trackNumber);
    }
    facts.lengthMs = reader->GetDuration();
    // The list shows an uncompressed file by its sample size, so its bitrate counts as none.
    facts.bitRate = reader->Kind() == OutputFormat::Wav || reader->Bitrate() < 0 ? 0 : reader->Bitrate();
    facts.sampleRate = reader->SampleRate();
    facts.channels = static_cast<uint16_t>(reader->Channels());
    static_cast<void>(reader->Close());
    return facts;
}

bool HoldsNoAudio(const CCharString& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return false;
    if (st.st_size == 0) return true;
    if (OnlyAnId3v2Tag(path, st.st_size) || OnlyOpusHeaders(path, st.st_size)) return true;
    std::unique_ptr<CAudioReader> reader = NewReaderByExtension(path.c_str());
    if (!reader || !reader->Open(path.c_str())) return false;
    // Headers are no measure: a killed WMA or Ogg claims no length while audio follows, and an MP3's
    // Info frame counts as data while it holds no sample. Decoding the first block tells.
    bool empty = reader->Begin().has_value();
    if (empty) {
        empty = !reader->ReadBlock() || reader->BlockBytes() <= 0;
        static_cast<void>(reader->End());
    }
    static_cast<void>(reader->Close());
    return empty;
}
