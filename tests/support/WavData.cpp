// Reading the PCM of a WAV file for comparisons.
#include "tests/support/WavData.h"

#include <algorithm>

#include "foundation/FileStream.h"
#include "tags/WavHeader.h"

std::string WavPcm(const std::string& path) {
    CFileStream file;
    int64_t offset = 0;
    uint32_t size = 0;
    if (!file.Open(path.c_str(), CFileStream::kRead) || !ParseWavHeader(file, offset, size)) return {};
    std::string bytes(size, '\0');
    static_cast<void>(file.Seek(offset, CFileStream::kFromStart));
    bytes.resize(std::max<int64_t>(0, file.Read(bytes.data(), size).value_or(-1)));
    return bytes;
}
