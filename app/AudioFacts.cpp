// Filling the items list's file facts from a reader.
#include "app/AudioFacts.h"

#include <sys/stat.h>

#include "audiofile/ReaderByExtension.h"

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
    facts.bitRate = reader->Kind() == FileKind::Wav || reader->Bitrate() < 0 ? 0 : reader->Bitrate();
    facts.sampleRate = reader->SampleRate();
    facts.channels = static_cast<uint16_t>(reader->Channels());
    reader->Close();
    return facts;
}

bool HoldsNoAudio(const CCharString& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return false;
    if (st.st_size == 0) return true;
    std::unique_ptr<CAudioReader> reader = NewReaderByExtension(path.c_str());
    if (!reader || !reader->Open(path.c_str())) return false;
    // A header may claim no length while audio follows it (a killed WMA or Ogg): decoding tells.
    bool empty = reader->Length() <= 0 && reader->Begin();
    if (empty) {
        empty = !reader->ReadBlock() || reader->BlockBytes() <= 0;
        reader->End();
    }
    reader->Close();
    return empty;
}
