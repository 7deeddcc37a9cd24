// Filling the items list's file facts from a reader.
#include "app/AudioFacts.h"

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
