// CWmaReader: stream information, attributes and decoding of WMA files through the WMA decoder module.
#pragma once

#include <cstdint>

#include "audiofile/AudioReader.h"
#include "tags/WmaDecoder.h"

class CWmaReader : public CAudioReader {
public:
    // Loads the decoder module; without it every Open fails.
    CWmaReader();
    ~CWmaReader() override;

    // The module reaches the file by name only.
    Result<void> Open(const char* name) override;
    // Refused: there is no way to hand the module an open file.
    Result<void> AttachFile(std::unique_ptr<CFileStream>) override {
        return KindFailure(FailureKind::kBadValue, UserText("WmaReader", "WMA ファイルは名前でしか開けません"));
    }
    Result<void> Close() override;
    Result<void> Begin() override;
    bool ReadBlock() override;
    Result<void> Seek(int64_t ms) override;
    Result<void> End() override;
    int64_t GetDuration() const override { return m_length / 10000; }

protected:
    std::unique_ptr<CTagFile> NewTagFile() const override;

private:
    const WmaDecoderFunctions* m_wma = nullptr;
    int32_t m_handle = 0;
};
