// CWmaTagFile: the attributes of a WMA file, read and written through the WMA decoder module.
#pragma once

#include <cstdint>

#include "tags/TagFile.h"

class CWmaTagFile : public CTagFile {
public:
    CWmaTagFile() : CTagFile(OutputFormat::Wma) {}
    ~CWmaTagFile() override;

    // Opens the file through the module (which must be loaded) and reads its attributes.
    int Open(const char* name) override;
    // Refused: attributes are reached by name only.
    int AttachFile(std::unique_ptr<CFileStream> file) override;
    // Sets all nine attributes; non-zero only when every one was set. They reach the file
    // when the editor is closed.
    int Write() override;
    // 0 also when the module could not store what Write set.
    int Close() override;

private:
    void ReadAttributes();

    int32_t m_handle = 0;
};
