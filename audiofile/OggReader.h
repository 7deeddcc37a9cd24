// COggReader: stream information, comments and decoding of Ogg Vorbis files through the vorbisdec module.
#pragma once

#include "audiofile/AudioReader.h"
#include "tags/VorbisDecoder.h"

class COggReader : public CAudioReader {
public:
    COggReader() : CAudioReader(OutputFormat::OggVorbis) {}
    ~COggReader() override;

    // Refuses the file when the module is missing or the file is not Ogg Vorbis.
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    Result<void> Close() override;
    // Up to 8192 bytes of 16-bit little-endian PCM.
    bool ReadBlock() override;
    Result<void> Seek(int64_t ms) override;
    int64_t GetDuration() const override;

protected:
    std::unique_ptr<CTagFile> NewTagFile() const override;

private:
    static size_t ReadFromFile(void* buffer, size_t size, size_t count, void* file);
    static int SeekInFile(void* file, ogg_int64_t offset, int origin);
    static int CloseFile(void* file);
    static long TellInFile(void* file);

    const CVorbisDecoder* m_decoder = nullptr;
    OggVorbis_File m_vorbis{};
    bool m_vorbisOpen = false;
    char m_buffer[8192];
};
