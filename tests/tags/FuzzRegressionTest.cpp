// Every input the fuzzers found, run through every parser: a clear result, never a crash.
#include <gtest/gtest.h>

#include <filesystem>

#include "tags/Id3v2Tag.h"
#include "tags/Mp3FileInfo.h"
#include "tags/RiffInfo.h"
#include "tags/WavHeader.h"

TEST(FuzzRegression, StoredInputsParseWithoutHarm) {
    const std::filesystem::path folder = VELSONA_FUZZ_DATA;
    int inputs = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        SCOPED_TRACE(entry.path().string());
        ++inputs;
        CFileStream file;
        ASSERT_TRUE(file.Open(entry.path().c_str(), CFileStream::kRead));
        CId3v2Tag tag;
        tag.ReadTag(file);
        Mp3FileInfo info;
        TagFieldSet tags;
        file.Seek(0, CFileStream::kFromStart);
        if (ReadMp3FileInfo(file, info, true, &tag, &tags)) {
            EXPECT_LE(info.audioOffset + info.audioLength, info.fileSize);
        }
        file.Seek(0, CFileStream::kFromStart);
        ReadInfoList(file, tags);
        file.Seek(0, CFileStream::kFromStart);
        int64_t offset = 0;
        uint32_t size = 0;
        ParseWavHeader(file, offset, size);
    }
    EXPECT_GT(inputs, 0);
}
