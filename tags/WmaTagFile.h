// CWmaTagFile: the attributes of a WMA file, read and written through the WMA decoder module.
#pragma once

#include <cstdint>

#include "tags/TagFile.h"

class CWmaTagFile : public CTagFile {
public:
    CWmaTagFile() : CTagFile(OutputFormat::Wma) {}
    ~CWmaTagFile() override;

    // Opens the file through the module (which must be loaded) and reads its attributes.
    Result<void> Open(const char* name) override;
    // Refused: attributes are reached by name only.
    Result<void> AttachFile(std::unique_ptr<CFileStream> file) override;
    // Sets all nine attributes; succeeds only when every one was set. They reach the file when
    // the editor is closed.
    Result<void> Write() override;
    // Fails also when the module could not store what Write set.
    Result<void> Close() override;

private:
    void ReadAttributes();

    int32_t m_handle = 0;
};
