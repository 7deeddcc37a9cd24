// CFuzzFile: the fuzzer's bytes as a file in a private folder, for code that reaches files by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CFuzzFile {
public:
    // Writes the bytes to "input<extension>" with a time stamp no earlier input had: caches that
    // know a file by name, size and time (QSettings) must never hand one input's content to the
    // next, and a new name each time would let such a cache grow for good.
    CFuzzFile(const uint8_t* data, size_t size, const char* extension);
    // Removes the file and whatever a rewrite left beside it.
    ~CFuzzFile();
    CFuzzFile(const CFuzzFile&) = delete;
    CFuzzFile& operator=(const CFuzzFile&) = delete;

    const char* Name() const { return m_name.c_str(); }

private:
    std::string m_name;
};
